// The print window driven by its control names, as a user drives it, with a
// scripted printer and file dialog; a plain window stands in for the viewer.
#include "viewer/print/PrintWindow.h"
#include "viewer/print/frmPrint.h"

#include "common/SettingsStore.h"
#include "support/Controls.h"
#include "support/FakePlatform.h"
#include "support/RowNames.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

using namespace tolva;
using namespace tolva::print;
using namespace tolva::testing;

namespace {

class PrintWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform.messages = &messages;
        platform.sounds = &sounds;
        platform.help = &help;
        platform.files = &files;
        platform.printer = &printer;
        viewer = std::make_unique<QWidget>();
        viewer->setGeometry(100, 100, 800, 600);
        viewer->show();
        picture = QImage(450, 300, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        // Each test starts from the defaults the settings store would give.
        SettingsStore store;
        store.WriteSetting(settings::kTopo3D, QStringLiteral("PrintPreviewSize"), QStringLiteral("6060"));
        store.WriteSetting(settings::kTopo3D, QStringLiteral("FastPrint"), QStringLiteral("True"));
    }

    frmPrint* open() { return ShowPrintWindow(viewer.get(), picture, platform); }

    template <class T = QWidget>
    T* control(frmPrint* window, const char* name)
    {
        return tolva::testing::Control<T>(window, name);
    }
    QString text(frmPrint* window, const char* name) { return control<QLineEdit>(window, name)->text(); }

    void fireTimer(frmPrint* window)
    {
        QTimer* timer = control<QTimer>(window, "Timer1");
        ASSERT_TRUE(timer->isActive());
        timer->stop();
        QMetaObject::invokeMethod(timer, "timeout");
    }
    QString setting(const QString& key) { return SettingsStore().ReadSetting(settings::kTopo3D, key); }

    RecordingMessages messages;
    RecordingSounds sounds;
    RecordingHelp help;
    ScriptedFileDialogs files;
    ScriptedPrinter printer;
    Platform platform;
    std::unique_ptr<QWidget> viewer;
    QImage picture;
};

TEST_F(PrintWindowTest, ViewerIsDisabledWhileOpenAndEnabledByDoneOrCloseBox)
{
    frmPrint* window = open();
    QSignalSpy closed(window, &frmPrint::closed);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(viewer->isEnabled());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(control(window, "cmdHelp")->isVisible());
    EXPECT_EQ(window->windowTitle().toStdString(), "Tolva3DView Print");

    QTest::mouseClick(control<QPushButton>(window, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(viewer->isEnabled());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(sounds.played, QStringList({"Maximize", "Minimize"}));

    EXPECT_EQ(open(), window) << "the window is reused";
    EXPECT_FALSE(viewer->isEnabled());
    window->close();
    EXPECT_TRUE(viewer->isEnabled());
    EXPECT_EQ(closed.count(), 2);
}

TEST_F(PrintWindowTest, CentredOnTheViewerAtTheStoredWidthAndDoneStoresTheWidth)
{
    SettingsStore().WriteSetting(settings::kTopo3D, QStringLiteral("PrintPreviewSize"), QStringLiteral("7500"));
    frmPrint* window = open();
    EXPECT_EQ(window->size(), QSize(500, 338));
    EXPECT_EQ(window->pos(), QPoint(100 + (800 - 500) / 2, 100 + (600 - 338) / 2));

    window->resize(600, 100);
    EXPECT_EQ(window->size(), QSize(600, 438)) << "2430 twips less high than wide";
    EXPECT_EQ(control(window, "Picture1")->size(), QSize(600 - 239, 600 - 239));
    window->resize(300, 300);
    EXPECT_EQ(window->size(), QSize(404, 242)) << "never narrower than 6060 twips";
    window->resize(450, 200);
    QTest::mouseClick(control<QPushButton>(window, "cmdCancel"), Qt::LeftButton);
    EXPECT_EQ(setting(QStringLiteral("PrintPreviewSize")).toStdString(), "6750");
}

TEST_F(PrintWindowTest, WindowModeShrinksAndKeepsThePreviewSizeForNextTime)
{
    frmPrint* window = open();
    window->resize(500, 338);
    QTest::mouseClick(control<QRadioButton>(window, "optWindow"), Qt::LeftButton);
    EXPECT_EQ(window->size(), QSize(228, 233));
    EXPECT_FALSE(control(window, "picPreview")->isVisibleTo(window));
    for (const char* name : {"Frame1", "Frame2", "Frame4", "txtScale", "txtLeft", "txtTop", "chkCenter"})
        EXPECT_FALSE(control(window, name)->isEnabled()) << name;
    EXPECT_TRUE(control(window, "cmdPrint")->isEnabled());

    QTest::mouseClick(control<QRadioButton>(window, "optPlot"), Qt::LeftButton);
    EXPECT_EQ(window->size(), QSize(500, 338));
    EXPECT_TRUE(control(window, "picPreview")->isVisibleTo(window));
    QTest::mouseClick(control<QRadioButton>(window, "optWindow"), Qt::LeftButton);
    window->close();
    EXPECT_EQ(setting(QStringLiteral("PrintPreviewSize")).toStdString(), "7500");
}

TEST_F(PrintWindowTest, EditsAreLaidOutOnceWhenTheTimerFires)
{
    frmPrint* window = open();
    EXPECT_EQ(text(window, "txtLeft").toStdString(), "0.25") << "empty margins become the offsets";
    EXPECT_EQ(control<QLabel>(window, "labPrinter")->text().toStdString(), "Print to: Scripted Printer");
    EXPECT_EQ(control<QTimer>(window, "Timer1")->interval(), 1000);
    EXPECT_FALSE(control<QTimer>(window, "Timer1")->isActive());

    QLineEdit* scale = control<QLineEdit>(window, "txtScale");
    scale->clear();
    QTest::keyClicks(scale, "50");
    EXPECT_EQ(window->layout().plotWidth, 11520) << "nothing is laid out before the timer fires";
    fireTimer(window);
    EXPECT_EQ(window->layout().plotWidth, 5760);
    EXPECT_EQ(window->layout().plotHeight, 3840);

    QTest::mouseClick(control<QCheckBox>(window, "chkCenter"), Qt::LeftButton);
    EXPECT_FALSE(control(window, "txtLeft")->isEnabled());
    fireTimer(window);
    EXPECT_EQ(text(window, "txtLeft").toStdString(), "2.25");
    EXPECT_EQ(window->layout().plotLeft, 2880);

    QTest::mouseClick(control<QCheckBox>(window, "chkFit"), Qt::LeftButton);
    fireTimer(window);
    EXPECT_FALSE(control(window, "txtScale")->isEnabled());
    EXPECT_EQ(text(window, "txtScale").toStdString(), "100");
}

TEST_F(PrintWindowTest, PreviewShowsThePictureWhereTheMarginsPlaceIt)
{
    frmPrint* window = open();
    QLineEdit* left = control<QLineEdit>(window, "txtLeft");
    left->setText(QStringLiteral("2"));
    QLineEdit* scale = control<QLineEdit>(window, "txtScale");
    scale->setText(QStringLiteral("25"));
    fireTimer(window);
    const QImage sheet = control<QLabel>(window, "picPreview")->pixmap().toImage();
    ASSERT_FALSE(sheet.isNull());
    // The picture spans 2 to 4 inches across the 8.5 inch sheet, 0.25 to 1.58 down.
    const int x = sheet.width() * 3 / 8.5;
    const int y = sheet.height() * 1 / 11.0;
    EXPECT_EQ(sheet.pixelColor(x, y), QColor(Qt::darkGreen));
    EXPECT_EQ(sheet.pixelColor(sheet.width() * 1.5 / 8.5, y), QColor(Qt::white));
    EXPECT_EQ(sheet.pixelColor(sheet.width() * 5 / 8.5, y), QColor(Qt::white));
}

TEST_F(PrintWindowTest, SpinnersStepTheScaleAndTheFocusedMargin)
{
    frmPrint* window = open();
    auto* scaleSpin = control<QScrollBar>(window, "VScroll1");
    scaleSpin->setValue(-1);
    EXPECT_EQ(text(window, "txtScale").toStdString(), "101");
    EXPECT_EQ(scaleSpin->value(), 0);

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    control<QLineEdit>(window, "txtTop")->setFocus(Qt::TabFocusReason);
    auto* marginSpin = control<QScrollBar>(window, "VScroll2");
    marginSpin->setValue(-1);
    EXPECT_EQ(text(window, "txtTop").toStdString(), "0.26");
    EXPECT_EQ(text(window, "txtLeft").toStdString(), "0.25");
    EXPECT_EQ(marginSpin->value(), 0);
}

TEST_F(PrintWindowTest, LandscapeTurnsThePrinterAndThePreview)
{
    frmPrint* window = open();
    QTest::mouseClick(control<QRadioButton>(window, "optLand"), Qt::LeftButton);
    EXPECT_EQ(printer.orient, 2);
    const QSize preview = control(window, "picPreview")->size();
    EXPECT_GT(preview.width(), preview.height());
    EXPECT_EQ(window->page().pageWidth, 15840);
}

TEST_F(PrintWindowTest, ThreeCopiesToThePrinterAreThreePagesAndFastPrintIsKept)
{
    printer.copyCount = 3;
    printer.answerFastPrint = false;
    frmPrint* window = open();
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    const QString page = QStringLiteral("DrawPicture 0 0 11520 7680 450x300");
    EXPECT_EQ(printer.calls, QStringList({"StartDoc Tolva3DView Page|", "StartPage", page, "EndPage", "StartPage",
                                          page, "EndPage", "StartPage", page, "EndPage", "EndDoc"}));
    EXPECT_EQ(setting(QStringLiteral("FastPrint")).toStdString(), "False");
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(printer.offeredFastPrint, QList<bool>({true, false}));
    EXPECT_TRUE(messages.reports.isEmpty());
}

TEST_F(PrintWindowTest, PrintToFileAsksForTheFileAndPrintsOnePage)
{
    printer.copyCount = 3;
    printer.toFile = true;
    files.answers = {std::nullopt, QStringLiteral("/tmp/out.prn")};
    frmPrint* window = open();
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    EXPECT_TRUE(printer.calls.isEmpty()) << "a cancelled file dialog prints nothing";
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    ASSERT_EQ(files.requests.size(), 2);
    EXPECT_EQ(files.requests[1].caption.toStdString(), "Print To File");
    EXPECT_EQ(files.requests[1].fileName.toStdString(), "*.prn");
    EXPECT_EQ(files.requests[1].filter.toStdString(), "Printer Files (*.prn);;PDF Files (*.pdf)");
    EXPECT_EQ(printer.calls, QStringList({"StartDoc Tolva3DView Page|/tmp/out.prn", "StartPage",
                                          "DrawPicture 0 0 11520 7680 450x300", "EndPage", "EndDoc"}));
    EXPECT_TRUE(messages.reports.isEmpty());
}

TEST_F(PrintWindowTest, CancelledPrintDialogPrintsNothingSilently)
{
    printer.accept = false;
    frmPrint* window = open();
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    EXPECT_TRUE(printer.calls.isEmpty());
    EXPECT_TRUE(messages.reports.isEmpty());
}

TEST_F(PrintWindowTest, RefusedPrintIsReportedAndTheWindowStays)
{
    printer.failAt = QStringLiteral("StartPage");
    frmPrint* window = open();
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(messages.reports,
              QList<MessageReport>({{"Printing error: Out of paper.", "Tolva3DView", MessageIcon::Exclamation}}));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(PrintWindowTest, FailingDialogsAreReportedByTheirCommand)
{
    frmPrint* window = open();
    printer.failure = QStringLiteral("The printer is not reachable.");
    printer.failAt = QStringLiteral("ShowDialog");
    QTest::mouseClick(control<QPushButton>(window, "cmdPrinter"), Qt::LeftButton);
    printer.failAt = QStringLiteral("ShowDialog");
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(messages.reports,
              QList<MessageReport>({{"Print setup error: The printer is not reachable.", "Tolva3DView", MessageIcon::Exclamation},
                                    {"Printing error: The printer is not reachable.", "Tolva3DView", MessageIcon::Exclamation}}));
    EXPECT_TRUE(printer.calls.isEmpty());
}

TEST_F(PrintWindowTest, PrintWindowOptionPrintsTheViewerAtScreenSize)
{
    frmPrint* window = open();
    QTest::mouseClick(control<QRadioButton>(window, "optWindow"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(window, "cmdPrint"), Qt::LeftButton);
    EXPECT_EQ(printer.calls, QStringList({"StartDoc Tolva3DView Page|", "StartPage",
                                          "DrawPicture 0 0 11520 8640 800x600", "EndPage", "EndDoc"}));
}

TEST_F(PrintWindowTest, SetupRereadsThePrinterAndHelpOpensTheTopic)
{
    frmPrint* window = open();
    printer.name = QStringLiteral("Other Printer");
    QTest::mouseClick(control<QPushButton>(window, "cmdPrinter"), Qt::LeftButton);
    EXPECT_EQ(printer.dialogs, QStringList({"Setup"}));
    EXPECT_EQ(control<QLabel>(window, "labPrinter")->text().toStdString(), "Print to: Other Printer");
    QTest::mouseClick(control<QPushButton>(window, "cmdHelp"), Qt::LeftButton);
    EXPECT_EQ(help.topics, QList<int>({kHelpTopicPrinting}));
}

TEST_F(PrintWindowTest, PrintCommandCopiesThePictureAsShownAndOpensTheWindow)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    frmPrint* window = PrintCommand(viewer.get(), picture, QSize(320, 240), platform);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(320, 240));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasText());
    EXPECT_FALSE(viewer->isEnabled());
    window->close();

    EXPECT_EQ(PrintCommand(viewer.get(), QImage(), QSize(320, 240), platform), nullptr);
    EXPECT_TRUE(viewer->isEnabled());
    ASSERT_EQ(messages.reports.size(), 1);
    EXPECT_TRUE(messages.reports[0].text.startsWith("ClipWindow error: \n"));
}

struct ControlRow {
    const char* name;
    const char* caption;
    const char* toolTip;
};
void PrintTo(const ControlRow& row, std::ostream* os) { *os << row.name; }

const ControlRow kControls[] = {
    {"Frame3", "Print", "Select printing option"},
    {"optPlot", "Print Plot", "Precise print of the graph or plot"},
    {"optWindow", "Print Window", "Quick print of application window: Preview unavailabe"},
    {"Frame4", "Orientation", "Select orientation"},
    {"optPort", "Portrait", ""}, {"optLand", "Landscape", ""},
    {"Frame2", "Scale (%)", "Adjust the printed size"},
    {"chkFit", "Fit to Page", ""},
    {"Frame1", "Margins (in.)", "Adjust the page margins"},
    {"chkCenter", "Center on Page", ""},
    {"cmdPrinter", "Print Setup", "Select the printer to use"},
    {"cmdPrint", "Print", "Start printing"},
    {"cmdCancel", "Done", "Close this window"},
    {"cmdHelp", "Help", "Help on Tolva3 Print"},
    {"Label3", "Preview", ""}, {"Label4", "(Drag corner to resize)", ""},
    {"Label1", "Left:", ""}, {"Label2", "Top:", ""},
    {"Picture1", "", ""}, {"picPreview", "", ""}, {"Image1", "", ""},
    {"VScroll1", "", ""}, {"VScroll2", "", ""}, {"txtLeft", "", ""}, {"txtTop", "", ""},
};

class PrintWindowControls : public ::testing::TestWithParam<ControlRow> {};

TEST_P(PrintWindowControls, NamedWithCaptionAndToolTip)
{
    ScriptedPrinter printer;
    Platform platform;
    platform.printer = &printer;
    frmPrint window(platform);
    const ControlRow& row = GetParam();
    QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(row.name));
    ASSERT_NE(widget, nullptr);
    QString caption;
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        caption = box->title();
    else if (widget->metaObject()->indexOfProperty("text") >= 0 && !qobject_cast<QLineEdit*>(widget))
        caption = widget->property("text").toString();
    EXPECT_EQ(caption.toStdString(), row.caption);
    EXPECT_EQ(widget->toolTip().toStdString(), row.toolTip);
}

INSTANTIATE_TEST_SUITE_P(Rows, PrintWindowControls, ::testing::ValuesIn(kControls), tolva::testing::RowName());

} // namespace

namespace {

// The whole way through Qt's own print dialog and printer: with no printer
// installed the dialog offers a PDF file, the form asks for the file's name,
// and one page is written whatever the copies.
TEST(PrintWindowWithQtPrinter, PrintsOnePdfPageThroughQtsPrintDialog)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is installed: the print dialog would print on paper";
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "poppler-utils (pdfinfo) is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("view.prn"));
    RecordingMessages messages;
    ScriptedFileDialogs files;
    files.answers = {out};
    Platform platform;
    platform.messages = &messages;
    platform.files = &files;
    QWidget viewer;
    viewer.resize(640, 480);
    viewer.show();
    QImage picture(450, 300, QImage::Format_RGB32);
    picture.fill(Qt::black);
    frmPrint* window = ShowPrintWindow(&viewer, picture, platform);

    QStringList dialogs;
    QTimer confirm;
    QObject::connect(&confirm, &QTimer::timeout, [&dialogs] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialogs.append(QString::fromLatin1(dialog->metaObject()->className()));
            dialog->accept();
        }
    });
    confirm.start(0);
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdPrint")), Qt::LeftButton);
    confirm.stop();

    EXPECT_EQ(dialogs.size(), 1) << dialogs.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(messages.reports.isEmpty()) << messages.reports.value(0).text.toStdString();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {out});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    window->close();
    delete window;
}

} // namespace
