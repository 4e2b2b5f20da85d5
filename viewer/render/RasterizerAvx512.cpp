// The rasterizer's AVX-512 code: fills of the AVX2 path redone with 512-bit
// registers and per-lane masks where the processor has AVX-512 (F, VL, DQ,
// BW), and the loop over solid triangles compiled for it, with these fills
// inline. The same rules and the same arithmetic, so the same frames.
#include "render/RasterizerInternal.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

// GCC 12's AVX-512 conversions start from an undefined register, which its
// own uninitialised-value warning then reports inside the intrinsics.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace tolva::raster {

#define TOLVA_AVX512 __attribute__((target("avx512f,avx512vl,avx512dq,avx512bw")))

namespace {

// Two rows in one vector: lanes 0-7 are eight values of a row from `low`
// on, lanes 8-15 eight of another from `high` on. Both are read and written
// by masked moves, the first row's of the low half, the second's of the
// whole vector from eight values before `high`, so that the lanes outside
// the mask touch no memory, even past the buffer's end. (A masked store of
// the upper half alone may compile to an extract to memory, which faults on
// a masked-off address.)
inline void* EightBefore(void* high)
{
    return reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(high) - 32);
}

TOLVA_AVX512 inline __m512 LoadRows(__mmask16 mask, const float* low, float* high)
{
    const __m512 first = _mm512_castps256_ps512(_mm256_maskz_loadu_ps(__mmask8(mask), low));
    return _mm512_mask_loadu_ps(first, _kand_mask16(mask, 0xFF00), EightBefore(high));
}

TOLVA_AVX512 inline void StoreRows(void* low, void* high, __mmask16 mask, __m512 values)
{
    _mm256_mask_storeu_ps(static_cast<float*>(low), __mmask8(mask), _mm512_castps512_ps256(values));
    _mm512_mask_storeu_ps(EightBefore(high), _kand_mask16(mask, 0xFF00), values);
}

// A triangle's three edges in the lanes of a two-row vector (lanes 0-7: a
// row's columns 0-7, lanes 8-15: the next row's) whose lane 0 lies `right`
// columns and `below` rows from the first pixel of the triangle's box, and
// each edge's step to the next pair of rows: the sums of the pixel-by-pixel
// fill, in 32 bits. The three edges go through 128-bit lanes together. The
// steps are whole multiples of kSub and a small triangle's sides are under
// kSmallSpan, so the steps over kSub fit 16 bits, and one multiply-add of
// 16-bit pairs, shifted back, gives a lane's column and row steps exactly.
struct TwoRowEdges {
    __m512i e[3], down[3];
};
static_assert(kSmallSpan <= 32768, "a small triangle's steps over kSub fit 16 bits");
static_assert(offsetof(SmallSetup, stepY) + 4 * sizeof(std::int32_t) <= sizeof(SmallSetup),
              "e, stepX and stepY are each read as four values");
TOLVA_AVX512 inline TwoRowEdges EdgesInTwoRows(const SmallSetup& t, int right, int below)
{
    const __m512i columnAndRow = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 0x10000, 0x10001, 0x10002, 0x10003,
                                                   0x10004, 0x10005, 0x10006, 0x10007);
    const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.e));
    const __m128i stepX = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.stepX));
    const __m128i stepY = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.stepY));
    const __m512i start = _mm512_castsi128_si512(_mm_add_epi32(
        e, _mm_add_epi32(_mm_mullo_epi32(_mm_set1_epi32(right), stepX), _mm_mullo_epi32(_mm_set1_epi32(below), stepY))));
    // Per edge: stepX / kSub in the low 16 bits, stepY / kSub in the high.
    const __m512i steps = _mm512_castsi128_si512(
        _mm_blend_epi16(_mm_srai_epi32(stepX, kSubBits), _mm_slli_epi32(stepY, 16 - kSubBits), 0xAA));
    const __m512i twoRows = _mm512_castsi128_si512(_mm_slli_epi32(stepY, 1));
    TwoRowEdges edges;
    for (int k = 0; k < 3; ++k) {
        const __m512i edge = _mm512_set1_epi32(k);
        const __m512i laneSteps = _mm512_madd_epi16(columnAndRow, _mm512_permutexvar_epi32(edge, steps));
        edges.e[k] = _mm512_add_epi32(_mm512_permutexvar_epi32(edge, start), _mm512_slli_epi32(laneSteps, kSubBits));
        edges.down[k] = _mm512_permutexvar_epi32(edge, twoRows);
    }
    return edges;
}

// The lanes of inBox whose three edge values are none of them negative: the
// three or-ed keep any sign bit.
TOLVA_AVX512 inline __mmask16 Inside(__mmask16 inBox, const __m512i* e)
{
    return _mm512_mask_cmpge_epi32_mask(inBox, _mm512_ternarylogic_epi32(e[0], e[1], e[2], 0xFE),
                                        _mm512_setzero_si512());
}

// A triangle under 64 pixels a side, as FillSmallAvx2 draws it: boxes up to
// eight pixels across two rows a vector, wider ones sixteen pixels of a row
// at a time. Through masks, only the pixels the triangle covers are read and
// only those that pass the depth test written.
TOLVA_AVX512 void FillSmallAvx512(const Raster& target, const SmallSetup& t)
{
    const BandRows rows = RowsInBand(target, t);
    if (rows.first > rows.last)
        return;
    const int width = t.px1 - t.px0 + 1;
    const std::size_t down = std::size_t(target.size);
    const __m512 dzdx = _mm512_set1_ps(t.dzdx), dzdy = _mm512_set1_ps(t.dzdy), z0 = _mm512_set1_ps(t.z0);
    const __m512 color = _mm512_castsi512_ps(_mm512_set1_epi32(std::int32_t(t.color)));
    std::size_t first = std::size_t(t.py0 + rows.first) * down + t.px0;
    if (width <= 8) {
        const __m512i column = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7);
        const __m512i secondRow = _mm512_setr_epi32(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1);
        const __mmask16 inColumns = _mm512_cmpgt_epi32_mask(_mm512_set1_epi32(width), column);
        __m512i row = _mm512_add_epi32(secondRow, _mm512_set1_epi32(rows.first)); // in the box
        TwoRowEdges edges = EdgesInTwoRows(t, 0, rows.first);
        const __m512 laneZ = _mm512_mul_ps(_mm512_cvtepi32_ps(column), dzdx);
        const __m512i two = _mm512_set1_epi32(2), lastRow = _mm512_set1_epi32(rows.last);
        for (int r = rows.first; r <= rows.last; r += 2, first += 2 * down, row = _mm512_add_epi32(row, two)) {
            const __mmask16 inBox = _mm512_mask_cmple_epi32_mask(inColumns, row, lastRow);
            const __mmask16 inside = Inside(inBox, edges.e);
            for (int k = 0; k < 3; ++k)
                edges.e[k] = _mm512_add_epi32(edges.e[k], edges.down[k]);
            if (!inside)
                continue;
            float* const d0 = target.depth + first;
            float* const d1 = d0 + down;
            const __m512 depth = LoadRows(inside, d0, d1);
            // (z0 + row dzdy) + column dzdx, as the pixel-by-pixel fill steps.
            const __m512 z = _mm512_add_ps(_mm512_add_ps(z0, _mm512_mul_ps(_mm512_cvtepi32_ps(row), dzdy)), laneZ);
            const __mmask16 pass = _mm512_mask_cmp_ps_mask(inside, z, depth, _CMP_LE_OQ);
            StoreRows(d0, d1, pass, z);
            StoreRows(target.pixels + first, target.pixels + first + down, pass, color);
        }
        return;
    }
    const __m512i column = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m512 columnF = _mm512_cvtepi32_ps(column);
    __m512i laneStep[3], across[3];
    for (int k = 0; k < 3; ++k) {
        laneStep[k] = _mm512_mullo_epi32(column, _mm512_set1_epi32(t.stepX[k]));
        across[k] = _mm512_set1_epi32(16 * t.stepX[k]);
    }
    for (int r = rows.first; r <= rows.last; ++r, first += down) {
        __m512i e[3];
        for (int k = 0; k < 3; ++k)
            e[k] = _mm512_add_epi32(_mm512_set1_epi32(t.e[k] + r * t.stepY[k]), laneStep[k]);
        const __m512 zRow = _mm512_set1_ps(t.z0 + float(r) * t.dzdy);
        for (int k0 = 0; k0 < width; k0 += 16) {
            const __mmask16 inBox = _mm512_cmpgt_epi32_mask(_mm512_set1_epi32(width - k0), column);
            const __mmask16 inside = Inside(inBox, e);
            for (int k = 0; k < 3; ++k)
                e[k] = _mm512_add_epi32(e[k], across[k]);
            if (!inside)
                continue;
            float* const d = target.depth + first + k0;
            const __m512 z = _mm512_add_ps(zRow, _mm512_mul_ps(_mm512_add_ps(_mm512_set1_ps(float(k0)), columnF), dzdx));
            const __mmask16 pass = _mm512_mask_cmp_ps_mask(inside, z, _mm512_maskz_loadu_ps(inside, d), _CMP_LE_OQ);
            _mm512_mask_storeu_ps(d, pass, z);
            _mm512_mask_storeu_ps(target.pixels + first + k0, pass, color);
        }
    }
}

// Two neighbours (the halves of a terrain cell) whose shared box is up to
// eight pixels across and sixteen rows high, drawn two rows at a time: lanes
// 0-7 hold a row's pixels from the box's left side, lanes 8-15 the next
// row's. Through masks, only the pixels a triangle covers are read and only
// those that pass the depth test written; the first triangle is drawn before
// the second at every pixel, with the same edge and depth values each would
// have alone. Only the rows top .. bottom of the shared box are drawn: those
// in the band.
TOLVA_AVX512 void FillPairAvx512(const Raster& target, const SmallSetup& a, const SmallSetup& b, int top,
                                     int bottom)
{
    const int ux0 = std::min(a.px0, b.px0);
    const int width = std::max(a.px1, b.px1) - ux0 + 1;
    const __m512i column = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7);
    const __m512i secondRow = _mm512_setr_epi32(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1);
    const __mmask16 inColumns = _mm512_cmpgt_epi32_mask(_mm512_set1_epi32(width), column);
    struct Lanes : TwoRowEdges {
        __m512 laneZ, rowZ; // column dzdx; z0 + row dzdy for the rows top .. top + 15
        __m512 color;
    };
    const auto lanes = [&](const SmallSetup& t) TOLVA_AVX512 {
        Lanes l;
        // Lane 0 at column ux0 of row top.
        static_cast<TwoRowEdges&>(l) = EdgesInTwoRows(t, ux0 - t.px0, top - t.py0);
        // Column of each lane within the triangle's own box.
        const __m512i col = _mm512_sub_epi32(column, _mm512_set1_epi32(t.px0 - ux0));
        l.laneZ = _mm512_mul_ps(_mm512_cvtepi32_ps(col), _mm512_set1_ps(t.dzdx));
        const __m512i rows = _mm512_add_epi32(_mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                                              _mm512_set1_epi32(top - t.py0));
        l.rowZ = _mm512_add_ps(_mm512_set1_ps(t.z0), _mm512_mul_ps(_mm512_cvtepi32_ps(rows), _mm512_set1_ps(t.dzdy)));
        l.color = _mm512_castsi512_ps(_mm512_set1_epi32(std::int32_t(t.color)));
        return l;
    };
    Lanes la = lanes(a), lb = lanes(b);
    // Which of rowZ's rows each lane takes: the pair's first row, then the next.
    __m512i rowPick = secondRow;
    const __m512i two = _mm512_set1_epi32(2);
    const std::size_t down = std::size_t(target.size);
    // Lanes whose row (rowPick, from top) lies past bottom are outside the box.
    const __m512i lastRow = _mm512_set1_epi32(bottom - top);
    float* d0 = target.depth + std::size_t(top) * down + ux0;
    PixelColor* c0 = target.pixels + std::size_t(top) * down + ux0;
    for (int r = top; r <= bottom; r += 2, d0 += 2 * down, c0 += 2 * down, rowPick = _mm512_add_epi32(rowPick, two)) {
        const __mmask16 inBox = _mm512_mask_cmple_epi32_mask(inColumns, rowPick, lastRow);
        const __mmask16 insideA = Inside(inBox, la.e);
        const __mmask16 insideB = Inside(inBox, lb.e);
        for (int k = 0; k < 3; ++k) {
            la.e[k] = _mm512_add_epi32(la.e[k], la.down[k]);
            lb.e[k] = _mm512_add_epi32(lb.e[k], lb.down[k]);
        }
        if (_kortestz_mask16_u8(insideA, insideB))
            continue;
        __m512 depth = LoadRows(insideA | insideB, d0, d0 + down);
        // (z0 + row dzdy) + column dzdx, as the pixel-by-pixel fill steps.
        const __m512 zA = _mm512_add_ps(_mm512_permutexvar_ps(rowPick, la.rowZ), la.laneZ);
        const __mmask16 passA = _mm512_mask_cmp_ps_mask(insideA, zA, depth, _CMP_LE_OQ);
        depth = _mm512_mask_mov_ps(depth, passA, zA);
        const __m512 zB = _mm512_add_ps(_mm512_permutexvar_ps(rowPick, lb.rowZ), lb.laneZ);
        const __mmask16 passB = _mm512_mask_cmp_ps_mask(insideB, zB, depth, _CMP_LE_OQ);
        depth = _mm512_mask_mov_ps(depth, passB, zB);
        StoreRows(d0, d0 + down, passA | passB, depth);
        // Where both pass, the second is drawn last: its colour stays.
        StoreRows(c0, c0 + down, passA | passB, _mm512_mask_mov_ps(la.color, passB, lb.color));
    }
}

} // namespace

#define TOLVA_BATCH_TARGET TOLVA_AVX512
#define TOLVA_BATCH_NAME DrawSolidAvx512
#define TOLVA_BATCH_WIDE 1
#include "render/RasterizerSolidBatch.inl"
#undef TOLVA_BATCH_TARGET
#undef TOLVA_BATCH_NAME
#undef TOLVA_BATCH_WIDE

} // namespace tolva::raster

#undef TOLVA_AVX512
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
