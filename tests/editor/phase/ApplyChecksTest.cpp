// The apply checks: every message with its exact text, each bound and a hair
// beyond it, the order in which the checks run, and the scarp corrections.
#include "phase/ApplyChecks.h"
#include "phase/EruptionTypes.h"
#include "phase/Parameters.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

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

struct Row {
    const char* name;
    int type;
    std::function<void(PhaseRecord&, FlowDurations&)> change;
    const char* message;  // nullptr: the phase passes
    int scale = NormalScale;
    int flow = 0;
    int eventKind = 0;
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
    EXPECT_EQ(failure->text(), QStringLiteral("Phase 3") + QString::fromLatin1(row.message));
    EXPECT_EQ(failure->phase, 3);
    EXPECT_EQ(failure->flow, row.flow);
}

using P = PhaseRecord&;
using D = FlowDurations&;

const Row kRows[] = {
    // Location, on all three scales; only Faulting, Erosion and Sector Collapse are exempt.
    {"NormalPixel50Passes", 1, [](P p, D) { p.VentLocation = 1; }, nullptr},
    {"NormalPixel1225Passes", 1, [](P p, D) { p.VentLocation = 24.5f; }, nullptr},
    {"NormalBelow", 1, [](P p, D) { p.VentLocation = 0.99f; }, " Location too small"},
    {"NormalAbove", 1, [](P p, D) { p.VentLocation = 24.7f; }, " Location too large"},
    {"Normal24_6IsAHairAbove", 2, [](P p, D) { p.VentLocation = 24.6f; }, " Location too large"},
    {"SmallPixel50Passes", 1, [](P p, D) { p.VentLocation = 0.2f; }, nullptr, SmallScale},
    {"SmallBelow", 1, [](P p, D) { p.VentLocation = 0.19f; }, " Location too small", SmallScale},
    {"Small4_92IsAHairAbove", 1, [](P p, D) { p.VentLocation = 4.92f; }, " Location too large", SmallScale},
    {"Small0_2OnNormalFails", 1, [](P p, D) { p.VentLocation = 0.2f; }, " Location too small"},
    {"Large24_6Passes", 1, [](P p, D) { p.VentLocation = 24.6f; }, nullptr, LargeScale},
    {"Large123IsExactly1230", 1, [](P p, D) { p.VentLocation = 123; }, nullptr, LargeScale},
    {"LargeAbove", 1, [](P p, D) { p.VentLocation = 123.01f; }, " Location too large", LargeScale},
    {"LargeBelow", 1, [](P p, D) { p.VentLocation = 4.99f; }, " Location too small", LargeScale},
    {"RecordWithoutScaleIsNormal", 1, [](P p, D) { p.VentLocation = 0.99f; }, " Location too small", 0},
    {"NoTypeFailsOnNewPhaseLocation", -1, [](P p, D) { p.VentLocation = 0; }, " Location too small"},
    {"SectorCollapseAnyLocation", 6, [](P p, D) { p.VentLocation = -500; }, nullptr},
    {"ErosionAnyLocation", 0, [](P p, D) { p.VentLocation = 9999; }, nullptr, NormalScale, 0, 2},
    // Wind, for every type.
    {"WindMinus50Passes", 0, [](P p, D) { p.Wind = -50; }, nullptr, NormalScale, 0, 2},
    {"Wind50Passes", 6, [](P p, D) { p.Wind = 50; }, nullptr},
    {"WindTooNegative", 0, [](P p, D) { p.Wind = -50.5f; }, " Wind speed too negative", NormalScale, 0, 2},
    {"WindTooHigh", -1, [](P p, D) { p.Wind = 50.5f; }, " Wind speed too high"},
    {"LocationBeforeWind", 1, [](P p, D) { p.VentLocation = 0; p.Wind = 99; }, " Location too small"},
    // Faulting's down side.
    {"VerticalFaultWithoutSide", 0, [](P p, D) { p.FaultDip = 0; p.DownSide = 0; }, " Must select down side",
     NormalScale, 0, 1},
    {"VerticalFaultSide2", 0, [](P p, D) { p.FaultDip = 0; p.DownSide = 2; }, nullptr, NormalScale, 0, 1},
    {"VerticalFaultSide3", 0, [](P p, D) { p.FaultDip = 0; p.DownSide = 3; }, " Must select down side",
     NormalScale, 0, 1},
    {"DippingFaultNeedsNoSide", 0, [](P p, D) { p.FaultDip = -3; p.DownSide = 0; }, nullptr, NormalScale, 0, 1},
    {"ErosionNeedsNoSide", 0, [](P p, D) { p.FaultDip = 0; p.DownSide = 0; }, nullptr, NormalScale, 0, 2},
    // Vulcanian/Surtseyan.
    {"VulcanianStrength1Passes", 1, [](P p, D) { p.Strength = 1.0f; }, nullptr},
    {"VulcanianStrength0_2Passes", 1, [](P p, D) { p.Strength = 0.2f; }, nullptr},
    {"VulcanianTooStrong", 1, [](P p, D) { p.Strength = 1.01f; }, " Maximum Strength (1.0) exceeded."},
    {"VulcanianTooWeak", 1, [](P p, D) { p.Strength = 0.19f; }, " Minimum Strength (0.20) not met."},
    {"VulcanianCalderaNeedsStyle", 1, [](P p, D) { p.Caldera = 1; }, " Must select caldera style."},
    {"VulcanianCalderaWithStyle", 1, [](P p, D) { p.Caldera = 1; p.CalderaStyle = 2; }, nullptr},
    {"VulcanianMidRadius640", 1, [](P p, D) { p.MidRadius = 640; }, nullptr},
    {"VulcanianMidRadiusAbove", 1, [](P p, D) { p.MidRadius = 640.5f; }, " Mid radius must be <= 640 "},
    {"DepositAngleMinus1", 1, [](P p, D) { p.DepositAngle = -1; }, nullptr},
    {"DepositAngleBelow", 1, [](P p, D) { p.DepositAngle = -1.01f; }, " Deposit angle must be >= -1"},
    {"DepositAngleAbove", 1, [](P p, D) { p.DepositAngle = 1.01f; }, " Deposit angle must be <= 1"},
    {"StrengthBeforeStyle", 1, [](P p, D) { p.Strength = 5; p.Caldera = 1; }, " Maximum Strength (1.0) exceeded."},
    {"StyleBeforeRadius", 1, [](P p, D) { p.Caldera = 1; p.MidRadius = 900; }, " Must select caldera style."},
    // Strombolian.
    {"StrombolianAccepts2", 2, [](P p, D) { p.Strength = 2.0f; }, nullptr},
    {"StrombolianTooStrong", 2, [](P p, D) { p.Strength = 2.01f; }, " Maximum Strength (2.00) exceeded."},
    {"StrombolianTooWeak", 2, [](P p, D) { p.Strength = 0.09f; }, " Minimum Strength (0.10) not met."},
    {"StrombolianDiatremeNeedsNoStyle", 2, [](P p, D) { p.Caldera = 1; }, nullptr},
    {"StrombolianMidRadius", 2, [](P p, D) { p.MidRadius = 641; }, " Mid radius must be <= 640 "},
    // Plinian.
    {"PlinianTooStrong", 5, [](P p, D) { p.Strength = 1.5f; }, " Maximum Plinian strength (1.00) exceeded."},
    {"PlinianTooWeak", 5, [](P p, D) { p.Strength = 0.05f; }, " Minimum Strength (0.10) not met."},
    {"PlinianCalderaNeedsStyle", 5, [](P p, D) { p.Caldera = 1; }, " Must select caldera style."},
    {"PlinianMidRadius640", 5, [](P p, D) { p.MidRadius = 640; }, nullptr},
    {"PlinianDepositAngle", 5, [](P p, D) { p.DepositAngle = 2; }, " Deposit angle must be <= 1"},
    // Fumarolic/Phreatic: the low strength is tested first.
    {"FumarolicTooWeak", 7, [](P p, D) { p.Strength = 0.05f; }, " Fumarolic strength too low."},
    {"FumarolicTooStrong", 7, [](P p, D) { p.Strength = 1.01f; }, " Maximum Fumarolic strength exceeded."},
    {"FumarolicMidRadius", 7, [](P p, D) { p.MidRadius = 700; }, " Mid radius must be <= 640 "},
    // Sector Collapse.
    {"SectorCollapseAnyStrength", 6, [](P p, D) { p.Strength = 99; }, nullptr},
    {"ScarpsEqual", 6, [](P p, D) { p.ScarpTop = 5; p.ScarpBase = 5; }, " Scarp base and top cannot be equal"},
    {"ScarpTopBelow", 6, [](P p, D) { p.ScarpTop = 0.5f; }, " Scarp top reset"},
    {"ScarpTopAbove", 6, [](P p, D) { p.ScarpTop = 30; }, " Scarp top reset"},
    {"ScarpBaseAbove", 6, [](P p, D) { p.ScarpBase = 30; }, " Scarp base reset"},
    {"ScarpTopBeforeBase", 6, [](P p, D) { p.ScarpTop = 0; p.ScarpBase = 0; }, " Scarp top reset"},
    {"SectorCollapseMidRadius128", 6, [](P p, D) { p.MidRadius = 128; }, nullptr},
    {"SectorCollapseMidRadiusAbove", 6, [](P p, D) { p.MidRadius = 128.5f; }, " Mid radius must be <= 128 "},
    {"SectorCollapseDepositAngle", 6, [](P p, D) { p.DepositAngle = -2; }, " Deposit angle must be >= -1"},
    // Hawaiian flows: 20 to 1200 + (FlowLength - 6) x 120.
    {"HawaiianBounds", 3, [](P, D d) { d[1] = 20; d[2] = 1200; }, nullptr},
    {"HawaiianShort", 3, [](P, D d) { d[2] = 19.9f; }, " Flow Duration too short.", NormalScale, 2},
    {"HawaiianLong", 3, [](P, D d) { d[1] = 1200.5f; }, " Flow Duration too long.", NormalScale, 1},
    {"HawaiianLength11", 3, [](P p, D d) { p.FlowLength = 11; d[2] = 1800; }, nullptr},
    {"HawaiianLength11Above", 3, [](P p, D d) { p.FlowLength = 11; d[2] = 1800.1f; }, " Flow Duration too long.",
     NormalScale, 2},
    {"HawaiianLength1", 3, [](P p, D d) { p.FlowLength = 1; d[1] = 600.1f; }, " Flow Duration too long.",
     NormalScale, 1},
    {"FirstFailingFlowWins", 3, [](P p, D d) { p.BurstCount = 3; d[2] = 5; d[3] = 5000; },
     " Flow Duration too short.", NormalScale, 2},
    {"FlowsBeyondTheCountAreIgnored", 3, [](P, D d) { d[3] = 0; }, nullptr},
    // Peléean flows: 10 to (10n + 200) x (FlowLength + 4) / 10.
    {"PeleeanFlow1Limit210", 4, [](P, D d) { d[1] = 210; d[2] = 10; }, nullptr},
    {"PeleeanFlow1Above", 4, [](P, D d) { d[1] = 210.1f; }, " Flow Duration too long.", NormalScale, 1},
    {"PeleeanFlow10Limit300", 4, [](P p, D d) { p.BurstCount = 10; d[10] = 300; }, nullptr},
    {"PeleeanFlow10Above", 4, [](P p, D d) { p.BurstCount = 10; d[10] = 300.1f; }, " Flow Duration too long.",
     NormalScale, 10},
    {"PeleeanShort", 4, [](P, D d) { d[1] = 9.5f; }, " Flow Duration too short.", NormalScale, 1},
    {"HundredFlowsPass", 3, [](P p, D) { p.BurstCount = 100; }, nullptr},
    {"MoreThan100FlowsRefused", 4, [](P p, D) { p.BurstCount = 101; }, " Number of bursts must be <= 100"},
    {"HawaiianMidRadius320", 3, [](P p, D) { p.MidRadius = 320; }, nullptr},
    {"HawaiianMidRadiusAbove", 3, [](P p, D) { p.MidRadius = 320.5f; }, " Mid radius must be <= 320 "},
    {"FlowsBeforeRadius", 3, [](P p, D d) { p.MidRadius = 999; d[1] = 1; }, " Flow Duration too short.",
     NormalScale, 1},
    // Angles: every test runs and the last failing one names the fault.
    {"AnglesAtBounds", 4, [](P p, D) { p.LeftAngle = -4; p.RightAngle = 4; }, nullptr},
    {"LeftBelow", 3, [](P p, D) { p.LeftAngle = -4.01f; }, " Left angle must be >= -4"},
    {"LeftAbove", 3, [](P p, D) { p.LeftAngle = 4.01f; }, " Left angle must be <= 4"},
    {"RightBelow", 3, [](P p, D) { p.RightAngle = -4.01f; }, " Right angle must be >= -4"},
    {"RightAbove", 4, [](P p, D) { p.RightAngle = 4.01f; }, " Right angle must be <= 4"},
    {"RightWinsOverLeft", 3, [](P p, D) { p.LeftAngle = 5; p.RightAngle = -5; }, " Right angle must be >= -4"},
    {"RadiusBeforeAngles", 3, [](P p, D) { p.MidRadius = 400; p.RightAngle = 9; }, " Mid radius must be <= 320 "},
    // Types without rules of their own, and unknown codes.
    {"UnknownCodeOnlyLocationAndWind", 9, [](P p, D) { p.Strength = 99; }, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Checks, ApplyCheckRows, ::testing::ValuesIn(kRows),
                         tolva::testing::RowName());

struct CorrectionRow {
    int scale;
    float value;
    float expected;
};

void PrintTo(const CorrectionRow& row, std::ostream* os) { *os << row.scale << " " << row.value; }

class ScarpCorrections : public ::testing::TestWithParam<CorrectionRow> {};

// A scarp off the map moves to the outermost float that is still on it, so
// that a second apply passes instead of failing again.
TEST_P(ScarpCorrections, TheCorrectedValueIsTheOutermostThatPasses)
{
    const CorrectionRow& row = GetParam();
    PhaseRecord p = ValidPhase(SectorCollapse);
    p.ScarpTop = row.value;
    p.ScarpBase = 2.5f * row.scale / 20; // well inside the map
    FlowDurations d{};
    const auto first = CheckPhase(1, p, d, row.scale);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->message, QStringLiteral(" Scarp top reset"));
    EXPECT_FLOAT_EQ(p.ScarpTop, row.expected);
    const bool upper = Pixel(row.value, row.scale) > 1230;
    const double px = Pixel(p.ScarpTop, row.scale);
    const double beyond = Pixel(std::nextafter(p.ScarpTop, upper ? 1e9f : -1e9f), row.scale);
    EXPECT_TRUE(upper ? px <= 1230 && beyond > 1230 : px >= 50 && beyond < 50) << px;
    EXPECT_FALSE(CheckPhase(1, p, d, row.scale)) << "second apply must pass";
}

INSTANTIATE_TEST_SUITE_P(AllScales, ScarpCorrections,
                         ::testing::Values(CorrectionRow{NormalScale, 0.5f, 1.0f}, CorrectionRow{NormalScale, 30, 24.6f},
                                           CorrectionRow{NormalScale, 24.6f, 24.6f}, CorrectionRow{SmallScale, 5, 4.92f},
                                           CorrectionRow{SmallScale, 0, 0.2f}, CorrectionRow{LargeScale, 200, 123},
                                           CorrectionRow{LargeScale, -7, 5}),
                         tolva::testing::RowName());

TEST(CheckPhases, OnlyTheLowestFailingPhaseIsReported)
{
    PhaseList list;
    list.count = 3;
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
