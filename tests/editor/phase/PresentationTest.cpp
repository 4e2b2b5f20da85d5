// What the editor lets the user edit for each type, and the captions it gives.
#include "phase/EruptionTypes.h"
#include "phase/Presentation.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

using namespace tolva::phase;

namespace {

// A phase (its strength stored and shown alike), the checked controls that
// must be enabled and disabled, and the captions (a vent caption of nullptr
// leaves the caption as it is).
struct PresentRow {
    const char* name; int type; float strength; std::vector<Param> expectEnabled, expectDisabled;
    bool calderaTicked = false; const char* ventCaption = nullptr; QString calderaCaption = kCalderaCaption;
    bool burstsTicked = false; qint16 eventKind = 0, faultDip = 0;
};
void PrintTo(const PresentRow& r, std::ostream* os) { *os << r.name; }

using enum Param;
const QString kCaldera = kCalderaCaption, kDiatreme = kDiatremeCaption;
const PresentRow kPresentRows[] = {
    {"NoTypeOnlySpeed", -1, 0, {}, {VentLocation, Wind, Caldera, BurstCount, FlowDuration}},
    {"EventKind0IsErosion", 0, 0, {ErosionDuration}, {VentLocation, FaultMagnitude, DownSide}},
    {"FaultingVerticalHasDownSide", 0, 0, {VentLocation, FaultMagnitude, FaultDip, DownSide}, {ErosionDuration},
     false, nullptr, kCaldera, false, 1},
    {"FaultingDip2NoDownSide", 0, 0, {FaultDip}, {DownSide, Strength}, false, nullptr, kCaldera, false, 1, 2},
    {"Vulcanian03Diatreme", 1, 0.3f, {Caldera, Directed}, {CalderaStyle}, false, nullptr, kDiatreme},
    {"Vulcanian045CalderaWithoutStyle", 1, 0.45f, {Caldera}, {CalderaStyle, VentPosition}, true},
    {"Vulcanian06TickedStyleAndVent", 1, 0.6f, {Caldera, CalderaStyle, VentPosition}, {}, true, "Vent Position"},
    {"Vulcanian06UntickedNoStyle", 1, 0.6f, {Caldera}, {CalderaStyle, VentPosition}},
    {"Strombolian03NoCaldera", 2, 0.3f, {Strength, CraterSize}, {Caldera}},
    {"Strombolian029Diatreme", 2, 0.29f, {Caldera}, {CalderaStyle, VentPosition}, true, nullptr, kDiatreme},
    {"HawaiianFlows", 3, 0, {FlowDuration, FlowLength, LeftAngle, RightAngle}, {Strength, MassFlux, CraterSize}},
    {"PlinianTicked", 5, 0.2f, {Caldera, CalderaStyle, VentPosition}, {}, true, "Vent Position"},
    {"SectorCollapseNoLocation", 6, 0, {ScarpTop, ScarpBase, Strength}, {VentLocation, Wind}},
    {"FumarolicUnticked", 7, 0.5f, {ExplosiveBursts}, {CraterSize, VentPosition}, false, "Burst Frequency"},
    {"FumarolicTicked", 7, 0.5f, {CraterSize, VentPosition}, {Caldera}, false, "Burst Frequency", kCaldera, true},
};

class PresentPhaseRows : public ::testing::TestWithParam<PresentRow> {};

TEST_P(PresentPhaseRows, EnabledSetAndCaptions)
{
    const PresentRow& r = GetParam();
    const PhaseRecord p{.EruptionType = static_cast<qint16>(r.type), .Strength = r.strength,
                        .EventKind = r.eventKind, .FaultDip = r.faultDip};
    const Presentation shown = PresentPhase(p, r.type, r.strength, r.calderaTicked, r.burstsTicked);
    for (Param e : r.expectEnabled)
        EXPECT_TRUE(shown.enables(e)) << Info(e).control.toStdString();
    for (Param d : r.expectDisabled)
        EXPECT_FALSE(shown.enables(d)) << Info(d).control.toStdString();
    EXPECT_FALSE(shown.enables(Speed)) << "Speed is always editable and never listed";
    EXPECT_EQ(shown.calderaCaption, r.calderaCaption);
    EXPECT_EQ(shown.ventPositionCaption.value_or(QStringLiteral("<kept>")),
              r.ventCaption ? QString::fromLatin1(r.ventCaption) : QStringLiteral("<kept>"));
}
INSTANTIATE_TEST_SUITE_P(Types, PresentPhaseRows, ::testing::ValuesIn(kPresentRows), tolva::testing::RowName());

// The caption the caldera box takes while the strength is typed, on either
// side of each type's thresholds; the box is disabled between them.
TEST(LiveCaldera, CaptionOrDisabled)
{
    const std::tuple<int, float, const char*> rows[] = {
        {Plinian, 0.49f, nullptr},     {Plinian, 0.5f, "Caldera"},    {Strombolian, 0.3f, "Diatreme"},
        {Strombolian, 0.31f, nullptr}, {Vulcanian, 0.4f, "Diatreme"}, {Vulcanian, 0.41f, nullptr},
        {Vulcanian, 0.59f, nullptr},   {Vulcanian, 0.6f, "Caldera"},  {Fumarolic, 0.2f, nullptr}};
    for (const auto& [type, strength, caption] : rows)
        EXPECT_EQ(LiveCalderaCaption(type, strength).value_or(QStringLiteral("<disabled>")),
                  caption ? QString::fromLatin1(caption) : QStringLiteral("<disabled>"))
            << type << " " << strength;
}

TEST(ChoiceLists, EntriesFoundOnlyWithinTheCount)
{
    EXPECT_EQ(FlowOfEntry(FlowEntry(3), 3), 3);
    EXPECT_EQ(FlowOfEntry(FlowEntry(3), 2), 0);
    EXPECT_EQ(FlowOfEntry(QStringLiteral("Flow Duration"), 5), 0);
    EXPECT_EQ(PhaseOfEntry(QStringLiteral("Phase 12"), 12), 12);
    EXPECT_EQ(PhaseOfEntry(QStringLiteral("Phase 1 "), 12), 0);
    EXPECT_EQ(CalderaStyleCode(QStringLiteral("Valles Type")), 2);
    EXPECT_EQ(CalderaStyleCode(QStringLiteral("Mazama Type")), 1);
    EXPECT_EQ(DownSideText(3), QStringLiteral("Down Side"));
}

TEST(TypedText, KeptWhilePlainDecimalReadingAsTheHeldValue)
{
    struct Case { const char* text; double held; bool kept; };
    const Case cases[] = {{"12.", 12, true},  {"1.0", 1, true},  {"-", 0, true},     {"", 0, true},
                          {"-", 1, false},    {"", 1, false},    {"15", 11, false},  {"abc", 0, false},
                          {"1e", 1, false},   {"--1", 0, false}, {"+.", 0, true},    {"12.50", 12.5, true}};
    for (const Case& c : cases)
        EXPECT_EQ(KeepsTypedText(QString::fromLatin1(c.text), c.held), c.kept) << c.text << " held " << c.held;
}

} // namespace
