// The apply checks: every message with its exact text, each bound and a hair
// beyond it, the order in which the checks run, and the scarp corrections.
#include "phase/ApplyChecks.h"
#include "phase/EruptionTypes.h"
#include "phase/Parameters.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

using namespace tolva::phase;

namespace {

// A phase of the given type that passes every check on the Normal scale.
PhaseRecord ValidPhase(int type, int eventKind = 0)
{
    PhaseRecord p = NewPhase();
    p.EruptionType = static_cast<qint16>(type);
    p.EventKind = static_cast<qint16>(eventKind);
    p.VentLocation = 12;
    p.Strength = 0.5f;
    p.BurstCount = 2;
    p.ScarpTop = 5;
    p.ScarpBase = 10;
    p.DownSide = 1;
    return p;
}

// A change to a passing phase, and the message it then fails with (nullptr: it passes).
struct Row {
    const char* name; int type; std::function<void(PhaseRecord&, FlowDurations&)> change; const char* message;
    int eventKind = 0, flow = 0, scale = NormalScale;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class ApplyCheckRows : public ::testing::TestWithParam<Row> {};

TEST_P(ApplyCheckRows, ReportsTheFirstFailingCheck)
{
    const Row& row = GetParam();
    PhaseRecord p = ValidPhase(row.type, row.eventKind);
    FlowDurations d{};
    d.fill(100);
    row.change(p, d);
    const auto failure = CheckPhase(3, p, d, row.scale);
    if (!row.message) {
        EXPECT_FALSE(failure) << failure->text().toStdString();
        return;
    }
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->text(), QStringLiteral("Phase 3") + QString::fromLatin1(row.message)); // the phase's number
    EXPECT_EQ(failure->flow, row.flow);
}

using P = PhaseRecord&;
using D = FlowDurations&;

const Row kRows[] = {
    // Location: its bounds on each scale are in ApplyBounds (the typed 24.6 is
    // LocationNormalHigh's first Single beyond); here a record without a scale,
    // and the exempt Erosion and Sector Collapse.
    {"RecordWithoutScaleIsNormal", 1, [](P p, D) { p.VentLocation = 0.99f; }, " Location too small", 0, 0, 0},
    {"SectorCollapseAnyLocation", 6, [](P p, D) { p.VentLocation = -500; }, nullptr},
    {"ErosionAnyLocation", 0, [](P p, D) { p.VentLocation = 9999; }, nullptr, Erosion},
    {"LocationBeforeWind", 1, [](P p, D) { p.VentLocation = 0; p.Wind = 99; }, " Location too small"},
    // Faulting's down side.
    {"VerticalFaultWithoutSide", 0, [](P p, D) { p.FaultDip = 0; p.DownSide = 0; }, " Must select down side", Faulting},
    {"VerticalFaultSide2", 0, [](P p, D) { p.FaultDip = 0; p.DownSide = 2; }, nullptr, Faulting},
    {"VerticalFaultSide3", 0, [](P p, D) { p.FaultDip = 0; p.DownSide = 3; }, " Must select down side", Faulting},
    {"DippingFaultNeedsNoSide", 0, [](P p, D) { p.FaultDip = -3; p.DownSide = 0; }, nullptr, Faulting},
    {"ErosionNeedsNoSide", 0, [](P p, D) { p.FaultDip = 0; p.DownSide = 0; }, nullptr, Erosion},
    // Caldera style and the order of the type's checks.
    {"VulcanianCalderaNeedsStyle", 1, [](P p, D) { p.Caldera = 1; }, " Must select caldera style."},
    {"VulcanianCalderaWithStyle", 1, [](P p, D) { p.Caldera = 1; p.CalderaStyle = 2; }, nullptr},
    {"StrengthBeforeStyle", 1, [](P p, D) { p.Strength = 5; p.Caldera = 1; }, " Maximum Strength (1.0) exceeded."},
    {"StyleBeforeRadius", 1, [](P p, D) { p.Caldera = 1; p.MidRadius = 900; }, " Must select caldera style."},
    {"StrombolianDiatremeNeedsNoStyle", 2, [](P p, D) { p.Caldera = 1; }, nullptr},
    {"PlinianCalderaNeedsStyle", 5, [](P p, D) { p.Caldera = 1; }, " Must select caldera style."},
    // Sector Collapse; the scarp top off the map on either side is ScarpCorrections'.
    {"SectorCollapseAnyStrength", 6, [](P p, D) { p.Strength = 99; }, nullptr},
    {"ScarpsEqual", 6, [](P p, D) { p.ScarpTop = 5; p.ScarpBase = 5; }, " Scarp base and top cannot be equal"},
    {"ScarpBaseAbove", 6, [](P p, D) { p.ScarpBase = 30; }, " Scarp base reset"},
    {"ScarpTopBeforeBase", 6, [](P p, D) { p.ScarpTop = 0; p.ScarpBase = 0; }, " Scarp top reset"},
    // Flows: the first failing one is named; at most 100 of them.
    {"FirstFailingFlowWins", 3, [](P p, D d) { p.BurstCount = 3; d[2] = 5; d[3] = 5000; },
     " Flow Duration too short.", 0, 2},
    {"FlowsBeyondTheCountAreIgnored", 3, [](P, D d) { d[3] = 0; }, nullptr},
    {"HundredFlowsPass", 3, [](P p, D) { p.BurstCount = 100; }, nullptr},
    {"MoreThan100FlowsRefused", 4, [](P p, D) { p.BurstCount = 101; }, " Number of bursts must be <= 100"},
    {"FlowsBeforeRadius", 3, [](P p, D d) { p.MidRadius = 999; d[1] = 1; }, " Flow Duration too short.", 0, 1},
    // Angles: every test runs and the last failing one names the fault.
    {"RightWinsOverLeft", 3, [](P p, D) { p.LeftAngle = 5; p.RightAngle = -5; }, " Right angle must be >= -4"},
    {"RadiusBeforeAngles", 3, [](P p, D) { p.MidRadius = 400; p.RightAngle = 9; }, " Mid radius must be <= 320 "},
    // Types without rules of their own, and unknown codes.
    {"UnknownCodeOnlyLocationAndWind", 9, [](P p, D) { p.Strength = 99; }, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Checks, ApplyCheckRows, ::testing::ValuesIn(kRows), tolva::testing::RowName());

enum Side { Low, High };

// One bound that an apply demands of each of the types, as the user has been
// told it: of a field, or (field nullptr) of the duration of flow `flow`; in
// the field's units, or in map pixels for a position on the record's scale
// `pixelScale`.
struct BoundRow {
    const char* name; std::vector<int> types; float PhaseRecord::*field; Side side; double bound; const char* message;
    int pixelScale = 0, flow = 1, flowLength = 6, eventKind = 0;
};

void PrintTo(const BoundRow& row, std::ostream* os) { *os << row.name; }

class ApplyBounds : public ::testing::TestWithParam<BoundRow> {};

// The outermost Single on the passing side of a bound passes, and the next
// Single beyond it fails with the bound's message.
TEST_P(ApplyBounds, OutermostSinglePassesAndTheNextFails)
{
    const BoundRow& row = GetParam();
    const int scale = row.pixelScale ? row.pixelScale : NormalScale;
    const auto measured = [&](float v) { return row.pixelScale ? v * 1000.0 / row.pixelScale : double(v); };
    const auto passes = [&](float v) { return row.side == Low ? measured(v) >= row.bound : measured(v) <= row.bound; };
    const float outward = row.side == Low ? -INFINITY : INFINITY;
    float edge = static_cast<float>(row.pixelScale ? row.bound * row.pixelScale / 1000.0 : row.bound);
    while (!passes(edge))
        edge = std::nextafter(edge, -outward);
    while (passes(std::nextafter(edge, outward)))
        edge = std::nextafter(edge, outward);

    const auto check = [&](int type, float v) {
        PhaseRecord p = ValidPhase(type, row.eventKind);
        p.FlowLength = static_cast<qint16>(row.flowLength);
        p.BurstCount = static_cast<qint16>(std::max(2, row.flow));
        FlowDurations d{};
        d.fill(100);
        (row.field ? p.*row.field : d[row.flow]) = v;
        return CheckPhase(1, p, d, scale);
    };
    const float beyond = std::nextafter(edge, outward);
    for (int type : row.types) {
        SCOPED_TRACE(type);
        const auto atEdge = check(type, edge);
        EXPECT_FALSE(atEdge) << edge << ": " << atEdge->text().toStdString();
        const auto failure = check(type, beyond);
        ASSERT_TRUE(failure) << beyond;
        EXPECT_EQ(failure->text(), QStringLiteral("Phase 1") + QString::fromLatin1(row.message));
        EXPECT_EQ(failure->flow, row.field ? 0 : row.flow);
    }
}

using R = PhaseRecord;

const BoundRow kBounds[] = {
    // Locations in map pixels, 50 to 1230, on each scale.
    {"LocationSmallLow", {1}, &R::VentLocation, Low, 50, " Location too small", SmallScale},
    {"LocationSmallHigh", {2}, &R::VentLocation, High, 1230, " Location too large", SmallScale},
    {"LocationNormalLow", {5}, &R::VentLocation, Low, 50, " Location too small", NormalScale},
    {"LocationNormalHigh", {7}, &R::VentLocation, High, 1230, " Location too large", NormalScale},
    {"LocationLargeLow", {3}, &R::VentLocation, Low, 50, " Location too small", LargeScale},
    {"LocationLargeHigh", {-1}, &R::VentLocation, High, 1230, " Location too large", LargeScale},
    // Wind, -50 to 50 for every type.
    {"WindLow", {0}, &R::Wind, Low, -50, " Wind speed too negative", 0, 1, 6, Erosion},
    {"WindHigh", {6}, &R::Wind, High, 50, " Wind speed too high"},
    // Strength by type.
    {"VulcanianStrengthHigh", {1}, &R::Strength, High, 1.0, " Maximum Strength (1.0) exceeded."},
    {"VulcanianStrengthLow", {1}, &R::Strength, Low, 0.2, " Minimum Strength (0.20) not met."},
    {"StrombolianStrengthHigh", {2}, &R::Strength, High, 2.0, " Maximum Strength (2.00) exceeded."},
    {"StrombolianAndPlinianStrengthLow", {2, 5}, &R::Strength, Low, 0.1, " Minimum Strength (0.10) not met."},
    {"PlinianStrengthHigh", {5}, &R::Strength, High, 1.0, " Maximum Plinian strength (1.00) exceeded."},
    {"FumarolicStrengthHigh", {7}, &R::Strength, High, 1.0, " Maximum Fumarolic strength exceeded."},
    {"FumarolicStrengthLow", {7}, &R::Strength, Low, 0.1, " Fumarolic strength too low."},
    // Mid radius by type: Vulcanian, Strombolian, Plinian and Fumarolic; the
    // lava flows; Sector Collapse.
    {"ExplosiveMidRadius", {1, 2, 5, 7}, &R::MidRadius, High, 640, " Mid radius must be <= 640 "},
    {"LavaMidRadius", {3, 4}, &R::MidRadius, High, 320, " Mid radius must be <= 320 "},
    {"SectorCollapseMidRadius", {6}, &R::MidRadius, High, 128, " Mid radius must be <= 128 "},
    // Deposit angle, -1 to 1, for the explosive types and Sector Collapse.
    {"DepositAngleLow", {1, 2, 5, 6, 7}, &R::DepositAngle, Low, -1, " Deposit angle must be >= -1"},
    {"DepositAngleHigh", {1, 2, 5, 6, 7}, &R::DepositAngle, High, 1, " Deposit angle must be <= 1"},
    // Lava flow angles, -4 to 4, for Hawaiian and Peléean.
    {"LeftAngleLow", {3, 4}, &R::LeftAngle, Low, -4, " Left angle must be >= -4"},
    {"LeftAngleHigh", {3, 4}, &R::LeftAngle, High, 4, " Left angle must be <= 4"},
    {"RightAngleLow", {3, 4}, &R::RightAngle, Low, -4, " Right angle must be >= -4"},
    {"RightAngleHigh", {3, 4}, &R::RightAngle, High, 4, " Right angle must be <= 4"},
    // Flow durations: Hawaiian 20 to 1200 + (FlowLength - 6) x 120, Peléean
    // flow n 10 to (10n + 200) x (FlowLength + 4) / 10.
    {"HawaiianFlowLow", {3}, nullptr, Low, 20, " Flow Duration too short.", 0, 2},
    {"HawaiianFlowHigh", {3}, nullptr, High, 1200, " Flow Duration too long.", 0, 1},
    {"HawaiianFlowLength11High", {3}, nullptr, High, 1800, " Flow Duration too long.", 0, 2, 11},
    {"HawaiianFlowLength1High", {3}, nullptr, High, 600, " Flow Duration too long.", 0, 1, 1},
    {"PeleeanFlowLow", {4}, nullptr, Low, 10, " Flow Duration too short.", 0, 1},
    {"PeleeanFlow1High", {4}, nullptr, High, 210, " Flow Duration too long.", 0, 1},
    {"PeleeanFlow10High", {4}, nullptr, High, 300, " Flow Duration too long.", 0, 10},
    {"PeleeanFlow5Length11High", {4}, nullptr, High, 375, " Flow Duration too long.", 0, 5, 11},
    {"PeleeanFlow1Length1High", {4}, nullptr, High, 105, " Flow Duration too long.", 0, 1, 1},
};

INSTANTIATE_TEST_SUITE_P(EachBound, ApplyBounds, ::testing::ValuesIn(kBounds), tolva::testing::RowName());

// A scarp off the map moves to the outermost float that is still on it, so
// that a second apply passes instead of failing again; on every scale, below
// and above the map, and a value already outermost.
TEST(ScarpCorrections, TheCorrectedValueIsTheOutermostThatPasses)
{
    const std::tuple<int, float, float> rows[] = {
        {NormalScale, 0.5f, 1.0f}, {NormalScale, 30, 24.6f}, {NormalScale, 24.6f, 24.6f}, {SmallScale, 5, 4.92f},
        {SmallScale, 0, 0.2f},     {LargeScale, 200, 123},   {LargeScale, -7, 5}};
    for (const auto& [scale, value, expected] : rows) {
        SCOPED_TRACE(std::to_string(scale) + " " + std::to_string(value));
        PhaseRecord p = ValidPhase(SectorCollapse);
        p.ScarpTop = value;
        p.ScarpBase = 2.5f * scale / 20; // well inside the map
        const auto first = CheckPhase(1, p, {}, scale);
        ASSERT_TRUE(first);
        EXPECT_EQ(first->message, QStringLiteral(" Scarp top reset"));
        EXPECT_FLOAT_EQ(p.ScarpTop, expected);
        const bool upper = Pixel(value, scale) > 1230;
        const double px = Pixel(p.ScarpTop, scale);
        const double beyond = Pixel(std::nextafter(p.ScarpTop, upper ? 1e9f : -1e9f), scale);
        EXPECT_TRUE(upper ? px <= 1230 && beyond > 1230 : px >= 50 && beyond < 50) << px;
        EXPECT_FALSE(CheckPhase(1, p, {}, scale)) << "second apply must pass";
    }
}

TEST(CheckPhases, OnlyTheLowestFailingPhaseIsReported)
{
    PhaseList list{.count = 3};
    list.phases[1] = ValidPhase(Strombolian);
    list.phases[2] = ValidPhase(Vulcanian);
    list.phases[2].Strength = 3;
    list.phases[3] = ValidPhase(Plinian);
    list.phases[3].VentLocation = 0;
    const auto failure = CheckPhases(list, NormalScale);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->text(), QStringLiteral("Phase 2 Maximum Strength (1.0) exceeded."));
    list.count = 0;
    EXPECT_FALSE(CheckPhases(list, NormalScale)) << "a record without phases passes";
}

} // namespace
