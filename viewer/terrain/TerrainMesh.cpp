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

// The bodies of FaceNormal and ComputeNormals, inlined into the mesh loop:
// a load computes 32,400 normals.
[[gnu::always_inline]] inline Vector3 Normal(const Vector3& a, const Vector3& b, const Vector3& c)
{
    const Vector3 u{b.x - a.x, b.y - a.y, b.z - a.z};
    const Vector3 v{c.x - b.x, c.y - b.y, c.z - b.z};
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

[[gnu::always_inline]] inline void FillNormals(Polygon& polygon)
{
    auto& vs = polygon.Vertices;
    switch (polygon.PrimType) {
    case TriangleList:
        for (std::size_t k = 0; k + 2 < vs.size(); k += 3) {
            const Vector3 n = Normal(PositionOf(vs[k]), PositionOf(vs[k + 1]), PositionOf(vs[k + 2]));
            SetNormal(vs[k], n);
            SetNormal(vs[k + 1], n);
            SetNormal(vs[k + 2], n);
        }
        break;
    case TriangleStrip:
        if (vs.size() >= 3) {
            const Vector3 n = Normal(PositionOf(vs[0]), PositionOf(vs[1]), PositionOf(vs[2]));
            for (Vertex& v : vs)
                SetNormal(v, n);
        }
        break;
    default:
        break;
    }
}

} // namespace

Vector3 FaceNormal(const Vector3& a, const Vector3& b, const Vector3& c)
{
    return Normal(a, b, c);
}

void ComputeNormals(Polygon& polygon)
{
    FillNormals(polygon);
}

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
    FillNormals(cell);
}

} // namespace tolva
