// The scene lists and the earth's material. The sun and the camera are
// checked where a map load builds them.
#include "render/SceneBuilders.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

using namespace tolva;

namespace {

struct EarthRow {
    const char* name;
    ColorRef earth;
    Color color;
};

void PrintTo(const EarthRow& row, std::ostream* os) { *os << row.name; }

class LandMaterialTest : public ::testing::TestWithParam<EarthRow> {};

TEST_P(LandMaterialTest, AmbientAndDiffuseAreTheEarthColour)
{
    Scene scene;
    ASSERT_EQ(CreateMaterials(scene, GetParam().earth), 1);
    EXPECT_EQ(scene.MaterialList()[1].material.ambient, GetParam().color);
    EXPECT_EQ(scene.MaterialList()[1].material.diffuse, GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(Colours, LandMaterialTest, ::testing::Values(
    EarthRow{"PureRed", 0x000000FFu, {1, 0, 0, 1}},
    EarthRow{"HighByteIgnored", 0xFF000080u, {128.0f / 255.0f, 0, 0, 1}}),
    tolva::testing::RowName());

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
    EXPECT_TRUE(scene.FrameList()[0].Name.isEmpty());
    EXPECT_EQ(AddLight(scene, Light{}, QStringLiteral("Off"), false), 1);
    EXPECT_FALSE(scene.LightList()[1].enabled);
    EXPECT_EQ(AddFrame(scene, MakeFrame({1, 2, 3}, {0.1f, 0.2f, 0.3f}, QStringLiteral("F"))), 1);
    EXPECT_EQ(AddMaterial(scene, Material{}, QStringLiteral("M")), 1);
}

} // namespace
