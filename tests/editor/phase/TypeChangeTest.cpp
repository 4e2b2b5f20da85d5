// Picking another eruption type and the random flow durations it draws.
#include "phase/EruptionTypes.h"
#include "support/FakePlatform.h"
#include "phase/Parameters.h"
#include "phase/TypeChange.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace tolva::phase;
using tolva::testing::SequenceRandom;

namespace {

PhaseRecord Strombolian08(qint16 bursts = 3)
{
    PhaseRecord p = NewPhase();
    p.EruptionType = Strombolian;
    p.VentLocation = 12;
    p.Strength = 0.8f;
    p.Wind = 7;
    p.MassFlux = 10;
    p.BurstCount = bursts;
    p.ScarpTop = 4;
    p.ScarpBase = 6;
    return p;
}

struct Picked { PhaseRecord phase; FlowDurations durations{}; std::optional<int> shown; };

Picked Pick(PhaseRecord working, const QString& name, const PhaseRecord& committed = {},
            const FlowDurations& committedDurations = {}, std::deque<double> random = {0.5})
{
    Picked r{working, {}, {}};
    SequenceRandom source(std::move(random));
    r.shown = TypeChange(r.phase, r.durations, committed, committedDurations, name, source);
    return r;
}

TEST(TypeList, NamesCodesAndOrder)
{
    // Position in the list, exact name (UTF-8 here), code and the EventKind it sets.
    const std::vector<std::tuple<QString, int, int>> expected = {
        {"Hawaiian", 3, 0}, {"Pel\xc3\xa9" "ean", 4, 0}, {"Strombolian", 2, 0}, {"Plinian", 5, 0},
        {"Vulcanian/Surtseyan", 1, 0}, {"Fumarolic/Phreatic", 7, 0}, {"Sector Collapse", 6, 0},
        {"Faulting", 0, 1}, {"Erosion", 0, 2}};
    std::vector<std::tuple<QString, int, int>> listed;
    for (const EruptionTypeEntry& t : TypeList())
        listed.emplace_back(t.name, t.code, t.eventKind);
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(TypeName({.EruptionType = 1}), QStringLiteral("Vulcanian/Surtseyan"));
    EXPECT_EQ(TypeName({.EruptionType = 0, .EventKind = 0}), QStringLiteral("Erosion")); // every EventKind but 1
    EXPECT_EQ(TypeName({.EruptionType = -1}), QStringLiteral("Select Parameters"));
    EXPECT_EQ(ShownTypeOf({.EruptionType = -1}), -1);
}

// Mass flux and bursts stop at their lower limit 1; only a fault gets a
// magnitude, 1 where it had none, and keeps one other than 0.
TEST(TypeChange, NonEruptiveKindsResetTheEruptionValues)
{
    const std::tuple<const char*, int, qint16, qint16> rows[] = {
        {"Faulting", 1, 0, 1}, {"Erosion", 2, 0, 0}, {"Faulting", 1, -2, -2}, {"Faulting", 1, 3, 3}};
    for (const auto& [name, kind, magnitude, kept] : rows) {
        PhaseRecord start = Strombolian08();
        start.FaultMagnitude = magnitude;
        const Picked r = Pick(start, QString::fromLatin1(name));
        ASSERT_EQ(r.shown, 0);
        PhaseRecord expected = start;
        expected.EruptionType = 0;
        expected.EventKind = static_cast<qint16>(kind);
        expected.VentLocation = expected.Strength = expected.Wind = expected.ScarpTop = expected.ScarpBase = 0;
        expected.MassFlux = expected.BurstCount = 1;
        expected.FaultMagnitude = kept;
        EXPECT_EQ(r.phase, expected) << name << " " << magnitude;
    }
}

TEST(TypeChange, BetweenEruptiveTypesOnlyTheCodeChanges)
{
    PhaseRecord v = Strombolian08();
    v.EruptionType = Vulcanian;
    v.Caldera = v.Directed = 1;
    v.CalderaStyle = 2;
    const Picked r = Pick(v, QStringLiteral("Plinian"));
    PhaseRecord expected = v;
    expected.EruptionType = Plinian;
    EXPECT_EQ(r.phase, expected);
}

TEST(TypeChange, UnknownNameChangesNothing)
{
    const Picked r = Pick(Strombolian08(), QStringLiteral("Peleean"));
    EXPECT_FALSE(r.shown);
    EXPECT_EQ(r.phase, Strombolian08());
}

TEST(TypeChange, HawaiianAppliedAsHawaiianGetsItsDurationsBack)
{
    PhaseRecord committed = Strombolian08();
    committed.EruptionType = Hawaiian;
    const FlowDurations applied{0, 111, 222, 333};
    const Picked r = Pick(Strombolian08(), QStringLiteral("Hawaiian"), committed, applied);
    EXPECT_EQ(r.shown, 3);
    EXPECT_EQ(r.durations, applied);
}

// Each flow up to the burst count draws its own duration (the draws are
// RandomDurations' below).
TEST(TypeChange, HawaiianAppliedAsOtherTypeDrawsEachFlow)
{
    const Picked r = Pick(Strombolian08(), QStringLiteral("Hawaiian"), Strombolian08(), {}, {0.0, 0.5, 0.5});
    EXPECT_EQ(r.durations, (FlowDurations{0, 20, 600, 600}));
}

TEST(TypeChange, NoBurstsDrawNothing)
{
    const Picked r = Pick(Strombolian08(0), QStringLiteral("Pel\u00e9ean"));
    EXPECT_EQ(r.shown, 4);
    EXPECT_EQ(r.durations, FlowDurations{});
}

TEST(TypeChange, NeverWritesBeyondTheFlowStorage)
{
    const Picked r = Pick(Strombolian08(30000), QStringLiteral("Hawaiian"));
    EXPECT_EQ(r.durations[kMaxFlows], 600);
}

// A draw is scaled by the flow length, raised to the shortest allowed
// duration and held below the longest; that every draw is within the apply
// limits is the sweep below.
TEST(RandomDurations, ScaledByFlowLength)
{
    // Type, flow, flow length, the random number and the duration drawn.
    const std::tuple<int, int, int, double, float> rows[] = {
        {3, 1, 6, 0.5, 600},        {3, 1, 11, 0.5, 900},       {3, 1, 1, 0.5, 300}, {3, 1, 6, 0.01, 20},
        {3, 7, 11, 0.9999999, 1800}, {4, 5, 6, 0.9999999, 250}, {4, 1, 6, 0.0, 10},  {4, 10, 1, 0.5, 75}};
    for (const auto& [type, flow, length, r, expected] : rows) {
        SequenceRandom source({r});
        EXPECT_FLOAT_EQ(RandomFlowDuration(type, flow, length, source), expected)
            << type << " flow " << flow << " length " << length << " r " << r;
    }
}

TEST(RandomDurations, AlwaysPassTheApplyCheckForEveryFlowAndLength)
{
    for (int type : {3, 4})
        for (int length = 1; length <= 11; ++length)
            for (int flow = 1; flow <= kMaxFlows; ++flow)
                for (double r : {0.0, 0.3333333, 0.7777777, 0.99999999, 0.9999999999}) {
                    SequenceRandom source({r});
                    const float d = RandomFlowDuration(type, flow, length, source);
                    ASSERT_TRUE(FlowDurationRange(type, flow, length).contains(d))
                        << type << " " << flow << " " << length << " " << r;
                }
}

} // namespace
