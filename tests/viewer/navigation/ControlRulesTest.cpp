// The map cursor rules and the number rules of the view controls.
#include "navigation/MapCursor.h"
#include "navigation/ViewControls.h"

#include <gtest/gtest.h>

namespace tolva {
namespace {

// The circle on the map panel: mirrored left to right and held inside the
// panel, by the walk rule or else the pan rule, each at its own limits and a
// hair inside them.
TEST(MapCursor, MirroredLeftClampedToThePanel)
{
    const struct { const char* name; bool walk; MapScale scale; float x, z; MapCursorPlace expected; } rows[] = {
        {"PanInside", false, {180, 90}, 133, 32, {42, 22}},
        {"WalkSevenFurtherLeft", true, {180, 90}, 133, 32, {35, 22}},
        {"PanLeftAtItsLowerLimit", false, {180, 90}, 187, 50, {-12, 40}},
        {"PanLeftAHairAboveTheLowerLimit", false, {180, 90}, 186.5f, 50, {-11.5f, 40}},
        {"PanLeftHeldAtWMinus3", false, {180, 90}, -10, 50, {177, 40}},
        {"PanTopHeldAtMinus12", false, {180, 90}, 90, -5, {85, -12}},
        {"WalkTopHeldAtMinus15", true, {180, 90}, 90, -10, {78, -15}},
        {"WalkTopAHairAboveItsLimit", true, {180, 90}, 90, -4.5f, {78, -14.5f}},
        {"WalkTopHeldAtHMinus2", true, {180, 90}, 90, 100.5f, {78, 88}},
        {"SmallerPanel", false, {100, 50}, 90, 45, {5, 35}},
    };
    for (const auto& c : rows) {
        const MapCursorPlace place = c.walk ? CursorForWalk(c.scale, c.x, c.z) : CursorForPan(c.scale, c.x, c.z);
        EXPECT_EQ(place, c.expected) << c.name << ": " << place.left << ", " << place.top;
    }
}

// Whole degrees from -90 to 30, halves away from zero, the leading number of
// the text; a lone minus (nothing to read yet) leaves the text as typed.
TEST(ViewAngleText, LimitedToMinus90To30AndWhole)
{
    const std::pair<const char*, std::optional<float>> rows[] = {
        {"-90", -90.0f}, {"-90.5", -90.0f}, {"30", 30.0f}, {"30.5", 30.0f},
        {"12.5", 13.0f}, {"-0.4", 0.0f}, {"12abc", 12.0f}, {"-", std::nullopt},
    };
    for (const auto& [typed, angle] : rows)
        EXPECT_EQ(ViewAngleFromText(QString::fromLatin1(typed)), angle) << typed;
}

TEST(FormatWhole, HalvesRoundAwayFromZeroAndMinusZeroNeverShows)
{
    EXPECT_EQ(FormatWhole(-0.4), QStringLiteral("0"));
    EXPECT_EQ(FormatWhole(-0.5), QStringLiteral("-1"));
}

// The height box steps by 1 within 1..30 (a typed 60 comes down to 30), the
// light box by 0.05 within 0.10..1.00: what the box shows after `clicks` from
// `current`.
TEST(HeightLightSpinner, StepsWithinItsLimits)
{
    const struct { bool light; const char* current; int clicks; const char* shown; } rows[] = {
        {false, "29", 1, "30"}, {false, "30", 1, "30"}, {false, "60", 1, "30"}, {false, "1", -1, "1"},
        {false, "2", -1, "1"}, {true, "0.95", 1, "1.00"}, {true, "1.00", 1, "1.00"}, {true, "0.10", -1, "0.10"},
        {true, "0.15", -1, "0.10"},
    };
    for (const auto& c : rows) {
        const QString current = QString::fromLatin1(c.current);
        EXPECT_EQ(c.light ? StepLightText(current, c.clicks) : StepMeshHeightText(current, c.clicks),
                  QString::fromLatin1(c.shown)) << c.current << " " << c.clicks;
    }
}

} // namespace
} // namespace tolva
