// The viewer's window, driven by its control names as a user drives it, with
// a scripted clock, scripted dialogs and recorded message boxes; the motion
// loop's passes are run one at a time.
#include "window/frm3DView.h"
#include "window/PictureBox.h"
#include "terrain/MapPicture.h"
#include "viewer/print/PageLayout.h"

#include "common/Messages.h"
#include "common/SettingsStore.h"
#include "support/Controls.h"
#include "support/FakePlatform.h"
#include "support/Files.h"
#include "support/RowNames.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QOpenGLContext>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

using namespace tolva;
using namespace tolva::testing;

namespace {

const QString kTitle = QStringLiteral("Tolva3DView");

// A file dialog's request as one comparable list: caption, folder, name, filter.
QStringList Fields(const FileDialogRequest& r) { return {r.caption, r.folder, r.fileName, r.filter}; }

class ViewerWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Mossane"), QStringLiteral("Tolva3")).clear();
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("program"))) && QDir().mkpath(dataPath()));
        store.WriteSetting(settings::kSettings, settings::kDataPath, dataPath());
        platform = {.messages = &messages, .clock = &clock, .sounds = &sounds, .help = &help, .files = &files, .colors = &colors};
        setup.programFolder = dir.filePath(QStringLiteral("program"));
    }

    QString dataPath() const { return dir.filePath(QStringLiteral("data/")); }
    QString liveMap() const { return dir.filePath(QStringLiteral("program/Tolva3D.ebm")); }
    QString dataFile(const QString& name) const { return dataPath() + name; }

    // Writes a map: a dark field of 360 x 180 with a white block in its top-left quarter.
    static void WriteMap(const QString& path)
    {
        QImage image(360, 180, QImage::Format_RGB32);
        image.fill(qRgb(40, 40, 40));
        QPainter(&image).fillRect(0, 0, 180, 90, Qt::white);
        ASSERT_TRUE(image.save(path, "BMP")) << path.toStdString();
    }

    bool start(const QString& commandLine = QString())
    {
        setup.commandLine = commandLine;
        form = std::make_unique<frm3DView>(platform, setup);
        const bool started = form->Start();
        // Focus and the keys go where a user's would only in the active window.
        QApplication::setActiveWindow(form.get());
        return started;
    }
    // Opens `path` through the open dialog.
    void open(const QString& path) { files.answers.push_back(path); click("cmdOpen"); }
    // Starts with the map `name` written to the data folder and opened: the motion runs.
    void startWith(const QString& name) { WriteMap(dataFile(name)); ASSERT_TRUE(start()); open(dataFile(name)); }
    // Stop, taken at the loop's next pass.
    void stop() { click("cmdAction"); form->motionPass(); }

    template <class T = QWidget>
    T* w(const char* name) { return Control<T>(form.get(), name); }
    QString text(const char* name) { return ShownText(w(name)); }
    bool enabled(const char* name) { return w(name)->isEnabled(); }
    // Those of `names` that are enabled, in the order given, a blank between.
    std::string enabledOf(std::initializer_list<const char*> names)
    {
        QStringList on;
        for (const char* name : names)
            if (enabled(name))
                on.append(QString::fromLatin1(name));
        return on.join(QLatin1Char(' ')).toStdString();
    }
    bool checked(const char* name) { return w<QAbstractButton>(name)->isChecked(); }
    bool down(const char* name) { return w<QAbstractButton>(name)->isDown(); }
    void click(const char* name) { ClickLikeAUser(w(name)); }
    void typeInto(const char* name, const QString& value)
    {
        w<QLineEdit>(name)->selectAll();
        QTest::keyClicks(w(name), value);
    }
    QString setting(const QString& key) { return store.ReadSetting(settings::kTopo3D, key, QStringLiteral("<none>")); }
    Frame camera() { return form->scene().FrameList().at(1); }
    QImage shown() { return w<PictureBox>("picMain")->picture(); }

    QTemporaryDir dir;
    SettingsStore store;
    RecordingMessages messages;
    FixedClock clock;
    RecordingSounds sounds;
    RecordingHelp help;
    ScriptedFileDialogs files;
    ScriptedColors colors;
    Platform platform;
    ViewerSetup setup;
    std::unique_ptr<frm3DView> form; // the first member to go
};

// --- The form ------------------------------------------------------------------

// Every control a user or a tool finds by its name, with its caption (where it
// shows one) and tool tip, before start-up.
TEST_F(ViewerWindowTest, EveryControlCarriesItsNameCaptionAndTooltip)
{
    struct Row { const char* name; const char* caption = nullptr; const char* tooltip = ""; }; // caption nullptr: none
    const Row rows[] = {
        {"frTop"}, {"frVeiw"}, {"HScroll2"}, {"HScroll1"}, {"frMesh"}, {"Frame3"}, {"MapCursor"}, {"picMain"},
        {"picPrint"}, {"picMirror"}, {"frBottom"}, {"frControl"}, {"cmdDown"}, {"cmdUp"}, {"cmdLeft"}, {"cmdRight"},
        {"Label7", "Angle:"}, {"lblColor", "Color :"}, {"Label4", "Light :"}, {"Label3", "Height :"},
        {"cmdAuto", "Auto"}, {"cmdAction", "Start"}, {"labAuto", "Auto"},
        {"Label1", "Loading DirectDraw Software Emulation..."},
        {"chkRotate", "Rotate", "Check to rotate around center"},
        {"txtAngle", "0", "Adjust vertical view angle"}, {"UpDown2", nullptr, "Adjust vertical view angle"},
        {"optPan", "Pan", "Move view left/right"},
        {"optFly", "Fly Altitude = 30", "Fly over topography"}, {"optWalk", "Walk: Speed = 10", "Walk over topography"},
        {"labDir", "Direction = 0", "Azimuthal degrees for movement"},
        {"optSoft", "Software", "3-D rendering by software emulation"},
        {"optHard", "Hardware", "3-D rendering by graphics card"},
        {"optWire", "Wireframe", "Render view as wireframe"}, {"optSolid", "Solid", "Render view as solid"},
        {"optPoints", "Points", "Render view as points"}, {"txtLight", "0.75", "Light attenuation with distance"},
        {"txtMeshHeight", "30", "Vertical exageration"}, {"SSPanel1", nullptr, "Choose color of earth"},
        {"UpDown1", nullptr, "Adjust selected height/light"},
        {"picMap", nullptr, "Double-click to reload topographic file"},
        {"cmdCopy", "Copy", "Copy the 3D to the Windows Clipboard for pasting into another application"},
        {"cmdHelp", nullptr, "Help on Tolva3D View"},
        {"chkActive", "Active Update", "Check to make the viewer update to new maps as they being created by Tolva"},
        {"chkKeepView", "Keep View", "Keep the camera where it is when a new map arrives"},
        {"cmdExit", "Exit", "Exit Tolva3D View"}, {"cmdPrint", "Print", "Print current 3D view"},
        {"cmdReset", "Reset", "\"Reset view to start\""},
        {"cmdSave", "Save", "Save current topographic image for future viewing"},
        {"cmdOpen", "Open", "Open saved topography"},
    };
    form = std::make_unique<frm3DView>(platform, setup);
    EXPECT_EQ(form->objectName(), QStringLiteral("frm3DView"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget* control = w(row.name);
        ASSERT_NE(control, nullptr);
        if (row.caption) {
            EXPECT_EQ(text(row.name).toStdString(), row.caption);
        }
        EXPECT_EQ(control->toolTip().toStdString(), row.tooltip);
    }
}

// --- Start-up and closing ------------------------------------------------------

// The stored left (twips) held on the screen, one start after another.
TEST_F(ViewerWindowTest, StoredLeftIsHeldOnTheScreen)
{
    enum Held { Inside, AtTheLeftEdge, Centred, AtTheRightEdge };
    const struct { const char* name; const char* stored; Held held; } rows[] = {
        {"left of the screen", "-500", AtTheLeftEdge},
        {"beyond the right edge", "999999", AtTheRightEdge},
        {"partly off the right edge kept", nullptr, Inside}, // half the window off the screen's right edge
        {"not a number", "abc", Centred},
    };
    form = std::make_unique<frm3DView>(platform, setup);
    const double tpp = 1440.0 / form->logicalDpiX();
    const QRect screen = form->screen()->geometry();
    const double room = (screen.width() - form->width()) * tpp; // the lefts that keep the window whole
    const double inside = room + form->width() * tpp / 2;
    const double left[] = {inside, 0, room / 2, room};
    for (const auto& [name, stored, held] : rows) {
        SCOPED_TRACE(name);
        store.WriteSetting(settings::kTopo3D, settings::kLeft, stored ? QString(stored) : QString::number(inside));
        form.reset();
        ASSERT_TRUE(start());
        EXPECT_NEAR(form->x() - screen.x(), left[held] / tpp, 1.0);
    }
}

TEST_F(ViewerWindowTest, StartReadsTheViewSettingsAndCloseWritesThemAsText)
{
    store.WriteSetting(settings::kTopo3D, settings::kTopoHeight, QStringLiteral("25"));
    store.WriteSetting(settings::kTopo3D, settings::kTopoLight, QStringLiteral("0.8"));
    store.WriteSetting(settings::kTopo3D, settings::kTopoColor, QStringLiteral("255"));
    store.WriteSetting(settings::kTopo3D, QStringLiteral("KeepView"), QStringLiteral("True"));
    ASSERT_TRUE(start());
    EXPECT_EQ(text("txtMeshHeight"), QStringLiteral("25"));
    EXPECT_EQ(text("txtLight"), QStringLiteral("0.8"));
    EXPECT_EQ(form->view().EarthColor, 255u);
    EXPECT_TRUE(checked("chkKeepView"));
    EXPECT_EQ(setting(settings::kCaption), QStringLiteral("Tolva3D Viewer"));
    EXPECT_FALSE(enabled("cmdPrint")); // no printer
    click("cmdHelp");
    EXPECT_EQ(help.topics, QList<int>{96});

    typeInto("txtMeshHeight", QStringLiteral("12"));
    click("cmdExit");
    EXPECT_EQ(setting(settings::kTopoHeight), QStringLiteral("12"));
    EXPECT_FALSE(setting(settings::kLeft).contains(QLatin1Char('@')));
}

TEST_F(ViewerWindowTest, StoredHardwareWithoutADeviceFallsBackAndIsSavedAsSoftware)
{
    store.WriteSetting(settings::kTopo3D, settings::kTopoRender, QStringLiteral("True"));
    setup.display.contextFactory = [] { return std::unique_ptr<QOpenGLContext>(); };
    ASSERT_TRUE(start());
    EXPECT_FALSE(enabled("optHard"));
    form->close();
    EXPECT_EQ(setting(settings::kTopoRender), QStringLiteral("False"));
}

TEST_F(ViewerWindowTest, NoDisplayAtAllIsReportedAndTheWindowUnloads)
{
    setup.display.failAt = SetupStep::DirectDraw;
    EXPECT_FALSE(start());
    ASSERT_FALSE(messages.reports.isEmpty());
    EXPECT_EQ(messages.reports.last(),
              (MessageReport{QStringLiteral("Cannot run DirectX version on this system."), kTitle, MessageIcon::Critical}));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(setting(settings::kCaption), QStringLiteral("Closed"));
}

// A live map announced by the command line at start-up or by the flag the
// idle poll reads: only exactly "/open" or "True" loads it, and only the
// program folder's map (the data folder's of that name is another).
// byFlag: announced by the flag, not by the command line; signal: the command line, or the flag's text.
struct LiveMapRow { const char* name; bool byFlag; QString signal; bool mapThere; bool loads; };
void PrintTo(const LiveMapRow& row, std::ostream* os) { *os << row.name; }

class LiveMapTest : public ViewerWindowTest, public ::testing::WithParamInterface<LiveMapRow> {};

TEST_P(LiveMapTest, OnlyAnExactSignalLoadsAnExistingLiveMap)
{
    const LiveMapRow& row = GetParam();
    WriteMap(dataFile(QStringLiteral("Tolva3D.ebm")));
    if (row.mapThere)
        WriteMap(liveMap());
    ASSERT_TRUE(start(row.byFlag ? QString() : row.signal));
    if (row.byFlag) {
        store.WriteSetting(settings::kTopo3D, settings::kNewFile, row.signal);
        form->Timer1_Timer();
        EXPECT_EQ(setting(settings::kNewFile), row.loads ? QStringLiteral("False") : row.signal);
    } else {
        EXPECT_EQ(checked("chkActive"), row.loads);
    }
    EXPECT_EQ(form->windowTitle(), row.loads ? QStringLiteral("Tolva3D Viewer - Tolva3D") : QStringLiteral("Tolva3D Viewer"));
    EXPECT_TRUE(files.requests.isEmpty());
    EXPECT_TRUE(messages.reports.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rows, LiveMapTest,
                         ::testing::Values(LiveMapRow{"open", false, QStringLiteral("/open"), true, true},
                                           LiveMapRow{"open without the map", false, QStringLiteral("/open"), false, false},
                                           LiveMapRow{"open in capitals", false, QStringLiteral("/OPEN"), true, false},
                                           LiveMapRow{"flag True", true, QStringLiteral("True"), true, true},
                                           LiveMapRow{"flag in lower case", true, QStringLiteral("true"), true, false},
                                           LiveMapRow{"flag True without the map", true, QStringLiteral("True"), false, false}),
                         RowName());

// --- FileOpen --------------------------------------------------------------------

// Height and light beyond their ranges are held to them, and the limits
// written back to the boxes, when a map is opened.
TEST_F(ViewerWindowTest, HeightAndLightAreHeldToTheirRangesAndWrittenBack)
{
    struct Row { const char *height, *light, *heightShown, *lightShown; float attenuation; };
    WriteMap(dataFile(QStringLiteral("Crater.ebm")));
    ASSERT_TRUE(start());
    for (const Row& row : {Row{"0.5", "0", "1", "0.10", 0.9f}, Row{"75", "1.5", "60", "1.00", 0.0f}}) {
        SCOPED_TRACE(row.height);
        typeInto("txtMeshHeight", QString::fromLatin1(row.height));
        typeInto("txtLight", QString::fromLatin1(row.light));
        open(dataFile(QStringLiteral("Crater.ebm")));
        EXPECT_EQ(text("txtMeshHeight"), QString::fromLatin1(row.heightShown));
        EXPECT_EQ(text("txtLight"), QString::fromLatin1(row.lightShown));
        EXPECT_FLOAT_EQ(form->view().LightAttenuation, row.attenuation);
        stop(); // the boxes are locked while the motion runs
    }
    EXPECT_EQ(setting(settings::kCaption), QStringLiteral("Tolva3D Viewer - Crater"));
}

TEST_F(ViewerWindowTest, AMapThatCannotBeReadIsReportedAndOpenAndExitStillWork)
{
    const QString bad = dataFile(QStringLiteral("Broken.ebm"));
    ASSERT_TRUE(WriteBytes(bad, "this is not a picture"));
    ASSERT_TRUE(start());
    open(bad);
    EXPECT_EQ(messages.reports, QList<MessageReport>{OpenFileError(LoadMapPicture(bad).error)});
    EXPECT_EQ(enabledOf({"cmdOpen", "cmdExit", "cmdSave", "cmdAction"}), "cmdOpen cmdExit");
    EXPECT_EQ(form->MapFilePath, bad);

    WriteMap(dataFile(QStringLiteral("Good.ebm")));
    open(dataFile(QStringLiteral("Good.ebm")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tolva3D Viewer - Good"));
}

TEST_F(ViewerWindowTest, TheOpenDialogProposesTheDemoMapFirstThenTheLastChoice)
{
    WriteMap(dataFile(QStringLiteral("A.ebm")));
    ASSERT_TRUE(start());
    files.answers = {std::nullopt, dataFile(QStringLiteral("A.ebm"))};
    click("cmdOpen");
    click("cmdOpen");
    stop(); // so that Open is offered again
    click("cmdOpen");
    ASSERT_EQ(files.requests.size(), 3);
    const QString filter = QStringLiteral("Tolva3D File (*.ebm);;Bitmap Files (*.bmp)");
    EXPECT_EQ(Fields(files.requests[0]), QStringList({"Open Topo View", dataPath(), "TolvaDemo.ebm", filter}));
    EXPECT_EQ(Fields(files.requests[2]), QStringList({"Open Topo View", dataPath(), dataFile("A.ebm"), filter}));
    EXPECT_EQ(form->MapFilePath, dataFile(QStringLiteral("A.ebm")));
}

TEST_F(ViewerWindowTest, TheFirstViewAfterALoadIsTheResetView)
{
    startWith(QStringLiteral("A.ebm"));
    const QImage first = shown().copy();
    EXPECT_FLOAT_EQ(camera().Position.y, 30.0f);
    click("cmdReset");
    EXPECT_EQ(shown(), first);
    EXPECT_FALSE(first.isNull());
}

// --- Save --------------------------------------------------------------------------

TEST_F(ViewerWindowTest, SaveRefusesTheLiveAndDemoMapsReportsAFailureAndWritesThePanelImage)
{
    startWith(QStringLiteral("A.ebm"));
    stop();
    const QString missing = dir.filePath(QStringLiteral("missing/B.ebm"));
    files.answers = {liveMap(), dataPath() + QStringLiteral("./TolvaDemo.ebm"), missing};
    click("cmdSave");
    ASSERT_EQ(files.requests.size(), 4);
    EXPECT_EQ(Fields(files.requests[1]), QStringList({"Save 3D View", dataPath(), dataFile("A.ebm"), "Tolva3D File (*.ebm)"}));
    const MessageReport refused{QStringLiteral("Please choose another file name!"), kTitle, MessageIcon::Exclamation};
    // A failure is reported with its reason, and the shown map stays.
    const QString failed = QStringLiteral("Could not save the map as %1:\n\nNo such file or directory").arg(missing);
    EXPECT_EQ(messages.reports, (QList<MessageReport>{refused, refused, {failed, kTitle, MessageIcon::Exclamation}}));
    EXPECT_EQ(form->MapFilePath, dataFile(QStringLiteral("A.ebm")));

    files.answers = {dataFile(QStringLiteral("Copy"))};
    click("cmdSave");
    EXPECT_EQ(form->MapFilePath, dataFile(QStringLiteral("Copy.ebm")));
    EXPECT_EQ(QImage(form->MapFilePath).size(), w("picMap")->size());
    EXPECT_EQ(QImageReader(form->MapFilePath).format(), QByteArray("bmp"));
}

TEST_F(ViewerWindowTest, SaveProposesTopo1InsteadOfTheSimulatorsMap)
{
    startWith(QStringLiteral("Tolva3.ebm"));
    stop();
    click("cmdSave"); // cancelled
    ASSERT_EQ(files.requests.size(), 2);
    EXPECT_EQ(files.requests[1].fileName, dataFile(QStringLiteral("Topo1.ebm")));
    EXPECT_EQ(form->MapFilePath, dataFile(QStringLiteral("Tolva3.ebm")));
}

// --- Movement and the motion loop -----------------------------------------------------

class MotionTest : public ViewerWindowTest {
protected:
    void SetUp() override
    {
        ViewerWindowTest::SetUp();
        startWith(QStringLiteral("A.ebm"));
        ASSERT_TRUE(form->running());
    }
    void hold(const char* button) { QTest::mousePress(w(button), Qt::LeftButton); }
    void release(const char* button) { QTest::mouseRelease(w(button), Qt::LeftButton); }
    // Starts the motion again with Active Update on, as a map announced now is taken at the loop's poll.
    void restartWithActiveUpdate() { stop(); click("chkActive"); click("cmdAction"); }
    void announceNewMap() { store.WriteSetting(settings::kTopo3D, settings::kNewFile, settings::kTrue); }
};

TEST_F(MotionTest, AHeldButtonMovesTheCameraEachPassOnlyWhileDown)
{
    const Frame before = camera();
    hold("cmdUp");
    form->motionPass();
    const Frame moved = camera();
    EXPECT_LT(moved.Position.z, before.Position.z);
    release("cmdUp");
    form->motionPass();
    EXPECT_EQ(camera().Position.z, moved.Position.z);
}

TEST_F(MotionTest, AutoModeLatchesADirectionAndLocksTheSwitchesUntilReleased)
{
    click("cmdAuto");
    EXPECT_TRUE(w("labAuto")->isVisible());
    click("cmdUp");
    EXPECT_TRUE(down("cmdUp"));
    EXPECT_EQ(enabledOf({"optWalk", "cmdReset"}), "");
    click("cmdUp");
    EXPECT_FALSE(down("cmdUp"));
    EXPECT_EQ(enabledOf({"optWalk", "cmdReset"}), "optWalk cmdReset");
}

TEST_F(MotionTest, StopRestoresEveryCommandAndStartLocksThemAgain)
{
    stop();
    EXPECT_EQ(enabledOf({"cmdOpen", "cmdSave", "cmdCopy", "txtMeshHeight", "txtLight", "UpDown1", "optSoft", "optHard",
                         "cmdReset", "cmdPrint", "cmdUp", "cmdDown", "cmdLeft", "cmdRight"}),
              "cmdOpen cmdSave cmdCopy txtMeshHeight txtLight UpDown1 optSoft optHard cmdReset");

    click("optPan");
    click("cmdAction");
    EXPECT_EQ(enabledOf({"cmdLeft", "cmdUp", "cmdOpen", "txtMeshHeight", "optSoft"}), "cmdLeft");
    // Reset gives the view commands back, Print only with a printer.
    stop();
    click("cmdReset");
    EXPECT_EQ(enabledOf({"cmdCopy", "cmdPrint"}), "cmdCopy");
}

TEST_F(MotionTest, ClosingDuringAMotionEndsItThenClosesAndSavesOnce)
{
    form->close();
    EXPECT_TRUE(form->isVisible());
    form->motionPass();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(help.closes, 1);
    EXPECT_EQ(setting(settings::kCaption), QStringLiteral("Closed"));
    EXPECT_FALSE(enabled("cmdOpen")); // the loop's locks are not undone on the way out
}

TEST_F(MotionTest, ANewMapSignalledDuringAMotionIsLoadedAtTheNextPoll)
{
    clock.seconds = 100.0;
    restartWithActiveUpdate();
    WriteMap(liveMap());
    announceNewMap();
    clock.seconds = 105.0;
    form->motionPass();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tolva3D Viewer - Tolva3D"));
    EXPECT_TRUE(form->running());
}

TEST_F(MotionTest, ANewMapAnnouncedButMissingEndsTheMotionLikeStop)
{
    restartWithActiveUpdate();
    announceNewMap();
    clock.seconds = 5.0;
    form->motionPass();
    EXPECT_EQ(enabledOf({"cmdOpen", "cmdSave", "txtMeshHeight", "optSoft"}), "cmdOpen cmdSave txtMeshHeight optSoft");
    EXPECT_EQ(setting(settings::kNewFile), QStringLiteral("True")); // tried again by the idle poll
}

// With Keep View a live map leaves the camera where it was; without, the map
// starts from the reset view.
TEST_F(MotionTest, ALiveMapKeepsTheCameraOnlyWithKeepView)
{
    const Frame start = camera(); // the reset view of the first map
    restartWithActiveUpdate();
    // The camera put elsewhere on the map, then turned.
    QTest::mouseClick(w("picMap"), Qt::LeftButton, {}, QPoint(50, 40));
    hold("cmdRight");
    form->motionPass();
    release("cmdRight");
    const Frame moved = camera();
    const QString direction = text("labDir");
    stop();
    WriteMap(liveMap());
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "keep view" : "reset view");
        w<QAbstractButton>("chkKeepView")->setChecked(keep);
        announceNewMap();
        form->Timer1_Timer();
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Tolva3D Viewer - Tolva3D"));
        const Frame after = camera(), expected = keep ? moved : start;
        EXPECT_EQ(after.Position.x, expected.Position.x);
        EXPECT_EQ(after.Position.z, expected.Position.z);
        EXPECT_EQ(after.Rotation.y, expected.Rotation.y);
        EXPECT_EQ(text("labDir"), keep ? direction : QStringLiteral("Direction = 0"));
    }
}

TEST_F(MotionTest, AClickOnTheMapWhileMovingPutsTheCameraThere)
{
    QWidget* map = w("picMap");
    QTest::mouseMove(map, QPoint(50, 40));
    EXPECT_EQ(map->toolTip(), QStringLiteral("X = 50: Y = 40"));
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(50, 40));
    EXPECT_FLOAT_EQ(camera().Position.x, 133.0f);
    EXPECT_FLOAT_EQ(camera().Position.z, 42.0f);

    stop();
    QTest::mouseDClick(map, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(form->running()); // reloaded, and moving again
}

TEST_F(MotionTest, MinimisingDuringAMotionStopsIt)
{
    form->showMinimized();
    form->motionPass();
    EXPECT_TRUE(enabled("cmdOpen"));
}

TEST_F(MotionTest, ArrowKeysHoldTheirDirectionOnceWhereverTheFocusIs)
{
    QWidget* angle = w("txtAngle");
    click("cmdAuto");
    angle->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), angle);
    QTest::keyClick(angle, Qt::Key_Up); // latched by its release
    EXPECT_TRUE(down("cmdUp"));
    // The latch has locked the angle box; the focus has moved on.
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, angle);
    QTest::keyPress(focused, Qt::Key_Left);
    EXPECT_TRUE(down("cmdLeft"));
    QTest::keyRelease(focused, Qt::Key_Left);
    EXPECT_FALSE(down("cmdLeft"));
    EXPECT_TRUE(down("cmdUp"));
}

TEST_F(MotionTest, ModeSwitchesSetTheBarsCaptionsAndTooltips)
{
    click("optWalk");
    EXPECT_EQ(text("optWalk"), QStringLiteral("Walk: Speed = 3"));
    EXPECT_EQ(enabledOf({"HScroll2", "chkRotate"}), "");
    EXPECT_EQ(w("cmdLeft")->toolTip(), QStringLiteral("Turn left"));
    EXPECT_EQ(w("cmdUp")->toolTip(), QStringLiteral("Move forward"));
    click("optPan");
    EXPECT_TRUE(enabled("HScroll2"));
    EXPECT_EQ(w("cmdUp")->toolTip(), QStringLiteral("Pan forward"));
    EXPECT_EQ(w("cmdRight")->toolTip(), QStringLiteral("Rotate right"));
    click("chkRotate");
    EXPECT_EQ(w("cmdRight")->toolTip(), QStringLiteral("Pan right"));
    click("optFly");
    EXPECT_EQ(text("optFly"), QStringLiteral("Fly Altitude = 30"));
}

TEST_F(MotionTest, BoxesAndSpinnersHoldTheirLimits)
{
    // The box typed into and focused, what is typed, the spinner stepped up `steps` times (nullptr: none).
    struct Row { const char *box, *typed, *spinner; int steps; const char* shown; };
    const Row rows[] = {
        {"txtAngle", "-120", nullptr, 0, "-90"}, {"txtAngle", "0", "UpDown2", 5, "5"},
        {"txtLight", "0.95", "UpDown1", 2, "1.00"},
        {"txtMeshHeight", "12", "UpDown1", 2, "14"},
    };
    stop();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.box) + " " + row.typed);
        typeInto(row.box, QString::fromLatin1(row.typed));
        w(row.box)->setFocus();
        for (int i = 0; i < row.steps; ++i)
            w<QSpinBox>(row.spinner)->stepUp();
        EXPECT_EQ(text(row.box), QString::fromLatin1(row.shown));
    }
}

TEST_F(MotionTest, TheEarthColourIsChosenAndSavedAsAnInteger)
{
    const QImage white = shown().copy();
    colors.answer = 0x0000FFu;
    QTest::mouseClick(w("SSPanel1"), Qt::LeftButton);
    EXPECT_EQ(shown(), white); // until the next refresh
    click("picMain");
    EXPECT_NE(shown(), white);
    colors.answer.reset(); // a cancelled chooser keeps the colour
    QTest::mouseClick(w("SSPanel1"), Qt::LeftButton);
    form->close();
    form->motionPass();
    EXPECT_EQ(setting(settings::kTopoColor), QStringLiteral("255"));
}

TEST_F(ViewerWindowTest, SwitchingToHardwareWithoutADeviceFallsBackAndReloadsTheMap)
{
    setup.display.contextFactory = [] { return std::unique_ptr<QOpenGLContext>(); };
    startWith(QStringLiteral("A.ebm"));
    stop();
    click("optHard");
    EXPECT_FALSE(enabled("optHard"));
    EXPECT_FALSE(shown().isNull());
    EXPECT_TRUE(form->running());
}

// --- Copy and print --------------------------------------------------------------------

// A map shown and the motion stopped, so that the copy and print commands are
// usable; printing goes to a scripted printer.
class CopyPrintTest : public ViewerWindowTest {
protected:
    void SetUp() override
    {
        ViewerWindowTest::SetUp();
        platform.printer = &printer;
        setup.printerAvailable = true;
        startWith(QStringLiteral("A.ebm"));
        stop();
        ASSERT_FALSE(form->running());
        // The view larger than the frame: what is copied is the view as shown.
        form->resize(form->width() + 120, form->height() + 60);
        QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    }
    void TearDown() override
    {
        form.reset(); // before the printer it prints on
        // The print window goes with the viewer, on the next pass of the loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The print window shown, found as a user's tools find it.
    QWidget* printWindow()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("frmPrint") && top->isVisible())
                return top;
        return nullptr;
    }
    // Clicks the print window's command `name`.
    void clickInPrintWindow(const char* name)
    {
        ASSERT_NE(printWindow(), nullptr);
        ClickLikeAUser(Control(printWindow(), name));
    }
    ScriptedPrinter printer;
};

// What is copied is the view in device pixels.
TEST_F(CopyPrintTest, CopyPutsAPictureOfTheViewsSizeOnTheClipboardAndSaysSo)
{
    ASSERT_NE(w("picMain")->size(), shown().size());
    click("cmdCopy");
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), w("picMain")->size() * form->devicePixelRatio());
    EXPECT_EQ(messages.reports.size(), 1); // the copy's confirmation, whose words the copy's own tests check
}

TEST_F(CopyPrintTest, PrintIsLockedWhileMovingAndOpensThePrintWindowDisablingTheViewerUntilDone)
{
    click("cmdAction");
    EXPECT_FALSE(enabled("cmdPrint"));
    stop();
    click("cmdReset");
    click("cmdPrint");
    EXPECT_FALSE(form->isEnabled());
    clickInPrintWindow("cmdCancel"); // "Done"
    EXPECT_TRUE(enabled("cmdPrint"));
    EXPECT_TRUE(messages.reports.isEmpty());
}

// Run at ratio 1 and, as its own test, at ratio 2: the frame is drawn at the
// screen's density and shown pixel for pixel in a view of 450 x 450, copied
// and printed at that size, and the page is laid out the same at any ratio.
TEST_F(CopyPrintTest, AViewOf450ShowsCopiesAndPrintsTheFrameAtTheScreensDensity)
{
    EXPECT_EQ(form->devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
    w("picMain")->setFixedSize(450, 450); // the window's other controls keep it wider otherwise
    ASSERT_EQ(w("picMain")->size(), QSize(450, 450));
    const int side = FrameSide(form->devicePixelRatioF());
    const QImage frame = shown();
    EXPECT_EQ(w("picMain")->grab().toImage().convertToFormat(frame.format()), frame);

    click("cmdCopy");
    EXPECT_EQ(QGuiApplication::clipboard()->image(), frame);
    click("cmdPrint");
    clickInPrintWindow("cmdPrint");
    EXPECT_EQ(printer.calls.filter(QStringLiteral("DrawPicture")),
              QStringList({QStringLiteral("DrawPicture 0 0 11520 11520 %1x%1").arg(side)}));

    // "Print Window": the whole viewer, as large on paper as on the screen
    // at any density, in the screen's own pixels.
    printer.calls.clear();
    form->resize(form->minimumSizeHint());
    clickInPrintWindow("optWindow");
    clickInPrintWindow("cmdPrint");
    const QRect plot = print::WindowPlot(form->size(), print::ReadPage(printer));
    ASSERT_EQ(plot.width(), form->width() * 15) << "the window fits on the page, 15 twips a pixel";
    const QSize pixels = (QSizeF(form->size()) * form->devicePixelRatioF()).toSize();
    EXPECT_EQ(printer.calls.filter(QStringLiteral("DrawPicture")).join(QLatin1Char('|')).toStdString(),
              QStringLiteral("DrawPicture 0 0 %1 %2 %3x%4")
                  .arg(plot.width()).arg(plot.height()).arg(pixels.width()).arg(pixels.height()).toStdString());
}

} // namespace
