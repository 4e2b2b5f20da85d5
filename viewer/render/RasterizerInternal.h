#pragma once
// The rasterizer's inner parts, shared by its baseline code (Rasterizer.cpp),
// its AVX2 code (RasterizerAvx2.cpp) and its AVX-512 code
// (RasterizerAvx512.cpp). Not for use outside the rasterizer.

#include "render/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tolva::raster {

// Vertices snap to 1/256 pixel; pixel centres sit at 128 in these units.
constexpr int kSubBits = 8;
constexpr int kSub = 1 << kSubBits;
constexpr int kHalfSub = kSub / 2;

// Outcode bits: the planes a clip-space vertex lies beyond.
constexpr std::uint8_t kLeft = 1, kRight = 2, kTop = 4, kBottom = 8, kNear = 16, kGuard = 32;
constexpr std::uint8_t kOutside = kLeft | kRight | kTop | kBottom | kNear;
// Beyond this many half-viewports from the centre a triangle is clipped in
// clip space first, so that screen coordinates stay small enough for 32-bit
// fixed point.
constexpr float kGuardBand = 8.0f;
// Triangles whose bounding box is below this many pixels a side take the
// 32-bit fill; their edge values cannot overflow.
constexpr int kSmallSpan = 64 * kSub;

struct ScreenPoint {
    std::int32_t x = 0, y = 0; // 1/256 pixel
    float z = 0.0f;            // depth
};

struct ClipVertex {
    float x, y, z, w;
};

// Where the pixels go: a size x size target, of which this raster writes
// only the rows [rowBegin, rowEnd), its band. Every triangle is set up from
// its whole pixel box whatever the band, so that a pixel gets the very same
// edge and depth values in any band split; each band then touches its own
// rows only, and bands can be drawn side by side.
struct Raster {
    PixelColor* pixels;
    float* depth;
    int size;
    int rowBegin, rowEnd;
};

// The rows of a triangle's box that lie in the band, counted from the box's
// top row: first > last when none does.
struct BandRows {
    int first, last;
};

template <typename Setup>
inline BandRows RowsInBand(const Raster& target, const Setup& t)
{
    return {std::max(0, target.rowBegin - t.py0), std::min(t.py1, target.rowEnd - 1) - t.py0};
}

// One triangle ready to fill: its clamped pixel box, its three edge functions
// at the first pixel centre of the box (with the fill-rule bias folded in),
// their steps per pixel, and the depth plane.
template <typename Int>
struct TriangleSetup {
    int px0, py0, px1, py1;
    Int e[3], stepX[3], stepY[3];
    float z0, dzdx, dzdy;
    PixelColor color;
};

using WideSetup = TriangleSetup<std::int64_t>;
using SmallSetup = TriangleSetup<std::int32_t>;

inline std::int64_t FloorShift(std::int64_t v)
{
    return v >> kSubBits; // arithmetic shift: floor division by 256
}

// The signed doubled area in 1/65536 pixel^2; positive for a triangle that
// runs clockwise on screen (y down), which is the visible side.
inline std::int64_t DoubledArea(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c)
{
    return std::int64_t(b.x - a.x) * (c.y - a.y) - std::int64_t(b.y - a.y) * (c.x - a.x);
}

// Pixels whose centre lies inside the box [min, max]:
// ceil((min - 128) / 256) .. floor((max - 128) / 256), clamped to the target.
// False when there are none.
template <typename Int>
inline bool PixelBox(std::int32_t minX, std::int32_t maxX, std::int32_t minY, std::int32_t maxY, int size,
              TriangleSetup<Int>& t)
{
    t.px0 = std::max(0, int(FloorShift(std::int64_t(minX) - kHalfSub + kSub - 1)));
    t.py0 = std::max(0, int(FloorShift(std::int64_t(minY) - kHalfSub + kSub - 1)));
    t.px1 = std::min(size - 1, int(FloorShift(std::int64_t(maxX) - kHalfSub)));
    t.py1 = std::min(size - 1, int(FloorShift(std::int64_t(maxY) - kHalfSub)));
    return t.px0 <= t.px1 && t.py0 <= t.py1;
}

// The edges and the depth plane of a clockwise triangle with area > 0, in
// Int arithmetic (32 bits suffice for a box under 64 pixels a side).
template <typename Int, typename Real>
inline void SetUpEdges(const ScreenPoint& v0, const ScreenPoint& v1, const ScreenPoint& v2, std::int64_t area,
                TriangleSetup<Int>& t)
{
    const Int cx = Int(t.px0) * kSub + kHalfSub;
    const Int cy = Int(t.py0) * kSub + kHalfSub;
    const ScreenPoint* from[3] = {&v1, &v2, &v0};
    const ScreenPoint* to[3] = {&v2, &v0, &v1};
    Int raw[3];
    for (int k = 0; k < 3; ++k) {
        const Int dx = Int(to[k]->x) - from[k]->x, dy = Int(to[k]->y) - from[k]->y;
        // Edge function: positive on the inside of a clockwise triangle.
        raw[k] = dx * (cy - from[k]->y) - dy * (cx - from[k]->x);
        t.stepX[k] = -dy * kSub;
        t.stepY[k] = dx * kSub;
        // Top edge (horizontal, running right) or left edge (running up):
        // a centre exactly on it is inside; on any other edge it is outside.
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        t.e[k] = raw[k] - (topLeft ? 0 : 1);
    }
    // Depth plane through the three vertices: z = z0 + l1 (z1 - z0) + l2 (z2 - z0),
    // with the barycentric weights l1 = e[1] / area and l2 = e[2] / area.
    const Real inv = Real(1) / Real(area);
    const Real dz1 = Real(v1.z) - Real(v0.z), dz2 = Real(v2.z) - Real(v0.z);
    t.z0 = float(Real(v0.z) + (Real(raw[1]) * dz1 + Real(raw[2]) * dz2) * inv);
    t.dzdx = float((Real(t.stepX[1]) * dz1 + Real(t.stepX[2]) * dz2) * inv);
    t.dzdy = float((Real(t.stepY[1]) * dz1 + Real(t.stepY[2]) * dz2) * inv);
}

// The set-up of a triangle under 64 pixels a side, all in 32 bits: the same
// rule as SetUpEdges, written out, as it runs for most of the terrain.
__attribute__((always_inline)) inline bool SetUpSmall(const ScreenPoint& a, const ScreenPoint& b,
                                                      const ScreenPoint& c, std::int32_t minX, std::int32_t maxX,
                                                      std::int32_t minY, std::int32_t maxY, int size,
                                                      SmallSetup& t)
{
    // Twice the area; clockwise (visible) triangles are positive.
    const std::int32_t area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (area <= 0)
        return false;
    // Pixels with their centre in the box: ceil((min - 128) / 256) .. floor((max - 128) / 256).
    t.px0 = std::max(0, (minX + kHalfSub - 1) >> kSubBits);
    t.py0 = std::max(0, (minY + kHalfSub - 1) >> kSubBits);
    t.px1 = std::min(size - 1, (maxX - kHalfSub) >> kSubBits);
    t.py1 = std::min(size - 1, (maxY - kHalfSub) >> kSubBits);
    if (t.px0 > t.px1 || t.py0 > t.py1)
        return false; // no pixel centre inside: most distant terrain triangles
    const std::int32_t cx = t.px0 * kSub + kHalfSub, cy = t.py0 * kSub + kHalfSub;
    // Edges b->c, c->a, a->b: each zero on its edge and positive inside.
    const std::int32_t dx0 = c.x - b.x, dy0 = c.y - b.y;
    const std::int32_t dx1 = a.x - c.x, dy1 = a.y - c.y;
    const std::int32_t dx2 = b.x - a.x, dy2 = b.y - a.y;
    const std::int32_t raw0 = dx0 * (cy - b.y) - dy0 * (cx - b.x);
    const std::int32_t raw1 = dx1 * (cy - c.y) - dy1 * (cx - c.x);
    const std::int32_t raw2 = dx2 * (cy - a.y) - dy2 * (cx - a.x);
    // Centres on a top or left edge are inside, on the others outside.
    t.e[0] = raw0 - !(dy0 < 0 || (dy0 == 0 && dx0 > 0));
    t.e[1] = raw1 - !(dy1 < 0 || (dy1 == 0 && dx1 > 0));
    t.e[2] = raw2 - !(dy2 < 0 || (dy2 == 0 && dx2 > 0));
    t.stepX[0] = -dy0 * kSub; t.stepX[1] = -dy1 * kSub; t.stepX[2] = -dy2 * kSub;
    t.stepY[0] = dx0 * kSub;  t.stepY[1] = dx1 * kSub;  t.stepY[2] = dx2 * kSub;
    // Depth plane: z = z0 + l1 (z1 - z0) + l2 (z2 - z0) with l = edge / area.
    const float inv = 1.0f / float(area);
    const float dz1 = b.z - a.z, dz2 = c.z - a.z;
    t.z0 = a.z + (float(raw1) * dz1 + float(raw2) * dz2) * inv;
    t.dzdx = (float(t.stepX[1]) * dz1 + float(t.stepX[2]) * dz2) * inv;
    t.dzdy = (float(t.stepY[1]) * dz1 + float(t.stepY[2]) * dz2) * inv;
    return true;
}

// Any triangle, 64-bit edge values.
void FillWide(const Raster& target, const WideSetup& t);
// A triangle under 64 pixels a side, pixel by pixel.
void FillSmallBaseline(const Raster& target, const SmallSetup& t);
// The same fill, four or eight pixels at a time (AVX2 processors only).
void FillSmallAvx2(const Raster& target, const SmallSetup& t);
// Each vertex one pixel.
void PlotPoint(const Raster& target, const ScreenPoint& p, PixelColor color);
// A one-pixel line between two screen points.
void DrawLine(const Raster& target, const ScreenPoint& a, const ScreenPoint& b, PixelColor color);
// Clip space to screen, the same float steps for every vertex.
ScreenPoint Project(float x, float y, float z, float w, float half);
// Transforms position i of the scene into s.
void TransformOne(const PreparedScene& scene, const Matrix4& m, float half, RasterScratch& s, std::size_t i);
// Clips a polygon of up to 8 corners in place; the number of corners left.
int ClipPolygon(ClipVertex* poly, int count);

// Whether a clip-space position has a screen position: w a normal positive
// number (its inverse finite) and x, y finite. A corner at the eye (w = 0) or
// one that is not a number has none.
inline bool Projectable(float x, float y, float w)
{
    constexpr float kLargest = std::numeric_limits<float>::max();
    return w >= std::numeric_limits<float>::min() && std::abs(x) <= kLargest && std::abs(y) <= kLargest;
}

// A clockwise triangle whose corners are all on the safe side of the guard band.
template <bool kAvx2>
__attribute__((always_inline)) inline void FillTriangle(const Raster& target, const ScreenPoint& a,
                                                        const ScreenPoint& b, const ScreenPoint& c,
                                                        PixelColor color)
{
    const std::int32_t minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    const std::int32_t minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
    // No pixel centre of the box in this band: nothing to set up.
    if (FloorShift(std::int64_t(maxY) - kHalfSub) < target.rowBegin
        || FloorShift(std::int64_t(minY) - kHalfSub + kSub - 1) >= target.rowEnd)
        return;
    if (maxX - minX < kSmallSpan && maxY - minY < kSmallSpan) {
        SmallSetup t;
        if (!SetUpSmall(a, b, c, minX, maxX, minY, maxY, target.size, t))
            return;
        t.color = color;
        if constexpr (kAvx2)
            FillSmallAvx2(target, t);
        else
            FillSmallBaseline(target, t);
        return;
    }
    const std::int64_t area = DoubledArea(a, b, c);
    WideSetup t;
    if (area <= 0 || !PixelBox(minX, maxX, minY, maxY, target.size, t))
        return;
    SetUpEdges<std::int64_t, double>(a, b, c, area, t);
    t.color = color;
    FillWide(target, t);
}

// A triangle with a corner behind the near plane or beyond the guard band:
// clipped in clip space, culled by the winding of what is left, then drawn.
template <bool kAvx2>
inline void DrawClipped(const Raster& target, const RasterScratch& s, const std::uint32_t* corner,
                 PixelColor color, FillMode mode, float half)
{
    ClipVertex poly[16];
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t i = corner[k];
        poly[k] = {s.cx[i], s.cy[i], s.cz[i], s.cw[i]};
    }
    const int count = ClipPolygon(poly, 3);
    if (count < 3)
        return;
    for (int k = 0; k < count; ++k)
        if (!Projectable(poly[k].x, poly[k].y, poly[k].w))
            return; // a corner at the eye or not a number: nothing to draw
    ScreenPoint p[16];
    for (int k = 0; k < count; ++k)
        p[k] = Project(poly[k].x, poly[k].y, poly[k].z, poly[k].w, half);
    // The clipped polygon's winding decides culling, as for a whole triangle.
    std::int64_t area = 0;
    for (int k = 1; k + 1 < count; ++k)
        area += DoubledArea(p[0], p[k], p[k + 1]);
    if (area <= 0)
        return;
    switch (mode) {
    case FillMode::Solid:
        for (int k = 1; k + 1 < count; ++k) {
            const std::int64_t a = DoubledArea(p[0], p[k], p[k + 1]);
            if (a > 0)
                FillTriangle<kAvx2>(target, p[0], p[k], p[k + 1], color);
        }
        break;
    case FillMode::Wireframe:
        // The parts of the triangle's own edges that survive the clip.
        for (int k = 0; k < 3; ++k) {
            ClipVertex edge[16];
            const std::uint32_t a = corner[k], b = corner[(k + 1) % 3];
            edge[0] = {s.cx[a], s.cy[a], s.cz[a], s.cw[a]};
            edge[1] = {s.cx[b], s.cy[b], s.cz[b], s.cw[b]};
            // A degenerate two-point polygon clips as the segment itself.
            if (ClipPolygon(edge, 2) >= 2 && Projectable(edge[0].x, edge[0].y, edge[0].w)
                && Projectable(edge[1].x, edge[1].y, edge[1].w))
                DrawLine(target, Project(edge[0].x, edge[0].y, edge[0].z, edge[0].w, half),
                         Project(edge[1].x, edge[1].y, edge[1].z, edge[1].w, half), color);
        }
        break;
    case FillMode::Points:
        for (int k = 0; k < 3; ++k) {
            const ScreenVertex& v = s.screen[corner[k]];
            if (!(v.outcode & (kNear | kGuard)))
                PlotPoint(target, {v.x, v.y, v.z}, color);
        }
        break;
    }
}

// The triangles [first, end) of the scene in order, on one path.
template <bool kAvx2>
__attribute__((always_inline)) inline void DrawTriangles(const Raster& raster, const PreparedScene& scene,
                                                         FillMode mode, float half, const RasterScratch& s,
                                                         std::size_t first, std::size_t end)
{
    const std::uint32_t* corners = scene.corners.data();
    const ScreenVertex* screen = s.screen.data();
    for (std::size_t t = first; t < end; ++t) {
        const std::uint32_t* c = corners + 3 * t;
        const ScreenVertex& v0 = screen[c[0]];
        const ScreenVertex& v1 = screen[c[1]];
        const ScreenVertex& v2 = screen[c[2]];
        // All three beyond one side of the view: nothing to draw.
        if (v0.outcode & v1.outcode & v2.outcode & kOutside)
            continue;
        if ((v0.outcode | v1.outcode | v2.outcode) & (kNear | kGuard)) {
            DrawClipped<kAvx2>(raster, s, c, scene.colors[t], mode, half);
            continue;
        }
        const ScreenPoint a{v0.x, v0.y, v0.z};
        const ScreenPoint b{v1.x, v1.y, v1.z};
        const ScreenPoint d{v2.x, v2.y, v2.z};
        if (mode == FillMode::Solid) {
            // Culls counter-clockwise and edge-on triangles itself.
            FillTriangle<kAvx2>(raster, a, b, d, scene.colors[t]);
            continue;
        }
        if (DoubledArea(a, b, d) <= 0)
            continue; // counter-clockwise on screen, or edge-on
        switch (mode) {
        case FillMode::Solid:
            break;
        case FillMode::Wireframe:
            DrawLine(raster, a, b, scene.colors[t]);
            DrawLine(raster, b, d, scene.colors[t]);
            DrawLine(raster, d, a, scene.colors[t]);
            break;
        case FillMode::Points:
            PlotPoint(raster, a, scene.colors[t]);
            PlotPoint(raster, b, scene.colors[t]);
            PlotPoint(raster, d, scene.colors[t]);
            break;
        }
    }
}

// Each path's transform of the positions [begin, end) and its loop over the
// triangles [first, end).
void TransformBaseline(const PreparedScene& scene, const Matrix4& m, float half, RasterScratch& s,
                       std::size_t begin, std::size_t end);
void DrawTrianglesBaseline(const Raster& raster, const PreparedScene& scene, FillMode mode, float half,
                           const RasterScratch& s, std::size_t first, std::size_t end);
void TransformAvx2(const PreparedScene& scene, const Matrix4& m, float half, RasterScratch& s,
                   std::size_t begin, std::size_t end);
// With avx512, solid triangles take the AVX-512 loop (AVX-512 processors only).
void DrawTrianglesAvx2(const Raster& raster, const PreparedScene& scene, FillMode mode, float half,
                       const RasterScratch& s, std::size_t first, std::size_t end, bool avx512);
// The AVX2 and AVX-512 loops over solid triangles [first, end), and the one
// triangle they leave to the general fill: clipped, large or culled.
void DrawSolidAvx2(const Raster& raster, const PreparedScene& scene, float half, const RasterScratch& s,
                   std::size_t first, std::size_t end);
void DrawSolidAvx512(const Raster& raster, const PreparedScene& scene, float half, const RasterScratch& s,
                     std::size_t first, std::size_t end);
void SolidTriangleAvx2(const Raster& raster, const PreparedScene& scene, float half, const RasterScratch& s,
                       std::size_t t);

// The rows of a size x size target that the triangles inside the box can
// reach under the transform m, with a margin: first > last when the box lies
// wholly beyond one side of the view (every triangle in it would be skipped),
// all rows when the box reaches behind the eye.
RowSpan ChunkRows(const ChunkBox& box, const Matrix4& m, int size);
// The bands' shares of the next frame's work after the last frame's bands
// took `seconds` each: a band slower than the average gets less, a quicker
// one more, by the square root of how far it was off and by a factor of at
// most 1.41 a frame, so that one stalled frame cannot starve a band. The
// shares add up to one.
void AdjustBandShares(std::vector<float>& shares, const std::vector<double>& seconds);
// Sets count values from `to` on (AVX2 processors only).
void FillAvx2(std::uint32_t* to, std::size_t count, std::uint32_t value);
// The same for the boxes [0, count), into rows (AVX2 processors only).
void ChunkRowsAvx2(const ChunkBox* boxes, std::size_t count, const Matrix4& m, int size, RowSpan* rows);

} // namespace tolva::raster
