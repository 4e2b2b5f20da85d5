// One pass of the motion loop, the poll for a new map and the end of a motion.
#include "NavigationTestRig.h"

#include "navigation/MotionLoop.h"

#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tolva::testing {
namespace {

struct PollCase {
    const char* name;
    double last;
    double now;
    bool due;
};

void PrintTo(const PollCase& c, std::ostream* os) { *os << c.name; }

class PollDecision : public ::testing::TestWithParam<PollCase> {};

TEST_P(PollDecision, DueFiveSecondsAfterTheLastPoll)
{
    NewMapPoll poll;
    poll.Restart(GetParam().last);
    EXPECT_EQ(poll.Due(GetParam().now), GetParam().due);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PollDecision,
    ::testing::Values(PollCase{"At4999ms", 1000.0, 1004.999, false},
                      PollCase{"At5s", 1000.0, 1005.0, true},
                      // Near midnight a single holds the time to 1/128 s.
                      PollCase{"PastMidnightAt4s", 86398.0, 2.0, false},
                      PollCase{"PastMidnightAt5s", 86398.0, 3.0, true}),
    tolva::testing::RowName());

struct Settings {
    QString newFile;
    int reads = 0;
    std::function<QString()> reader()
    {
        return [this] {
            ++reads;
            return newFile;
        };
    }
};

TEST(MotionPass, MovesThenPollsOnlyWithActiveUpdateAndWhenDue)
{
    NavigationRig rig;
    rig.hold(false, true, false, false);
    NewMapPoll poll;
    poll.Restart(100.0);
    Settings settings{QStringLiteral("True")};

    EXPECT_EQ(MotionPass(rig.nav, poll, false, 200.0, settings.reader()), PassResult::Continue);
    EXPECT_EQ(settings.reads, 0) << "Active Update off";
    EXPECT_EQ(MotionPass(rig.nav, poll, true, 104.9, settings.reader()), PassResult::Continue);
    EXPECT_EQ(settings.reads, 0) << "not due";
    EXPECT_EQ(rig.refresh.count, 2);
    EXPECT_FLOAT_EQ(rig.camera().Position.z, 176.0f) << "two passes of 2 units";

    EXPECT_EQ(MotionPass(rig.nav, poll, true, 105.0, settings.reader()), PassResult::NewMapAnnounced);
    EXPECT_EQ(settings.reads, 1);
    EXPECT_FLOAT_EQ(rig.camera().Position.z, 174.0f) << "the pass moves before it polls";
    EXPECT_FALSE(poll.Due(109.9)) << "the poll restarts at the time it read";
}

TEST(MotionPass, OnlyExactlyTrueAnnouncesAMap)
{
    NavigationRig rig;
    for (const QString& value : {QString(), QStringLiteral("true"), QStringLiteral("False"), QStringLiteral("True ")}) {
        NewMapPoll poll;
        Settings settings{value};
        EXPECT_EQ(MotionPass(rig.nav, poll, true, 10.0, settings.reader()), PassResult::Continue) << qPrintable(value);
        EXPECT_EQ(settings.reads, 1);
        EXPECT_FALSE(poll.Due(14.0)) << "polled at 10";
    }
}

struct EndCase {
    const char* name;
    bool closing;
    const char* newFile;
    bool liveMapExists;
    MotionEnd end;
    bool stillHeld;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class EndOfMotion : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndOfMotion, StopsLoadsOrCloses)
{
    const EndCase& c = GetParam();
    NavigationRig rig;
    rig.hold(true, true, false, false);
    EXPECT_EQ(FinishMotion(rig.nav, c.closing, QString::fromLatin1(c.newFile), c.liveMapExists), c.end);
    EXPECT_EQ(rig.view.LeftHeld && rig.view.UpHeld, c.stillHeld);
    EXPECT_FALSE(!c.stillHeld && (rig.view.LeftHeld || rig.view.UpHeld));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EndOfMotion,
    ::testing::Values(EndCase{"Closing", true, "True", true, MotionEnd::Closed, true},
                      EndCase{"Stop", false, "", true, MotionEnd::Stopped, false},
                      EndCase{"NewMap", false, "True", true, MotionEnd::LoadNewMap, true},
                      EndCase{"AnnouncedMapMissing", false, "True", false, MotionEnd::Stopped, false}),
    tolva::testing::RowName());

} // namespace
} // namespace tolva::testing
