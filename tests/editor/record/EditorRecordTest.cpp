// The editor's record state: a failed open changes nothing, apply commits
// only when every phase passes, the stratigraphic file commit, and the slot
// rules of adding and deleting phases.
#include "record/EditorRecord.h"
#include "support/FakePlatform.h"
#include "support/Files.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>
#include <tuple>

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
        RecordFile r;
        r.StratigraphicFile = QStringLiteral("/data/strata/first.str");
        r.Scale = 20;
        r.Phases.count = 2;
        for (int p = 1; p <= 2; ++p) {
            PhaseRecord& ph = r.Phases.phases[p];
            ph = NewPhase();
            ph.EruptionType = 3;
            ph.VentLocation = 10;
            ph.BurstCount = 2;
            r.Phases.durations[p][1] = 100;
            r.Phases.durations[p][2] = 200;
        }
        ASSERT_TRUE(SaveRec(r, path).ok);
        ASSERT_FALSE(e.Open(path));
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("first.rec"));
    EditorRecord e;
};

TEST_F(OpenedRecord, OpenReplacesTheRecordOnlyWhenTheFileReads)
{
    EXPECT_EQ(e.RecordPath, path);
    EXPECT_EQ(e.Working.count, 2);
    EXPECT_EQ(e.CurrentPhase, 1);
    EXPECT_EQ(e.Working.durations[2][2], 200);
    EXPECT_EQ(e.PendingStratigraphicFile, QStringLiteral("/data/strata/first.str"));

    e.Working.phases[1].Wind = 33;  // an unapplied edit
    e.CurrentPhase = 2;
    const EditorRecord before = e;
    const QString bad = dir.filePath(QStringLiteral("bad.rec"));
    ASSERT_TRUE(tolva::testing::WriteBytes(bad, "\"Stratigraphic file:\",\"other.str\"\r\n\"Recorded phases\",3,100\r\n\r\n"));
    const auto failure = e.Open(bad);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->text(), QStringLiteral("line 4: the file ends early"));
    EXPECT_EQ(RecordText(e.Committed).bytes, RecordText(before.Committed).bytes);
    EXPECT_EQ(e.Working.phases, before.Working.phases);
    EXPECT_EQ(std::tie(e.RecordPath, e.CurrentPhase), std::tie(before.RecordPath, before.CurrentPhase));
    const auto report = ReadFailureReport(bad, *failure);
    EXPECT_EQ(report.text, QStringLiteral("The record file bad.rec cannot be opened:\nline 4: the file ends early"));
}

// The report as the user sees it is the window's FailedCheckSelectsThePhaseAndTheFlow.
TEST_F(OpenedRecord, AFailingApplyShowsThePhaseAndFlowAndCommitsNothing)
{
    e.Working.phases[1].Wind = 10;
    e.Working.durations[2][2] = 5000;
    e.Working.phases[2].LeftAngle = 9;
    const auto failure = e.ApplyParams();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->text(), QStringLiteral("Phase 2 Flow Duration too long."));
    EXPECT_EQ(failure->flow, 2);
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
    PhaseRecord& p = e.Working.phases[1];
    p = NewPhase();
    p.EruptionType = 6;
    p.ScarpTop = 5;
    p.ScarpBase = 30;
    const auto first = e.ApplyParams();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text(), QStringLiteral("Phase 1 Scarp base reset"));
    EXPECT_FLOAT_EQ(p.ScarpBase, 24.6f);
    EXPECT_EQ(e.Committed.Phases.count, 0);
    EXPECT_FALSE(e.ApplyParams()) << "the corrected value passes";
}

struct StrataRow {
    const char* name;
    std::function<void(EditorRecord&)> edit;
    const char* committed;
};

void PrintTo(const StrataRow& row, std::ostream* os) { *os << row.name; }

class StratigraphicCommit : public OpenedRecord, public ::testing::WithParamInterface<StrataRow> {};

TEST_P(StratigraphicCommit, CommitsWhatTheUserLastChose)
{
    GetParam().edit(e);
    ASSERT_FALSE(e.ApplyParams());
    EXPECT_EQ(e.Committed.StratigraphicFile, QString::fromLatin1(GetParam().committed));
}

const QString kLongName = QStringLiteral("a_very_long_stratigraphic_file_name_from_the_field.str");

INSTANTIATE_TEST_SUITE_P(
    Rows, StratigraphicCommit,
    ::testing::Values(
        StrataRow{"Unchanged", [](EditorRecord& e) { e.EditStratigraphicBox(QStringLiteral("first.str")); },
                  "/data/strata/first.str"},
        StrataRow{"TypedNone", [](EditorRecord& e) { EXPECT_EQ(e.EditStratigraphicBox("NONE"), "(None)"); },
                  "(None)"},
        StrataRow{"EmptyNameStaysEmpty",
                  [](EditorRecord& e) {
                      e.Committed.StratigraphicFile.clear();
                      e.ReadData();
                      EXPECT_EQ(e.EditStratigraphicBox(QStringLiteral("(None)")), "(None)");
                  },
                  ""},
        StrataRow{"LongNameKeepsItsFullPath",
                  [](EditorRecord& e) {
                      const QString shown = e.ChooseStratigraphicFile(QStringLiteral("/home/s/") + kLongName);
                      EXPECT_EQ(shown, QStringLiteral("...") + kLongName.right(37));
                      e.EditStratigraphicBox(shown);
                  },
                  "/home/s/a_very_long_stratigraphic_file_name_from_the_field.str"},
        StrataRow{"TypedName", [](EditorRecord& e) { e.EditStratigraphicBox(QStringLiteral("typed.str")); },
                  "typed.str"}),
    tolva::testing::RowName());

TEST_F(OpenedRecord, SaveSetsThePathOnlyOnSuccess)
{
    ASSERT_FALSE(e.ApplyParams());
    const SaveResult failed = e.SaveRec(dir.path());
    EXPECT_EQ(SaveFailureReport(failed).text, QStringLiteral("Recorder file save error"));
    EXPECT_EQ(SaveFailureReport(failed).icon, tolva::MessageIcon::Exclamation);
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
    e.ReadData();
    e.Working.count = 3;
    for (int p = 1; p <= 3; ++p) {
        e.Working.phases[p] = NewPhase();
        e.Working.phases[p].EruptionType = 3;
        e.Working.phases[p].Wind = static_cast<float>(p);
        e.Working.phases[p].MidRadius = 100.0f * p;
        e.Working.durations[p][1] = 10.0f * p;
    }
    e.CurrentPhase = current;
    return e;
}

TEST(PhaseList, AddInsertsAfterTheCurrentPhase)
{
    EditorRecord e = ThreePhases(2);
    ASSERT_TRUE(e.AddPhase());
    EXPECT_EQ(e.Working.count, 4);
    EXPECT_EQ(e.CurrentPhase, 3);
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
    e.ReadData();
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
    EXPECT_EQ(last.Working.count, 2);
    EXPECT_EQ(last.CurrentPhase, 2);
    EditorRecord first = ThreePhases(1);
    first.DeletePhase();
    EXPECT_EQ(first.CurrentPhase, 1);
    EXPECT_EQ(first.Working.phases[1].Wind, 2);
    EXPECT_EQ(first.Working.durations[2][1], 30);
    EditorRecord only = ThreePhases(1);
    only.Working.count = 1;
    only.DeletePhase();
    EXPECT_EQ(only.Working.count, 0);
    EXPECT_EQ(only.CurrentPhase, 0);
    EXPECT_EQ(only.Working.phases[1], PhaseRecord{});
}

TEST_F(OpenedRecord, ClearingANewRecordGivesTheNormalScaleAndNoPhases)
{
    e.ClearRecord();
    EXPECT_EQ(e.Committed.Phases.count, 0);
    EXPECT_EQ(e.Committed.Scale, 20);
    EXPECT_EQ(e.Working.count, 0);
    EXPECT_EQ(e.CurrentPhase, 0);
    EXPECT_TRUE(e.Committed.StratigraphicFile.isEmpty());
}

TEST(DemoRecord, RefusedHoweverThePathIsSpelled)
{
    const QString data = QStringLiteral("/opt/tolva/data/");
    EXPECT_TRUE(IsDemoRecord(QStringLiteral("/opt/tolva/data/TolvaDemo.rec"), data));
    EXPECT_TRUE(IsDemoRecord(QStringLiteral("/opt/tolva/data/./x/../TolvaDemo.rec"), QStringLiteral("/opt/tolva/data")));
    EXPECT_FALSE(IsDemoRecord(QStringLiteral("/opt/tolva/data/tolvademo.rec"), data));
    EXPECT_FALSE(IsDemoRecord(QStringLiteral("/home/ana/TolvaDemo.rec"), data));
    EXPECT_EQ(DemoRecordReport().text, QStringLiteral("Cannot replace TOLVA Demonstration file"));
}

TEST(DisplayForm, FileTitleShortenedTo40)
{
    EXPECT_EQ(DisplayForm(QStringLiteral("C:\\data\\x.rec")), QStringLiteral("x.rec"));
    EXPECT_EQ(DisplayForm(QStringLiteral("/a/") + QString(40, QLatin1Char('b'))), QString(40, QLatin1Char('b')));
    EXPECT_EQ(DisplayForm(QString(41, QLatin1Char('c'))), QStringLiteral("...") + QString(37, QLatin1Char('c')));
}

} // namespace
