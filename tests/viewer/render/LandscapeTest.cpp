// The terrain put into the scene: 32,400 strips in their order, whatever the
// scene held before.
#include "render/Landscape.h"
#include "render/SceneBuilders.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tolva;

namespace {

bool Load(Scene& scene, const TerrainGrid& grid) { return LoadLandscape(scene, grid, 180, 180.0f, 10.0f, 1, 0); }

// Every cell (i, j) a strip of four corners in "Land" at index
// (i - 1) * 180 + j; the heights the picture's, and the normals slanted only
// where the ground falls off at its border (which a wrong index would move).
TEST(LoadLandscapeTest, AWhiteMapIsHighInsideThePictureAndSlantedOnlyAlongItsBorder)
{
    Scene scene;
    ASSERT_TRUE(Load(scene, TerrainGrid(0x00FFFFFFu)));
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

// The second load writes over the first one's cells, in the same storage
// (the live following reloads every few seconds); a coarser grid after it
// leaves no cell of the finer one behind.
TEST(LoadLandscapeTest, TwoLoadsInARowHold32400PolygonsAndNothingElse)
{
    Scene scene;
    ASSERT_TRUE(Load(scene, TerrainGrid()));
    CreateMaterials(scene, 0x00FFFFFFu);
    CreateLights(scene, ViewState{});
    CreateCameras(scene, ViewState{});
    const Polygon* const list = scene.PolygonList().data();
    const Vertex* const corners = scene.PolygonList()[1].Vertices.data();
    ASSERT_TRUE(Load(scene, TerrainGrid(0x00FFFFFFu)));
    EXPECT_EQ(scene.PolygonList().size(), 32401u);
    EXPECT_EQ(scene.MaterialList().size(), 1u);
    EXPECT_EQ(scene.LightList().size(), 1u);
    EXPECT_EQ(scene.FrameList().size(), 1u);
    EXPECT_EQ(scene.PolygonList()[1].Vertices[0].y, 10.0f); // the second map's
    EXPECT_EQ(scene.PolygonList().data(), list);
    EXPECT_EQ(scene.PolygonList()[1].Vertices.data(), corners);

    ASSERT_TRUE(LoadLandscape(scene, TerrainGrid(), 180, 90.0f, 10.0f, 1, 0));
    ASSERT_EQ(scene.PolygonList().size(), 8101u);
    EXPECT_TRUE(scene.PolygonList()[0].Vertices.empty());
    EXPECT_EQ(scene.PolygonList()[8100].Vertices[3].x, 91.0f); // cell (90, 90), corner (i + 1, j)
    EXPECT_EQ(scene.PolygonList()[8100].Vertices[0].y, 0.0f);
}

// A grid step of less than half a cell, one beyond the limit and a height of
// no number: the load fails with the lists emptied.
TEST(LoadLandscapeTest, ABadGridFailsWithTheListsEmpty)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const auto& [gridSize, meshHeight] : {std::pair{0.49f, 10.0f}, {4096.5f + 0.5f, 10.0f}, {180.0f, nan}}) {
        SCOPED_TRACE(::testing::Message() << "grid size " << gridSize << ", height " << meshHeight);
        Scene scene;
        ASSERT_TRUE(Load(scene, TerrainGrid()));
        EXPECT_FALSE(LoadLandscape(scene, TerrainGrid(), 180, gridSize, meshHeight, 1, 0));
        EXPECT_EQ(scene.PolygonList().size(), 1u);
    }
}

} // namespace
