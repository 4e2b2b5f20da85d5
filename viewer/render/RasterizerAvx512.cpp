// The rasterizer's AVX-512 code: fills of the AVX2 path redone with 512-bit
// registers and per-lane masks where the processor has AVX-512 (F, VL, DQ,
// BW). The same rules and the same arithmetic, so the same frames; the set-up
// stays the AVX2 code's.
#include "render/RasterizerInternal.h"

#include <immintrin.h>

// GCC 12's AVX-512 conversions start from an undefined register, which its
// own uninitialised-value warning then reports inside the intrinsics.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace tolva::raster {

#define TOLVA_AVX512 __attribute__((target("avx512f,avx512vl,avx512dq,avx512bw")))

// Two neighbours (the halves of a terrain cell) whose shared box is up to
// eight pixels across and sixteen rows high, drawn two rows at a time: lanes
// 0-7 hold a row's pixels from the box's left side, lanes 8-15 the next
// row's. Only the pixels a triangle covers and passes the depth test at are
// read or written, through masks; the first triangle is drawn before the
// second at every pixel, with the same edge and depth values each would have
// alone. Only the rows top .. bottom of the shared box are drawn: those in
// the band.
TOLVA_AVX512 void FillPairWideAvx512(const Raster& target, const SmallSetup& a, const SmallSetup& b, int top,
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
        __m256i color;
    };
    const auto lanes = [&](const SmallSetup& t) TOLVA_AVX512 {
        Lanes l;
        // Column and row of each lane within the triangle's own box.
        const __m512i col = _mm512_sub_epi32(column, _mm512_set1_epi32(t.px0 - ux0));
        const __m512i row = _mm512_add_epi32(secondRow, _mm512_set1_epi32(top - t.py0));
        for (int k = 0; k < 3; ++k) {
            l.e[k] = _mm512_add_epi32(_mm512_set1_epi32(t.e[k]),
                                      _mm512_add_epi32(_mm512_mullo_epi32(col, _mm512_set1_epi32(t.stepX[k])),
                                                       _mm512_mullo_epi32(row, _mm512_set1_epi32(t.stepY[k]))));
            l.down[k] = _mm512_set1_epi32(2 * t.stepY[k]);
        }
        l.laneZ = _mm512_mul_ps(_mm512_cvtepi32_ps(col), _mm512_set1_ps(t.dzdx));
        const __m512i rows = _mm512_add_epi32(_mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                                              _mm512_set1_epi32(top - t.py0));
        l.rowZ = _mm512_add_ps(_mm512_set1_ps(t.z0), _mm512_mul_ps(_mm512_cvtepi32_ps(rows), _mm512_set1_ps(t.dzdy)));
        l.color = _mm256_set1_epi32(std::int32_t(t.color));
        return l;
    };
    Lanes la = lanes(a), lb = lanes(b);
    // Which of rowZ's rows each lane takes: the pair's first row, then the next.
    __m512i rowPick = secondRow;
    const __m512i two = _mm512_set1_epi32(2);
    const std::size_t down = std::size_t(target.size);
    std::size_t first = std::size_t(top) * down + ux0;
    for (int r = top; r <= bottom; r += 2, first += 2 * down, rowPick = _mm512_add_epi32(rowPick, two)) {
        const __mmask16 inBox = r < bottom ? inColumns : __mmask16(inColumns & 0xFF);
        // Inside: no edge value negative (the three or-ed keep any sign bit).
        const __mmask16 insideA = _mm512_mask_cmpge_epi32_mask(
            inBox, _mm512_ternarylogic_epi32(la.e[0], la.e[1], la.e[2], 0xFE), _mm512_setzero_si512());
        const __mmask16 insideB = _mm512_mask_cmpge_epi32_mask(
            inBox, _mm512_ternarylogic_epi32(lb.e[0], lb.e[1], lb.e[2], 0xFE), _mm512_setzero_si512());
        for (int k = 0; k < 3; ++k) {
            la.e[k] = _mm512_add_epi32(la.e[k], la.down[k]);
            lb.e[k] = _mm512_add_epi32(lb.e[k], lb.down[k]);
        }
        const __mmask16 inside = insideA | insideB;
        if (!inside)
            continue;
        float* const d0 = target.depth + first;
        float* const d1 = d0 + down;
        __m512 depth = _mm512_insertf32x8(_mm512_castps256_ps512(_mm256_maskz_loadu_ps(__mmask8(inside), d0)),
                                          _mm256_maskz_loadu_ps(__mmask8(inside >> 8), d1), 1);
        // (z0 + row dzdy) + column dzdx, as the pixel-by-pixel fill steps.
        const __m512 zA = _mm512_add_ps(_mm512_permutexvar_ps(rowPick, la.rowZ), la.laneZ);
        const __mmask16 passA = _mm512_mask_cmp_ps_mask(insideA, zA, depth, _CMP_LE_OQ);
        depth = _mm512_mask_mov_ps(depth, passA, zA);
        const __m512 zB = _mm512_add_ps(_mm512_permutexvar_ps(rowPick, lb.rowZ), lb.laneZ);
        const __mmask16 passB = _mm512_mask_cmp_ps_mask(insideB, zB, depth, _CMP_LE_OQ);
        depth = _mm512_mask_mov_ps(depth, passB, zB);
        const __mmask16 passed = passA | passB;
        _mm256_mask_storeu_ps(d0, __mmask8(passed), _mm512_castps512_ps256(depth));
        _mm256_mask_storeu_ps(d1, __mmask8(passed >> 8), _mm512_extractf32x8_ps(depth, 1));
        PixelColor* const c0 = target.pixels + first;
        PixelColor* const c1 = c0 + down;
        _mm256_mask_storeu_epi32(c0, __mmask8(passA), la.color);
        _mm256_mask_storeu_epi32(c1, __mmask8(passA >> 8), la.color);
        _mm256_mask_storeu_epi32(c0, __mmask8(passB), lb.color);
        _mm256_mask_storeu_epi32(c1, __mmask8(passB >> 8), lb.color);
    }
}

} // namespace tolva::raster

#undef TOLVA_AVX512
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
