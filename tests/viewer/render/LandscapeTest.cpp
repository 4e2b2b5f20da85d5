// The terrain put into the scene: 32,400 strips in their order, whatever the
// scene held before.
#include "render/Landscape.h"
#include "render/SceneBuilders.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tolva;

namespace {

bool Load(Scene& scene, const TerrainGrid& grid, float meshHeight = 10.0f)
{
    return LoadLandscape(scene, grid, 180, 180.0f, meshHeight, 1, 0);
}

// Every cell (i, j) a strip of four corners in "Land" at index
// (i - 1) * 180 + j; the heights the picture's, and the normals slanted only
// where the ground falls off at its border (which a wrong index would move).
TEST(LoadLandscapeTest, AWhiteMapIsHighInsideThePictureAndSlantedOnlyAlongItsBorder)
{
    Scene scene;
    ASSERT_TRUE(Load(scene, TerrainGrid(0x00FFFFFFu), 10.0f));
    ASSERT_EQ(scene.PolygonList().size(), 32401u);
    EXPECT_TRUE(scene.PolygonList()[0].Vertices.empty());
    int slanted = 0;
    for (int i = 1; i <= 180; ++i)
        for (int j = 1; j <= 180; ++j) {
            const Polygon& p = scene.PolygonList()[std::size_t((i - 1) * 180 + j)];
            ASSERT_EQ(p.Vertices.size(), 4u);
            ASSERT_TRUE(p.PrimType == TriangleStrip && p.Material == 1 && p.Texture == 0);
            for (const Vertex& v : p.Vertices)
                ASSERT_EQ(v.y, (v.x < 180 && v.z < 90) ? 10.0f : 0.0f) << v.x << "," << v.z;
            if (p.Vertices[0].nx != 0 || p.Vertices[0].nz != 0) {
                ++slanted;
                EXPECT_TRUE(i == 179 || j == 89) << i << "," << j;
            } else {
                ASSERT_EQ(p.Vertices[0].ny, 1.0f);
            }
        }
    EXPECT_EQ(slanted, 89 + 178); // the east edge (i = 179) and the south edge (j = 89)
}

TEST(LoadLandscapeTest, TwoLoadsInARowHold32400PolygonsAndNothingElse)
{
    Scene scene;
    ASSERT_TRUE(Load(scene, TerrainGrid()));
    CreateMaterials(scene, 0x00FFFFFFu);
    CreateLights(scene, ViewState{});
    CreateCameras(scene, ViewState{});
    ASSERT_TRUE(Load(scene, TerrainGrid(0x00FFFFFFu)));
    EXPECT_EQ(scene.PolygonList().size(), 32401u);
    EXPECT_EQ(scene.MaterialList().size(), 1u);
    EXPECT_EQ(scene.LightList().size(), 1u);
    EXPECT_EQ(scene.FrameList().size(), 1u);
    EXPECT_EQ(scene.PolygonList()[1].Vertices[0].y, 10.0f); // the second map's
}

struct SizeRow {
    const char* name;
    int cellsFromScale;
    float gridSize;
    float meshHeight;
};

void PrintTo(const SizeRow& row, std::ostream* os) { *os << row.name; }

class BadGridTest : public ::testing::TestWithParam<SizeRow> {};

TEST_P(BadGridTest, FailsWithTheListsEmpty)
{
    Scene scene;
    ASSERT_TRUE(Load(scene, TerrainGrid()));
    const SizeRow row = GetParam();
    EXPECT_FALSE(LoadLandscape(scene, TerrainGrid(), row.cellsFromScale, row.gridSize, row.meshHeight, 1, 0));
    EXPECT_EQ(scene.PolygonList().size(), 1u);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Sizes, BadGridTest, ::testing::Values(
    SizeRow{"LessThanHalfACell", 180, 0.49f, 10.0f},
    SizeRow{"BeyondTheLimit", 180, 4096.5f + 0.5f, 10.0f},
    SizeRow{"HeightNotANumber", 180, 180.0f, kNaN}),
    tolva::testing::RowName());

} // namespace
