#include "common/ui/Printers.h"
#include "common/ui/QtPlatform.h"
#include "common/ui/Sounds.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

using namespace tolva;
using namespace tolva::testing;

namespace {

// A topic without a page says so instead of failing; one with a page opens
// it in a window of its own.
TEST(HelpViewer, OpensTheTopicsPageInItsOwnWindowOrSaysThereIsNone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(WriteBytes(dir.filePath("viewer.html"), "<html><body><h1>Viewing maps</h1></body></html>"));
    QtHelpViewer help(dir.path(), QStringLiteral("Tolva3 Help"));
    help.close(); // before any topic: nothing to close
    EXPECT_EQ(help.window(), nullptr);
    for (int topic : {kHelpTopicEditor, -1}) {
        help.showTopic(topic);
        const QString shown = help.browser()->toPlainText();
        EXPECT_TRUE(shown.contains("No help for this topic") && shown.contains(QString::number(topic))) << topic;
    }
    help.showTopic(kHelpTopicViewer);
    ASSERT_NE(help.window(), nullptr);
    EXPECT_TRUE(help.window()->isVisible());
    EXPECT_FALSE(help.window()->isModal());
    EXPECT_EQ(help.window()->windowTitle(), QStringLiteral("Tolva3 Help"));
    EXPECT_TRUE(help.browser()->toPlainText().contains("Viewing maps"));
    help.close();
    EXPECT_FALSE(help.window()->isVisible());
}

// The pages we ship: one per topic beside the programs (copied from the sources),
// and every link between them leads to a page that exists.
TEST(HelpPages, EveryTopicHasAPageAndEveryLinkLeadsSomewhere)
{
    const QDir source(QStringLiteral(TOLVA_SOURCE_DIR "/data/help"));
    const QDir installed(QStringLiteral(TOLVA_BIN_DIR "/help"));
    for (int topic : {kHelpTopicViewer, kHelpTopicEditor, kHelpTopicPrinting}) {
        const QString page = QtHelpViewer::TopicPage(topic);
        ASSERT_FALSE(page.isEmpty()) << topic;
        EXPECT_TRUE(installed.exists(page)) << qPrintable(page) << " not copied beside the programs";
    }
    const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+)(#[^\"]*)?\""));
    for (const QString& page : source.entryList({"*.html"})) {
        const QString html = QString::fromUtf8(ReadBytes(source.filePath(page)));
        for (auto match = link.globalMatch(html); match.hasNext();) {
            const QString target = match.next().captured(1);
            EXPECT_TRUE(source.exists(target)) << qPrintable(page) << " links to " << qPrintable(target);
        }
    }
}

TEST(Printers, AvailableWhenAtLeastOneIsInstalled)
{
    EXPECT_FALSE(PrinterAvailable([] { return QStringList(); }));
    EXPECT_TRUE(PrinterAvailable([] { return QStringList{"Office"}; }));
    EXPECT_FALSE(PrinterAvailable(nullptr));
}

TEST(ColorRef, RedIsTheLowByte)
{
    EXPECT_EQ(ColorRefFromColor(QColor(0x99, 0x66, 0x33)), 0x336699u);
    EXPECT_EQ(ColorFromColorRef(0x00336699u), QColor(0x99, 0x66, 0x33));
    // Bits above the blue byte do not leak into the colour.
    EXPECT_EQ(ColorFromColorRef(0xFF000000u), QColor(0, 0, 0));
}

TEST(Sounds, AnOutputIsASoundServerOrASoundCard)
{
    QTemporaryDir runtime;
    const QString cards = runtime.filePath("cards");
    ASSERT_TRUE(QDir(runtime.path()).mkpath("server/pulse"));
    ASSERT_TRUE(WriteBytes(runtime.filePath("server/pulse/native"), ""));
    const bool pulseServerSet = !qEnvironmentVariableIsEmpty("PULSE_SERVER");

    EXPECT_TRUE(SoundOutputPresent(runtime.filePath("server"), cards));
    ASSERT_TRUE(WriteBytes(cards, "--- no soundcards ---\n"));
    EXPECT_EQ(SoundOutputPresent(runtime.path(), cards), pulseServerSet);
    EXPECT_EQ(SoundOutputPresent(QString(), runtime.filePath("missing")), pulseServerSet);
    ASSERT_TRUE(WriteBytes(cards, " 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"));
    EXPECT_TRUE(SoundOutputPresent(QString(), cards));
}

// Answers the next modal dialog once it is open: accepts it or cancels it.
void answerNextDialog(bool accept)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, accept] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            accept ? dialog->accept() : dialog->reject();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

TEST(QtDialogs, TheColourDialogAnswersAColourReferenceOrNothing)
{
    QtColorDialog colors;
    answerNextDialog(true);
    EXPECT_EQ(colors.chooseColor(0x336699u), std::optional<quint32>(0x336699u));
    answerNextDialog(false);
    EXPECT_EQ(colors.chooseColor(0x336699u), std::nullopt);
}

// A cancelled save dialog answers nothing, not an empty name to save to.
TEST(QtDialogs, FileDialogsStartAtTheFolderAndOfferedName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(WriteBytes(dir.filePath("Crater.ebm"), "BM"));
    QtFileDialogs files;
    answerNextDialog(true);
    EXPECT_EQ(files.openFile({"Open", dir.path(), "Crater.ebm", "Tolva3D File (*.ebm)"}),
              std::optional<QString>(QDir::toNativeSeparators(dir.filePath("Crater.ebm"))));
    const FileDialogRequest save{"Save", dir.path(), "Topo1.ebm", "Tolva3D File (*.ebm)"};
    answerNextDialog(true);
    EXPECT_EQ(files.saveFile(save), std::optional<QString>(QDir::toNativeSeparators(dir.filePath("Topo1.ebm"))));
    answerNextDialog(false);
    EXPECT_EQ(files.saveFile(save), std::nullopt);
}

} // namespace
