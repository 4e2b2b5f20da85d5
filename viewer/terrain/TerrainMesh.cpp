#include "TerrainMesh.h"

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

} // namespace

Vector3 FaceNormal(const Vector3& a, const Vector3& b, const Vector3& c)
{
    const Vector3 u{b.x - a.x, b.y - a.y, b.z - a.z};
    const Vector3 v{c.x - b.x, c.y - b.y, c.z - b.z};
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

void ComputeNormals(Polygon& polygon)
{
    auto& vs = polygon.Vertices;
    switch (polygon.PrimType) {
    case TriangleList:
        for (std::size_t k = 0; k + 2 < vs.size(); k += 3) {
            const Vector3 n = FaceNormal(PositionOf(vs[k]), PositionOf(vs[k + 1]), PositionOf(vs[k + 2]));
            SetNormal(vs[k], n);
            SetNormal(vs[k + 1], n);
            SetNormal(vs[k + 2], n);
        }
        break;
    case TriangleStrip:
        if (vs.size() >= 3) {
            const Vector3 n = FaceNormal(PositionOf(vs[0]), PositionOf(vs[1]), PositionOf(vs[2]));
            for (Vertex& v : vs)
                SetNormal(v, n);
        }
        break;
    default:
        break;
    }
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

float GridHeights::at(int x, int z) const
{
    if (x < 1 || x > m_cells + 1 || z < 1 || z > m_cells + 1)
        return 0.0f;
    return m_heights[std::size_t(z - 1) * std::size_t(m_cells + 1) + std::size_t(x - 1)];
}

void SetTerrainCell(Polygon& cell, const GridHeights& heights, int i, int j,
                    std::uint8_t material, std::uint8_t texture)
{
    const auto corner = [&](int x, int z) {
        Vertex v;
        v.x = float(x);
        v.y = heights.at(x, z);
        v.z = float(z);
        return v;
    };
    cell.PrimType = TriangleStrip;
    cell.Material = material;
    cell.Texture = texture;
    cell.Vertices.resize(4);
    cell.Vertices[0] = corner(i, j + 1);
    cell.Vertices[1] = corner(i + 1, j + 1);
    cell.Vertices[2] = corner(i, j);
    cell.Vertices[3] = corner(i + 1, j);
    ComputeNormals(cell);
}

} // namespace tolva
