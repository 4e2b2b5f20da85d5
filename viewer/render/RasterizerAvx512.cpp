// The rasterizer's AVX-512 code: fills of the AVX2 path redone with 512-bit
// registers and per-lane masks where the processor has AVX-512 (F, VL, DQ,
// BW). The same rules and the same arithmetic, so the same frames; the set-up
// stays the AVX2 code's.
#include "render/RasterizerInternal.h"

#include <immintrin.h>

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
// by masked moves of the whole vector, the second from eight values before
// `high`, so that the lanes outside the mask touch no memory, even past the
// buffer's end. (A masked store of half a vector may compile to an extract
// to memory, which faults on a masked-off address.)
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

// Per lane of a two-row vector: its column (0-7) times stepX, plus stepY in
// the second row's lanes. Steps are whole multiples of kSub, and a small
// triangle's sides are under kSmallSpan, so the steps over kSub fit 16 bits:
// one multiply-add of 16-bit pairs, shifted back, gives the exact sums.
static_assert(kSmallSpan <= 32768, "a small triangle's steps over kSub fit 16 bits");
TOLVA_AVX512 inline __m512i TwoRowSteps(std::int32_t stepX, std::int32_t stepY)
{
    const __m512i columnAndRow = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 0x10000, 0x10001, 0x10002, 0x10003,
                                                   0x10004, 0x10005, 0x10006, 0x10007);
    const std::uint32_t steps = (std::uint32_t(stepX >> kSubBits) & 0xFFFF) | std::uint32_t(stepY >> kSubBits) << 16;
    return _mm512_slli_epi32(_mm512_madd_epi16(columnAndRow, _mm512_set1_epi32(std::int32_t(steps))), kSubBits);
}

// The lanes of inBox whose three edge values are none of them negative: the
// three or-ed keep any sign bit.
TOLVA_AVX512 inline __mmask16 Inside(__mmask16 inBox, const __m512i* e)
{
    return _mm512_mask_cmpge_epi32_mask(inBox, _mm512_ternarylogic_epi32(e[0], e[1], e[2], 0xFE),
                                        _mm512_setzero_si512());
}

} // namespace

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
        __m512i e[3], step[3];
        for (int k = 0; k < 3; ++k) {
            // The value at the first row in the band, plus a column step per
            // lane's column and a row step in the second row's lanes: the
            // sums of the pixel-by-pixel fill, in 32 bits.
            e[k] = _mm512_add_epi32(_mm512_set1_epi32(t.e[k] + rows.first * t.stepY[k]), TwoRowSteps(t.stepX[k], t.stepY[k]));
            step[k] = _mm512_set1_epi32(2 * t.stepY[k]);
        }
        const __m512 laneZ = _mm512_mul_ps(_mm512_cvtepi32_ps(column), dzdx);
        const __m512i two = _mm512_set1_epi32(2), lastRow = _mm512_set1_epi32(rows.last);
        for (int r = rows.first; r <= rows.last; r += 2, first += 2 * down, row = _mm512_add_epi32(row, two)) {
            const __mmask16 inBox = _mm512_mask_cmple_epi32_mask(inColumns, row, lastRow);
            const __mmask16 inside = Inside(inBox, e);
            for (int k = 0; k < 3; ++k)
                e[k] = _mm512_add_epi32(e[k], step[k]);
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
    struct Lanes {
        __m512i e[3], down[3];
        __m512 laneZ, rowZ; // column dzdx; z0 + row dzdy for the rows top .. top + 15
        __m512 color;
    };
    const auto lanes = [&](const SmallSetup& t) TOLVA_AVX512 {
        Lanes l;
        // Column of each lane within the triangle's own box.
        const __m512i col = _mm512_sub_epi32(column, _mm512_set1_epi32(t.px0 - ux0));
        for (int k = 0; k < 3; ++k) {
            // The value at column ux0 of row top, plus a column step per
            // lane's column and a row step in the second row's lanes: the
            // sums of the pixel-by-pixel fill, in 32 bits.
            const std::int32_t corner = t.e[k] + (ux0 - t.px0) * t.stepX[k] + (top - t.py0) * t.stepY[k];
            l.e[k] = _mm512_add_epi32(_mm512_set1_epi32(corner), TwoRowSteps(t.stepX[k], t.stepY[k]));
            l.down[k] = _mm512_set1_epi32(2 * t.stepY[k]);
        }
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

} // namespace tolva::raster

#undef TOLVA_AVX512
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
