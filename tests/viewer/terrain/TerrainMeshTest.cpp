// The normal of a cell and the cells of the mesh (strips of four corners, the
// only polygons the mesh makes).
#include "terrain/TerrainMesh.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tolva;

namespace {

Polygon CellOf(const TerrainGrid& grid, int i, int j)
{
    Polygon cell;
    SetTerrainCell(cell, GridHeights(grid, 180, 1.0, 10.0f), i, j, 1, 0);
    return cell;
}

// A cell whose corners, in strip order (x, z) = (3, 5), (4, 5), (3, 4), (4, 4),
// are white (height 10) or black (0): every vertex takes the first triangle's
// normal, not normalised.
TEST(TerrainCellTest, EveryVertexTakesTheFirstTrianglesNormal)
{
    const int corners[4][2] = {{3, 5}, {4, 5}, {3, 4}, {4, 4}};
    const struct { const char* name; bool high[4]; Vector3 normal; } rows[] = {
        {"Flat", {false, false, false, false}, {0, 1, 0}},
        {"FirstTriangleFlatFourthCornerDiffers", {false, false, false, true}, {0, 1, 0}},
        {"RampAlongZ", {true, true, false, false}, {0, 1, -10}},
        {"RampAlongX", {false, true, false, true}, {-10, 1, 0}},
    };
    for (const auto& row : rows) {
        TerrainGrid grid;
        for (int k = 0; k < 4; ++k)
            if (row.high[k])
                grid.setPixel(corners[k][0], corners[k][1], 0x00FFFFFFu);
        for (const Vertex& v : CellOf(grid, 3, 4).Vertices)
            EXPECT_EQ((Vector3{v.nx, v.ny, v.nz}), row.normal) << row.name;
    }
}

TEST(TerrainCellTest, CornersComeInStripOrderWithSampledHeights)
{
    TerrainGrid grid;
    grid.setPixel(3, 5, 0x00FFFFFFu); // only grid point (3, 5) is high
    const Polygon cell = CellOf(grid, 3, 4);
    std::vector<Vector3> corners;
    for (const Vertex& v : cell.Vertices)
        corners.push_back({v.x, v.y, v.z});
    ASSERT_EQ(corners, (std::vector<Vector3>{{3, 10, 5}, {4, 0, 5}, {3, 0, 4}, {4, 0, 4}}));
    EXPECT_EQ((Vector3{cell.Vertices[3].nx, cell.Vertices[3].ny, cell.Vertices[3].nz}), (Vector3{10, 1, -10}));
}

TEST(TerrainCellTest, AReusedCellIsRewrittenWhole)
{
    Polygon cell{std::vector<Vertex>(6, Vertex{50, 50, 50}), TriangleList, 9, 3}; // material 9, texture 3
    SetTerrainCell(cell, GridHeights(TerrainGrid(), 180, 1.0, 10.0f), 1, 1, 1, 0);
    EXPECT_TRUE(cell.PrimType == TriangleStrip && cell.Material == 1 && cell.Texture == 0);
    ASSERT_EQ(cell.Vertices.size(), 4u);
    EXPECT_EQ(cell.Vertices[0], (Vertex{1, 0, 2, 0, 1, 0, 0, 0}));
}

} // namespace
