// The map cursor rules and the number rules of the view controls.
#include "navigation/MapCursor.h"
#include "navigation/ViewControls.h"

#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tolva {
namespace {

struct CursorCase {
    const char* name;
    bool walk; // the walk rule, else the pan rule
    MapScale scale;
    float x, z;
    MapCursorPlace expected;
};

void PrintTo(const CursorCase& c, std::ostream* os) { *os << c.name; }

class CursorRows : public ::testing::TestWithParam<CursorCase> {};

TEST_P(CursorRows, MirroredLeftClampedToThePanel)
{
    const CursorCase& c = GetParam();
    const MapCursorPlace place = c.walk ? CursorForWalk(c.scale, c.x, c.z) : CursorForPan(c.scale, c.x, c.z);
    EXPECT_EQ(place, c.expected) << place.left << ", " << place.top;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CursorRows,
    ::testing::Values(
        CursorCase{"PanInside", false, {180, 90}, 133, 32, {42, 22}},
        CursorCase{"WalkSevenFurtherLeft", true, {180, 90}, 133, 32, {35, 22}},
        CursorCase{"PanLeftAtItsLowerLimit", false, {180, 90}, 187, 50, {-12, 40}},
        CursorCase{"PanLeftAHairAboveTheLowerLimit", false, {180, 90}, 186.5f, 50, {-11.5f, 40}},
        CursorCase{"PanLeftHeldAtWMinus3", false, {180, 90}, -10, 50, {177, 40}},
        CursorCase{"PanTopHeldAtMinus12", false, {180, 90}, 90, -5, {85, -12}},
        CursorCase{"WalkTopHeldAtMinus15", true, {180, 90}, 90, -10, {78, -15}},
        CursorCase{"WalkTopAHairAboveItsLimit", true, {180, 90}, 90, -4.5f, {78, -14.5f}},
        CursorCase{"WalkTopHeldAtHMinus2", true, {180, 90}, 90, 100.5f, {78, 88}},
        CursorCase{"SmallerPanel", false, {100, 50}, 90, 45, {5, 35}}),
    tolva::testing::RowName());

struct AngleTextCase {
    const char* name;
    const char* typed;
    std::optional<float> angle; // nothing: the text stays as typed
};

void PrintTo(const AngleTextCase& c, std::ostream* os) { *os << c.name; }

class ViewAngleText : public ::testing::TestWithParam<AngleTextCase> {};

TEST_P(ViewAngleText, LimitedToMinus90To30AndWhole)
{
    EXPECT_EQ(ViewAngleFromText(QString::fromLatin1(GetParam().typed)), GetParam().angle);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ViewAngleText,
    ::testing::Values(AngleTextCase{"Minus90", "-90", -90.0f},
                      AngleTextCase{"Minus90AndAHalf", "-90.5", -90.0f},
                      AngleTextCase{"Thirty", "30", 30.0f},
                      AngleTextCase{"ThirtyAndAHair", "30.4", 30.0f},
                      AngleTextCase{"HalfRoundsAway", "12.5", 13.0f},
                      AngleTextCase{"SmallNegativeIsZero", "-0.4", 0.0f},
                      AngleTextCase{"LeadingNumberOnly", "12abc", 12.0f},
                      AngleTextCase{"LoneMinusWaits", "-", std::nullopt}),
    tolva::testing::RowName());

TEST(FormatWhole, HalvesRoundAwayFromZeroAndMinusZeroNeverShows)
{
    EXPECT_EQ(FormatWhole(-0.4), QStringLiteral("0"));
    EXPECT_EQ(FormatWhole(-0.5), QStringLiteral("-1"));
    EXPECT_EQ(FormatWhole(5.7295), QStringLiteral("6"));
}

struct SpinCase {
    const char* name;
    bool light; // the light box, else the height box
    const char* current;
    int clicks;
    const char* shown;
};

void PrintTo(const SpinCase& c, std::ostream* os) { *os << c.name; }

class HeightLightSpinner : public ::testing::TestWithParam<SpinCase> {};

TEST_P(HeightLightSpinner, StepsWithinItsLimits)
{
    const SpinCase& c = GetParam();
    const QString current = QString::fromLatin1(c.current);
    EXPECT_EQ(c.light ? StepLightText(current, c.clicks) : StepMeshHeightText(current, c.clicks),
              QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeightLightSpinner,
    ::testing::Values(SpinCase{"HeightUpAt29", false, "29", 1, "30"},
                      SpinCase{"HeightUpAt30Stays", false, "30", 1, "30"},
                      SpinCase{"HeightUpFromTypedSixtyComesDownTo30", false, "60", 1, "30"},
                      SpinCase{"HeightDownAt1Stays", false, "1", -1, "1"},
                      SpinCase{"HeightDownAt2", false, "2", -1, "1"},
                      SpinCase{"LightUpAt095", true, "0.95", 1, "1.00"},
                      SpinCase{"LightUpAt100Stays", true, "1.00", 1, "1.00"},
                      SpinCase{"LightDownAt010Stays", true, "0.10", -1, "0.10"},
                      SpinCase{"LightDownAt015", true, "0.15", -1, "0.10"}),
    tolva::testing::RowName());

} // namespace
} // namespace tolva
