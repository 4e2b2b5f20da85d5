#include "terrain/TerrainMesh.h"

namespace tolva {

namespace {

Vector3 PositionOf(const Vertex& v)
{
    return {v.x, v.y, v.z};
}

void SetNormal(Vertex& v, const Vector3& n)
{
    v.nx = n.x;
    v.ny = n.y;
    v.nz = n.z;
}

// (b - a) x (c - b): the first edge crossed with the second, not normalised.
Vector3 FaceNormal(const Vector3& a, const Vector3& b, const Vector3& c)
{
    const Vector3 u{b.x - a.x, b.y - a.y, b.z - a.z};
    const Vector3 v{c.x - b.x, c.y - b.y, c.z - b.z};
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

} // namespace

GridHeights::GridHeights(const TerrainGrid& grid, int cells, double step, float meshHeight)
    : m_cells(cells > 0 ? cells : 0)
    , m_heights(std::size_t(m_cells + 1) * std::size_t(m_cells + 1))
{
    const int points = m_cells + 1;
    std::vector<int> pixel(std::size_t(points), -1); // the same for x and z
    for (int k = 1; k <= points; ++k)
        pixel[std::size_t(k - 1)] = PixelIndex(double(k) * step);
    for (int z = 0; z < points; ++z)
        for (int x = 0; x < points; ++x)
            m_heights[std::size_t(z) * std::size_t(points) + std::size_t(x)]
                = SampleHeight(grid, pixel[std::size_t(x)], pixel[std::size_t(z)], meshHeight);
}

void SetTerrainCell(Polygon& cell, const GridHeights& heights, int i, int j,
                    std::uint8_t material, std::uint8_t texture)
{
    cell.PrimType = TriangleStrip;
    cell.Material = material;
    cell.Texture = texture;
    cell.Vertices.resize(4);
    Vertex* v = cell.Vertices.data();
    const int corners[4][2] = {{i, j + 1}, {i + 1, j + 1}, {i, j}, {i + 1, j}};
    for (int k = 0; k < 4; ++k) {
        const auto [x, z] = corners[k];
        v[k] = Vertex{float(x), heights.at(x, z), float(z), 0, 0, 0, 0, 0};
    }
    // Every corner takes the face normal of the first triangle, so a cell is
    // flat-shaded by the slope of that triangle and the fourth corner does not
    // enter the normal. It stays as computed: on a slope it is longer than 1
    // and the cell is lit brighter, which is part of the look.
    const Vector3 normal = FaceNormal(PositionOf(v[0]), PositionOf(v[1]), PositionOf(v[2]));
    for (int k = 0; k < 4; ++k)
        SetNormal(v[k], normal);
}

} // namespace tolva
