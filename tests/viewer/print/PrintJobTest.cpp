// The print document through a scripted printer, and the capture of the 3-D
// picture onto the clipboard.
#include "viewer/print/PrintJob.h"

#include "support/FakePlatform.h"
#include "support/Files.h"

#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::print;
using namespace tolva::testing;

namespace {

TEST(PagesToPrint, OnePagePerCopyToPrinterOneToFile)
{
    EXPECT_EQ(PagesToPrint(false, 3), 3);
    EXPECT_EQ(PagesToPrint(true, 3), 1);
    EXPECT_EQ(PagesToPrint(false, 0), 1);
}

TEST(PrintPages, RefusedPageEndsTheDocumentRemovesTheFileAndSaysWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("x.prn"));
    ASSERT_TRUE(WriteBytes(file, "%PDF-1.4 half"));
    ScriptedPrinter printer;
    printer.failAt = QStringLiteral("EndPage");
    const QImage picture(4, 4, QImage::Format_RGB32);
    EXPECT_EQ(PrintPages(printer, file, 2, picture, QRect(0, 0, 60, 60)).toStdString(), "Out of paper.");
    EXPECT_EQ(printer.calls, QStringList({"StartDoc Tolva3DView Page|" + file, "StartPage",
                                          "DrawPicture 0 0 60 60 4x4", "EndPage failed", "EndDoc"}));
    EXPECT_FALSE(QFile::exists(file));
}

TEST(PrintPages, RefusalWithoutReasonStillReadsAsFailure)
{
    ScriptedPrinter printer;
    printer.failAt = QStringLiteral("StartDoc");
    printer.failure.clear();
    EXPECT_EQ(PrintPages(printer, QString(), 1, QImage(1, 1, QImage::Format_RGB32), QRect()).toStdString(),
              "The printer did not accept the document.");
    EXPECT_EQ(printer.calls, QStringList({"StartDoc Tolva3DView Page| failed"}));
}

TEST(ClipWindow, ClipboardHoldsOnePictureOfTheViewsSize)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    QImage frame(450, 450, QImage::Format_RGB32);
    frame.fill(Qt::red);
    RecordingMessages messages;
    EXPECT_FALSE(CopyCommand(frame, QSize(300, 200), &messages).isNull());
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasText());
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(300, 200));
    EXPECT_EQ(QGuiApplication::clipboard()->image().pixelColor(150, 100), QColor(Qt::red));
    EXPECT_EQ(messages.reports, QList<MessageReport>({{"3-D window copied to clipboard.", "Tolva3DView",
                                                       MessageIcon::Information}}));
}

TEST(ClipWindow, NoPictureIsReportedNotConfirmedAndLeavesTheClipboard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    RecordingMessages messages;
    EXPECT_TRUE(CopyCommand(QImage(), QSize(300, 200), &messages).isNull());
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "earlier");
    EXPECT_EQ(messages.reports,
              QList<MessageReport>({{"ClipWindow error: \nThere is no 3-D picture to copy.", "Tolva3DView",
                                     MessageIcon::Exclamation}}));
}

} // namespace
