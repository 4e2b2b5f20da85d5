#include "render/Rasterizer.h"
#include "render/RasterizerInternal.h"

#include <algorithm>
#include <bit>
#include <atomic>
#include <chrono>
#include <cmath>
#include <system_error>
#include <thread>

namespace tolva {

namespace raster {

namespace {

// Walks the triangle's pixel box row by row, stepping the three edge values
// and the depth incrementally; a pixel is covered when no edge value is
// negative. Int is the width the set-up chose for the edge values.
template <typename Int>
void FillRows(const Raster& target, const TriangleSetup<Int>& t)
{
    const BandRows rows = RowsInBand(target, t);
    for (int r = rows.first; r <= rows.last; ++r) {
        Int e0 = t.e[0] + r * t.stepY[0];
        Int e1 = t.e[1] + r * t.stepY[1];
        Int e2 = t.e[2] + r * t.stepY[2];
        const float zRow = t.z0 + float(r) * t.dzdy;
        const std::size_t row = std::size_t(t.py0 + r) * target.size + t.px0;
        for (int k = 0; k <= t.px1 - t.px0; ++k) {
            if ((e0 | e1 | e2) >= 0) {
                const float z = zRow + float(k) * t.dzdx;
                if (z <= target.depth[row + k]) {
                    target.depth[row + k] = z;
                    target.pixels[row + k] = t.color;
                }
            }
            e0 += t.stepX[0];
            e1 += t.stepX[1];
            e2 += t.stepX[2];
        }
    }
}

} // namespace

// Any triangle, 64-bit edge values.
void FillWide(const Raster& target, const WideSetup& t)
{
    FillRows(target, t);
}

// A triangle under 64 pixels a side, pixel by pixel.
void FillSmallBaseline(const Raster& target, const SmallSetup& t)
{
    FillRows(target, t);
}

void PlotPoint(const Raster& target, const ScreenPoint& p, PixelColor color)
{
    // The pixel whose centre lies in the point's 1 x 1 square.
    const int size = target.size;
    const int x = int(FloorShift(std::int64_t(p.x) + kSub - 1)) - 1;
    const int y = int(FloorShift(p.y));
    if (x < 0 || y < target.rowBegin || x >= size || y >= target.rowEnd)
        return;
    const std::size_t i = std::size_t(y) * size + x;
    if (p.z <= target.depth[i]) {
        target.depth[i] = p.z;
        target.pixels[i] = color;
    }
}

// A one-pixel line: one pixel per column (or row, when steep) whose centre
// the line passes, the last pixel left out as for a line strip.
void DrawLine(const Raster& target, const ScreenPoint& a, const ScreenPoint& b, PixelColor color)
{
    const int size = target.size;
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
    // When steep, the major axis runs down the rows: only the band's.
    const int first = std::max(steep ? target.rowBegin : 0, int(std::ceil(lo - 0.5)));
    const int last = std::min(steep ? target.rowEnd - 1 : size - 1, int(std::ceil(hi - 0.5)) - 1);
    for (int m = first; m <= last; ++m) {
        const double s = (m + 0.5 - major0) / length;
        const double minor = steep ? ax + s * dx : ay + s * dy;
        const int n = int(std::floor(minor));
        if (n < (steep ? 0 : target.rowBegin) || n >= (steep ? size : target.rowEnd))
            continue;
        const int x = steep ? n : m, y = steep ? m : n;
        const float z = float(a.z + s * (double(b.z) - a.z));
        const std::size_t i = std::size_t(y) * size + x;
        if (z <= target.depth[i]) {
            target.depth[i] = z;
            target.pixels[i] = color;
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

static std::uint32_t Outcode(float x, float y, float z, float w)
{
    std::uint32_t code = 0;
    if (x < -w) code |= kLeft;
    if (x > w) code |= kRight;
    if (y > w) code |= kTop;
    if (y < -w) code |= kBottom;
    if (z < 0.0f) code |= kNear;
    if (!(Projectable(x, y, w) && std::abs(x) <= kGuardBand * w && std::abs(y) <= kGuardBand * w))
        code |= kGuard;
    return code;
}

void TransformOne(const PreparedScene& scene, const Matrix4& m, float half, RasterScratch& s, std::size_t i)
{
    const ClipPoint c = TransformPoint(m, scene.x[i], scene.y[i], scene.z[i]);
    s.cx[i] = c.x; s.cy[i] = c.y; s.cz[i] = c.z; s.cw[i] = c.w;
    ScreenVertex& v = s.screen[i];
    v.outcode = Outcode(c.x, c.y, c.z, c.w);
    if (v.outcode & (kNear | kGuard)) {
        v.x = v.y = 0;
        v.z = 0.0f;
        return;
    }
    const ScreenPoint p = Project(c.x, c.y, c.z, c.w, half);
    v.x = p.x; v.y = p.y; v.z = p.z;
}

void TransformBaseline(const PreparedScene& scene, const Matrix4& m, float half, RasterScratch& s,
                       std::size_t begin, std::size_t end)
{
    for (std::size_t i = begin; i < end; ++i)
        TransformOne(scene, m, half, s, i);
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

void DrawTrianglesBaseline(const Raster& raster, const PreparedScene& scene, FillMode mode, float half,
                           const RasterScratch& s, std::size_t first, std::size_t end)
{
    DrawTriangles<false>(raster, scene, mode, half, s, first, end);
}

RowSpan ChunkRows(const ChunkBox& box, const Matrix4& m, int size)
{
    const RowSpan all{0, size - 1};
    // The box's eight corners in clip space: one corner and the three edges.
    const ClipPoint origin = TransformPoint(m, box.min[0], box.min[1], box.min[2]);
    const float extent[3] = {box.max[0] - box.min[0], box.max[1] - box.min[1], box.max[2] - box.min[2]};
    ClipPoint corner[8];
    for (int k = 0; k < 8; ++k) {
        float c[4] = {origin.x, origin.y, origin.z, origin.w};
        for (int a = 0; a < 3; ++a)
            if (k >> a & 1)
                for (int j = 0; j < 4; ++j)
                    c[j] += extent[a] * m.m[a][j];
        corner[k] = {c[0], c[1], c[2], c[3]};
        // A box too wide for floats (its extent overflows) has corners that
        // are not numbers: never skipped.
        for (const float v : c)
            if (!std::isfinite(v))
                return all;
    }
    // The largest sum of the magnitudes of the terms that place a position
    // of the box: the rounding of any such position, and of these corners,
    // stays far below a millionth of it.
    float magnitude = 0.0f;
    for (int j = 0; j < 4; ++j) {
        float sum = std::abs(m.m[3][j]);
        for (int a = 0; a < 3; ++a)
            sum += std::abs(m.m[a][j]) * std::max(std::abs(box.min[a]), std::abs(box.max[a]));
        magnitude = std::max(magnitude, sum);
    }
    if (!std::isfinite(magnitude))
        return all; // not a number somewhere: never skipped
    const float margin = 1e-5f * magnitude;
    // Wholly beyond the left, right, top, bottom or near plane, by more than
    // any rounding: each triangle inside has its three corners beyond it.
    const auto beyond = [&](auto distance) {
        for (const ClipPoint& c : corner)
            if (!(distance(c) < -margin))
                return false;
        return true;
    };
    if (beyond([](const ClipPoint& c) { return c.x + c.w; }) || beyond([](const ClipPoint& c) { return c.w - c.x; })
        || beyond([](const ClipPoint& c) { return c.w - c.y; }) || beyond([](const ClipPoint& c) { return c.y + c.w; })
        || beyond([](const ClipPoint& c) { return c.z; }))
        return {1, 0};
    // In front of the eye, the box projects inside the span of its corners'
    // projections, and so does every triangle in it, clipped or not.
    double top = 0.0, bottom = 0.0;
    for (int k = 0; k < 8; ++k) {
        const ClipPoint& c = corner[k];
        if (!(c.w > margin))
            return all;
        const double y = (1.0 - double(c.y) / c.w) * (size / 2.0);
        top = k == 0 ? y : std::min(top, y);
        bottom = k == 0 ? y : std::max(bottom, y);
    }
    // Two rows more on each side for the snapping of vertices and pixel centres.
    const double pad = 2.0 + 1e-3 * std::max(std::abs(top), std::abs(bottom));
    return {int(std::clamp(std::floor(top - pad), -1.0, double(size))),
            int(std::clamp(std::ceil(bottom + pad), -1.0, double(size)))};
}

} // namespace raster

using namespace raster;

namespace {

std::atomic<RasterPath> g_path{RasterPath::Automatic};

} // namespace

FrameTarget::FrameTarget(int size)
    : m_size(size), m_color(size, size, QImage::Format_RGB32), m_depth(std::size_t(size) * size, 1.0f)
{
}

void FrameTarget::clear(PixelColor color, float depth)
{
    FrameClear{true, true, color, depth}.apply(pixels(), m_depth.data(), m_size, 0, m_size);
}

void FrameClear::apply(PixelColor* pixels, float* depthBuffer, int size, int rowBegin, int rowEnd) const
{
    const std::size_t begin = std::size_t(rowBegin) * size, end = std::size_t(rowEnd) * size;
#ifdef TOLVA_HAVE_AVX2
    if (ActiveRasterPath() != RasterPath::Baseline) {
        // Eight values a store: the rows are written twice as fast while
        // they fit the processor's cache, as a band of 450 rows does.
        if (color)
            raster::FillAvx2(pixels + begin, end - begin, colorValue);
        if (depth)
            raster::FillAvx2(reinterpret_cast<std::uint32_t*>(depthBuffer + begin), end - begin,
                             std::bit_cast<std::uint32_t>(depthValue));
        return;
    }
#endif
    if (color)
        std::fill(pixels + begin, pixels + end, colorValue);
    if (depth)
        std::fill(depthBuffer + begin, depthBuffer + end, depthValue);
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
#ifdef TOLVA_HAVE_AVX2
    return __builtin_cpu_supports("avx2");
#else
    return false; // not an x86-64 build: RasterizerAvx2.cpp is not compiled in
#endif
}

bool Avx512Available()
{
#ifdef TOLVA_HAVE_AVX2
    return Avx2Available() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl")
        && __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw");
#else
    return false;
#endif
}

RasterPath ActiveRasterPath()
{
    RasterPath path = g_path.load();
    if ((path == RasterPath::Automatic || path == RasterPath::Avx512) && !Avx512Available())
        path = RasterPath::Avx2;
    if (path == RasterPath::Avx2 && !Avx2Available())
        path = RasterPath::Baseline;
    return path == RasterPath::Automatic ? RasterPath::Avx512 : path;
}

namespace {

// The bands of a frame: as many as asked, or one per core, and never less
// than 8 rows each.
int BandCount(int asked, int size)
{
    const int cores = int(std::thread::hardware_concurrency());
    const int wanted = asked > 0 ? asked : std::clamp(cores, 1, kMaxBands);
    return std::max(1, std::min(wanted, size / 8));
}

// Where the bands split the rows: at the bands' shares of the expected work,
// each chunk's triangles taken as spread evenly over the rows it can reach,
// and every row as costing a little for its clear. Any split draws the same
// frame.
void BalanceBands(const std::vector<RowSpan>& chunkRows, int size, const std::vector<float>& shares,
                  std::vector<float>& work, std::vector<int>& edges)
{
    const int bands = int(shares.size());
    edges.assign(std::size_t(bands) + 1, size);
    edges[0] = 0;
    work.assign(std::size_t(size) + 1, 0.0f);
    float total = 0.0f;
    for (const RowSpan& rows : chunkRows) {
        const int first = std::max(rows.first, 0), last = std::min(rows.last, size - 1);
        if (first > last)
            continue;
        const float share = 1.0f / float(last - first + 1);
        work[first] += share; // a running sum below spreads it over the span
        work[last + 1] -= share;
        total += 1.0f;
    }
    const float clearing = 0.1f * std::max(total, 1.0f) / float(size);
    total += clearing * float(size);
    float perRow = 0.0f, done = 0.0f, upTo = shares[0];
    int band = 1;
    for (int row = 0; row < size && band < bands; ++row) {
        perRow += work[row];
        done += perRow + clearing;
        while (band < bands && done >= total * upTo) {
            edges[band] = row + 1;
            upTo += shares[band++];
        }
    }
}

} // namespace

void raster::AdjustBandShares(std::vector<float>& shares, const std::vector<double>& seconds)
{
    const int bands = int(shares.size());
    double mean = 0.0;
    for (const double t : seconds)
        mean += t / bands;
    if (!(mean > 0.0))
        return; // a clock too coarse to measure the bands: the split stays
    float sum = 0.0f;
    for (int b = 0; b < bands; ++b) {
        // A band that took no measurable time counts as twice as quick.
        const double off = seconds[b] > 0.0 ? mean / seconds[b] : 2.0;
        shares[b] *= float(std::sqrt(std::clamp(off, 0.5, 2.0)));
        sum += shares[b];
    }
    for (float& part : shares)
        part /= sum;
}

void DrawPreparedScene(FrameTarget& target, const PreparedScene& scene, const Matrix4& viewProjection,
                       FillMode mode, RasterScratch& s, const FrameClear& clear)
{
    if (target.image().isNull())
        return;
    const std::size_t n = scene.x.size();
    s.screen.resize(n);
    s.cx.resize(n); s.cy.resize(n); s.cz.resize(n); s.cw.resize(n);
    const int size = target.size();
    if (!s.workers || s.workers->bands() != BandCount(s.bands, size)) {
        try {
            s.workers = std::make_unique<BandWorkers>(BandCount(s.bands, size));
        } catch (const std::system_error&) {
            // No threads to be had: one band on this thread, from now on.
            s.bands = 1;
            s.workers = std::make_unique<BandWorkers>(1);
        }
    }
    const int bands = s.workers->bands();
    const float half = size / 2.0f;
    const RasterPath path = ActiveRasterPath();
    [[maybe_unused]] const bool avx2 = path != RasterPath::Baseline;
    // Each band transforms a share of the positions (in whole vectors of
    // eight), then, once all are placed, draws its rows.
    // The chunks' reach, when the scene has its chunk boxes.
    const std::size_t triangles = scene.triangleCount();
    const std::size_t chunks = (triangles + kChunkTriangles - 1) / kChunkTriangles;
    const bool chunked = scene.chunks.size() == chunks;
    s.chunkRows.resize(chunked ? chunks : 0);
    const auto share = [bands](std::size_t count, int band) {
        return band == bands ? count : std::min(count, (count * band / bands + 7) & ~std::size_t(7));
    };
    // Each band transforms a share of the positions (in whole vectors of
    // eight) and bounds a share of the chunks, then, once all are done,
    // draws its rows.
    s.workers->run([&](int band) {
        const std::size_t begin = share(n, band), end = share(n, band + 1);
#ifdef TOLVA_HAVE_AVX2
        if (avx2)
            TransformAvx2(scene, viewProjection, half, s, begin, end);
        else
#endif
            TransformBaseline(scene, viewProjection, half, s, begin, end);
        if (chunked) {
            const std::size_t first = share(chunks, band), last = share(chunks, band + 1);
#ifdef TOLVA_HAVE_AVX2
            if (avx2) {
                ChunkRowsAvx2(scene.chunks.data() + first, last - first, viewProjection, size,
                              s.chunkRows.data() + first);
                return;
            }
#endif
            for (std::size_t c = first; c < last; ++c)
                s.chunkRows[c] = ChunkRows(scene.chunks[c], viewProjection, size);
        }
    });
    // Once, on this thread: a picture still shared with an earlier frame's
    // reader is copied here, not by each band.
    PixelColor* const pixels = target.pixels();
    float* const depth = target.depth();
    // The threads do not draw equally fast (one may share its core with other
    // work), so each band's share of the work follows how long it took.
    if (s.bandShares.size() != std::size_t(bands))
        s.bandShares.assign(std::size_t(bands), 1.0f / float(bands));
    s.bandSeconds.assign(std::size_t(bands), 0.0);
    BalanceBands(chunked ? s.chunkRows : std::vector<RowSpan>{}, size, s.bandShares, s.rowWork, s.bandEdges);
    const auto drawBand = [&](int band) {
        const Raster raster{pixels, depth, size, s.bandEdges[band], s.bandEdges[band + 1]};
        if (clear.any())
            clear.apply(pixels, depth, size, raster.rowBegin, raster.rowEnd);
        const auto draw = [&](std::size_t first, std::size_t end) {
#ifdef TOLVA_HAVE_AVX2
            if (avx2) {
                DrawTrianglesAvx2(raster, scene, mode, half, s, first, end, path == RasterPath::Avx512);
                return;
            }
#endif
            DrawTrianglesBaseline(raster, scene, mode, half, s, first, end);
        };
        if (!chunked) {
            draw(0, triangles);
            return;
        }
        // Runs of chunks that reach this band, in order.
        std::size_t run = 0;
        for (std::size_t c = 0; c < chunks; ++c) {
            const RowSpan rows = s.chunkRows[c];
            if (rows.first <= rows.last && rows.last >= raster.rowBegin && rows.first < raster.rowEnd)
                continue;
            if (run < c)
                draw(run * kChunkTriangles, c * kChunkTriangles);
            run = c + 1;
        }
        if (run < chunks)
            draw(run * kChunkTriangles, triangles);
    };
    s.workers->run([&](int band) {
        const auto start = std::chrono::steady_clock::now();
        drawBand(band);
        s.bandSeconds[band] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
    if (bands > 1)
        AdjustBandShares(s.bandShares, s.bandSeconds);
}

} // namespace tolva

