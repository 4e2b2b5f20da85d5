// A display prepares the scene again exactly when the scene's revision
// changed: every list operation that changes what is drawn gives a new one,
// a camera move does not, and nothing is compared or guessed per frame.
#include "RenderTestScenes.h"

#include <gtest/gtest.h>

namespace tolva::testing {
namespace {

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

// A row: the change, whether it gives a new revision (so that the next frame
// prepares again) and whether the frame looks different after it.
struct ChangeCase { const char* name; void (*change)(Scene&); bool prepares, looksDifferent; };

TEST(AfterAChange, TheNextFramePreparesExactlyWhenTheRevisionMoved)
{
    for (const ChangeCase& c : {ChangeCase{"NothingChanged", [](Scene&) {}, false, false},
                                {"CameraMoved", [](Scene& s) { SetFrame(s, 1, HighAbove()); }, false, true},
                                {"FrameAdded", [](Scene& s) { AddFrame(s, HighAbove()); }, false, false},
                                {"NewEarthColour", [](Scene& s) { NewEarthColour(s, 0x0000FFu); }, true, true},
                                {"SameEarthColourAgain", [](Scene& s) { NewEarthColour(s, 0xFFFFFFu); }, true, false},
                                {"LightAdded", AddRedLight, true, true},
                                {"ListsCleared", ClearSceneLists, true, true},
                                {"AnotherMap", AnotherMap, true, true}}) {
        SCOPED_TRACE(c.name);
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
}

} // namespace
} // namespace tolva::testing
