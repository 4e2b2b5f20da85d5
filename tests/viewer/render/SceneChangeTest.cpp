// A display prepares the scene again exactly when the scene's revision
// changed: every list operation that changes what is drawn gives a new one,
// a camera move does not, and nothing is compared or guessed per frame.
#include "RenderTestScenes.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tolva::testing {
namespace {

// `prepares`: a new revision, so the next frame prepares again.
struct ChangeCase { const char* name; void (*change)(Scene&); bool prepares, looksDifferent; };

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class AfterAChange : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(AfterAChange, TheNextFramePreparesExactlyWhenTheRevisionMoved)
{
    const ChangeCase& c = GetParam();
    Scene scene = VolcanoScene(FlatMap()), empty;
    DisplayChain chain(nullptr), fresh(nullptr); // `fresh` draws the changed scene as its first
    ASSERT_TRUE(chain.Loading(empty) && fresh.Loading(empty));
    const QImage first = FrameOf(chain, scene);
    const std::uint64_t revision = scene.revision();

    c.change(scene);
    const QImage second = FrameOf(chain, scene);

    EXPECT_EQ(scene.revision() != revision, c.prepares);
    EXPECT_EQ(chain.preparations(), c.prepares ? 2u : 1u);
    EXPECT_EQ(first != second, c.looksDifferent);
    EXPECT_TRUE(second == FrameOf(fresh, scene)) << "a frame drawn from a stale preparation";
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

// A map that differs in one cell into the same lists, as the live following reloads.
void AnotherMap(Scene& scene)
{
    ViewState view;
    EXPECT_TRUE(LoadMap(scene, view, FlatMap(true)).ok());
    SetFrame(scene, 1, StartCameraFrame(view));
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
        ChangeCase{"ListsCleared", ClearSceneLists, true, true},
        ChangeCase{"AnotherMap", AnotherMap, true, true}),
    tolva::testing::RowName());

} // namespace
} // namespace tolva::testing
