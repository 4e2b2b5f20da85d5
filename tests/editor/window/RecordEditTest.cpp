// The record editor's window, driven by its control names as a user drives it:
// typing into fields, clicking buttons and boxes, picking list entries, with
// scripted file dialogs and recorded message boxes.
#include "window/RecordEdit.h"

#include "common/Platform.h"
#include "phase/EruptionTypes.h"
#include "record/RecordFile.h"
#include "support/Controls.h"
#include "support/FakePlatform.h"
#include "support/RowNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

using namespace tolva;
using namespace tolva::phase;
using tolva::editor::RecordEdit;
using tolva::record::RecordFile;

namespace {

PhaseRecord Typed(int type, float strength = 0.5f)
{
    PhaseRecord p = NewPhase();
    p.EruptionType = static_cast<qint16>(type);
    p.VentLocation = 10;
    p.Strength = strength;
    p.MassFlux = 10;
    p.BurstCount = 2;
    p.Speed = 5;
    return p;
}

class RecordEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform.messages = &messages;
        platform.random = &random;
        platform.help = &help;
        platform.files = &files;
        form = std::make_unique<RecordEdit>(platform, dataFolder());
        form->show();
    }

    QString dataFolder() const { return QDir(dir.path()).filePath(QStringLiteral("data")) + QLatin1Char('/'); }

    template <class T = QWidget>
    T* w(const char* name)
    {
        return tolva::testing::Control<T>(form.get(), name);
    }
    QString text(const char* name) { return tolva::testing::ShownText(w(name)); }
    bool enabled(const char* name) { return w(name)->isEnabled(); }

    // Select the field's text (as focusing it does) and type over it.
    void type(const char* name, const QString& keys)
    {
        auto* e = w<QLineEdit>(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, keys);
    }
    void click(const char* name) { tolva::testing::ClickLikeAUser(w(name)); }
    void tick(const char* name) { tolva::testing::ClickLikeAUser(w<QCheckBox>(name)); }
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

    QString writeRecord(const RecordFile& record, const QString& name = QStringLiteral("r.rec"))
    {
        const QString path = QDir(dir.path()).filePath(name);
        EXPECT_TRUE(record::SaveRec(record, path).ok);
        return path;
    }
    void open(const QString& path)
    {
        files.answers.push_back(path);
        click("cmdOpen");
    }
    void openPhases(std::initializer_list<PhaseRecord> phases, qint16 scale = 20)
    {
        RecordFile r;
        r.Scale = scale;
        for (const PhaseRecord& p : phases)
            r.Phases.phases[static_cast<size_t>(++r.Phases.count)] = p;
        open(writeRecord(r));
    }
    const PhaseRecord& working(int n) const { return form->record().Working.phases[static_cast<size_t>(n)]; }
    float duration(int phase, int flow) const
    {
        return form->record().Working.durations[static_cast<size_t>(phase)][static_cast<size_t>(flow)];
    }

    QTemporaryDir dir;
    tolva::testing::RecordingMessages messages;
    tolva::testing::SequenceRandom random{{0.5}};
    tolva::testing::RecordingHelp help;
    tolva::testing::ScriptedFileDialogs files;
    Platform platform;
    std::unique_ptr<RecordEdit> form;
};

// ---- Start-up, help, closing and scale ----

TEST_F(RecordEditTest, StartsWithAnEmptyUnsavedRecord)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Edit Tolva Record"));
    const QRect screen = form->screen()->availableGeometry();
    const QRect frame = form->frameGeometry();
    EXPECT_EQ(frame.left() - screen.left(), (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.top() - screen.top(), (screen.height() - frame.height()) / 2);
    EXPECT_FALSE(w<QPushButton>("cmdOpen")->icon().isNull());
    EXPECT_EQ(text("Command1"), QStringLiteral("Close"));
    EXPECT_EQ(text("Command2"), QStringLiteral("Save"));
    EXPECT_FALSE(enabled("Command2"));
    EXPECT_EQ(text("labRecfile"), QStringLiteral("(New)"));
    EXPECT_EQ(w("labRecfile")->toolTip(), QStringLiteral("Edit unsaved (new) file"));
    EXPECT_EQ(text("txtTopFile"), QStringLiteral("(None)"));
    EXPECT_EQ(text("labPhases"), QStringLiteral("0"));
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Add Phase"));
    EXPECT_EQ(text("cmbType"), QStringLiteral("Select Parameters"));
    EXPECT_EQ(text("cmbStyle"), QStringLiteral("Caldera Style"));
    EXPECT_EQ(text("cmbDown"), QStringLiteral("Down Side"));
    EXPECT_EQ(text("cmbFlow"), QStringLiteral("Flow Duration"));
    EXPECT_TRUE(w<QRadioButton>("optNormal")->isChecked());
    for (const char* off : {"cmbPhase", "cmbType", "cmdDelete", "cmdReset", "txtLoc", "labLoc", "txtMap4",
                            "labSlide1", "chkCald", "cmbStyle", "cmbFlow", "txtLava", "cmbDown"})
        EXPECT_FALSE(enabled(off)) << off;
    EXPECT_TRUE(enabled("cmdAdd"));
    EXPECT_TRUE(enabled("txtSlide6"));
    EXPECT_EQ(text("txtSlide6"), QStringLiteral("1")) << "a speed of 0 is held at the field's lower limit";
}

TEST_F(RecordEditTest, FixedListsInTheirOrder)
{
    auto entries = [this](const char* name) {
        QStringList list;
        auto* c = w<QComboBox>(name);
        for (int i = 0; i < c->count(); ++i)
            list << c->itemText(i);
        return list;
    };
    EXPECT_EQ(entries("cmbType"),
              (QStringList{"Hawaiian", QString::fromUtf8("Pel\xc3\xa9" "ean"), "Strombolian", "Plinian",
                           "Vulcanian/Surtseyan", "Fumarolic/Phreatic", "Sector Collapse", "Faulting", "Erosion"}));
    EXPECT_EQ(entries("cmbStyle"), (QStringList{"Valles Type", "Mazama Type"}));
    EXPECT_EQ(entries("cmbDown"), (QStringList{"Left side down", "Right side down"}));
}

TEST_F(RecordEditTest, EveryControlCaptionAndToolTip)
{
    struct C {
        const char* name;
        const char* caption;  // nullptr: not checked
        const char* tip;
    };
    const C controls[] = {
        {"Frame1", nullptr, "Select record, associated topographic file, and scale"},
        {"Label1", "File opened:", ""}, {"cmdOpen", nullptr, "Open a record file for editing"},
        {"Label2", "Straticgraphic File:", ""},
        {"cmdChange", "Stratigraphic File", "Select another stratigraphic file"},
        {"Label3", "Number of phases:", ""}, {"labPhases", nullptr, "Number of recorded phases"},
        {"labScale", "Scale:", ""}, {"optSmall", "Small", ""}, {"optNormal", "Normal", ""}, {"optLarge", "Large", ""},
        {"Frame2", nullptr, "Primary parameter value ranges dependent upon eruption type"},
        {"Label4", "Record phase to edit:", ""}, {"cmbPhase", nullptr, "Select record phase to edit"},
        {"cmdAdd", "Add", "Add a new phase after the currently selected phase"},
        {"cmdDelete", "Delete", "Remove the currently selected phase"},
        {"cmdReset", "Reset", "Go back to original settings"}, {"Label5", "Eruption Type:", ""},
        {"cmbType", nullptr, "Select a new eruption type for current phase"},
        {"labLoc", "Vent location:", ""}, {"txtLoc", nullptr, "Edit the vent location"},
        {"labStr", "Strength:", ""}, {"txtStr", nullptr, "Edit the eruption strength"},
        {"labWind", "Wind:", ""}, {"txtWind", nullptr, "Edit the wind direction (+/-) and speed"},
        {"labPart", "Mass Flux:", ""}, {"txtPart", nullptr, "Edit the number of erupted particles"},
        {"chkDirected", "Directed:", "Check to make a directed blast"},
        {"chkCald", nullptr, "Check to make a caldera"}, {"cmbStyle", nullptr, "Select the caldera style"},
        {"labCtop", "Scarp top:", ""}, {"txtCtop", nullptr, "Edit the top location of the collapse scarp"},
        {"labCbase", "Scarp base:", ""}, {"txtCbase", nullptr, "Edit the base location of the collapse scarp"},
        {"labBurst", "Number of bursts:", ""}, {"txtBurst", nullptr, "Edit the number of bursts in this phase"},
        {"chkBurst", "Explosive bursts:", "Edit the number of bursts"}, {"txtLava", nullptr, ""},
        {"labMag", "Fault magnitude:", ""}, {"txtMag", nullptr, "Edit the fault magnitude (0-5)"},
        {"labDip", "Fault dip:", ""}, {"txtDip", nullptr, "Edit the dip direction (+/-) and slope (0 = vertical)"},
        {"cmbDown", nullptr, "Select the fault side to be thrown down"},
        {"labErode", "Erosion duration:", ""}, {"txtErode", nullptr, "Edit the number of erosive cycles"},
        {"Frame3", nullptr, "Numerical values of advanced parameter sliders"},
        {"labSlide1", "Flow length:", ""}, {"txtSlide1", nullptr, "Edit the average length of lava flows (1-11)"},
        {"labSlide2", "Crater Size:", ""}, {"txtSlide2", nullptr, "Edit the crater size (1-11)"},
        {"labSlide3", "3D Position:", ""}, {"txtSlide3", nullptr, "Edit the 3D position (0-40)"},
        {"labSlide4", "Vent Position:", ""},
        {"txtSlide4", nullptr, "Edit the caldera vent position/phreatic explosion frequency (1-11)"},
        {"labSlide5", "Growth:", ""}, {"txtSlide5", nullptr, "Edit the period over which the explosive eruption grows"},
        {"labSlide6", "Speed:", ""}, {"txtSlide6", nullptr, "Edit the simulation speed for this phase"},
        {"Frame4", nullptr, "Numerical values set to zero for random calculation, otherwise specify"},
        {"labMap1", "Mid Radius:", ""}, {"txtMap1", nullptr, "Edit the average deposit radius"},
        {"labMap2", "Deposit Angle:", ""}, {"txtMap2", nullptr, "Edit the pyroclastic deposit skewness"},
        {"labMap3", "Left Angle:", ""}, {"txtMap3", nullptr, "Edit the lava flow left skewness"},
        {"labMap4", "Right Angle:", ""}, {"txtMap4", nullptr, "Edit the lava flow right skewness"},
        {"Command1", nullptr, "Close editor without any changes applied"},
        {"Command2", nullptr, "Apply/save changes"}, {"cmdHelp", "Help", ""},
    };
    for (const C& c : controls) {
        QWidget* control = w(c.name);
        if (!control)
            continue;
        if (c.caption) {
            EXPECT_EQ(text(c.name), QString::fromLatin1(c.caption)) << c.name;
        }
        EXPECT_EQ(control->toolTip(), QString::fromLatin1(c.tip)) << c.name;
    }
    EXPECT_EQ(w<QWidget>("Frame2")->property("title").toString(), QStringLiteral("Primary Parameters"));
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
}

TEST_F(RecordEditTest, RecordWithSmallScaleShowsSmall)
{
    openPhases({Typed(Strombolian)}, 4);
    EXPECT_TRUE(w<QRadioButton>("optSmall")->isChecked());
    EXPECT_EQ(form->record().Committed.Scale, 4);
    EXPECT_FALSE(enabled("Command2"));
}

TEST_F(RecordEditTest, UnknownScaleSelectsNoOption)
{
    openPhases({Typed(Strombolian)}, 50);
    for (const char* o : {"optSmall", "optNormal", "optLarge"})
        EXPECT_FALSE(w<QRadioButton>(o)->isChecked()) << o;
    EXPECT_EQ(form->record().Committed.Scale, 50);
}

// ---- Open ----

TEST_F(RecordEditTest, OpenAsksInTheDataFolderAndShowsPhaseOne)
{
    openPhases({Typed(Strombolian, 0.8f), Typed(Plinian)});
    ASSERT_EQ(files.requests.size(), 1);
    EXPECT_EQ(files.requests[0].caption, QStringLiteral("Open Record File"));
    EXPECT_EQ(files.requests[0].folder, dataFolder());
    EXPECT_TRUE(files.requests[0].fileName.isEmpty());
    EXPECT_TRUE(files.requests[0].filter.contains(QStringLiteral("*.rec")));
    EXPECT_EQ(text("labRecfile"), QStringLiteral("r.rec"));
    EXPECT_EQ(w("labRecfile")->toolTip(), QStringLiteral("Currently opened recorder file"));
    EXPECT_EQ(text("labPhases"), QStringLiteral("2"));
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Phase 1"));
    EXPECT_EQ(text("cmbType"), QStringLiteral("Strombolian"));
    EXPECT_EQ(text("txtStr"), QStringLiteral("0.80"));
    EXPECT_FALSE(enabled("Command2"));
    EXPECT_TRUE(messages.reports.isEmpty());
}

TEST_F(RecordEditTest, CancelledOpenChangesNothing)
{
    openPhases({Typed(Strombolian)});
    files.answers.push_back(std::nullopt);
    click("cmdOpen");
    EXPECT_EQ(text("labPhases"), QStringLiteral("1"));
    EXPECT_TRUE(messages.reports.isEmpty());
}

TEST_F(RecordEditTest, UnreadableRecordIsReportedAndLeavesEverythingAsItWas)
{
    openPhases({Typed(Strombolian, 0.8f), Typed(Plinian)});
    type("txtWind", QStringLiteral("7"));
    const QString bad = QDir(dir.path()).filePath(QStringLiteral("broken.rec"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"Stratigraphic file:\",\"\"\r\n\"Recorded phases\",3,20\r\n");
    f.close();
    open(bad);
    ASSERT_EQ(messages.reports.size(), 1);
    EXPECT_EQ(messages.reports[0].title, QStringLiteral("TolvaEdit"));
    EXPECT_TRUE(messages.reports[0].text.contains(QStringLiteral("broken.rec")));
    EXPECT_TRUE(messages.reports[0].text.contains(QStringLiteral("line")));
    EXPECT_EQ(text("labRecfile"), QStringLiteral("r.rec"));
    EXPECT_EQ(text("labPhases"), QStringLiteral("2"));
    EXPECT_EQ(text("txtWind"), QStringLiteral("7"));
    EXPECT_EQ(working(1).Wind, 7.0f);
    EXPECT_TRUE(enabled("Command2"));
}

// ---- Add, delete, reset ----

TEST_F(RecordEditTest, AddToAnEmptyRecordGivesPhaseOneWithoutType)
{
    click("cmdAdd");
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Phase 1"));
    EXPECT_EQ(text("labPhases"), QStringLiteral("1"));
    EXPECT_EQ(text("cmbType"), QStringLiteral("Select Parameters"));
    EXPECT_EQ(working(1).EruptionType, -1);
    EXPECT_EQ(text("txtSlide1"), QStringLiteral("6"));
    EXPECT_EQ(text("txtSlide3"), QStringLiteral("20"));
    EXPECT_FALSE(enabled("Command2"));
    for (const char* on : {"cmbPhase", "cmbType", "cmdDelete", "cmdReset"})
        EXPECT_TRUE(enabled(on)) << on;
}

TEST_F(RecordEditTest, AddAfterTheMiddleOfThreeMovesTheLastUpWithAllItsValues)
{
    PhaseRecord third = Typed(Hawaiian);
    third.MidRadius = 33;
    third.LeftAngle = 1.5f;
    RecordFile r;
    r.Scale = 20;
    r.Phases.count = 3;
    r.Phases.phases[1] = Typed(Strombolian);
    r.Phases.phases[2] = Typed(Plinian);
    r.Phases.phases[3] = third;
    r.Phases.durations[3][1] = 100;
    r.Phases.durations[3][2] = 200;
    open(writeRecord(r));
    pick("cmbPhase", QStringLiteral("Phase 2"));
    click("cmdAdd");
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Phase 3"));
    EXPECT_EQ(text("labPhases"), QStringLiteral("4"));
    EXPECT_EQ(w<QComboBox>("cmbPhase")->count(), 4);
    EXPECT_EQ(working(3).EruptionType, -1);
    EXPECT_EQ(working(3).MidRadius, 33.0f) << "the new phase keeps its slot's mapping values";
    EXPECT_EQ(working(4).EruptionType, Hawaiian);
    EXPECT_EQ(working(4).MidRadius, 33.0f);
    EXPECT_EQ(working(4).LeftAngle, 1.5f);
    EXPECT_EQ(duration(4, 1), 100.0f);
    EXPECT_EQ(duration(4, 2), 200.0f);
    EXPECT_EQ(working(2).EruptionType, Plinian);
}

TEST_F(RecordEditTest, DeleteInTheMiddleMovesTheNextDownUnderTheSameNumber)
{
    RecordFile r;
    r.Scale = 20;
    r.Phases.count = 3;
    r.Phases.phases[1] = Typed(Strombolian);
    r.Phases.phases[2] = Typed(Plinian);
    r.Phases.phases[3] = Typed(Peleean);
    r.Phases.phases[3].RightAngle = -2;
    r.Phases.durations[3][2] = 150;
    open(writeRecord(r));
    pick("cmbPhase", QStringLiteral("Phase 2"));
    click("cmdDelete");
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Phase 2"));
    EXPECT_EQ(text("labPhases"), QStringLiteral("2"));
    EXPECT_EQ(text("cmbType"), QString::fromUtf8("Pel\xc3\xa9" "ean"));
    EXPECT_EQ(working(2).RightAngle, -2.0f);
    EXPECT_EQ(duration(2, 2), 150.0f);
    EXPECT_TRUE(enabled("Command2"));
    click("cmdDelete");
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Phase 1")) << "deleting the last phase shows the one before";
    EXPECT_EQ(text("cmbType"), QStringLiteral("Strombolian"));
}

TEST_F(RecordEditTest, DeletingTheOnlyPhaseLeavesAddPhase)
{
    openPhases({Typed(Strombolian)});
    click("cmdDelete");
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Add Phase"));
    EXPECT_EQ(text("labPhases"), QStringLiteral("0"));
    for (const char* off : {"cmbPhase", "cmbType", "cmdDelete", "cmdReset", "Command2", "txtLoc"})
        EXPECT_FALSE(enabled(off)) << off;
    EXPECT_TRUE(enabled("cmdAdd"));
}

TEST_F(RecordEditTest, ResetOnANewRecordEmptiesIt)
{
    click("cmdAdd");
    click("cmdAdd");
    click("optLarge");
    click("cmdReset");
    EXPECT_EQ(text("labPhases"), QStringLiteral("0"));
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Add Phase"));
    EXPECT_TRUE(w<QRadioButton>("optNormal")->isChecked());
    EXPECT_FALSE(enabled("Command2"));
}

TEST_F(RecordEditTest, ResetOnAnOpenedRecordRestoresTheLastAppliedState)
{
    openPhases({Typed(Strombolian, 0.8f)});
    type("txtStr", QStringLiteral("1.5"));
    click("cmdAdd");
    click("cmdReset");
    EXPECT_EQ(text("labPhases"), QStringLiteral("1"));
    EXPECT_EQ(text("txtStr"), QStringLiteral("0.80"));
    EXPECT_EQ(working(1).Strength, 0.8f);
    EXPECT_FALSE(enabled("Command2"));
}

TEST_F(RecordEditTest, AddIsRefusedAt500Phases)
{
    RecordFile r;
    r.Scale = 20;
    r.Phases.count = kMaxPhases - 1;
    for (int p = 1; p <= r.Phases.count; ++p)
        r.Phases.phases[static_cast<size_t>(p)] = Typed(Strombolian);
    open(writeRecord(r));
    EXPECT_TRUE(enabled("cmdAdd"));
    click("cmdAdd");
    EXPECT_EQ(text("labPhases"), QStringLiteral("500"));
    EXPECT_FALSE(enabled("cmdAdd"));
    click("cmdDelete");
    EXPECT_TRUE(enabled("cmdAdd"));
}

// ---- Stratigraphic file ----

struct BoxRow {
    const char* name;
    const char* typed;
    const char* shown;
    const char* tip;
};
void PrintTo(const BoxRow& r, std::ostream* os) { *os << r.name; }
const BoxRow kBoxRows[] = {
    {"NoneInCapitals", "NONE", "(None)", "No stratigraphic file attached"},
    {"Cleared", "", "(None)", "No stratigraphic file attached"},
    {"AName", "layers.str", "layers.str", "Stratigraphic file, delete to remove"},
};
class StratigraphicBox : public RecordEditTest, public ::testing::WithParamInterface<BoxRow> {};
TEST_P(StratigraphicBox, TypedTextBecomesThePendingFile)
{
    const BoxRow& r = GetParam();
    openPhases({Typed(Strombolian)});
    auto* box = w<QLineEdit>("txtTopFile");
    box->setFocus();
    box->selectAll();
    if (*r.typed)
        QTest::keyClicks(box, QString::fromLatin1(r.typed));
    else
        QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QString::fromLatin1(r.shown));
    EXPECT_EQ(box->toolTip(), QString::fromLatin1(r.tip));
    EXPECT_EQ(form->record().PendingStratigraphicFile, QString::fromLatin1(r.shown));
    EXPECT_TRUE(enabled("Command2"));
}
INSTANTIATE_TEST_SUITE_P(Texts, StratigraphicBox, ::testing::ValuesIn(kBoxRows), tolva::testing::RowName());

TEST_F(RecordEditTest, ChosenStratigraphicFileIsSavedWithItsFullPath)
{
    const QString longName = QDir(dir.path()).filePath(QStringLiteral("a_very_long_stratigraphic_file_name_0123456789.str"));
    openPhases({Typed(Strombolian, 0.8f)});
    files.answers.push_back(longName);
    click("cmdChange");
    EXPECT_EQ(files.requests.last().caption, QStringLiteral("Open Stratigraphic File"));
    EXPECT_EQ(text("txtTopFile"), QStringLiteral("...") + QFileInfo(longName).fileName().right(37));
    EXPECT_TRUE(enabled("Command2"));
    const QString saved = QDir(dir.path()).filePath(QStringLiteral("saved.rec"));
    files.answers.push_back(saved);
    click("Command2");
    ASSERT_TRUE(messages.reports.isEmpty()) << messages.reports[0].text.toStdString();
    EXPECT_EQ(record::ReadRecordFile(saved).record.StratigraphicFile, longName);
}

// ---- Save ----

TEST_F(RecordEditTest, SavingOntoTheDemonstrationRecordIsRefusedAndAskedAgain)
{
    openPhases({Typed(Strombolian, 0.8f)});
    type("txtWind", QStringLiteral("-12"));
    files.answers.push_back(dataFolder() + QStringLiteral("TolvaDemo.rec"));
    const QString other = QDir(dir.path()).filePath(QStringLiteral("mine.rec"));
    files.answers.push_back(other);
    click("Command2");
    ASSERT_EQ(messages.reports.size(), 1);
    EXPECT_EQ(messages.reports[0], (MessageReport{QStringLiteral("Cannot replace TOLVA Demonstration file"),
                                                  QStringLiteral("TolvaEdit"), MessageIcon::Critical}));
    ASSERT_EQ(files.requests.size(), 3);
    EXPECT_EQ(files.requests[1].caption, QStringLiteral("Save Record File"));
    EXPECT_EQ(files.requests[2].caption, QStringLiteral("Save Record File"));
    EXPECT_FALSE(QFileInfo::exists(dataFolder() + QStringLiteral("TolvaDemo.rec")));
    EXPECT_EQ(text("labRecfile"), QStringLiteral("mine.rec"));
    EXPECT_FALSE(enabled("Command2"));
    EXPECT_EQ(record::ReadRecordFile(other).record.Phases.phases[1].Wind, -12.0f);
}

TEST_F(RecordEditTest, CancelledSaveKeepsTheChangesAppliedAndThePath)
{
    openPhases({Typed(Strombolian, 0.8f)});
    type("txtWind", QStringLiteral("9"));
    files.answers.push_back(std::nullopt);
    click("Command2");
    EXPECT_EQ(form->record().Committed.Phases.phases[1].Wind, 9.0f);
    EXPECT_EQ(text("labRecfile"), QStringLiteral("r.rec"));
    EXPECT_TRUE(messages.reports.isEmpty());
}

TEST_F(RecordEditTest, FailedCheckSelectsThePhaseAndTheFlow)
{
    PhaseRecord lava = Typed(Hawaiian);
    lava.BurstCount = 3;
    RecordFile r;
    r.Scale = 20;
    r.Phases.count = 2;
    r.Phases.phases[1] = Typed(Strombolian, 0.8f);
    r.Phases.phases[2] = lava;
    r.Phases.durations[2] = {0, 100, 5, 300};
    open(writeRecord(r));
    type("txtWind", QStringLiteral("3"));
    click("Command2");
    ASSERT_EQ(messages.reports.size(), 1);
    EXPECT_EQ(messages.reports[0], (MessageReport{QStringLiteral("Phase 2 Flow Duration too short."),
                                                  QStringLiteral("TolvaEdit"), MessageIcon::Information}));
    EXPECT_EQ(text("cmbPhase"), QStringLiteral("Phase 2"));
    EXPECT_EQ(text("cmbType"), QStringLiteral("Hawaiian"));
    EXPECT_EQ(text("cmbFlow"), QStringLiteral("Flow 2 Duration"));
    EXPECT_EQ(text("txtLava"), QStringLiteral("5.0"));
    EXPECT_EQ(files.requests.size(), 1) << "no save dialog after a failed check";
    EXPECT_EQ(form->record().Committed.Phases.phases[1].Wind, 0.0f) << "nothing committed";
}

TEST_F(RecordEditTest, NewPhaseWithoutTypeFailsAsLocationTooSmall)
{
    click("cmdAdd");
    type("txtSlide6", QStringLiteral("3"));
    click("Command2");
    ASSERT_EQ(messages.reports.size(), 1);
    EXPECT_EQ(messages.reports[0].text, QStringLiteral("Phase 1 Location too small"));
}

// ---- Presentation ----

TEST_F(RecordEditTest, ShowingAPhaseStoresBackTheShownValues)
{
    PhaseRecord p = Typed(Strombolian, 0.8f);
    p.Wind = 12.6f;
    p.MassFlux = 80;
    p.Speed = 0;
    openPhases({p});
    EXPECT_EQ(text("txtWind"), QStringLiteral("13"));
    EXPECT_EQ(text("txtPart"), QStringLiteral("50"));
    EXPECT_EQ(working(1).Wind, 13.0f);
    EXPECT_EQ(working(1).MassFlux, 50.0f);
    EXPECT_EQ(working(1).Speed, 1);
}

TEST_F(RecordEditTest, SameShownTextIsStoredBackToo)
{
    PhaseRecord first = Typed(Strombolian, 0.8f);
    first.Wind = 13;
    PhaseRecord second = first;
    second.Wind = 12.6f;
    openPhases({first, second});
    pick("cmbPhase", QStringLiteral("Phase 2"));
    EXPECT_EQ(working(2).Wind, 13.0f);
}

TEST_F(RecordEditTest, FaultingPhasesAndTheDownSide)
{
    PhaseRecord dipping = Typed(NonEruptive);
    dipping.EventKind = Faulting;
    dipping.FaultDip = 2;
    PhaseRecord vertical = dipping;
    vertical.FaultDip = 0;
    openPhases({dipping, vertical});
    EXPECT_EQ(text("cmbType"), QStringLiteral("Faulting"));
    EXPECT_FALSE(enabled("cmbDown"));
    EXPECT_TRUE(enabled("txtMag"));
    type("txtWind", QStringLiteral("1"));  // disabled: no effect
    EXPECT_FALSE(enabled("Command2"));
    type("txtMag", QStringLiteral("3"));
    EXPECT_TRUE(enabled("Command2"));
    pick("cmbPhase", QStringLiteral("Phase 2"));
    EXPECT_EQ(text("cmbDown"), QStringLiteral("Down Side"));
    EXPECT_TRUE(enabled("cmbDown"));
    EXPECT_FALSE(enabled("Command2"));
    pick("cmbDown", QStringLiteral("Right side down"));
    EXPECT_EQ(working(2).DownSide, 2);
    EXPECT_TRUE(enabled("Command2"));
}

TEST_F(RecordEditTest, EventKindZeroIsShownAsErosion)
{
    PhaseRecord p = Typed(NonEruptive);
    p.EventKind = 0;
    p.ErosionDuration = 4;
    openPhases({p});
    EXPECT_EQ(text("cmbType"), QStringLiteral("Erosion"));
    EXPECT_EQ(text("txtErode"), QStringLiteral("4"));
    EXPECT_TRUE(enabled("txtErode"));
    EXPECT_FALSE(enabled("txtLoc"));
}

struct CalderaRow {
    const char* name;
    int type;
    float strength;
    int caldera;
    int style;
    const char* caption;
    bool boxEnabled;
    const char* styleText;
    bool styleEnabled;
};
void PrintTo(const CalderaRow& r, std::ostream* os) { *os << r.name; }
const CalderaRow kCalderaRows[] = {
    {"Vulcanian025Diatreme", 1, 0.25f, 0, 0, "Diatreme", true, "Caldera Style", false},
    {"Vulcanian045StyleDisabled", 1, 0.45f, 1, 2, "Caldera", true, "Valles Type", false},
    {"Vulcanian06Valles", 1, 0.6f, 1, 2, "Caldera", true, "Valles Type", true},
    {"Strombolian03Disabled", 2, 0.3f, 0, 0, "Caldera", false, "Caldera Style", false},
    {"Strombolian029Diatreme", 2, 0.29f, 1, 0, "Diatreme", true, "Caldera Style", false},
    {"PlinianMazama", 5, 0.8f, 1, 1, "Caldera", true, "Mazama Type", true},
};
class ShownCaldera : public RecordEditTest, public ::testing::WithParamInterface<CalderaRow> {};
TEST_P(ShownCaldera, BoxCaptionAndStyle)
{
    const CalderaRow& r = GetParam();
    PhaseRecord p = Typed(r.type, r.strength);
    p.Caldera = static_cast<qint16>(r.caldera);
    p.CalderaStyle = static_cast<qint16>(r.style);
    openPhases({p});
    EXPECT_EQ(text("chkCald"), QString::fromLatin1(r.caption));
    EXPECT_EQ(enabled("chkCald"), r.boxEnabled);
    EXPECT_EQ(w<QCheckBox>("chkCald")->isChecked(), r.caldera == 1);
    EXPECT_EQ(text("cmbStyle"), QString::fromLatin1(r.styleText));
    EXPECT_EQ(enabled("cmbStyle"), r.styleEnabled);
    EXPECT_EQ(enabled("txtSlide4"), r.styleEnabled);
    if (r.styleEnabled) {
        EXPECT_EQ(text("labSlide4"), QStringLiteral("Vent Position"));
    }
}
INSTANTIATE_TEST_SUITE_P(Phases, ShownCaldera, ::testing::ValuesIn(kCalderaRows), tolva::testing::RowName());

TEST_F(RecordEditTest, HawaiianFlowsListedAndAZeroBurstCountRaisedToOne)
{
    PhaseRecord three = Typed(Hawaiian);
    three.BurstCount = 3;
    PhaseRecord none = Typed(Hawaiian);
    none.BurstCount = 0;
    RecordFile r;
    r.Scale = 20;
    r.Phases.count = 2;
    r.Phases.phases[1] = three;
    r.Phases.phases[2] = none;
    r.Phases.durations[1] = {0, 123.44f, 50, 60};
    open(writeRecord(r));
    EXPECT_EQ(w<QComboBox>("cmbFlow")->count(), 3);
    EXPECT_EQ(text("cmbFlow"), QStringLiteral("Flow 1 Duration"));
    EXPECT_EQ(text("txtLava"), QStringLiteral("123.4"));
    EXPECT_TRUE(enabled("txtLava"));
    EXPECT_FALSE(enabled("txtStr"));
    pick("cmbPhase", QStringLiteral("Phase 2"));
    EXPECT_EQ(text("txtBurst"), QStringLiteral("1"));
    EXPECT_EQ(working(2).BurstCount, 1);
    EXPECT_EQ(w<QComboBox>("cmbFlow")->count(), 1);
    EXPECT_EQ(duration(2, 1), 600.0f) << "drawn: 1200 x 0.5 at flow length 6";
}

// ---- Type changes ----

TEST_F(RecordEditTest, PickingFaultingResetsTheEruptionValues)
{
    PhaseRecord p = Typed(Strombolian, 0.8f);
    p.BurstCount = 3;
    openPhases({p});
    pick("cmbType", QStringLiteral("Faulting"));
    const PhaseRecord& f = working(1);
    EXPECT_EQ(f.EruptionType, 0);
    EXPECT_EQ(f.EventKind, 1);
    EXPECT_EQ(f.VentLocation, 0.0f);
    EXPECT_EQ(f.Strength, 0.0f);
    EXPECT_EQ(f.MassFlux, 1.0f);
    EXPECT_EQ(f.BurstCount, 1);
    EXPECT_EQ(f.FaultMagnitude, 1);
    EXPECT_EQ(text("cmbType"), QStringLiteral("Faulting"));
    EXPECT_EQ(text("txtMag"), QStringLiteral("1"));
    EXPECT_TRUE(enabled("txtDip"));
    EXPECT_FALSE(enabled("txtStr"));
    EXPECT_EQ(form->shownType(), 0);
}

TEST_F(RecordEditTest, PickingHawaiianCapsAHugeBurstCountAtTheFlowStorage)
{
    PhaseRecord p = Typed(Strombolian, 0.8f);
    p.BurstCount = 30000;
    openPhases({p});
    pick("cmbType", QStringLiteral("Hawaiian"));
    EXPECT_EQ(text("txtBurst"), QStringLiteral("100"));
    EXPECT_EQ(working(1).BurstCount, 100);
    EXPECT_EQ(w<QComboBox>("cmbFlow")->count(), 100);
    EXPECT_GE(duration(1, 100), 20.0f);
}

TEST_F(RecordEditTest, PickingATypeForANewPhaseEnablesSave)
{
    click("cmdAdd");
    EXPECT_FALSE(enabled("Command2"));
    pick("cmbType", QStringLiteral("Plinian"));
    EXPECT_TRUE(enabled("Command2"));
    EXPECT_EQ(working(1).EruptionType, Plinian);
    EXPECT_TRUE(enabled("txtStr"));
}

// ---- Field inputs ----

struct TypingRow {
    const char* name;
    int type;
    const char* field;
    const char* keys;
    const char* shown;
    Param param;
    double stored;
};
void PrintTo(const TypingRow& r, std::ostream* os) { *os << r.name; }
const TypingRow kTypingRows[] = {
    {"FlowLength15Is11", Hawaiian, "txtSlide1", "15", "11", Param::FlowLength, 11},
    {"FlowLength0Is1", Hawaiian, "txtSlide1", "0", "1", Param::FlowLength, 1},
    {"DipMinus12IsMinus10", -2, "txtDip", "-12", "-10", Param::FaultDip, -10},
    {"MassFluxLettersIs1", Strombolian, "txtPart", "abc", "1", Param::MassFlux, 1},
    {"MassFlux12Point5Kept", Strombolian, "txtPart", "12.5", "12.5", Param::MassFlux, 12.5},
    {"MassFlux80Is50", Strombolian, "txtPart", "80", "50", Param::MassFlux, 50},
    {"Position3DLettersIs0", Strombolian, "txtSlide3", "xy", "0", Param::Position3D, 0},
    {"BurstsLettersIs1", Strombolian, "txtBurst", "q", "1", Param::BurstCount, 1},
    {"Bursts2Point5Stores2", Strombolian, "txtBurst", "2.5", "2.5", Param::BurstCount, 2},
    {"Bursts3Point5Stores4", Strombolian, "txtBurst", "3.5", "3.5", Param::BurstCount, 4},
    {"HawaiianBursts150Is100", Hawaiian, "txtBurst", "150", "100", Param::BurstCount, 100},
    {"Bursts40000Is32767", Strombolian, "txtBurst", "40000", "32767", Param::BurstCount, 32767},
    {"WindPlainKeepsText", Strombolian, "txtWind", "-7.25", "-7.25", Param::Wind, -7.25},
    {"SpeedMinusIs1", Strombolian, "txtSlide6", "-", "1", Param::Speed, 1},
    {"DipMinusStaysWhileTyping", -2, "txtDip", "-", "-", Param::FaultDip, 0},
    {"Strength1Point05Typed", Strombolian, "txtStr", "1.05", "1.05", Param::Strength, 1.05f},
    {"MassFlux1Point05Typed", Strombolian, "txtPart", "1.05", "1.05", Param::MassFlux, 1.05f},
};
class Typing : public RecordEditTest, public ::testing::WithParamInterface<TypingRow> {};
TEST_P(Typing, FieldHoldsItsLimits)
{
    const TypingRow& r = GetParam();
    if (r.type == -2) {
        PhaseRecord fault = Typed(NonEruptive);
        fault.EventKind = Faulting;
        openPhases({fault});
    } else {
        openPhases({Typed(r.type)});
    }
    type(r.field, QString::fromLatin1(r.keys));
    EXPECT_EQ(text(r.field), QString::fromLatin1(r.shown));
    EXPECT_EQ(ParamValue(working(1), r.param), r.stored);
    EXPECT_TRUE(enabled("Command2"));
}
INSTANTIATE_TEST_SUITE_P(Fields, Typing, ::testing::ValuesIn(kTypingRows), tolva::testing::RowName());

TEST_F(RecordEditTest, FaultDipZeroEnablesTheDownSide)
{
    PhaseRecord fault = Typed(NonEruptive);
    fault.EventKind = Faulting;
    fault.FaultDip = 4;
    openPhases({fault});
    EXPECT_FALSE(enabled("cmbDown"));
    type("txtDip", QStringLiteral("0"));
    EXPECT_TRUE(enabled("cmbDown"));
    type("txtDip", QStringLiteral("3"));
    EXPECT_FALSE(enabled("cmbDown"));
}

TEST_F(RecordEditTest, RaisingAndLoweringHawaiianBurstsKeepsDurations)
{
    RecordFile r;
    r.Scale = 20;
    r.Phases.count = 1;
    r.Phases.phases[1] = Typed(Hawaiian);
    r.Phases.durations[1] = {0, 100, 200};
    open(writeRecord(r));
    random = tolva::testing::SequenceRandom({0.25, 0.75});
    type("txtBurst", QStringLiteral("4"));
    EXPECT_EQ(w<QComboBox>("cmbFlow")->count(), 4);
    EXPECT_EQ(duration(1, 1), 100.0f);
    EXPECT_EQ(duration(1, 2), 200.0f);
    EXPECT_EQ(duration(1, 3), 300.0f);
    EXPECT_EQ(duration(1, 4), 900.0f);
    type("txtBurst", QStringLiteral("2"));
    EXPECT_EQ(w<QComboBox>("cmbFlow")->count(), 2);
    EXPECT_EQ(duration(1, 4), 900.0f) << "durations beyond the count stay stored";
}

TEST_F(RecordEditTest, TypedDurationGoesToThePickedFlow)
{
    RecordFile r;
    r.Scale = 20;
    r.Phases.count = 1;
    r.Phases.phases[1] = Typed(Peleean);
    r.Phases.durations[1] = {0, 100, 120};
    open(writeRecord(r));
    pick("cmbFlow", QStringLiteral("Flow 2 Duration"));
    EXPECT_EQ(text("txtLava"), QStringLiteral("120.0"));
    type("txtLava", QStringLiteral("250"));
    EXPECT_EQ(duration(1, 2), 250.0f);
    EXPECT_EQ(duration(1, 1), 100.0f);
}

TEST_F(RecordEditTest, PlinianStrengthDecidesTheCalderaBox)
{
    openPhases({Typed(Plinian, 0.8f)});
    type("txtStr", QStringLiteral("0.49"));
    EXPECT_FALSE(enabled("chkCald"));
    type("txtStr", QStringLiteral("0.5"));
    EXPECT_TRUE(enabled("chkCald"));
    EXPECT_EQ(text("chkCald"), QStringLiteral("Caldera"));
}

TEST_F(RecordEditTest, CalderaTickEnablesStyleAndVentOnlyForPlinianAndVulcanian)
{
    openPhases({Typed(Plinian, 0.8f), Typed(Strombolian, 0.2f)});
    tick("chkCald");
    EXPECT_EQ(working(1).Caldera, 1);
    EXPECT_TRUE(enabled("cmbStyle"));
    EXPECT_TRUE(enabled("txtSlide4"));
    EXPECT_EQ(text("labSlide4"), QStringLiteral("Vent Position"));
    pick("cmbStyle", QStringLiteral("Valles Type"));
    EXPECT_EQ(working(1).CalderaStyle, 2);
    pick("cmbStyle", QStringLiteral("Mazama Type"));
    EXPECT_EQ(working(1).CalderaStyle, 1);
    tick("chkCald");
    EXPECT_EQ(working(1).Caldera, 0);
    EXPECT_FALSE(enabled("cmbStyle"));
    EXPECT_FALSE(enabled("txtSlide4"));
    EXPECT_EQ(working(1).CalderaStyle, 1) << "the box does not change the style";
    pick("cmbPhase", QStringLiteral("Phase 2"));
    tick("chkCald");
    EXPECT_EQ(working(2).Caldera, 1);
    EXPECT_FALSE(enabled("cmbStyle"));
    EXPECT_FALSE(enabled("txtSlide4"));
}

TEST_F(RecordEditTest, ExplosiveBurstsEnableCraterSizeAndBurstFrequency)
{
    openPhases({Typed(Fumarolic, 0.5f)});
    EXPECT_EQ(text("labSlide4"), QStringLiteral("Burst Frequency"));
    EXPECT_FALSE(enabled("txtSlide4"));
    EXPECT_FALSE(enabled("txtSlide2"));
    tick("chkBurst");
    EXPECT_EQ(working(1).ExplosiveBursts, 1);
    EXPECT_TRUE(enabled("txtSlide2"));
    EXPECT_TRUE(enabled("labSlide4"));
    EXPECT_TRUE(enabled("Command2"));
    tick("chkBurst");
    EXPECT_FALSE(enabled("txtSlide2"));
    EXPECT_FALSE(enabled("txtSlide4"));
}

// ---- A whole session ----

TEST_F(RecordEditTest, EditFailFixSaveAndReopen)
{
    openPhases({Typed(Strombolian, 0.8f)});
    pick("cmbType", QStringLiteral("Vulcanian/Surtseyan"));
    type("txtStr", QStringLiteral("1.5"));
    click("Command2");
    ASSERT_EQ(messages.reports.size(), 1);
    EXPECT_EQ(messages.reports[0].text, QStringLiteral("Phase 1 Maximum Strength (1.0) exceeded."));
    type("txtStr", QStringLiteral("0.9"));
    tick("chkDirected");
    const QString saved = QDir(dir.path()).filePath(QStringLiteral("session.rec"));
    files.answers.push_back(saved);
    click("Command2");
    ASSERT_EQ(messages.reports.size(), 1);
    EXPECT_EQ(files.requests.last().fileName, QDir(dir.path()).filePath(QStringLiteral("r.rec")));
    click("cmdAdd");
    open(saved);
    EXPECT_EQ(text("labPhases"), QStringLiteral("1"));
    EXPECT_EQ(text("cmbType"), QStringLiteral("Vulcanian/Surtseyan"));
    EXPECT_EQ(text("txtStr"), QStringLiteral("0.90"));
    EXPECT_TRUE(w<QCheckBox>("chkDirected")->isChecked());
}

} // namespace
