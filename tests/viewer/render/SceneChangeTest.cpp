// A display prepares the scene again exactly when the scene's revision
// changed: every list operation that changes what is drawn gives a new one,
// a camera move does not, and nothing is compared or guessed per frame.
#include "RenderTestScenes.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tolva::testing {
namespace {

// The frame of a display that has never drawn the scene before.
QImage FreshFrame(const Scene& scene)
{
    DisplayChain chain(nullptr);
    Scene empty;
    return chain.Loading(empty) ? FrameOf(chain, scene) : QImage();
}

// A display that drew the scene once, ready for the next frame after a change.
struct DrawnOnce {
    explicit DrawnOnce(Scene& scene)
    {
        Scene empty;
        EXPECT_TRUE(chain.Loading(empty));
        picture = FrameOf(chain, scene);
    }
    DisplayChain chain{nullptr};
    QImage picture;
};

TEST(SceneChange, TwoMapsThatDifferInOneCellGiveTwoFrames)
{
    Scene scene = VolcanoScene(FlatMap());
    DrawnOnce display(scene);
    // The second map into the same lists, as the live following reloads.
    ViewState view;
    ASSERT_TRUE(LoadMap(scene, view, FlatMap(true)).ok());
    SetFrame(scene, 1, StartCameraFrame(view));
    const QImage second = FrameOf(display.chain, scene);
    EXPECT_FALSE(display.picture == second);
    EXPECT_TRUE(second == FreshFrame(scene));
    EXPECT_EQ(display.chain.preparations(), 2u);
}

struct ChangeCase {
    const char* name;
    void (*change)(Scene&);
    bool prepares;      // a new revision, so the next frame prepares again
    bool looksDifferent;
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class AfterAChange : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(AfterAChange, TheNextFramePreparesExactlyWhenTheRevisionMoved)
{
    const ChangeCase& c = GetParam();
    Scene scene = VolcanoScene(FlatMap());
    DrawnOnce display(scene);
    const std::uint64_t preparations = display.chain.preparations();
    const std::uint64_t revision = scene.revision();

    c.change(scene);
    const QImage second = FrameOf(display.chain, scene);

    EXPECT_EQ(scene.revision() != revision, c.prepares);
    EXPECT_EQ(display.chain.preparations() - preparations, c.prepares ? 1u : 0u);
    EXPECT_EQ(display.picture != second, c.looksDifferent);
    EXPECT_TRUE(second == FreshFrame(scene)) << "a frame drawn from a stale preparation";
}

void AddRedLight(Scene& scene)
{
    Light red;
    red.diffuse = red.ambient = MakeColor(1, 1, 0, 0);
    red.position = {90, 40, 120};
    red.range = 1000;
    AddLight(scene, red, QStringLiteral("Red"), true);
}

void NewEarthColour(Scene& scene, ColorRef color)
{
    ClearMaterials(scene);
    CreateMaterials(scene, color);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AfterAChange,
    ::testing::Values(
        ChangeCase{"NothingChanged", [](Scene&) {}, false, false},
        ChangeCase{"CameraMoved", [](Scene& s) { SetFrame(s, 1, HighAbove()); }, false, true},
        ChangeCase{"FrameAdded", [](Scene& s) { AddFrame(s, HighAbove()); }, false, false},
        ChangeCase{"NewEarthColour", [](Scene& s) { NewEarthColour(s, 0x0000FFu); }, true, true},
        ChangeCase{"SameEarthColourAgain", [](Scene& s) { NewEarthColour(s, 0xFFFFFFu); }, true, false},
        ChangeCase{"LightAdded", AddRedLight, true, true},
        ChangeCase{"ListsCleared", ClearSceneLists, true, true}),
    tolva::testing::RowName());

} // namespace
} // namespace tolva::testing
