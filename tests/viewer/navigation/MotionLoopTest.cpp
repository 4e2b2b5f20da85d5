// One pass of the motion loop, the poll for a new map and the end of a motion.
#include "NavigationTestRig.h"

#include "navigation/MotionLoop.h"

#include <gtest/gtest.h>

namespace tolva::testing {
namespace {

// Due five seconds after the last poll; near midnight a single holds the
// time to 1/128 s, and the clock starts again at 0.
TEST(NewMapPoll, DueFiveSecondsAfterTheLastPoll)
{
    const struct { double last, now; bool due; } rows[] = {
        {1000.0, 1004.999, false}, {1000.0, 1005.0, true}, {86398.0, 2.0, false}, {86398.0, 3.0, true},
    };
    for (const auto& c : rows) {
        NewMapPoll poll;
        poll.Restart(c.last);
        EXPECT_EQ(poll.Due(c.now), c.due) << c.last << " -> " << c.now;
    }
}

// The new-map flag as a pass reads it; the reads are counted.
struct Settings {
    QString newFile;
    int reads = 0;
    std::function<QString()> reader() { return [this] { ++reads; return newFile; }; }
};

TEST(MotionPass, MovesThenPollsOnlyWithActiveUpdateAndWhenDue)
{
    NavigationRig rig;
    rig.hold("U");
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

// The held arrows are let go when the motion stops, kept when it goes on
// into a new map or the window closes.
TEST(FinishMotion, StopsLoadsOrCloses)
{
    const struct { bool closing; const char* newFile; bool liveMapExists; MotionEnd end; bool stillHeld; } rows[] = {
        {true, "True", true, MotionEnd::Closed, true},
        {false, "", true, MotionEnd::Stopped, false},
        {false, "True", true, MotionEnd::LoadNewMap, true},
        {false, "True", false, MotionEnd::Stopped, false}, // the announced map is missing
    };
    for (const auto& c : rows) {
        SCOPED_TRACE(::testing::Message() << c.closing << " '" << c.newFile << "' " << c.liveMapExists);
        NavigationRig rig;
        rig.hold("LU");
        EXPECT_EQ(FinishMotion(rig.nav, c.closing, QString::fromLatin1(c.newFile), c.liveMapExists), c.end);
        EXPECT_EQ(rig.view.LeftHeld, c.stillHeld);
        EXPECT_EQ(rig.view.UpHeld, c.stillHeld);
    }
}

} // namespace
} // namespace tolva::testing
