// The scene lists. The earth's material, the sun and the camera are checked
// where a map load builds them and a frame is drawn of them.
#include "render/SceneBuilders.h"

#include <gtest/gtest.h>

using namespace tolva;

namespace {

TEST(SceneListsTest, ClearingLeavesOnlyThePlaceholdersAndEntriesStartAgainAtOne)
{
    Scene scene;
    for (int k = 0; k < 3; ++k) {
        AddPolygon(scene, Polygon{});
        CreateMaterials(scene, 0);
        CreateLights(scene, ViewState{});
        CreateCameras(scene, ViewState{});
    }
    EXPECT_EQ(scene.FrameList().size(), 4u);

    ResetScene(scene);
    EXPECT_EQ(scene.PolygonList().size(), 1u);
    EXPECT_EQ(scene.MaterialList().size(), 1u);
    EXPECT_EQ(scene.LightList().size(), 1u);
    EXPECT_EQ(scene.FrameList().size(), 1u);
    EXPECT_EQ(AddLight(scene, Light{}, QStringLiteral("Off"), false), 1);
    EXPECT_EQ(AddFrame(scene, MakeFrame({1, 2, 3}, {0.1f, 0.2f, 0.3f}, QStringLiteral("F"))), 1);
    EXPECT_EQ(AddMaterial(scene, Material{}, QStringLiteral("M")), 1);
}

} // namespace
