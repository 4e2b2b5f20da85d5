// Qt's printer behind the printer service, writing PDF files: the page count
// of a document and where the picture lands on the page; Qt's page set-up
// dialog answered by its own buttons.
#include "ModalDialogs.h"
#include "PrivateSpooler.h"

#include "common/ui/Printers.h"
#include "viewer/print/PrintJob.h"

#include "support/Controls.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::print;
using namespace tolva::testing;

namespace {

class QtPrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) are not installed";
        ASSERT_TRUE(dir.isValid());
        picture.fill(Qt::black);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    QtPrinterService printer;
    QImage picture{90, 45, QImage::Format_RGB32};
};

// Copies are pages of one document, written as PDF whatever the file's name.
TEST_F(QtPrinterTest, CopiesArePagesOfOnePdf)
{
    const QString three = path("three.prn");
    ASSERT_TRUE(PrintPages(printer, three, 3, picture, QRect(0, 0, 1440, 720)).isEmpty());
    EXPECT_EQ(PdfPages(three), 3);
}

TEST_F(QtPrinterTest, PictureLandsWhereThePlotSays)
{
    const QString out = path("placed.pdf");
    const QRect plot(1440, 2880, 2880, 1440);   // 1 in and 2 in into the printable area, 2 x 1 in
    ASSERT_TRUE(PrintPages(printer, out, 1, picture, plot).isEmpty());
    // At 72 dots per inch a dot is 20 twips.
    const QStringList render = QStringLiteral("-r 72 -png -singlefile").split(u' ') + QStringList{out, path("page")};
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"), render), 0);
    const QImage page(path("page.png"));
    QRect ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    EXPECT_NEAR(ink.x(), (printer.offsetLeft() + plot.x()) / 20.0, 1.5);
    EXPECT_NEAR(ink.y(), (printer.offsetTop() + plot.y()) / 20.0, 1.5);
    EXPECT_NEAR(ink.width(), plot.width() / 20.0, 1.5);
    EXPECT_NEAR(ink.height(), plot.height() / 20.0, 1.5);
}

TEST_F(QtPrinterTest, UnwritableFileIsRefusedWithItsName)
{
    const QString out = path("missing/folder/x.pdf");
    EXPECT_EQ(PrintPages(printer, out, 1, picture, QRect(0, 0, 100, 100)).toStdString(),
              QStringLiteral("The file \"%1\" cannot be written.").arg(out).toStdString());
    EXPECT_FALSE(QFile::exists(out));
}

TEST(PageSetupDialog, LandscapeChosenInsideItTurnsThePage)
{
    QtPrinterService printer;
    const int width = printer.pageWidth(), height = printer.pageHeight();
    ASSERT_NE(width, height);
    ASSERT_EQ(printer.orientation(), 1);
    const QStringList opened = AnswerDialogs(
        [&] { EXPECT_TRUE(printer.showDialog(PrinterService::Dialog::Setup)); },
        [](QDialog* dialog) {
            ClickLikeAUser(Control(dialog, "landscape"));
            Press(dialog, QDialogButtonBox::Ok);
        });
    EXPECT_EQ(opened, QStringList{"QPageSetupDialog"});
    EXPECT_EQ(printer.orientation(), 2);
    EXPECT_EQ(QSize(printer.pageWidth(), printer.pageHeight()), QSize(height, width));
}

} // namespace
