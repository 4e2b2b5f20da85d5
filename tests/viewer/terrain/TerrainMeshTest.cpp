// The normal of a cell and the cells of the mesh (strips of four corners, the
// only polygons the mesh makes).
#include "terrain/TerrainMesh.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tolva;

namespace {

// A vertex at a position, its normal still zero.
Vertex At(float x, float y, float z)
{
    return {x, y, z};
}

Vector3 NormalOf(const Vertex& v)
{
    return {v.nx, v.ny, v.nz};
}

// The four corners of a cell in strip order: (0,1), (1,1), (0,0), (1,0) in x, z.
Polygon Cell(float h01, float h11, float h00, float h10)
{
    Polygon p;
    p.PrimType = TriangleStrip;
    p.Vertices = {At(0, h01, 1), At(1, h11, 1), At(0, h00, 0), At(1, h10, 0)};
    return p;
}

struct CellRow {
    const char* name;
    float h01, h11, h00, h10;
    Vector3 normal;
};

void PrintTo(const CellRow& row, std::ostream* os) { *os << row.name; }

class CellNormalTest : public ::testing::TestWithParam<CellRow> {};

TEST_P(CellNormalTest, EveryVertexTakesTheFirstTrianglesNormal)
{
    const CellRow row = GetParam();
    Polygon p = Cell(row.h01, row.h11, row.h00, row.h10);
    ComputeNormals(p);
    for (const Vertex& v : p.Vertices)
        EXPECT_EQ(NormalOf(v), row.normal);
}

INSTANTIATE_TEST_SUITE_P(Cells, CellNormalTest, ::testing::Values(
    CellRow{"Flat", 0, 0, 0, 0, {0, 1, 0}},
    CellRow{"FirstTriangleFlatFourthCornerDiffers", 2, 2, 2, 9, {0, 1, 0}},
    CellRow{"RampAlongZ", 3, 3, 1, 1, {0, 1, -2}},        // not normalised
    CellRow{"RampAlongX", 0, 4, 0, 4, {-4, 1, 0}}),
    tolva::testing::RowName());

Polygon CellOf(const TerrainGrid& grid, int i, int j)
{
    Polygon cell;
    SetTerrainCell(cell, GridHeights(grid, 180, 1.0, 10.0f), i, j, 1, 0);
    return cell;
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
    EXPECT_EQ(NormalOf(cell.Vertices[3]), (Vector3{10, 1, -10}));
}

TEST(TerrainCellTest, AReusedCellIsRewrittenWhole)
{
    Polygon cell;
    cell.PrimType = TriangleList;
    cell.Material = 9;
    cell.Texture = 3;
    cell.Vertices.assign(6, At(50, 50, 50));
    SetTerrainCell(cell, GridHeights(TerrainGrid(), 180, 1.0, 10.0f), 1, 1, 1, 0);
    EXPECT_TRUE(cell.PrimType == TriangleStrip && cell.Material == 1 && cell.Texture == 0);
    ASSERT_EQ(cell.Vertices.size(), 4u);
    EXPECT_EQ(cell.Vertices[0], (Vertex{1, 0, 2, 0, 1, 0, 0, 0}));
}

} // namespace
