// The record editor's window, driven by its control names as a user drives it:
// typing into fields, clicking buttons and boxes, picking list entries, with
// scripted file dialogs and recorded message boxes. What the phase core decides
// (limits, checks, presentation) has its own tests; here, that the window
// follows it.
#include "window/RecordEdit.h"

#include "phase/EruptionTypes.h"
#include "record/RecordFile.h"
#include "support/Controls.h"
#include "support/FakePlatform.h"
#include "support/Files.h"

#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <tuple>

using namespace tolva;
using namespace tolva::phase;
using tolva::editor::RecordEdit;
using tolva::record::RecordFile;

namespace {

PhaseRecord Typed(int type, float strength = 0.5f, qint16 bursts = 2)
{
    PhaseRecord p = NewPhase();
    p.EruptionType = static_cast<qint16>(type);
    p.VentLocation = p.MassFlux = 10;
    p.Strength = strength;
    p.BurstCount = bursts;
    p.Speed = 5;
    return p;
}

// A message box of the editor.
MessageReport Box(const char* text, MessageIcon icon) { return {QString::fromUtf8(text), "TolvaEdit", icon}; }

// A record holding the phases, with flow durations for some, on the Normal scale or another.
RecordFile RecordOf(std::initializer_list<PhaseRecord> phases, std::map<int, FlowDurations> flows = {}, int scale = 20)
{
    RecordFile r{.StratigraphicFile = "", .Scale = qint16(scale), .Phases = {}};
    for (const PhaseRecord& p : phases)
        r.Phases.phases[static_cast<size_t>(++r.Phases.count)] = p;
    for (const auto& [phase, d] : flows)
        r.Phases.durations[static_cast<size_t>(phase)] = d;
    return r;
}

class RecordEditTest : public ::testing::Test {
protected:
    RecordEditTest() { form->show(); }

    QString dataFolder() const { return dir.filePath(QStringLiteral("data/")); }
    QString inDir(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    template <class T = QWidget>
    T* w(const char* name) { return tolva::testing::Control<T>(form.get(), name); }
    QString text(const char* name) { return tolva::testing::ShownText(w(name)); }
    bool enabled(const char* name) { return w(name)->isEnabled(); }
    // Each named control shows its text (UTF-8).
    void expectShown(std::initializer_list<std::pair<const char*, const char*>> shown)
    {
        for (const auto& [name, t] : shown)
            EXPECT_EQ(text(name), QString::fromUtf8(t)) << name;
    }
    void expectEnabled(std::initializer_list<const char*> names, bool on)
    {
        for (const char* name : names)
            EXPECT_EQ(enabled(name), on) << name;
    }

    // Select the field's text (as focusing it does) and type over it.
    void type(const char* name, const QString& keys)
    {
        auto* e = w<QLineEdit>(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, keys);
    }
    // Check boxes and option buttons are clicked on their indicator.
    void click(const char* name) { tolva::testing::ClickLikeAUser(w(name)); }
    // The user's pick of a list entry.
    void pick(const char* name, const QString& entry)
    {
        auto* combo = w<QComboBox>(name);
        const int i = combo->findText(entry);
        ASSERT_GE(i, 0) << name << " has no entry " << entry.toStdString();
        ASSERT_TRUE(combo->isEnabled()) << name;
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    }
    int entries(const char* name) { return w<QComboBox>(name)->count(); }

    void open(const QString& path) { files.answers.push_back(path); click("cmdOpen"); }
    void openRecord(const RecordFile& record)
    {
        ASSERT_TRUE(record::SaveRec(record, inDir("r.rec")).ok);
        open(inDir("r.rec"));
    }
    void openPhases(std::initializer_list<PhaseRecord> phases) { openRecord(RecordOf(phases)); }
    const PhaseRecord& working(int n) const { return form->record().Working.phases[static_cast<size_t>(n)]; }
    const FlowDurations& durations(int phase) const { return form->record().Working.durations[size_t(phase)]; }

    QTemporaryDir dir;
    tolva::testing::RecordingMessages messages;
    tolva::testing::SequenceRandom random{{0.5}};
    tolva::testing::RecordingHelp help;
    tolva::testing::ScriptedFileDialogs files;
    Platform platform{.messages = &messages, .random = &random, .help = &help, .files = &files};
    std::unique_ptr<RecordEdit> form = std::make_unique<RecordEdit>(platform, dataFolder());
};

// ---- Start-up, help, closing and scale ----

// The window starts centred on an empty unsaved record; Add gives phase 1
// without a type, which a picked type makes worth saving; a reset of the new
// record gives the Normal scale and no phases again.
TEST_F(RecordEditTest, ANewRecordStartsEmptyAndGrowsByAdd)
{
    const QRect screen = form->screen()->availableGeometry(), frame = form->frameGeometry();
    EXPECT_EQ(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.top() - screen.top(), (screen.height() - frame.height()) / 2);
    EXPECT_EQ(w("labRecfile")->toolTip(), QStringLiteral("Edit unsaved (new) file"));
    EXPECT_TRUE(w<QRadioButton>("optNormal")->isChecked());
    // A speed of 0 is held at the field's lower limit.
    expectShown({{"labRecfile", "(New)"}, {"txtTopFile", "(None)"}, {"labPhases", "0"}, {"cmbPhase", "Add Phase"},
                 {"cmbType", "Select Parameters"}, {"cmbStyle", "Caldera Style"}, {"cmbDown", "Down Side"},
                 {"cmbFlow", "Flow Duration"}, {"txtSlide6", "1"}});
    expectEnabled({"Command2", "cmbPhase", "txtLoc", "labLoc", "txtMap4", "cmbStyle", "cmbFlow", "cmbDown"}, false);
    expectEnabled({"cmdAdd", "txtSlide6"}, true);

    click("cmdAdd");
    expectShown({{"cmbPhase", "Phase 1"}, {"labPhases", "1"}, {"cmbType", "Select Parameters"}});
    EXPECT_FALSE(enabled("Command2"));
    expectEnabled({"cmbPhase", "cmbType", "cmdDelete", "cmdReset"}, true);
    pick("cmbType", QStringLiteral("Plinian"));
    EXPECT_TRUE(enabled("Command2")) << "a type makes the new phase worth saving";

    click("optLarge");
    click("cmdReset");
    expectShown({{"labPhases", "0"}, {"cmbPhase", "Add Phase"}});
    EXPECT_TRUE(w<QRadioButton>("optNormal")->isChecked());
}

// Every parameter's control exists under its table name (the window would
// silently leave out a field whose control it cannot find) and carries the
// table's tool tip.
TEST_F(RecordEditTest, ParameterControlsFollowTheTable)
{
    for (const ParamInfo& info : Parameters())
        if (const QWidget* field = w(info.control.toStdString().c_str())) {
            EXPECT_EQ(field->toolTip(), info.toolTip) << info.control.toStdString();
        }
}

// The form's own captions and tool tips, and the captions of the parameters'
// labels, as users and their guides know them. (The check boxes' captions
// follow the phase; the presentation tests check them.)
TEST_F(RecordEditTest, EveryControlCarriesItsCaptionAndToolTip)
{
    struct Row { const char* name; const char* caption; const char* tip = ""; }; // caption nullptr: shows none
    const Row rows[] = {
        {"Frame1", nullptr, "Select record, associated topographic file, and scale"},
        {"Label1", "File opened:"}, {"cmdOpen", nullptr, "Open a record file for editing"},
        {"Label2", "Straticgraphic File:"},
        {"cmdChange", "Stratigraphic File", "Select another stratigraphic file"},
        {"Label3", "Number of phases:"}, {"labPhases", nullptr, "Number of recorded phases"},
        {"labScale", "Scale:"}, {"optSmall", "Small"}, {"optNormal", "Normal"}, {"optLarge", "Large"},
        {"Frame2", nullptr, "Primary parameter value ranges dependent upon eruption type"},
        {"Label4", "Record phase to edit:"}, {"cmbPhase", nullptr, "Select record phase to edit"},
        {"cmdAdd", "Add", "Add a new phase after the currently selected phase"},
        {"cmdDelete", "Delete", "Remove the currently selected phase"},
        {"cmdReset", "Reset", "Go back to original settings"}, {"Label5", "Eruption Type:"},
        {"cmbType", nullptr, "Select a new eruption type for current phase"},
        {"Frame3", nullptr, "Numerical values of advanced parameter sliders"},
        {"Frame4", nullptr, "Numerical values set to zero for random calculation, otherwise specify"},
        {"Command1", "Close", "Close editor without any changes applied"},
        {"Command2", "Save", "Apply/save changes"}, {"cmdHelp", "Help"},
        {"labLoc", "Vent location:"}, {"labStr", "Strength:"}, {"labWind", "Wind:"}, {"labPart", "Mass Flux:"},
        {"labBurst", "Number of bursts:"}, {"labCtop", "Scarp top:"}, {"labCbase", "Scarp base:"},
        {"labMag", "Fault magnitude:"}, {"labDip", "Fault dip:"}, {"labErode", "Erosion duration:"},
        {"labSlide1", "Flow length:"}, {"labSlide2", "Crater Size:"}, {"labSlide3", "3D Position:"},
        {"labSlide4", "Vent Position:"}, {"labSlide5", "Growth:"}, {"labSlide6", "Speed:"},
        {"labMap1", "Mid Radius:"}, {"labMap2", "Deposit Angle:"}, {"labMap3", "Left Angle:"},
        {"labMap4", "Right Angle:"},
    };
    EXPECT_EQ(form->objectName(), QStringLiteral("RecordEdit"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Edit Tolva Record"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QWidget* control = w(row.name);
        ASSERT_NE(control, nullptr);
        if (row.caption) {
            EXPECT_EQ(text(row.name).toStdString(), row.caption);
        }
        EXPECT_EQ(control->toolTip().toStdString(), row.tip);
    }
    EXPECT_EQ(w<QWidget>("Frame2")->property("title").toString(), QStringLiteral("Primary Parameters"));
    const auto items = [this](const char* name) {
        QStringList list;
        for (int i = 0; i < entries(name); ++i)
            list << w<QComboBox>(name)->itemText(i);
        return list;
    };
    EXPECT_EQ(items("cmbStyle"), (QStringList{"Valles Type", "Mazama Type"}));
    EXPECT_EQ(items("cmbDown"), (QStringList{"Left side down", "Right side down"}));
}

TEST_F(RecordEditTest, HelpShowsTopic94AndClosingClosesIt)
{
    click("cmdHelp");
    EXPECT_EQ(help.topics, QList<int>{94});
    click("Command1");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(help.closes, 1);
}

TEST_F(RecordEditTest, ScaleOptionsEnableSaveOnlyWithPhases)
{
    click("optSmall");
    EXPECT_EQ(form->record().Committed.Scale, 4);
    EXPECT_FALSE(enabled("Command2"));
    click("cmdAdd");
    click("optLarge");
    EXPECT_EQ(form->record().Committed.Scale, 100);
    EXPECT_TRUE(enabled("Command2"));
    // An opened record's scale selects its option, or none for a scale of its
    // own; either way the scale is kept and nothing is changed.
    for (const auto& [scale, option] : {std::pair<qint16, const char*>{4, "optSmall"}, {50, ""}}) {
        openRecord(RecordOf({Typed(Strombolian)}, {}, scale));
        for (const char* o : {"optSmall", "optNormal", "optLarge"})
            EXPECT_EQ(w<QRadioButton>(o)->isChecked(), std::string_view(o) == option) << scale << o;
        EXPECT_EQ(form->record().Committed.Scale, scale);
        EXPECT_FALSE(enabled("Command2"));
    }
}

// ---- Open ----

// An open asks in the data folder and shows phase 1. A later cancelled open
// says nothing; an unreadable record is reported. Both leave the record and
// its unapplied edits as they were; a reset then goes back to the last
// applied state.
TEST_F(RecordEditTest, OpenShowsPhaseOneAFailedOpenKeepsTheEditsAndResetDropsThem)
{
    openPhases({Typed(Strombolian, 0.8f), Typed(Plinian)});
    ASSERT_EQ(files.requests.size(), 1);
    EXPECT_EQ(files.requests[0].caption, QStringLiteral("Open Record File"));
    EXPECT_EQ(files.requests[0].folder, dataFolder());
    EXPECT_TRUE(files.requests[0].fileName.isEmpty());
    EXPECT_TRUE(files.requests[0].filter.contains(QStringLiteral("*.rec")));
    EXPECT_EQ(w("labRecfile")->toolTip(), QStringLiteral("Currently opened recorder file"));
    expectShown({{"labRecfile", "r.rec"}, {"labPhases", "2"}, {"cmbPhase", "Phase 1"}, {"cmbType", "Strombolian"},
                 {"txtStr", "0.80"}});
    EXPECT_FALSE(enabled("Command2"));
    type("txtWind", QStringLiteral("7"));
    files.answers.push_back(std::nullopt);
    click("cmdOpen");
    const QString bad = inDir("broken.rec");
    ASSERT_TRUE(tolva::testing::WriteBytes(bad, "\"Stratigraphic file:\",\"\"\r\n\"Recorded phases\",3,20\r\n"));
    open(bad);
    EXPECT_EQ(messages.reports, QList{Box("The record file broken.rec cannot be opened:\nline 3: the file ends early",
                                          MessageIcon::Exclamation)});
    expectShown({{"labRecfile", "r.rec"}, {"labPhases", "2"}, {"txtWind", "7"}});
    EXPECT_TRUE(enabled("Command2"));
    click("cmdAdd");
    click("cmdReset");
    expectShown({{"labPhases", "2"}, {"cmbPhase", "Phase 1"}, {"txtWind", "0"}});
    EXPECT_FALSE(enabled("Command2"));
}

// ---- Add, delete, reset ----

// The slot rules and what the slots then hold are the record's (PhaseList
// tests); here, that the window shows the phase in the selected place, and
// that deleting the only phase leaves nothing to edit but Add.
TEST_F(RecordEditTest, AddAndDeleteShowThePhaseInTheSelectedPlace)
{
    openPhases({Typed(Strombolian), Typed(Plinian), Typed(Peleean)});
    pick("cmbPhase", QStringLiteral("Phase 2"));
    click("cmdAdd");
    expectShown({{"cmbPhase", "Phase 3"}, {"labPhases", "4"}, {"cmbType", "Select Parameters"}});
    EXPECT_EQ(entries("cmbPhase"), 4);
    click("cmdDelete");
    // The next phase moves down under the same number.
    expectShown({{"cmbPhase", "Phase 3"}, {"labPhases", "3"}, {"cmbType", "Pel\xc3\xa9" "ean"}});
    EXPECT_EQ(entries("cmbPhase"), 3);
    EXPECT_TRUE(enabled("Command2"));
    for (int i = 0; i < 3; ++i)
        click("cmdDelete");
    expectShown({{"cmbPhase", "Add Phase"}, {"labPhases", "0"}});
    expectEnabled({"cmbPhase", "cmbType", "cmdDelete", "cmdReset", "Command2", "txtLoc"}, false);
    EXPECT_TRUE(enabled("cmdAdd"));
}

TEST_F(RecordEditTest, AddIsRefusedAt500Phases)
{
    RecordFile r = RecordOf({});
    r.Phases.count = kMaxPhases - 1;
    openRecord(r);
    click("cmdAdd");
    EXPECT_FALSE(enabled("cmdAdd"));
    click("cmdDelete");
    EXPECT_TRUE(enabled("cmdAdd"));
}

// ---- Stratigraphic file ----

// What the user types or clears becomes the pending file, "NONE" in any case
// none at all. A chosen file's full path is pending (the record commits it,
// EditorRecordTest's StratigraphicCommitIsWhatTheUserLastChose); the box
// shows its short form.
TEST_F(RecordEditTest, TypedOrChosenStratigraphicFileBecomesThePendingFile)
{
    openPhases({Typed(Strombolian)});
    auto* box = w<QLineEdit>("txtTopFile");
    for (const auto& [typed, shown, tip] :
         {std::tuple{"layers.str", "layers.str", "Stratigraphic file, delete to remove"},
          std::tuple{"", "(None)", "No stratigraphic file attached"}}) {
        type("txtTopFile", QString::fromLatin1(typed));
        if (!*typed)
            QTest::keyClick(box, Qt::Key_Delete); // clears the selected text
        EXPECT_EQ(box->text(), QString::fromLatin1(shown)) << typed;
        EXPECT_EQ(box->toolTip(), QString::fromLatin1(tip)) << typed;
        EXPECT_EQ(form->record().PendingStratigraphicFile, QString::fromLatin1(shown)) << typed;
    }
    EXPECT_TRUE(enabled("Command2"));
    const QString longName = inDir("a_very_long_stratigraphic_file_name_0123456789.str");
    files.answers.push_back(longName);
    click("cmdChange");
    EXPECT_EQ(files.requests.last().caption, QStringLiteral("Open Stratigraphic File"));
    EXPECT_EQ(text("txtTopFile"), QStringLiteral("...") + QFileInfo(longName).fileName().right(37));
    EXPECT_EQ(form->record().PendingStratigraphicFile, longName);
}

// ---- Save ----

// A cancelled save keeps the changes applied and the path; a save onto the
// demonstration record is refused with its message and asked again (the
// spellings of its path are EditorRecordTest's DemoRecord tests).
TEST_F(RecordEditTest, CancelledSaveAndSavingOntoTheDemonstrationRecord)
{
    openPhases({Typed(Strombolian, 0.8f)});
    type("txtWind", QStringLiteral("9"));
    files.answers.push_back(std::nullopt);
    click("Command2");
    EXPECT_EQ(form->record().Committed.Phases.phases[1].Wind, 9.0f);
    EXPECT_EQ(text("labRecfile"), QStringLiteral("r.rec"));

    type("txtWind", QStringLiteral("-12"));
    files.answers = {dataFolder() + QStringLiteral("TolvaDemo.rec"), inDir("mine.rec")};
    click("Command2");
    EXPECT_EQ(messages.reports, QList{Box("Cannot replace TOLVA Demonstration file", MessageIcon::Critical)});
    ASSERT_EQ(files.requests.size(), 4);
    EXPECT_EQ(files.requests[3].caption, QStringLiteral("Save Record File"));
    EXPECT_FALSE(QFileInfo::exists(dataFolder() + QStringLiteral("TolvaDemo.rec")));
    EXPECT_EQ(text("labRecfile"), QStringLiteral("mine.rec"));
    EXPECT_FALSE(enabled("Command2"));
    EXPECT_EQ(record::ReadRecordFile(inDir("mine.rec")).record.Phases.phases[1].Wind, -12.0f);
}

TEST_F(RecordEditTest, FailedCheckSelectsThePhaseAndTheFlow)
{
    openRecord(RecordOf({Typed(Strombolian, 0.8f), Typed(Hawaiian, 0.5f, 3)}, {{2, {0, 100, 5, 300}}}));
    type("txtWind", QStringLiteral("3"));
    click("Command2");
    EXPECT_EQ(messages.reports, QList{Box("Phase 2 Flow Duration too short.", MessageIcon::Information)});
    expectShown({{"cmbPhase", "Phase 2"}, {"cmbType", "Hawaiian"}, {"cmbFlow", "Flow 2 Duration"}, {"txtLava", "5.0"}});
    EXPECT_EQ(files.requests.size(), 1) << "no save dialog after a failed check";
}

// ---- Presentation ----

// Also when the text shown is the same as the phase before's.
TEST_F(RecordEditTest, ShowingAPhaseStoresBackTheShownValues)
{
    PhaseRecord p = Typed(Strombolian, 0.8f);
    p.Wind = 12.6f;
    openPhases({p, p});
    EXPECT_EQ(text("txtWind"), QStringLiteral("13"));
    EXPECT_EQ(working(1).Wind, 13.0f);
    pick("cmbPhase", QStringLiteral("Phase 2"));
    EXPECT_EQ(working(2).Wind, 13.0f);
}

// What a type change resets and when a fault has a down side are the core's;
// the window shows them, and follows the typed dip at once.
TEST_F(RecordEditTest, FaultingPhasesAndTheDownSide)
{
    openPhases({Typed(Strombolian, 0.8f)});
    pick("cmbType", QStringLiteral("Faulting"));
    expectShown({{"cmbType", "Faulting"}, {"txtMag", "1"}, {"cmbDown", "Down Side"}});
    type("txtDip", QStringLiteral("3"));
    EXPECT_FALSE(enabled("cmbDown"));
    type("txtDip", QStringLiteral("0"));
    EXPECT_TRUE(enabled("cmbDown")) << "a vertical fault has a down side";
    pick("cmbDown", QStringLiteral("Right side down"));
    EXPECT_EQ(working(1).DownSide, 2);
}

// The flows are listed up to the burst count; the picked flow's duration is
// shown and typed over.
TEST_F(RecordEditTest, FlowsListedAndTypedDurationGoesToThePickedFlow)
{
    openRecord(RecordOf({Typed(Hawaiian, 0.5f, 3)}, {{1, {0, 123.44f, 120, 60}}}));
    EXPECT_EQ(entries("cmbFlow"), 3);
    expectShown({{"cmbFlow", "Flow 1 Duration"}, {"txtLava", "123.4"}});
    pick("cmbFlow", QStringLiteral("Flow 2 Duration"));
    EXPECT_EQ(text("txtLava"), QStringLiteral("120.0"));
    type("txtLava", QStringLiteral("250"));
    EXPECT_EQ(durations(1), (FlowDurations{0, 123.4f, 250, 60})) << "the shown 123.4 is stored back";
}

// ---- Type changes ----

// ---- Field inputs ----

// Typing reaches the field's entry rules (their limits and the texts kept
// while typing are the phase tests'): a row per way a typed text is taken:
// rewritten to the limit of the phase's type, kept while it reads as the
// stored value. (A text left as typed is stored as a shown one is,
// ShowingAPhaseStoresBackTheShownValues; its rounding is FieldEdits'.)
TEST_F(RecordEditTest, TypedFieldsHoldTheirLimits)
{
    // The phase's type, the field, the keys, the text shown and the value stored.
    const std::tuple<int, const char*, const char*, const char*, Param, double> rows[] = {
        {Hawaiian, "txtBurst", "150", "100", Param::BurstCount, 100},
        {Strombolian, "txtSlide3", "-", "-", Param::Position3D, 0},
    };
    for (const auto& [kind, field, keys, shown, param, stored] : rows) {
        SCOPED_TRACE(std::string(field) + " " + keys);
        openPhases({Typed(kind)});
        type(field, QString::fromLatin1(keys));
        EXPECT_EQ(text(field), QString::fromLatin1(shown));
        EXPECT_EQ(ParamValue(working(1), param), stored);
        EXPECT_TRUE(enabled("Command2"));
    }
}

// Raising a Hawaiian burst count draws the new flows, lowering it keeps the
// durations beyond; picking Hawaiian for a huge count caps it at the flow
// storage.
TEST_F(RecordEditTest, HawaiianBurstCountsAndTheirFlows)
{
    openRecord(RecordOf({Typed(Hawaiian), Typed(Strombolian, 0.8f, 30000)}, {{1, {0, 100, 200}}}));
    random = tolva::testing::SequenceRandom({0.25, 0.75});
    type("txtBurst", QStringLiteral("4"));
    EXPECT_EQ(entries("cmbFlow"), 4);
    EXPECT_EQ(durations(1), (FlowDurations{0, 100, 200, 300, 900}));
    type("txtBurst", QStringLiteral("2"));
    EXPECT_EQ(entries("cmbFlow"), 2);
    EXPECT_EQ(durations(1)[4], 900.0f) << "durations beyond the count stay stored";
    pick("cmbPhase", QStringLiteral("Phase 2"));
    pick("cmbType", QStringLiteral("Hawaiian"));
    EXPECT_EQ(working(2).BurstCount, 100);
    EXPECT_EQ(entries("cmbFlow"), 100);
}

// What the boxes, their captions and the style show is the core's
// (PresentationTest); the window shows it for an opened phase and follows the
// typed strength and the ticks at once.
TEST_F(RecordEditTest, CalderaAndBurstBoxesFollowTheStrengthAndTheirTicks)
{
    PhaseRecord plinian = Typed(Plinian, 0.8f);
    plinian.Caldera = plinian.CalderaStyle = 1;
    openPhases({Typed(Fumarolic, 0.5f), plinian, Typed(Strombolian, 0.3f)});
    // Explosive bursts enable the crater size and the burst frequency; the tick is an edit.
    EXPECT_EQ(text("labSlide4"), QStringLiteral("Burst Frequency"));
    click("chkBurst");
    EXPECT_EQ(working(1).ExplosiveBursts, 1);
    expectEnabled({"txtSlide2", "labSlide4", "Command2"}, true);
    click("chkBurst");
    expectEnabled({"txtSlide2", "txtSlide4"}, false);
    pick("cmbPhase", QStringLiteral("Phase 2"));
    expectShown({{"chkCald", "Caldera"}, {"cmbStyle", "Mazama Type"}, {"labSlide4", "Vent Position"}});
    pick("cmbStyle", QStringLiteral("Valles Type"));
    EXPECT_EQ(working(2).CalderaStyle, 2);
    click("chkCald");
    EXPECT_EQ(working(2).Caldera, 0);
    expectEnabled({"cmbStyle", "txtSlide4"}, false);
    EXPECT_EQ(working(2).CalderaStyle, 2) << "the box does not change the style";
    type("txtStr", QStringLiteral("0.49"));
    EXPECT_FALSE(enabled("chkCald"));
    // Opened, a Strombolian 0.3 has no box (PresentationTest); typed lower it is a diatreme, without a style.
    pick("cmbPhase", QStringLiteral("Phase 3"));
    type("txtStr", QStringLiteral("0.29"));
    EXPECT_EQ(text("chkCald"), QStringLiteral("Diatreme"));
    click("chkCald");
    EXPECT_EQ(working(3).Caldera, 1);
    expectEnabled({"cmbStyle", "txtSlide4"}, false);
}

// ---- A whole session ----

// A picked type and a ticked box are saved, the dialog proposing the opened
// file's name, and read back.
TEST_F(RecordEditTest, EditSaveAndReopen)
{
    openPhases({Typed(Strombolian, 0.8f)});
    pick("cmbType", QStringLiteral("Vulcanian/Surtseyan"));
    type("txtStr", QStringLiteral("0.9"));
    click("chkDirected");
    files.answers.push_back(inDir("session.rec"));
    click("Command2");
    EXPECT_EQ(files.requests.last().fileName, inDir("r.rec"));
    click("cmdAdd");
    open(inDir("session.rec"));
    expectShown({{"labPhases", "1"}, {"cmbType", "Vulcanian/Surtseyan"}, {"txtStr", "0.90"}});
    EXPECT_TRUE(w<QCheckBox>("chkDirected")->isChecked());
}

} // namespace
