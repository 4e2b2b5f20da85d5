#include "Rasterizer.h"

#include <immintrin.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace tolva {

namespace {

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

std::atomic<RasterPath> g_path{RasterPath::Automatic};

struct ScreenPoint {
    std::int32_t x = 0, y = 0; // 1/256 pixel
    float z = 0.0f;            // depth
};

struct ClipVertex {
    float x, y, z, w;
};

// One triangle ready to fill: its clamped pixel box, its three edge functions
// at the first pixel centre of the box (with the fill-rule bias folded in),
// their steps per pixel, and the depth plane.
struct TriangleSetup {
    int px0, py0, px1, py1;
    std::int64_t e[3], stepX[3], stepY[3];
    float z0, dzdx, dzdy;
    PixelColor color;
};

std::int64_t FloorShift(std::int64_t v)
{
    return v >> kSubBits; // arithmetic shift: floor division by 256
}

// The signed doubled area in 1/65536 pixel^2; positive for a triangle that
// runs clockwise on screen (y down), which is the visible side.
std::int64_t DoubledArea(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c)
{
    return std::int64_t(b.x - a.x) * (c.y - a.y) - std::int64_t(b.y - a.y) * (c.x - a.x);
}

// Sets up a clockwise triangle with area > 0. False when no pixel centre of
// the target lies in its bounding box.
bool SetUp(const ScreenPoint& v0, const ScreenPoint& v1, const ScreenPoint& v2, std::int64_t area,
           int size, PixelColor color, TriangleSetup& t)
{
    const std::int64_t minX = std::min({v0.x, v1.x, v2.x}), maxX = std::max({v0.x, v1.x, v2.x});
    const std::int64_t minY = std::min({v0.y, v1.y, v2.y}), maxY = std::max({v0.y, v1.y, v2.y});
    // Pixels whose centre lies inside the box: ceil((min - 128) / 256) .. floor((max - 128) / 256).
    t.px0 = int(std::max<std::int64_t>(0, FloorShift(minX - kHalfSub + kSub - 1)));
    t.py0 = int(std::max<std::int64_t>(0, FloorShift(minY - kHalfSub + kSub - 1)));
    t.px1 = int(std::min<std::int64_t>(size - 1, FloorShift(maxX - kHalfSub)));
    t.py1 = int(std::min<std::int64_t>(size - 1, FloorShift(maxY - kHalfSub)));
    if (t.px0 > t.px1 || t.py0 > t.py1)
        return false;

    const std::int64_t cx = std::int64_t(t.px0) * kSub + kHalfSub;
    const std::int64_t cy = std::int64_t(t.py0) * kSub + kHalfSub;
    const ScreenPoint* from[3] = {&v1, &v2, &v0};
    const ScreenPoint* to[3] = {&v2, &v0, &v1};
    std::int64_t raw[3];
    for (int k = 0; k < 3; ++k) {
        const std::int64_t dx = to[k]->x - from[k]->x, dy = to[k]->y - from[k]->y;
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
    const double inv = 1.0 / double(area);
    const double dz1 = double(v1.z) - v0.z, dz2 = double(v2.z) - v0.z;
    t.z0 = float(v0.z + (double(raw[1]) * dz1 + double(raw[2]) * dz2) * inv);
    t.dzdx = float((double(t.stepX[1]) * dz1 + double(t.stepX[2]) * dz2) * inv);
    t.dzdy = float((double(t.stepY[1]) * dz1 + double(t.stepY[2]) * dz2) * inv);
    t.color = color;
    return true;
}

// Any triangle, 64-bit edge values.
void FillWide(FrameTarget& target, const TriangleSetup& t)
{
    const int size = target.size();
    PixelColor* pixels = target.pixels();
    float* depth = target.depth();
    for (int r = 0; r <= t.py1 - t.py0; ++r) {
        std::int64_t e0 = t.e[0] + r * t.stepY[0];
        std::int64_t e1 = t.e[1] + r * t.stepY[1];
        std::int64_t e2 = t.e[2] + r * t.stepY[2];
        const float zRow = t.z0 + float(r) * t.dzdy;
        const std::size_t row = std::size_t(t.py0 + r) * size + t.px0;
        for (int k = 0; k <= t.px1 - t.px0; ++k) {
            if ((e0 | e1 | e2) >= 0) {
                const float z = zRow + float(k) * t.dzdx;
                if (z <= depth[row + k]) {
                    depth[row + k] = z;
                    pixels[row + k] = t.color;
                }
            }
            e0 += t.stepX[0];
            e1 += t.stepX[1];
            e2 += t.stepX[2];
        }
    }
}

// A triangle under 64 pixels a side: the same rule in 32-bit arithmetic.
void FillSmallBaseline(FrameTarget& target, const TriangleSetup& t)
{
    const int size = target.size();
    PixelColor* pixels = target.pixels();
    float* depth = target.depth();
    const std::int32_t sx0 = std::int32_t(t.stepX[0]), sx1 = std::int32_t(t.stepX[1]), sx2 = std::int32_t(t.stepX[2]);
    for (int r = 0; r <= t.py1 - t.py0; ++r) {
        std::int32_t e0 = std::int32_t(t.e[0] + r * t.stepY[0]);
        std::int32_t e1 = std::int32_t(t.e[1] + r * t.stepY[1]);
        std::int32_t e2 = std::int32_t(t.e[2] + r * t.stepY[2]);
        const float zRow = t.z0 + float(r) * t.dzdy;
        const std::size_t row = std::size_t(t.py0 + r) * size + t.px0;
        for (int k = 0; k <= t.px1 - t.px0; ++k) {
            if ((e0 | e1 | e2) >= 0) {
                const float z = zRow + float(k) * t.dzdx;
                if (z <= depth[row + k]) {
                    depth[row + k] = z;
                    pixels[row + k] = t.color;
                }
            }
            e0 += sx0;
            e1 += sx1;
            e2 += sx2;
        }
    }
}

// The same fill, eight pixels of a row at a time.
__attribute__((target("avx2"))) void FillSmallAvx2(FrameTarget& target, const TriangleSetup& t)
{
    const int size = target.size();
    PixelColor* pixels = target.pixels();
    float* depth = target.depth();
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i step0 = _mm256_mullo_epi32(lane, _mm256_set1_epi32(std::int32_t(t.stepX[0])));
    const __m256i step1 = _mm256_mullo_epi32(lane, _mm256_set1_epi32(std::int32_t(t.stepX[1])));
    const __m256i step2 = _mm256_mullo_epi32(lane, _mm256_set1_epi32(std::int32_t(t.stepX[2])));
    const __m256i eight0 = _mm256_set1_epi32(std::int32_t(t.stepX[0]) * 8);
    const __m256i eight1 = _mm256_set1_epi32(std::int32_t(t.stepX[1]) * 8);
    const __m256i eight2 = _mm256_set1_epi32(std::int32_t(t.stepX[2]) * 8);
    const __m256 dzdx = _mm256_set1_ps(t.dzdx);
    const __m256 laneF = _mm256_cvtepi32_ps(lane);
    const __m256i color = _mm256_set1_epi32(std::int32_t(t.color));
    const int width = t.px1 - t.px0 + 1;
    for (int r = 0; r <= t.py1 - t.py0; ++r) {
        __m256i e0 = _mm256_add_epi32(_mm256_set1_epi32(std::int32_t(t.e[0] + r * t.stepY[0])), step0);
        __m256i e1 = _mm256_add_epi32(_mm256_set1_epi32(std::int32_t(t.e[1] + r * t.stepY[1])), step1);
        __m256i e2 = _mm256_add_epi32(_mm256_set1_epi32(std::int32_t(t.e[2] + r * t.stepY[2])), step2);
        const __m256 zRow = _mm256_set1_ps(t.z0 + float(r) * t.dzdy);
        const std::size_t row = std::size_t(t.py0 + r) * size + t.px0;
        for (int k = 0; k < width; k += 8) {
            // Lanes past the box's right side stay untouched.
            const __m256i inBox = _mm256_cmpgt_epi32(_mm256_set1_epi32(width - k), lane);
            const __m256i inside = _mm256_andnot_si256(
                _mm256_srai_epi32(_mm256_or_si256(_mm256_or_si256(e0, e1), e2), 31), inBox);
            if (!_mm256_testz_si256(inside, inside)) {
                const __m256 kF = _mm256_add_ps(_mm256_set1_ps(float(k)), laneF);
                const __m256 z = _mm256_add_ps(zRow, _mm256_mul_ps(kF, dzdx));
                float* d = depth + row + k;
                const __m256 old = _mm256_maskload_ps(d, inside);
                const __m256i pass = _mm256_and_si256(
                    inside, _mm256_castps_si256(_mm256_cmp_ps(z, old, _CMP_LE_OQ)));
                _mm256_maskstore_ps(d, pass, z);
                _mm256_maskstore_epi32(reinterpret_cast<int*>(pixels + row + k), pass, color);
            }
            e0 = _mm256_add_epi32(e0, eight0);
            e1 = _mm256_add_epi32(e1, eight1);
            e2 = _mm256_add_epi32(e2, eight2);
        }
    }
}

using SmallFill = void (*)(FrameTarget&, const TriangleSetup&);

void FillTriangle(FrameTarget& target, const ScreenPoint& a, const ScreenPoint& b,
                  const ScreenPoint& c, std::int64_t area, PixelColor color, SmallFill small)
{
    TriangleSetup t;
    if (!SetUp(a, b, c, area, target.size(), color, t))
        return;
    const int spanX = std::max({a.x, b.x, c.x}) - std::min({a.x, b.x, c.x});
    const int spanY = std::max({a.y, b.y, c.y}) - std::min({a.y, b.y, c.y});
    if (spanX < kSmallSpan && spanY < kSmallSpan)
        small(target, t);
    else
        FillWide(target, t);
}

void PlotPoint(FrameTarget& target, const ScreenPoint& p, PixelColor color)
{
    // The pixel whose centre lies in the point's 1 x 1 square.
    const int size = target.size();
    const int x = int(FloorShift(std::int64_t(p.x) + kSub - 1)) - 1;
    const int y = int(FloorShift(p.y));
    if (x < 0 || y < 0 || x >= size || y >= size)
        return;
    const std::size_t i = std::size_t(y) * size + x;
    if (p.z <= target.depth()[i]) {
        target.depth()[i] = p.z;
        target.pixels()[i] = color;
    }
}

// A one-pixel line: one pixel per column (or row, when steep) whose centre
// the line passes, the last pixel left out as for a line strip.
void DrawLine(FrameTarget& target, const ScreenPoint& a, const ScreenPoint& b, PixelColor color)
{
    const int size = target.size();
    const double ax = a.x / double(kSub), ay = a.y / double(kSub);
    const double bx = b.x / double(kSub), by = b.y / double(kSub);
    const double dx = bx - ax, dy = by - ay;
    const bool steep = std::abs(dy) > std::abs(dx);
    const double major0 = steep ? ay : ax, major1 = steep ? by : bx;
    const double length = major1 - major0;
    if (length == 0.0)
        return;
    const double lo = std::min(major0, major1), hi = std::max(major0, major1);
    // Centres m + 0.5 in [lo, hi).
    const int first = std::max(0, int(std::ceil(lo - 0.5)));
    const int last = std::min(size - 1, int(std::ceil(hi - 0.5)) - 1);
    for (int m = first; m <= last; ++m) {
        const double s = (m + 0.5 - major0) / length;
        const double minor = steep ? ax + s * dx : ay + s * dy;
        const int n = int(std::floor(minor));
        if (n < 0 || n >= size)
            continue;
        const int x = steep ? n : m, y = steep ? m : n;
        const float z = float(a.z + s * (double(b.z) - a.z));
        const std::size_t i = std::size_t(y) * size + x;
        if (z <= target.depth()[i]) {
            target.depth()[i] = z;
            target.pixels()[i] = color;
        }
    }
}

// Clip space to screen, the same float steps for every vertex so that a
// corner shared by two triangles lands on the same fixed-point position.
ScreenPoint Project(float x, float y, float z, float w, float half)
{
    const float inv = 1.0f / w;
    const float scale = half * kSub;
    return {std::int32_t(std::lrintf(x * inv * scale + scale)),
            std::int32_t(std::lrintf(scale - y * inv * scale)), z * inv};
}

std::uint8_t Outcode(float x, float y, float z, float w)
{
    std::uint8_t code = 0;
    if (x < -w) code |= kLeft;
    if (x > w) code |= kRight;
    if (y > w) code |= kTop;
    if (y < -w) code |= kBottom;
    if (z < 0.0f) code |= kNear;
    if (!(std::abs(x) <= kGuardBand * w && std::abs(y) <= kGuardBand * w))
        code |= kGuard;
    return code;
}

void TransformBaseline(const PreparedScene& scene, const Matrix4& m, float half, RasterScratch& s)
{
    const std::size_t n = scene.x.size();
    for (std::size_t i = 0; i < n; ++i) {
        const ClipPoint c = TransformPoint(m, scene.x[i], scene.y[i], scene.z[i]);
        s.cx[i] = c.x; s.cy[i] = c.y; s.cz[i] = c.z; s.cw[i] = c.w;
        s.outcode[i] = Outcode(c.x, c.y, c.z, c.w);
        if (s.outcode[i] & (kNear | kGuard))
            continue;
        const ScreenPoint p = Project(c.x, c.y, c.z, c.w, half);
        s.sx[i] = p.x; s.sy[i] = p.y; s.sz[i] = p.z;
    }
}

// The same transform eight vertices at a time, with the same float steps (no
// fused multiply-add), so that both paths place every vertex identically.
__attribute__((target("avx2"))) void TransformAvx2(const PreparedScene& scene, const Matrix4& m,
                                                   float half, RasterScratch& s)
{
    const std::size_t n = scene.x.size();
    std::size_t i = 0;
    const float scale = half * kSub;
    const __m256 vScale = _mm256_set1_ps(scale), one = _mm256_set1_ps(1.0f), guard = _mm256_set1_ps(kGuardBand), zero = _mm256_setzero_ps();
    const __m256 absMask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
    for (; i + 8 <= n; i += 8) {
        const __m256 x = _mm256_loadu_ps(&scene.x[i]);
        const __m256 y = _mm256_loadu_ps(&scene.y[i]);
        const __m256 z = _mm256_loadu_ps(&scene.z[i]);
        __m256 c[4];
        for (int j = 0; j < 4; ++j) {
            // Same order as TransformPoint: ((x m0 + y m1) + z m2) + m3.
            __m256 v = _mm256_mul_ps(x, _mm256_set1_ps(m.m[0][j]));
            v = _mm256_add_ps(v, _mm256_mul_ps(y, _mm256_set1_ps(m.m[1][j])));
            v = _mm256_add_ps(v, _mm256_mul_ps(z, _mm256_set1_ps(m.m[2][j])));
            c[j] = _mm256_add_ps(v, _mm256_set1_ps(m.m[3][j]));
        }
        _mm256_storeu_ps(&s.cx[i], c[0]);
        _mm256_storeu_ps(&s.cy[i], c[1]);
        _mm256_storeu_ps(&s.cz[i], c[2]);
        _mm256_storeu_ps(&s.cw[i], c[3]);
        const __m256 w = c[3], negW = _mm256_sub_ps(zero, w);
        const __m256 gw = _mm256_mul_ps(guard, w);
        const int left = _mm256_movemask_ps(_mm256_cmp_ps(c[0], negW, _CMP_LT_OQ));
        const int right = _mm256_movemask_ps(_mm256_cmp_ps(c[0], w, _CMP_GT_OQ));
        const int top = _mm256_movemask_ps(_mm256_cmp_ps(c[1], w, _CMP_GT_OQ));
        const int bottom = _mm256_movemask_ps(_mm256_cmp_ps(c[1], negW, _CMP_LT_OQ));
        const int nearBits = _mm256_movemask_ps(_mm256_cmp_ps(c[2], zero, _CMP_LT_OQ));
        const __m256 inGuard = _mm256_and_ps(
            _mm256_cmp_ps(_mm256_and_ps(c[0], absMask), gw, _CMP_LE_OQ),
            _mm256_cmp_ps(_mm256_and_ps(c[1], absMask), gw, _CMP_LE_OQ));
        const int guardBits = ~_mm256_movemask_ps(inGuard) & 0xFF;
        for (int k = 0; k < 8; ++k) {
            s.outcode[i + k] = std::uint8_t(((left >> k) & 1) * kLeft | ((right >> k) & 1) * kRight
                                            | ((top >> k) & 1) * kTop | ((bottom >> k) & 1) * kBottom
                                            | ((nearBits >> k) & 1) * kNear | ((guardBits >> k) & 1) * kGuard);
        }
        // Projection; lanes that need clipping get values nobody reads.
        const __m256 inv = _mm256_div_ps(one, w);
        const __m256 px = _mm256_add_ps(_mm256_mul_ps(_mm256_mul_ps(c[0], inv), vScale), vScale);
        const __m256 py = _mm256_sub_ps(vScale, _mm256_mul_ps(_mm256_mul_ps(c[1], inv), vScale));
        const __m256 keep = _mm256_castsi256_ps(_mm256_set1_epi32(-1));
        const __m256 safe = _mm256_and_ps(inGuard, _mm256_andnot_ps(_mm256_cmp_ps(c[2], zero, _CMP_LT_OQ), keep));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(&s.sx[i]), _mm256_cvtps_epi32(_mm256_and_ps(px, safe)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(&s.sy[i]), _mm256_cvtps_epi32(_mm256_and_ps(py, safe)));
        _mm256_storeu_ps(&s.sz[i], _mm256_mul_ps(c[2], inv));
    }
    for (; i < n; ++i) {
        const ClipPoint c = TransformPoint(m, scene.x[i], scene.y[i], scene.z[i]);
        s.cx[i] = c.x; s.cy[i] = c.y; s.cz[i] = c.z; s.cw[i] = c.w;
        s.outcode[i] = Outcode(c.x, c.y, c.z, c.w);
        if (s.outcode[i] & (kNear | kGuard))
            continue;
        const ScreenPoint p = Project(c.x, c.y, c.z, c.w, half);
        s.sx[i] = p.x; s.sy[i] = p.y; s.sz[i] = p.z;
    }
}

// Sutherland-Hodgman against the near plane and the guard band, in clip space.
int ClipPolygon(ClipVertex* poly, int count)
{
    ClipVertex buffer[16];
    const auto distance = [](const ClipVertex& v, int plane) {
        switch (plane) {
        case 0: return v.z;                       // near: z >= 0
        case 1: return kGuardBand * v.w + v.x;    // left
        case 2: return kGuardBand * v.w - v.x;    // right
        case 3: return kGuardBand * v.w + v.y;    // bottom
        default: return kGuardBand * v.w - v.y;   // top
        }
    };
    for (int plane = 0; plane < 5 && count > 0; ++plane) {
        int out = 0;
        for (int i = 0; i < count; ++i) {
            const ClipVertex& a = poly[i];
            const ClipVertex& b = poly[(i + 1) % count];
            const float da = distance(a, plane), db = distance(b, plane);
            if (da >= 0.0f)
                buffer[out++] = a;
            if ((da >= 0.0f) != (db >= 0.0f)) {
                // The crossing point, interpolated linearly in clip space.
                const float t = da / (da - db);
                buffer[out++] = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y),
                                 a.z + t * (b.z - a.z), a.w + t * (b.w - a.w)};
            }
        }
        std::copy(buffer, buffer + out, poly);
        count = out;
    }
    return count;
}

void DrawClipped(FrameTarget& target, const RasterScratch& s, const std::uint32_t* corner,
                 PixelColor color, FillMode mode, float half, SmallFill small)
{
    ClipVertex poly[16];
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t i = corner[k];
        poly[k] = {s.cx[i], s.cy[i], s.cz[i], s.cw[i]};
    }
    const int count = ClipPolygon(poly, 3);
    if (count < 3)
        return;
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
                FillTriangle(target, p[0], p[k], p[k + 1], a, color, small);
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
            if (ClipPolygon(edge, 2) >= 2)
                DrawLine(target, Project(edge[0].x, edge[0].y, edge[0].z, edge[0].w, half),
                         Project(edge[1].x, edge[1].y, edge[1].z, edge[1].w, half), color);
        }
        break;
    case FillMode::Points:
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t i = corner[k];
            if (!(s.outcode[i] & (kNear | kGuard)))
                PlotPoint(target, {s.sx[i], s.sy[i], s.sz[i]}, color);
        }
        break;
    }
}

} // namespace

FrameTarget::FrameTarget(int size)
    : m_size(size), m_color(size, size, QImage::Format_RGB32), m_depth(std::size_t(size) * size + 8, 1.0f)
{
}

void FrameTarget::clear(PixelColor color, float depth)
{
    PixelColor* p = pixels();
    std::fill(p, p + std::size_t(m_size) * m_size, color);
    std::fill(m_depth.begin(), m_depth.end(), depth);
}

PixelColor* FrameTarget::pixels()
{
    // Format_RGB32 rows of 4 * size bytes are already 4-byte aligned: one block.
    return reinterpret_cast<PixelColor*>(m_color.bits());
}

void SetRasterPath(RasterPath path)
{
    g_path.store(path);
}

bool Avx2Available()
{
    return __builtin_cpu_supports("avx2");
}

RasterPath ActiveRasterPath()
{
    const RasterPath path = g_path.load();
    if (path == RasterPath::Automatic)
        return Avx2Available() ? RasterPath::Avx2 : RasterPath::Baseline;
    if (path == RasterPath::Avx2 && !Avx2Available())
        return RasterPath::Baseline;
    return path;
}

void DrawPreparedScene(FrameTarget& target, const PreparedScene& scene, const Matrix4& viewProjection,
                       FillMode mode, RasterScratch& s)
{
    if (target.image().isNull())
        return;
    const std::size_t n = scene.x.size();
    s.sx.resize(n); s.sy.resize(n); s.sz.resize(n);
    s.cx.resize(n); s.cy.resize(n); s.cz.resize(n); s.cw.resize(n);
    s.outcode.resize(n);
    const float half = target.size() / 2.0f;
    const bool avx2 = ActiveRasterPath() == RasterPath::Avx2;
    if (avx2)
        TransformAvx2(scene, viewProjection, half, s);
    else
        TransformBaseline(scene, viewProjection, half, s);
    const SmallFill small = avx2 ? FillSmallAvx2 : FillSmallBaseline;

    const std::size_t triangles = scene.triangleCount();
    const std::uint32_t* corners = scene.corners.data();
    for (std::size_t t = 0; t < triangles; ++t) {
        const std::uint32_t* c = corners + 3 * t;
        const std::uint8_t o0 = s.outcode[c[0]], o1 = s.outcode[c[1]], o2 = s.outcode[c[2]];
        // All three beyond one side of the view: nothing to draw.
        if (o0 & o1 & o2 & kOutside)
            continue;
        if ((o0 | o1 | o2) & (kNear | kGuard)) {
            DrawClipped(target, s, c, scene.colors[t], mode, half, small);
            continue;
        }
        const ScreenPoint a{s.sx[c[0]], s.sy[c[0]], s.sz[c[0]]};
        const ScreenPoint b{s.sx[c[1]], s.sy[c[1]], s.sz[c[1]]};
        const ScreenPoint d{s.sx[c[2]], s.sy[c[2]], s.sz[c[2]]};
        const std::int64_t area = DoubledArea(a, b, d);
        if (area <= 0)
            continue; // counter-clockwise on screen, or edge-on
        switch (mode) {
        case FillMode::Solid:
            FillTriangle(target, a, b, d, area, scene.colors[t], small);
            break;
        case FillMode::Wireframe:
            DrawLine(target, a, b, scene.colors[t]);
            DrawLine(target, b, d, scene.colors[t]);
            DrawLine(target, d, a, scene.colors[t]);
            break;
        case FillMode::Points:
            PlotPoint(target, a, scene.colors[t]);
            PlotPoint(target, b, scene.colors[t]);
            PlotPoint(target, d, scene.colors[t]);
            break;
        }
    }
}

} // namespace tolva
