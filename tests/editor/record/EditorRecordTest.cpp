// The editor's record state: a failed open changes nothing, apply commits
// only when every phase passes, the stratigraphic file commit, and the slot
// rules of adding and deleting phases.
#include "record/EditorRecord.h"
#include "support/FakePlatform.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>
#include <tuple>

using namespace tolva;
using namespace tolva::record;
using tolva::phase::FlowDurations;
using tolva::phase::NewPhase;

namespace {

// A record of two passing Hawaiian phases of two flows (100 and 200),
// saved as "first.rec" and opened.
class OpenedRecord : public ::testing::Test {
protected:
    void SetUp() override
    {
        RecordFile r{.StratigraphicFile = "/data/strata/first.str", .Scale = 20, .Phases = {.count = 2}};
        for (int p = 1; p <= 2; ++p) {
            PhaseRecord& ph = r.Phases.phases[p] = NewPhase();
            ph.EruptionType = 3;
            ph.VentLocation = 10;
            ph.BurstCount = 2;
            r.Phases.durations[p] = {0, 100, 200};
        }
        ASSERT_TRUE(SaveRec(r, path).ok);
        ASSERT_FALSE(e.Open(path));
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("first.rec"));
    EditorRecord e;
};

// The failure's report as the user sees it is the window's open test.
TEST_F(OpenedRecord, OpenReplacesTheRecordOnlyWhenTheFileReads)
{
    EXPECT_EQ(std::tie(e.RecordPath, e.Working.count, e.CurrentPhase), std::tuple(path, 2, 1));
    e.Working.phases[1].Wind = 33;  // an unapplied edit
    e.CurrentPhase = 2;
    const EditorRecord before = e;
    const QString bad = dir.filePath(QStringLiteral("bad.rec"));
    ASSERT_TRUE(tolva::testing::WriteBytes(bad, "\"Stratigraphic file:\",\"other.str\"\r\n\"Recorded phases\",3,100\r\n\r\n"));
    ASSERT_TRUE(e.Open(bad));
    EXPECT_EQ(RecordText(e.Committed).bytes, RecordText(before.Committed).bytes);
    EXPECT_EQ(e.Working.phases, before.Working.phases);
    EXPECT_EQ(std::tie(e.RecordPath, e.CurrentPhase), std::tie(before.RecordPath, before.CurrentPhase));
}

// The report as the user sees it is the window's FailedCheckSelectsThePhaseAndTheFlow.
TEST_F(OpenedRecord, AFailingApplyShowsThePhaseAndFlowAndCommitsNothing)
{
    e.Working.phases[1].Wind = 10;
    e.Working.durations[2][2] = 5000;
    const auto failure = e.ApplyParams();
    ASSERT_TRUE(failure);
    EXPECT_EQ(e.CurrentPhase, 2);
    EXPECT_EQ(e.Committed.Phases.phases[1].Wind, 0);
}

TEST_F(OpenedRecord, ApplyCommitsFieldsAndFlowsOfTheWorkingCopy)
{
    e.Working.count = 1;
    e.Working.phases[1].BurstCount = 3;
    e.Working.durations[1][3] = 300;
    e.Working.durations[1][4] = 400; // beyond the burst count: not committed
    ASSERT_FALSE(e.ApplyParams());
    EXPECT_EQ(e.Committed.Phases.count, 1);
    EXPECT_EQ(e.Committed.Phases.durations[1], (FlowDurations{0, 100, 200, 300}));
}

TEST(EditorRecord, ScarpCorrectionsStayInTheWorkingPhase)
{
    EditorRecord e;
    e.ReadData();
    e.Working.count = 1;
    PhaseRecord& p = e.Working.phases[1] = {.EruptionType = 6, .ScarpTop = 5, .ScarpBase = 30};
    ASSERT_TRUE(e.ApplyParams());
    EXPECT_FLOAT_EQ(p.ScarpBase, 24.6f);
    EXPECT_EQ(e.Committed.Phases.count, 0);
    EXPECT_FALSE(e.ApplyParams()) << "the corrected value passes";
}

// An apply commits the stratigraphic file that the user last chose or typed:
// a box left showing its file keeps it, a typed NONE is none, a record that
// had no name keeps it empty, and a long chosen name (shown short) is
// committed whole.
TEST_F(OpenedRecord, StratigraphicCommitIsWhatTheUserLastChose)
{
    const QString longName = QStringLiteral("/home/s/a_very_long_stratigraphic_file_name_from_the_field.str");
    const auto commits = [&](const std::function<void()>& edit, const QString& committed) {
        ASSERT_FALSE(e.Open(path));
        edit();
        ASSERT_FALSE(e.ApplyParams());
        EXPECT_EQ(e.Committed.StratigraphicFile, committed);
    };
    commits([&] { e.EditStratigraphicBox(QStringLiteral("first.str")); }, "/data/strata/first.str");
    commits([&] { EXPECT_EQ(e.EditStratigraphicBox("NONE"), "(None)"); }, "(None)");
    commits([&] { e.EditStratigraphicBox(QStringLiteral("typed.str")); }, "typed.str");
    commits([&] { e.Committed.StratigraphicFile.clear(); e.ReadData(); e.EditStratigraphicBox("(None)"); }, "");
    commits([&] { e.EditStratigraphicBox(e.ChooseStratigraphicFile(longName)); }, longName);
}

TEST_F(OpenedRecord, SaveSetsThePathOnlyOnSuccess)
{
    const MessageReport report{kSaveError, "TolvaEdit", MessageIcon::Exclamation};
    EXPECT_EQ(SaveFailureReport(e.SaveRec(dir.path())), report);
    EXPECT_EQ(e.RecordPath, path);
    const QString other = dir.filePath(QStringLiteral("second.rec"));
    EXPECT_TRUE(e.SaveRec(other).ok);
    EXPECT_EQ(e.RecordPath, other);
}

TEST_F(OpenedRecord, TypeChangeActsOnTheCurrentPhaseAndBringsBackAppliedFlows)
{
    tolva::testing::SequenceRandom random({0.5});
    e.CurrentPhase = 2;
    EXPECT_EQ(e.TypeChange(QStringLiteral("Pel\u00e9ean"), random), 4); // applied as Hawaiian: drawn anew
    EXPECT_EQ(e.Working.durations[2][1], 105);
    EXPECT_EQ(e.Working.phases[1].EruptionType, 3);
    EXPECT_EQ(e.TypeChange(QStringLiteral("Hawaiian"), random), 3);  // the applied durations return
    EXPECT_EQ(e.Working.durations[2][2], 200);
    e.CurrentPhase = 0;
    EXPECT_FALSE(e.TypeChange(QStringLiteral("Hawaiian"), random));
}

// Three working phases told apart by their wind, with mapping values and flows.
EditorRecord ThreePhases(int current)
{
    EditorRecord e;
    e.Working.count = 3;
    for (int p = 1; p <= 3; ++p) {
        e.Working.phases[p] = {.EruptionType = 3, .Wind = static_cast<float>(p), .MidRadius = 100.0f * p};
        e.Working.durations[p][1] = 10.0f * p;
    }
    e.CurrentPhase = current;
    return e;
}

TEST(PhaseList, AddInsertsAfterTheCurrentPhase)
{
    EditorRecord e = ThreePhases(2);
    ASSERT_TRUE(e.AddPhase());
    EXPECT_EQ(std::tie(e.Working.count, e.CurrentPhase), std::tuple(4, 3));
    const EditorRecord before = ThreePhases(2);
    PhaseRecord added = NewPhase();
    added.MidRadius = 300;  // the slot's mapping values and flows stay
    EXPECT_EQ(e.Working.phases[3], added);
    EXPECT_EQ(e.Working.durations[3], before.Working.durations[3]);
    EXPECT_EQ(e.Working.phases[4], before.Working.phases[3]);  // the former phase 3, whole
    EXPECT_EQ(e.Working.durations[4], before.Working.durations[3]);
}

TEST(PhaseList, AddToAnEmptyRecordGivesPhase1AndStopsAt500)
{
    EditorRecord e;
    ASSERT_TRUE(e.AddPhase());
    EXPECT_EQ(e.CurrentPhase, 1);
    EXPECT_EQ(e.Working.phases[1].EruptionType, -1);
    e.Working.count = 499;
    EXPECT_TRUE(e.AddPhase());
    EXPECT_FALSE(e.AddPhase());
    EXPECT_EQ(e.Working.count, 500);
}

TEST(PhaseList, DeleteMovesTheFollowingPhasesDown)
{
    EditorRecord last = ThreePhases(3);
    last.DeletePhase();
    EXPECT_EQ(std::tie(last.Working.count, last.CurrentPhase), std::tuple(2, 2));
    EditorRecord first = ThreePhases(1);
    first.DeletePhase();
    EXPECT_EQ(std::tie(first.CurrentPhase, first.Working.phases[1].Wind), std::tuple(1, 2.0f));
    EXPECT_EQ(first.Working.durations[2][1], 30);
    EditorRecord only = ThreePhases(1);
    only.Working.count = 1;
    only.DeletePhase();
    EXPECT_EQ(std::tie(only.Working.count, only.CurrentPhase), std::tuple(0, 0));
    EXPECT_EQ(only.Working.phases[1], PhaseRecord{});
}

TEST_F(OpenedRecord, ClearingANewRecordGivesTheNormalScaleAndNoPhases)
{
    e.ClearRecord();
    EXPECT_EQ(std::tie(e.Committed.Phases.count, e.Committed.Scale), std::tuple(0, 20));
    EXPECT_EQ(std::tie(e.Working.count, e.CurrentPhase), std::tuple(0, 0));
    EXPECT_TRUE(e.Committed.StratigraphicFile.isEmpty());
}

TEST(DemoRecord, RefusedHoweverThePathIsSpelled)
{
    const QString data = QStringLiteral("/opt/tolva/data/");
    EXPECT_TRUE(IsDemoRecord(QStringLiteral("/opt/tolva/data/TolvaDemo.rec"), data));
    EXPECT_TRUE(IsDemoRecord(QStringLiteral("/opt/tolva/data/./x/../TolvaDemo.rec"), QStringLiteral("/opt/tolva/data")));
    EXPECT_FALSE(IsDemoRecord(QStringLiteral("/opt/tolva/data/tolvademo.rec"), data));
    EXPECT_FALSE(IsDemoRecord(QStringLiteral("/home/ana/TolvaDemo.rec"), data));
}

TEST(DisplayForm, FileTitleShortenedTo40)
{
    EXPECT_EQ(DisplayForm(QStringLiteral("/a/") + QString(40, QLatin1Char('b'))), QString(40, QLatin1Char('b')));
    EXPECT_EQ(DisplayForm(QString(41, QLatin1Char('c'))), QStringLiteral("...") + QString(37, QLatin1Char('c')));
}

} // namespace
