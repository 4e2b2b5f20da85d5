// The print window driven by its control names, as a user drives it, with a
// scripted printer and file dialog; a plain window stands in for the viewer.
#include "ModalDialogs.h"
#include "PrivateSpooler.h"

#include "viewer/print/PrintWindow.h"
#include "viewer/print/frmPrint.h"

#include "common/SettingsStore.h"
#include "support/Controls.h"
#include "support/FakePlatform.h"
#include "support/RowNames.h"

#include <QClipboard>
#include <QGroupBox>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

using namespace tolva;
using namespace tolva::print;
using namespace tolva::testing;

namespace {

const QString kDrawn = QStringLiteral("DrawPicture 0 0 11520 7680 450x300");

class PrintWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform = {.messages = &messages, .sounds = &sounds, .help = &help, .files = &files, .printer = &printer};
        viewer.setGeometry(100, 100, 800, 600);
        viewer.show();
        picture.fill(Qt::darkGreen);
        // Each test starts from the defaults the settings store would give.
        store.WriteSetting(settings::kTopo3D, QStringLiteral("PrintPreviewSize"), QStringLiteral("6060"));
        store.WriteSetting(settings::kTopo3D, QStringLiteral("FastPrint"), QStringLiteral("True"));
    }

    frmPrint* open() { return ShowPrintWindow(&viewer, picture, platform); }
    void click(frmPrint* window, const char* name) { ClickLikeAUser(Control(window, name)); }
    std::string text(frmPrint* window, const char* name) { return ShownText(Control(window, name)).toStdString(); }
    std::string setting(const char* key) { return store.ReadSetting(settings::kTopo3D, key).toStdString(); }
    void fireTimer(frmPrint* window)
    {
        auto* timer = Control<QTimer>(window, "Timer1");
        ASSERT_TRUE(timer->isActive());
        timer->stop();
        QMetaObject::invokeMethod(timer, "timeout");
    }

    SettingsStore store;
    RecordingMessages messages;
    RecordingSounds sounds;
    RecordingHelp help;
    ScriptedFileDialogs files;
    ScriptedPrinter printer;
    Platform platform;
    QWidget viewer;
    QImage picture{450, 300, QImage::Format_RGB32};
};

TEST_F(PrintWindowTest, ViewerIsDisabledWhileOpenAndEnabledByDoneOrCloseBox)
{
    frmPrint* window = open();
    QSignalSpy closed(window, &frmPrint::closed);
    EXPECT_FALSE(viewer.isEnabled());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(Control(window, "cmdHelp")->isVisible()); // and so the window too
    EXPECT_EQ(window->windowTitle().toStdString(), "Tolva3DView Print");

    click(window, "cmdCancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(viewer.isEnabled());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(sounds.played, QStringList({"Maximize", "Minimize"}));

    EXPECT_EQ(open(), window) << "the window is reused";
    EXPECT_FALSE(viewer.isEnabled());
    window->close();
    EXPECT_TRUE(viewer.isEnabled());
    EXPECT_EQ(closed.count(), 2);
}

TEST_F(PrintWindowTest, CentredOnTheViewerAtTheStoredWidthAndDoneStoresTheWidth)
{
    store.WriteSetting(settings::kTopo3D, QStringLiteral("PrintPreviewSize"), QStringLiteral("7500"));
    frmPrint* window = open();
    EXPECT_EQ(window->size(), QSize(500, 338));
    EXPECT_EQ(window->pos(), QPoint(100 + (800 - 500) / 2, 100 + (600 - 338) / 2));

    window->resize(600, 100);
    EXPECT_EQ(window->size(), QSize(600, 438)) << "2430 twips less high than wide";
    EXPECT_EQ(Control(window, "Picture1")->size(), QSize(600 - 239, 600 - 239));
    window->resize(450, 200);
    click(window, "cmdCancel");
    EXPECT_EQ(setting("PrintPreviewSize"), "6750");
}

TEST_F(PrintWindowTest, WindowModeShrinksAndKeepsThePreviewSizeForNextTime)
{
    frmPrint* window = open();
    window->resize(500, 338);
    click(window, "optWindow");
    EXPECT_EQ(window->size(), QSize(228, 233));
    EXPECT_FALSE(Control(window, "picPreview")->isVisibleTo(window));
    for (const char* name : {"Frame1", "Frame2", "Frame4", "txtScale", "txtLeft", "txtTop", "chkCenter"})
        EXPECT_FALSE(Control(window, name)->isEnabled()) << name;
    EXPECT_TRUE(Control(window, "cmdPrint")->isEnabled());

    click(window, "optPlot");
    EXPECT_EQ(window->size(), QSize(500, 338));
    EXPECT_TRUE(Control(window, "picPreview")->isVisibleTo(window));
    click(window, "optWindow");
    window->close();
    EXPECT_EQ(setting("PrintPreviewSize"), "7500");
}

TEST_F(PrintWindowTest, EditsAreLaidOutOnceWhenTheTimerFires)
{
    frmPrint* window = open();
    auto* scale = Control<QLineEdit>(window, "txtScale");
    scale->clear();
    QTest::keyClicks(scale, "50");
    EXPECT_EQ(window->layout().plotWidth, 11520) << "nothing is laid out before the timer fires";
    fireTimer(window);
    EXPECT_EQ(window->layout().plotWidth, 5760);

    click(window, "chkCenter");
    EXPECT_FALSE(Control(window, "txtLeft")->isEnabled());
    fireTimer(window);
    EXPECT_EQ(text(window, "txtLeft"), "2.25");

    click(window, "chkFit");
    fireTimer(window);
    EXPECT_FALSE(Control(window, "txtScale")->isEnabled());
    EXPECT_EQ(text(window, "txtScale"), "100");
}

TEST_F(PrintWindowTest, PreviewShowsThePictureWhereTheMarginsPlaceIt)
{
    frmPrint* window = open();
    Control<QLineEdit>(window, "txtLeft")->setText(QStringLiteral("2"));
    Control<QLineEdit>(window, "txtScale")->setText(QStringLiteral("25"));
    fireTimer(window);
    const QImage sheet = Control<QLabel>(window, "picPreview")->pixmap().toImage();
    // The picture spans 2 to 4 inches across the 8.5 inch sheet, 0.25 to 1.58 down.
    const int y = sheet.height() * 1 / 11.0;
    EXPECT_EQ(sheet.pixelColor(sheet.width() * 3 / 8.5, y), QColor(Qt::darkGreen));
    EXPECT_EQ(sheet.pixelColor(sheet.width() * 1.5 / 8.5, y), QColor(Qt::white));
    EXPECT_EQ(sheet.pixelColor(sheet.width() * 5 / 8.5, y), QColor(Qt::white));
}

TEST_F(PrintWindowTest, SpinnersStepTheScaleAndTheFocusedMargin)
{
    frmPrint* window = open();
    auto* scaleSpin = Control<QScrollBar>(window, "VScroll1");
    scaleSpin->setValue(-1);
    EXPECT_EQ(text(window, "txtScale"), "101");
    EXPECT_EQ(scaleSpin->value(), 0);

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    Control(window, "txtTop")->setFocus(Qt::TabFocusReason);
    auto* marginSpin = Control<QScrollBar>(window, "VScroll2");
    marginSpin->setValue(-1);
    EXPECT_EQ(text(window, "txtTop"), "0.26");
    EXPECT_EQ(text(window, "txtLeft"), "0.25");
    EXPECT_EQ(marginSpin->value(), 0);
}

TEST_F(PrintWindowTest, LandscapeTurnsThePrinterAndThePreview)
{
    frmPrint* window = open();
    click(window, "optLand");
    EXPECT_EQ(printer.orient, 2);
    const QSize preview = Control(window, "picPreview")->size();
    EXPECT_GT(preview.width(), preview.height());
}

TEST_F(PrintWindowTest, FastPrintAnswerIsKeptForNextTime)
{
    printer.answerFastPrint = false;
    frmPrint* window = open();
    click(window, "cmdPrint");
    EXPECT_EQ(setting("FastPrint"), "False");
    click(window, "cmdPrint");
    EXPECT_EQ(printer.offeredFastPrint, QList<bool>({true, false}));
}

TEST_F(PrintWindowTest, PrintToFileAsksForTheFileAndPrintsOnePage)
{
    printer.copyCount = 3;
    printer.toFile = true;
    files.answers = {std::nullopt, QStringLiteral("/tmp/out.prn")};
    frmPrint* window = open();
    click(window, "cmdPrint");
    EXPECT_TRUE(printer.calls.isEmpty()) << "a cancelled file dialog prints nothing";
    click(window, "cmdPrint");
    ASSERT_EQ(files.requests.size(), 2);
    EXPECT_EQ(QStringList({files.requests[1].caption, files.requests[1].fileName, files.requests[1].filter}),
              QStringList({"Print To File", "*.prn", "Printer Files (*.prn);;PDF Files (*.pdf)"}));
    EXPECT_EQ(printer.calls, QStringList({"StartDoc Tolva3DView Page|/tmp/out.prn", "StartPage", kDrawn, "EndPage",
                                          "EndDoc"}));
    EXPECT_TRUE(messages.reports.isEmpty());
}

// One press of a button with a scripted printer: what it was asked and what
// the user was told.
struct PressRow {
    const char *name, *button; int copies; bool accept; const char* failAt; QStringList calls; const char* report;
};
void PrintTo(const PressRow& row, std::ostream* os) { *os << row.name; }

const QStringList kOnePage = {"StartPage", kDrawn, "EndPage"};
const PressRow kPressRows[] = {
    {"ThreeCopiesAreThreePages", "cmdPrint", 3, true, "",
     QStringList{"StartDoc Tolva3DView Page|"} + kOnePage + kOnePage + kOnePage + QStringList{"EndDoc"}, ""},
    {"CancelledPrintDialogPrintsNothingSilently", "cmdPrint", 1, false, "", {}, ""},
    {"RefusedPageIsReported", "cmdPrint", 1, true, "StartPage", {"StartDoc Tolva3DView Page|", "StartPage failed", "EndDoc"},
     "Printing error: Out of paper."},
    {"FailingPrintDialogIsReported", "cmdPrint", 1, true, "ShowDialog", {}, "Printing error: Out of paper."},
    {"FailingSetupDialogIsReported", "cmdPrinter", 1, true, "ShowDialog", {}, "Print setup error: Out of paper."},
};

class PrintWindowPress : public PrintWindowTest, public ::testing::WithParamInterface<PressRow> {};

TEST_P(PrintWindowPress, AsksThePrinterAndReportsWhatFailed)
{
    const PressRow& row = GetParam();
    printer.copyCount = row.copies;
    printer.accept = row.accept;
    printer.failAt = QString::fromLatin1(row.failAt);
    frmPrint* window = open();
    click(window, row.button);
    EXPECT_EQ(printer.calls, row.calls);
    const QList<MessageReport> told = {{QString::fromLatin1(row.report), "Tolva3DView", MessageIcon::Exclamation}};
    EXPECT_EQ(messages.reports, *row.report ? told : QList<MessageReport>());
    EXPECT_TRUE(window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Rows, PrintWindowPress, ::testing::ValuesIn(kPressRows), RowName());

TEST_F(PrintWindowTest, SetupRereadsThePrinterAndHelpOpensTheTopic)
{
    frmPrint* window = open();
    printer.name = QStringLiteral("Other Printer");
    click(window, "cmdPrinter");
    EXPECT_EQ(printer.dialogs, QStringList({"Setup"}));
    EXPECT_EQ(text(window, "labPrinter"), "Print to: Other Printer");
    click(window, "cmdHelp");
    EXPECT_EQ(help.topics, QList<int>({kHelpTopicPrinting}));
}

TEST_F(PrintWindowTest, PrintCommandCopiesThePictureAsShownAndOpensTheWindow)
{
    frmPrint* window = PrintCommand(&viewer, picture, QSize(320, 240), platform);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(320, 240));
    window->close();

    EXPECT_EQ(PrintCommand(&viewer, QImage(), QSize(320, 240), platform), nullptr);
    EXPECT_TRUE(viewer.isEnabled());
    EXPECT_EQ(messages.reports.size(), 1); // the capture's report
}

// Every control a user or a tool finds by its name, with its caption and tool
// tip as the window shows them.
TEST_F(PrintWindowTest, EveryControlIsNamedWithItsCaptionAndToolTip)
{
    struct Row { const char* name; const char* caption = ""; const char* toolTip = ""; };
    const Row rows[] = {
        {"Frame3", "Print", "Select printing option"},
        {"optPlot", "Print Plot", "Precise print of the graph or plot"},
        {"optWindow", "Print Window", "Quick print of application window: Preview unavailabe"},
        {"Frame4", "Orientation", "Select orientation"}, {"Frame2", "Scale (%)", "Adjust the printed size"},
        {"Frame1", "Margins (in.)", "Adjust the page margins"},
        {"cmdPrinter", "Print Setup", "Select the printer to use"}, {"cmdPrint", "Print", "Start printing"},
        {"cmdCancel", "Done", "Close this window"}, {"cmdHelp", "Help", "Help on Tolva3 Print"},
        {"optPort", "Portrait"}, {"optLand", "Landscape"}, {"chkFit", "Fit to Page"}, {"chkCenter", "Center on Page"},
        {"Label3", "Preview"}, {"Label4", "(Drag corner to resize)"}, {"Label1", "Left:"}, {"Label2", "Top:"},
        {"Picture1"}, {"picPreview"}, {"Image1"},
    };
    frmPrint window(platform);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget* widget = Control(&window, row.name);
        ASSERT_NE(widget, nullptr);
        auto* box = qobject_cast<QGroupBox*>(widget);
        EXPECT_EQ((box ? box->title() : ShownText(widget)).toStdString(), row.caption);
        EXPECT_EQ(widget->toolTip().toStdString(), row.toolTip);
    }
}

// The whole way through Qt's own print dialog and printer: with no printer
// installed the dialog offers a PDF file, the form asks for the file's name
// again (its own choice of name wins), and one page is written.
TEST_F(PrintWindowTest, PrintsOnePdfPageThroughQtsPrintDialog)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is installed: the print dialog would print on paper";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("view.prn"));
    files.answers = {out};
    platform.printer = nullptr; // Qt's own
    frmPrint* window = open();
    const QStringList opened = AnswerDialogs([&] { click(window, "cmdPrint"); }, [&dir](QDialog* dialog) {
        Control<QLineEdit>(dialog, "filename")->setText(dir.filePath(QStringLiteral("dialog.pdf")));
        Press(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(opened, QStringList{"QPrintDialog"});
    EXPECT_TRUE(messages.reports.isEmpty()) << messages.reports.value(0).text.toStdString();
    EXPECT_EQ(PdfPages(out), 1);
}

} // namespace
