// The rasterizer's AVX2 code: the same rules and the same arithmetic as the
// baseline code, so that both draw identical frames; chosen at run time on
// processors that have AVX2 (see ActiveRasterPath).
#include "render/RasterizerInternal.h"

#include <immintrin.h>

#include <bit>
#include <cstddef>
#include <type_traits>

namespace tolva::raster {

// The same fill, eight pixels of a row at a time.
__attribute__((target("avx2"))) void FillSmallAvx2(const Raster& target, const SmallSetup& t)
{
    const int width = t.px1 - t.px0 + 1;
    const BandRows rows = RowsInBand(target, t);
    if (rows.first > rows.last)
        return;
    if (width == 1 && t.py0 == t.py1) {
        // One candidate pixel, as distant triangles mostly have: the same
        // test and the same depth steps as the pixel-by-pixel fill.
        if ((t.e[0] | t.e[1] | t.e[2]) < 0)
            return;
        const std::size_t i = std::size_t(t.py0) * target.size + t.px0;
        const float z = (t.z0 + float(0) * t.dzdy) + float(0) * t.dzdx;
        if (z <= target.depth[i]) {
            target.depth[i] = z;
            target.pixels[i] = t.color;
        }
        return;
    }
    const __m256 dzdx = _mm256_set1_ps(t.dzdx);
    const __m256i color = _mm256_set1_epi32(std::int32_t(t.color));
    // Whole rows of four or eight pixels are read and written back, the pixels
    // outside the triangle unchanged: masked stores are slow on some
    // processors. Those rows must lie within the target's row and within the
    // band, which another thread may be drawing next to this one.
    const int top = t.py0 + rows.first;
    if (width <= 4 && t.px0 + 4 <= target.size && top + ((rows.last - rows.first) | 1) < target.rowEnd) {
        // Small triangles: four pixels of two rows per vector.
        const __m256i kx = _mm256_setr_epi32(0, 1, 2, 3, 0, 1, 2, 3);
        const __m256i ky = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
        const auto offset = [&](int k) __attribute__((target("avx2"))) {
            return _mm256_add_epi32(_mm256_mullo_epi32(kx, _mm256_set1_epi32(t.stepX[k])),
                                    _mm256_mullo_epi32(ky, _mm256_set1_epi32(t.stepY[k])));
        };
        // The edge values at the first row in the band.
        const auto start = [&](int k) __attribute__((target("avx2"))) {
            return _mm256_add_epi32(_mm256_set1_epi32(t.e[k] + rows.first * t.stepY[k]), offset(k));
        };
        __m256i e0 = start(0), e1 = start(1), e2 = start(2);
        const __m256i down0 = _mm256_set1_epi32(2 * t.stepY[0]);
        const __m256i down1 = _mm256_set1_epi32(2 * t.stepY[1]);
        const __m256i down2 = _mm256_set1_epi32(2 * t.stepY[2]);
        const __m256i inBoxX = _mm256_cmpgt_epi32(_mm256_set1_epi32(width), kx);
        const __m256 laneZ = _mm256_mul_ps(_mm256_cvtepi32_ps(kx), dzdx);
        std::size_t row = std::size_t(top) * target.size + t.px0;
        for (int r = rows.first; r <= rows.last; r += 2, row += 2 * std::size_t(target.size),
                 e0 = _mm256_add_epi32(e0, down0), e1 = _mm256_add_epi32(e1, down1),
                 e2 = _mm256_add_epi32(e2, down2)) {
            const __m256i inBox = _mm256_and_si256(inBoxX, _mm256_cmpgt_epi32(_mm256_set1_epi32(rows.last + 1 - r), ky));
            const __m256i inside = _mm256_andnot_si256(
                _mm256_srai_epi32(_mm256_or_si256(_mm256_or_si256(e0, e1), e2), 31), inBox);
            // No test for an empty row pair: writing back what was read costs
            // less than a branch that cannot be predicted.
            // zRow + k dzdx for each of the two rows, the steps of the pixel-by-pixel fill.
            const __m256 zRows = _mm256_set_m128(_mm_set1_ps(t.z0 + float(r + 1) * t.dzdy),
                                                 _mm_set1_ps(t.z0 + float(r) * t.dzdy));
            const __m256 z = _mm256_add_ps(zRows, laneZ);
            float* d0 = target.depth + row;
            float* d1 = d0 + target.size;
            PixelColor* c0 = target.pixels + row;
            PixelColor* c1 = c0 + target.size;
            const __m256 old = _mm256_set_m128(_mm_loadu_ps(d1), _mm_loadu_ps(d0));
            const __m256 pass = _mm256_and_ps(_mm256_castsi256_ps(inside), _mm256_cmp_ps(z, old, _CMP_LE_OQ));
            const __m256 depth = _mm256_blendv_ps(old, z, pass);
            _mm_storeu_ps(d0, _mm256_castps256_ps128(depth));
            _mm_storeu_ps(d1, _mm256_extractf128_ps(depth, 1));
            const __m256 oldColor = _mm256_castsi256_ps(_mm256_set_m128i(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(c1)),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(c0))));
            const __m256 colors = _mm256_blendv_ps(oldColor, _mm256_castsi256_ps(color), pass);
            _mm_storeu_ps(reinterpret_cast<float*>(c0), _mm256_castps256_ps128(colors));
            _mm_storeu_ps(reinterpret_cast<float*>(c1), _mm256_extractf128_ps(colors, 1));
        }
        return;
    }
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i step0 = _mm256_mullo_epi32(lane, _mm256_set1_epi32(t.stepX[0]));
    const __m256i step1 = _mm256_mullo_epi32(lane, _mm256_set1_epi32(t.stepX[1]));
    const __m256i step2 = _mm256_mullo_epi32(lane, _mm256_set1_epi32(t.stepX[2]));
    const __m256 laneF = _mm256_cvtepi32_ps(lane);
    if (width <= 8 && t.px0 + 8 <= target.size) {
        // Most terrain triangles: one vector per row.
        const __m256i inBox = _mm256_cmpgt_epi32(_mm256_set1_epi32(width), lane);
        const __m256 laneZ = _mm256_mul_ps(laneF, dzdx);
        std::size_t row = std::size_t(top) * target.size + t.px0;
        __m256i e0 = _mm256_add_epi32(_mm256_set1_epi32(t.e[0] + rows.first * t.stepY[0]), step0);
        __m256i e1 = _mm256_add_epi32(_mm256_set1_epi32(t.e[1] + rows.first * t.stepY[1]), step1);
        __m256i e2 = _mm256_add_epi32(_mm256_set1_epi32(t.e[2] + rows.first * t.stepY[2]), step2);
        const __m256i down0 = _mm256_set1_epi32(t.stepY[0]);
        const __m256i down1 = _mm256_set1_epi32(t.stepY[1]);
        const __m256i down2 = _mm256_set1_epi32(t.stepY[2]);
        for (int r = rows.first; r <= rows.last; ++r, row += target.size,
                 e0 = _mm256_add_epi32(e0, down0), e1 = _mm256_add_epi32(e1, down1),
                 e2 = _mm256_add_epi32(e2, down2)) {
            const __m256i inside = _mm256_andnot_si256(
                _mm256_srai_epi32(_mm256_or_si256(_mm256_or_si256(e0, e1), e2), 31), inBox);
            if (_mm256_testz_si256(inside, inside))
                continue;
            // zRow + k dzdx, the very steps of the pixel-by-pixel fill.
            const __m256 z = _mm256_add_ps(_mm256_set1_ps(t.z0 + float(r) * t.dzdy), laneZ);
            float* d = target.depth + row;
            __m256i* c = reinterpret_cast<__m256i*>(target.pixels + row);
            const __m256 old = _mm256_loadu_ps(d);
            const __m256 pass = _mm256_and_ps(_mm256_castsi256_ps(inside), _mm256_cmp_ps(z, old, _CMP_LE_OQ));
            _mm256_storeu_ps(d, _mm256_blendv_ps(old, z, pass));
            _mm256_storeu_si256(c, _mm256_castps_si256(_mm256_blendv_ps(
                                       _mm256_castsi256_ps(_mm256_loadu_si256(c)), _mm256_castsi256_ps(color), pass)));
        }
        return;
    }
    const __m256i eight0 = _mm256_set1_epi32(t.stepX[0] * 8);
    const __m256i eight1 = _mm256_set1_epi32(t.stepX[1] * 8);
    const __m256i eight2 = _mm256_set1_epi32(t.stepX[2] * 8);
    for (int r = rows.first; r <= rows.last; ++r) {
        __m256i e0 = _mm256_add_epi32(_mm256_set1_epi32(t.e[0] + r * t.stepY[0]), step0);
        __m256i e1 = _mm256_add_epi32(_mm256_set1_epi32(t.e[1] + r * t.stepY[1]), step1);
        __m256i e2 = _mm256_add_epi32(_mm256_set1_epi32(t.e[2] + r * t.stepY[2]), step2);
        const __m256 zRow = _mm256_set1_ps(t.z0 + float(r) * t.dzdy);
        const std::size_t row = std::size_t(t.py0 + r) * target.size + t.px0;
        for (int k = 0; k < width; k += 8) {
            // Lanes past the box's right side stay untouched.
            const __m256i inBox = _mm256_cmpgt_epi32(_mm256_set1_epi32(width - k), lane);
            const __m256i inside = _mm256_andnot_si256(
                _mm256_srai_epi32(_mm256_or_si256(_mm256_or_si256(e0, e1), e2), 31), inBox);
            if (!_mm256_testz_si256(inside, inside)) {
                const __m256 kF = _mm256_add_ps(_mm256_set1_ps(float(k)), laneF);
                const __m256 z = _mm256_add_ps(zRow, _mm256_mul_ps(kF, dzdx));
                float* d = target.depth + row + k;
                const __m256 old = _mm256_maskload_ps(d, inside);
                const __m256i pass = _mm256_and_si256(
                    inside, _mm256_castps_si256(_mm256_cmp_ps(z, old, _CMP_LE_OQ)));
                _mm256_maskstore_ps(d, pass, z);
                _mm256_maskstore_epi32(reinterpret_cast<int*>(target.pixels + row + k), pass, color);
            }
            e0 = _mm256_add_epi32(e0, eight0);
            e1 = _mm256_add_epi32(e1, eight1);
            e2 = _mm256_add_epi32(e2, eight2);
        }
    }
}

// The same transform eight vertices at a time, with the same float steps (no
// fused multiply-add), so that both paths place every vertex identically.
namespace {

// The outcode bit in the lanes that a comparison selected.
__attribute__((target("avx2"))) inline __m256i OutcodeBits(__m256 mask, std::uint32_t bit)
{
    return _mm256_and_si256(_mm256_castps_si256(mask), _mm256_set1_epi32(std::int32_t(bit)));
}

} // namespace

__attribute__((target("avx2"))) void TransformAvx2(const PreparedScene& scene, const Matrix4& m,
                                                   float half, RasterScratch& s, std::size_t begin,
                                                   std::size_t n)
{
    std::size_t i = begin;
    const float scale = half * kSub;
    const __m256 vScale = _mm256_set1_ps(scale), one = _mm256_set1_ps(1.0f);
    const __m256 guard = _mm256_set1_ps(kGuardBand), zero = _mm256_setzero_ps();
    const __m256 absMask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
    const __m256 smallest = _mm256_set1_ps(std::numeric_limits<float>::min());
    const __m256 largest = _mm256_set1_ps(std::numeric_limits<float>::max());
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
        // Projectable and within the guard band: |x| and |y| up to 8 w and
        // finite, w a normal positive number.
        const __m256 gw = _mm256_min_ps(_mm256_mul_ps(guard, w), largest);
        const __m256 inGuard = _mm256_and_ps(
            _mm256_and_ps(_mm256_cmp_ps(_mm256_and_ps(c[0], absMask), gw, _CMP_LE_OQ),
                          _mm256_cmp_ps(_mm256_and_ps(c[1], absMask), gw, _CMP_LE_OQ)),
            _mm256_cmp_ps(w, smallest, _CMP_GE_OQ));
        const __m256 behind = _mm256_cmp_ps(c[2], zero, _CMP_LT_OQ);
        __m256i code = OutcodeBits(_mm256_cmp_ps(c[0], negW, _CMP_LT_OQ), kLeft);
        code = _mm256_or_si256(code, OutcodeBits(_mm256_cmp_ps(c[0], w, _CMP_GT_OQ), kRight));
        code = _mm256_or_si256(code, OutcodeBits(_mm256_cmp_ps(c[1], w, _CMP_GT_OQ), kTop));
        code = _mm256_or_si256(code, OutcodeBits(_mm256_cmp_ps(c[1], negW, _CMP_LT_OQ), kBottom));
        code = _mm256_or_si256(code, OutcodeBits(behind, kNear));
        code = _mm256_or_si256(code, _mm256_andnot_si256(_mm256_castps_si256(inGuard), _mm256_set1_epi32(kGuard)));
        // Projection; lanes that need clipping get zeros, as TransformOne gives them.
        const __m256 safe = _mm256_andnot_ps(behind, inGuard);
        const __m256 inv = _mm256_div_ps(one, w);
        const __m256 px = _mm256_add_ps(_mm256_mul_ps(_mm256_mul_ps(c[0], inv), vScale), vScale);
        const __m256 py = _mm256_sub_ps(vScale, _mm256_mul_ps(_mm256_mul_ps(c[1], inv), vScale));
        const __m256i sx = _mm256_cvtps_epi32(_mm256_and_ps(px, safe));
        const __m256i sy = _mm256_cvtps_epi32(_mm256_and_ps(py, safe));
        const __m256i sz = _mm256_castps_si256(_mm256_and_ps(_mm256_mul_ps(c[2], inv), safe));
        // Eight records x, y, z, outcode from the four vectors: [0 | 4], [1 | 5] ...
        // after the unpacks, then in order.
        const __m256i xy0 = _mm256_unpacklo_epi32(sx, sy), xy1 = _mm256_unpackhi_epi32(sx, sy);
        const __m256i zc0 = _mm256_unpacklo_epi32(sz, code), zc1 = _mm256_unpackhi_epi32(sz, code);
        const __m256i r0 = _mm256_unpacklo_epi64(xy0, zc0), r1 = _mm256_unpackhi_epi64(xy0, zc0);
        const __m256i r2 = _mm256_unpacklo_epi64(xy1, zc1), r3 = _mm256_unpackhi_epi64(xy1, zc1);
        __m256i* out = reinterpret_cast<__m256i*>(s.screen.data() + i);
        _mm256_storeu_si256(out, _mm256_permute2x128_si256(r0, r1, 0x20));
        _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(r2, r3, 0x20));
        _mm256_storeu_si256(out + 2, _mm256_permute2x128_si256(r0, r1, 0x31));
        _mm256_storeu_si256(out + 3, _mm256_permute2x128_si256(r2, r3, 0x31));
    }
    for (; i < n; ++i)
        TransformOne(scene, m, half, s, i);
}

__attribute__((target("avx2"))) void FillAvx2(std::uint32_t* to, std::size_t count, std::uint32_t value)
{
    const __m256i v = _mm256_set1_epi32(std::int32_t(value));
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + i), v);
    for (; i < count; ++i)
        to[i] = value;
}

// The same bounds as ChunkRows, for many boxes: two corners of a box per
// vector (x, y, z, w in each half), all in float. The rows found differ
// from ChunkRows' by a fraction of a row at most, well inside the margin of
// two rows, and a box wholly beyond a plane is found with the same margin.
__attribute__((target("avx2"))) void ChunkRowsAvx2(const ChunkBox* boxes, std::size_t count, const Matrix4& m,
                                                   int size, RowSpan* rows)
{
    const __m128 row[4] = {_mm_loadu_ps(m.m[0]), _mm_loadu_ps(m.m[1]), _mm_loadu_ps(m.m[2]), _mm_loadu_ps(m.m[3])};
    const __m128 signBit = _mm_set1_ps(-0.0f);
    const __m128 absRow[4] = {_mm_andnot_ps(signBit, row[0]), _mm_andnot_ps(signBit, row[1]),
                              _mm_andnot_ps(signBit, row[2]), _mm_andnot_ps(signBit, row[3])};
    const float halfSize = float(size) / 2.0f;
    for (std::size_t b = 0; b < count; ++b) {
        const ChunkBox& box = boxes[b];
        const __m128 origin = _mm_add_ps(
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(box.min[0]), row[0]), _mm_mul_ps(_mm_set1_ps(box.min[1]), row[1])),
                       _mm_mul_ps(_mm_set1_ps(box.min[2]), row[2])),
            row[3]);
        __m128 edge[3];
        __m128 magnitude = absRow[3];
        for (int a = 0; a < 3; ++a) {
            edge[a] = _mm_mul_ps(_mm_set1_ps(box.max[a] - box.min[a]), row[a]);
            const float largest = std::max(std::abs(box.min[a]), std::abs(box.max[a]));
            magnitude = _mm_add_ps(magnitude, _mm_mul_ps(absRow[a], _mm_set1_ps(largest)));
        }
        // Corners 2p (low half) and 2p + 1 (high half): bit 0 of the corner
        // number takes the first edge, bit 1 the second, bit 2 the third.
        const __m256 c0 = _mm256_add_ps(_mm256_set_m128(origin, origin),
                                        _mm256_set_m128(edge[0], _mm_setzero_ps()));
        const __m256 e1 = _mm256_set_m128(edge[1], edge[1]), e2 = _mm256_set_m128(edge[2], edge[2]);
        const __m256 corner[4] = {c0, _mm256_add_ps(c0, e1), _mm256_add_ps(c0, e2),
                                  _mm256_add_ps(_mm256_add_ps(c0, e1), e2)};
        // Not a number or beyond floats anywhere: never skipped.
        __m256 finite = _mm256_castsi256_ps(_mm256_set1_epi32(-1));
        for (const __m256& c : corner)
            finite = _mm256_and_ps(finite, _mm256_cmp_ps(_mm256_sub_ps(c, c), _mm256_setzero_ps(), _CMP_EQ_OQ));
        __m128 widest = _mm_max_ps(magnitude, _mm_movehl_ps(magnitude, magnitude));
        widest = _mm_max_ss(widest, _mm_shuffle_ps(widest, widest, 1));
        const float largestTerm = _mm_cvtss_f32(widest);
        if (_mm256_movemask_ps(finite) != 0xFF || !std::isfinite(largestTerm)) {
            rows[b] = {0, size - 1};
            continue;
        }
        const float margin = 1e-5f * largestTerm;
        const __m256 below = _mm256_set1_ps(-margin);
        // Lanes x, y of w + c: left, bottom; of w - c: right, top; lane z of c: near.
        __m256 beyondLow = _mm256_castsi256_ps(_mm256_set1_epi32(-1)), beyondHigh = beyondLow;
        __m256 low = _mm256_set1_ps(std::numeric_limits<float>::infinity()), high = _mm256_sub_ps(_mm256_setzero_ps(), low);
        __m256 inFront = _mm256_castsi256_ps(_mm256_set1_epi32(-1));
        for (const __m256& c : corner) {
            const __m256 w = _mm256_permute_ps(c, 0xFF);
            const __m256 plus = _mm256_blend_ps(_mm256_add_ps(w, c), c, 0x44); // lane z: c.z itself
            beyondLow = _mm256_and_ps(beyondLow, _mm256_cmp_ps(plus, below, _CMP_LT_OQ));
            beyondHigh = _mm256_and_ps(beyondHigh, _mm256_cmp_ps(_mm256_sub_ps(w, c), below, _CMP_LT_OQ));
            inFront = _mm256_and_ps(inFront, _mm256_cmp_ps(w, _mm256_set1_ps(margin), _CMP_GT_OQ));
            const __m256 projected = _mm256_div_ps(c, w); // lane y: y / w
            low = _mm256_min_ps(low, projected);
            high = _mm256_max_ps(high, projected);
        }
        // Both corners of each vector must lie beyond: the two halves together.
        const int lowMask = _mm256_movemask_ps(beyondLow), highMask = _mm256_movemask_ps(beyondHigh);
        const int both = (lowMask & (lowMask >> 4)) | ((highMask & (highMask >> 4)) << 4);
        // Bits 0, 1, 2: left, bottom, near; bits 4, 5: right, top.
        if (both & 0x37) {
            rows[b] = {1, 0};
            continue;
        }
        if ((_mm256_movemask_ps(inFront) & 0x88) != 0x88) {
            rows[b] = {0, size - 1};
            continue;
        }
        // In front of the eye, the box projects inside the span of its corners'
        // projections; screen y runs down: 1 - y/w.
        const float yLow = std::min(_mm256_cvtss_f32(_mm256_permute_ps(low, 0x55)),
                                    _mm_cvtss_f32(_mm_permute_ps(_mm256_extractf128_ps(low, 1), 0x55)));
        const float yHigh = std::max(_mm256_cvtss_f32(_mm256_permute_ps(high, 0x55)),
                                     _mm_cvtss_f32(_mm_permute_ps(_mm256_extractf128_ps(high, 1), 0x55)));
        const float top = (1.0f - yHigh) * halfSize, bottom = (1.0f - yLow) * halfSize;
        if (!(std::isfinite(top) && std::isfinite(bottom))) {
            rows[b] = {0, size - 1}; // projects beyond floats: never skipped
            continue;
        }
        // Two rows more on each side for the snapping of vertices and pixel
        // centres, and a little for the float steps.
        const float pad = 2.0f + 1e-3f * std::max(std::abs(top), std::abs(bottom));
        rows[b] = {int(std::clamp(std::floor(top - pad), -1.0f, float(size))),
                   int(std::clamp(std::ceil(bottom + pad), -1.0f, float(size)))};
    }
}

namespace {

// Two small triangles after one another (the two halves of a terrain cell)
// whose boxes fit four pixels across: both filled in one pass over their
// rows, the first before the second at every pixel, with the same edge and
// depth values each would have alone. Only the rows top .. bottom of their
// shared box are drawn: those in the band.
__attribute__((target("avx2"))) void FillPairAvx2(const Raster& target, const SmallSetup& a, const SmallSetup& b,
                                                  int top, int bottom)
{
    const int ux0 = std::min(a.px0, b.px0);
    const int height = bottom - top + 1;
    const int width = std::max(a.px1, b.px1) - ux0 + 1;
    const __m256i kx = _mm256_setr_epi32(0, 1, 2, 3, 0, 1, 2, 3);
    const __m256i ky = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
    struct Lanes {
        __m256i e[3], down[3], row;
        __m256 laneZ, z0, dzdy, color;
    };
    const auto lanes = [&](const SmallSetup& t) __attribute__((target("avx2"))) {
        Lanes l;
        // Column and row of each lane within the triangle's own box.
        const __m256i col = _mm256_sub_epi32(kx, _mm256_set1_epi32(t.px0 - ux0));
        l.row = _mm256_sub_epi32(ky, _mm256_set1_epi32(t.py0 - top));
        for (int k = 0; k < 3; ++k) {
            l.e[k] = _mm256_add_epi32(_mm256_set1_epi32(t.e[k]),
                                      _mm256_add_epi32(_mm256_mullo_epi32(col, _mm256_set1_epi32(t.stepX[k])),
                                                       _mm256_mullo_epi32(l.row, _mm256_set1_epi32(t.stepY[k]))));
            l.down[k] = _mm256_set1_epi32(2 * t.stepY[k]);
        }
        l.laneZ = _mm256_mul_ps(_mm256_cvtepi32_ps(col), _mm256_set1_ps(t.dzdx));
        l.z0 = _mm256_set1_ps(t.z0);
        l.dzdy = _mm256_set1_ps(t.dzdy);
        l.color = _mm256_castsi256_ps(_mm256_set1_epi32(std::int32_t(t.color)));
        return l;
    };
    Lanes la = lanes(a), lb = lanes(b);
    const __m256i inBoxX = _mm256_cmpgt_epi32(_mm256_set1_epi32(width), kx);
    const __m256i two = _mm256_set1_epi32(2);
    std::size_t row = std::size_t(top) * target.size + ux0;
    for (int r = 0; r < height; r += 2, row += 2 * std::size_t(target.size)) {
        const __m256i inBox = _mm256_and_si256(inBoxX, _mm256_cmpgt_epi32(_mm256_set1_epi32(height - r), ky));
        float* d0 = target.depth + row;
        float* d1 = d0 + target.size;
        PixelColor* c0 = target.pixels + row;
        PixelColor* c1 = c0 + target.size;
        __m256 depth = _mm256_set_m128(_mm_loadu_ps(d1), _mm_loadu_ps(d0));
        __m256 colors = _mm256_castsi256_ps(_mm256_set_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c1)),
                                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(c0))));
        for (Lanes* l : {&la, &lb}) {
            const __m256 inside = _mm256_castsi256_ps(_mm256_andnot_si256(
                _mm256_srai_epi32(_mm256_or_si256(_mm256_or_si256(l->e[0], l->e[1]), l->e[2]), 31), inBox));
            // (z0 + row dzdy) + column dzdx, as the pixel-by-pixel fill steps.
            const __m256 z = _mm256_add_ps(_mm256_add_ps(l->z0, _mm256_mul_ps(_mm256_cvtepi32_ps(l->row), l->dzdy)),
                                           l->laneZ);
            const __m256 pass = _mm256_and_ps(inside, _mm256_cmp_ps(z, depth, _CMP_LE_OQ));
            depth = _mm256_blendv_ps(depth, z, pass);
            colors = _mm256_blendv_ps(colors, l->color, pass);
            for (int k = 0; k < 3; ++k)
                l->e[k] = _mm256_add_epi32(l->e[k], l->down[k]);
            l->row = _mm256_add_epi32(l->row, two);
        }
        _mm_storeu_ps(d0, _mm256_castps256_ps128(depth));
        _mm_storeu_ps(d1, _mm256_extractf128_ps(depth, 1));
        _mm_storeu_ps(reinterpret_cast<float*>(c0), _mm256_castps256_ps128(colors));
        _mm_storeu_ps(reinterpret_cast<float*>(c1), _mm256_extractf128_ps(colors, 1));
    }
}

// The same for two neighbours whose shared box is up to eight pixels across:
// one row of eight pixels at a time, read and written once for both.
__attribute__((target("avx2"))) void FillPairWideAvx2(const Raster& target, const SmallSetup& a,
                                                      const SmallSetup& b, int top, int bottom)
{
    const int ux0 = std::min(a.px0, b.px0);
    const int width = std::max(a.px1, b.px1) - ux0 + 1;
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i inBox = _mm256_cmpgt_epi32(_mm256_set1_epi32(width), lane);
    struct Lanes {
        __m256i e[3], down[3];
        __m256 laneZ, color;
    };
    const auto lanes = [&](const SmallSetup& t) __attribute__((target("avx2"))) {
        Lanes l;
        // Column of each lane within the triangle's own box; edge values at row top.
        const __m256i col = _mm256_sub_epi32(lane, _mm256_set1_epi32(t.px0 - ux0));
        for (int k = 0; k < 3; ++k) {
            l.e[k] = _mm256_add_epi32(_mm256_set1_epi32(t.e[k] + (top - t.py0) * t.stepY[k]),
                                      _mm256_mullo_epi32(col, _mm256_set1_epi32(t.stepX[k])));
            l.down[k] = _mm256_set1_epi32(t.stepY[k]);
        }
        l.laneZ = _mm256_mul_ps(_mm256_cvtepi32_ps(col), _mm256_set1_ps(t.dzdx));
        l.color = _mm256_castsi256_ps(_mm256_set1_epi32(std::int32_t(t.color)));
        return l;
    };
    Lanes la = lanes(a), lb = lanes(b);
    std::size_t row = std::size_t(top) * target.size + ux0;
    for (int r = top; r <= bottom; ++r, row += target.size) {
        const __m256 insideA = _mm256_castsi256_ps(_mm256_andnot_si256(
            _mm256_srai_epi32(_mm256_or_si256(_mm256_or_si256(la.e[0], la.e[1]), la.e[2]), 31), inBox));
        const __m256 insideB = _mm256_castsi256_ps(_mm256_andnot_si256(
            _mm256_srai_epi32(_mm256_or_si256(_mm256_or_si256(lb.e[0], lb.e[1]), lb.e[2]), 31), inBox));
        for (int k = 0; k < 3; ++k) {
            la.e[k] = _mm256_add_epi32(la.e[k], la.down[k]);
            lb.e[k] = _mm256_add_epi32(lb.e[k], lb.down[k]);
        }
        if (_mm256_testz_ps(_mm256_or_ps(insideA, insideB), _mm256_or_ps(insideA, insideB)))
            continue;
        float* d = target.depth + row;
        __m256i* c = reinterpret_cast<__m256i*>(target.pixels + row);
        __m256 depth = _mm256_loadu_ps(d);
        __m256 colors = _mm256_castsi256_ps(_mm256_loadu_si256(c));
        // zRow + k dzdx with zRow = z0 + (row in the triangle's box) dzdy, as
        // the pixel-by-pixel fill steps; the first triangle before the second.
        const __m256 zA = _mm256_add_ps(_mm256_set1_ps(a.z0 + float(r - a.py0) * a.dzdy), la.laneZ);
        const __m256 passA = _mm256_and_ps(insideA, _mm256_cmp_ps(zA, depth, _CMP_LE_OQ));
        depth = _mm256_blendv_ps(depth, zA, passA);
        colors = _mm256_blendv_ps(colors, la.color, passA);
        const __m256 zB = _mm256_add_ps(_mm256_set1_ps(b.z0 + float(r - b.py0) * b.dzdy), lb.laneZ);
        const __m256 passB = _mm256_and_ps(insideB, _mm256_cmp_ps(zB, depth, _CMP_LE_OQ));
        _mm256_storeu_ps(d, _mm256_blendv_ps(depth, zB, passB));
        _mm256_storeu_si256(c, _mm256_castps_si256(_mm256_blendv_ps(colors, lb.color, passB)));
    }
}

} // namespace

// One solid triangle that the batch loops (RasterizerSolidBatch.inl) do not set up:
// clipped, large or culled.
__attribute__((target("avx2"))) void SolidTriangleAvx2(const Raster& raster, const PreparedScene& scene,
                                                       float half, const RasterScratch& s, std::size_t t)
{
    const std::uint32_t* c = scene.corners.data() + 3 * t;
    const ScreenVertex& v0 = s.screen[c[0]];
    const ScreenVertex& v1 = s.screen[c[1]];
    const ScreenVertex& v2 = s.screen[c[2]];
    if (v0.outcode & v1.outcode & v2.outcode & kOutside)
        return;
    if ((v0.outcode | v1.outcode | v2.outcode) & (kNear | kGuard)) {
        DrawClipped<true>(raster, s, c, scene.colors[t], FillMode::Solid, half);
        return;
    }
    FillTriangle<true>(raster, {v0.x, v0.y, v0.z}, {v1.x, v1.y, v1.z}, {v2.x, v2.y, v2.z}, scene.colors[t]);
}

#define TOLVA_BATCH_TARGET __attribute__((target("avx2")))
#define TOLVA_BATCH_NAME DrawSolidAvx2
#define TOLVA_BATCH_WIDE 0
#include "render/RasterizerSolidBatch.inl"
#undef TOLVA_BATCH_TARGET
#undef TOLVA_BATCH_NAME
#undef TOLVA_BATCH_WIDE

__attribute__((target("avx2"))) void DrawTrianglesAvx2(const Raster& raster, const PreparedScene& scene,
                                                       FillMode mode, float half, const RasterScratch& s,
                                                       std::size_t first, std::size_t end, bool avx512)
{
    if (mode == FillMode::Solid && avx512)
        DrawSolidAvx512(raster, scene, half, s, first, end);
    else if (mode == FillMode::Solid)
        DrawSolidAvx2(raster, scene, half, s, first, end);
    else
        DrawTriangles<true>(raster, scene, mode, half, s, first, end);
}

} // namespace tolva::raster
