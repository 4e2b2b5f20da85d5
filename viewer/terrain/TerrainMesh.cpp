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

Polygon MakeTerrainCell(const TerrainGrid& grid, int i, int j, const CellSampling& sampling)
{
    const auto corner = [&](int x, int z) {
        Vertex v;
        v.x = float(x);
        v.z = float(z);
        v.y = SampleHeight(grid, PixelIndex(double(x) * sampling.step),
                           PixelIndex(double(z) * sampling.step), sampling.meshHeight);
        return v;
    };

    Polygon cell;
    cell.PrimType = TriangleStrip;
    cell.Material = sampling.material;
    cell.Texture = sampling.texture;
    cell.Vertices = {corner(i, j + 1), corner(i + 1, j + 1), corner(i, j), corner(i + 1, j)};
    ComputeNormals(cell);
    return cell;
}

} // namespace tolva
