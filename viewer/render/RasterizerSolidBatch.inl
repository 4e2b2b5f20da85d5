// The loop over solid triangles, eight at a time, written once and compiled
// twice: for AVX2 (RasterizerAvx2.cpp) and for AVX-512, whose fills it then
// takes inline (RasterizerAvx512.cpp). The including file defines
//   TOLVA_BATCH_TARGET  the target attribute of the function and its lambdas,
//   TOLVA_BATCH_NAME    the function's name,
//   TOLVA_BATCH_WIDE    1 for the AVX-512 fills, 0 for the AVX2 ones,
// and includes this file inside namespace tolva::raster. Everything here
// lives inside the one function, so that both can be in one unit.

// Solid triangles eight at a time: the set-up of SetUpSmall computed for
// eight triangles in the lanes of AVX2 registers (the same integer and float
// steps, so the same values), then each triangle filled in its order.
TOLVA_BATCH_TARGET void TOLVA_BATCH_NAME(const Raster& raster, const PreparedScene& scene, float half,
                                         const RasterScratch& s, std::size_t first, std::size_t triangles)
{
    const ScreenVertex* screen = s.screen.data();
    const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi32(1);
    const __m256i last = _mm256_set1_epi32(raster.size - 1);
    const __m256i small = _mm256_set1_epi32(kSmallSpan);
    const __m256i bandBegin = _mm256_set1_epi32(raster.rowBegin), bandLast = _mm256_set1_epi32(raster.rowEnd - 1);
    // The set-up of the lanes that are not tiny, one record per lane.
    SmallSetup lanes[8];
    // Triangles whose box holds at most kTiny x kTiny pixel centres, as most
    // do from afar, are tested at each candidate centre in the set-up.
    constexpr int kTiny = 3;
    // Per lane: the candidates covered (bit oy * kTiny + ox), the index of the
    // box's first pixel, the depth at the start of each row (z0 + oy dzdy)
    // and the depth step per column.
    alignas(32) std::int32_t coverage[8], firstPixel[8];
    alignas(32) float rowZ[kTiny][8], columnStep[8];
    const __m256i tinySide = _mm256_set1_epi32(kTiny);
    // The candidate bits of a box's columns (by its width less one) in every
    // row, and of whole rows (by a bit per row).
    const __m256i kColumnRuns = _mm256_setr_epi32(0x49, 0xDB, 0x1FF, 0, 0, 0, 0, 0);
    const __m256i kRowRuns = _mm256_setr_epi32(0, 0x7, 0x38, 0x3F, 0x1C0, 0x1C7, 0x1F8, 0x1FF);
    // The first four columns' steps, for two rows at a time; the shift that
    // brings the coverage bit of each of those pixels to the sign.
    const __m256 kBlockColumns = _mm256_setr_ps(0, 1, 2, 3, 0, 1, 2, 3);
    const __m256i kRows01Shift = _mm256_setr_epi32(31, 30, 29, 32, 28, 27, 26, 32);
    const __m128i kRow2Shift = _mm_setr_epi32(25, 24, 23, 32);
    float* const depthBuffer = raster.depth;
    PixelColor* const colorBuffer = raster.pixels;
    // Pairs of neighbours filled together have their union box under 4 x 8
    // pixels, whole rows of four pixels inside the target and pairs of rows
    // inside the band (FillPairAvx2), or under 8 x 16 pixels with rows of
    // eight inside the target (the wide and the AVX-512 pair fills); the lanes of the next triangle line up
    // with this one's through this permutation.
    const __m256i nextLane = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7);
    const __m256i four = _mm256_set1_epi32(4), eight = _mm256_set1_epi32(8), sixteen = _mm256_set1_epi32(16);
    const __m256i rowEnd = _mm256_set1_epi32(raster.rowEnd), lastColumnPlus1 = _mm256_set1_epi32(raster.size);
    alignas(32) std::int32_t pairTop[8], pairBottom[8];

    std::size_t t = first;
    for (; t + 8 <= triangles; t += 8) {
        // The corners' screen positions, depths and outcodes: one 16-byte
        // record per vertex, turned from eight records into four vectors.
        __m256i x[3], y[3], code[3];
        __m256 z[3];
        const std::uint32_t* c = scene.corners.data() + 3 * t;
        for (int k = 0; k < 3; ++k) {
            const auto record = [&](int lane) TOLVA_BATCH_TARGET {
                return _mm_loadu_si128(reinterpret_cast<const __m128i*>(screen + c[3 * lane + k]));
            };
            const __m256i r0 = _mm256_set_m128i(record(4), record(0));
            const __m256i r1 = _mm256_set_m128i(record(5), record(1));
            const __m256i r2 = _mm256_set_m128i(record(6), record(2));
            const __m256i r3 = _mm256_set_m128i(record(7), record(3));
            const __m256i t0 = _mm256_unpacklo_epi32(r0, r1), t1 = _mm256_unpackhi_epi32(r0, r1);
            const __m256i t2 = _mm256_unpacklo_epi32(r2, r3), t3 = _mm256_unpackhi_epi32(r2, r3);
            x[k] = _mm256_unpacklo_epi64(t0, t2);
            y[k] = _mm256_unpackhi_epi64(t0, t2);
            z[k] = _mm256_castsi256_ps(_mm256_unpacklo_epi64(t1, t3));
            code[k] = _mm256_unpackhi_epi64(t1, t3);
        }
        const __m256i codeAnd = _mm256_and_si256(_mm256_and_si256(code[0], code[1]), code[2]);
        const __m256i codeOr = _mm256_or_si256(_mm256_or_si256(code[0], code[1]), code[2]);
        const __m256i outside = _mm256_cmpgt_epi32(_mm256_and_si256(codeAnd, _mm256_set1_epi32(kOutside)), zero);
        const __m256i clipped = _mm256_cmpgt_epi32(_mm256_and_si256(codeOr, _mm256_set1_epi32(kNear | kGuard)), zero);
        const __m256i minY = _mm256_min_epi32(_mm256_min_epi32(y[0], y[1]), y[2]);
        const __m256i maxY = _mm256_max_epi32(_mm256_max_epi32(y[0], y[1]), y[2]);
        // The rows of the pixel box, as SetUpSmall and FillTriangle find them.
        const __m256i by0 = _mm256_max_epi32(zero, _mm256_srai_epi32(_mm256_add_epi32(minY, _mm256_set1_epi32(kHalfSub - 1)), kSubBits));
        const __m256i by1 = _mm256_min_epi32(last, _mm256_srai_epi32(_mm256_sub_epi32(maxY, _mm256_set1_epi32(kHalfSub)), kSubBits));
        // From high above a third of the chunks reach both bands while most
        // of their batches lie in one: a batch none of whose triangles can
        // reach this band's rows is passed over before any more set-up.
        // Clipped triangles have no box yet and are kept.
        const __m256i offBand = _mm256_andnot_si256(
            clipped, _mm256_or_si256(_mm256_cmpgt_epi32(bandBegin, by1), _mm256_cmpgt_epi32(by0, bandLast)));
        const __m256i skipped = _mm256_or_si256(outside, offBand);
        if (_mm256_movemask_ps(_mm256_castsi256_ps(skipped)) == 0xFF)
            continue;
        const __m256i minX = _mm256_min_epi32(_mm256_min_epi32(x[0], x[1]), x[2]);
        const __m256i maxX = _mm256_max_epi32(_mm256_max_epi32(x[0], x[1]), x[2]);
        const __m256i isSmall = _mm256_and_si256(_mm256_cmpgt_epi32(small, _mm256_sub_epi32(maxX, minX)),
                                                 _mm256_cmpgt_epi32(small, _mm256_sub_epi32(maxY, minY)));
        // Twice the area, good in 32 bits for small triangles.
        const __m256i area = _mm256_sub_epi32(
            _mm256_mullo_epi32(_mm256_sub_epi32(x[1], x[0]), _mm256_sub_epi32(y[2], y[0])),
            _mm256_mullo_epi32(_mm256_sub_epi32(y[1], y[0]), _mm256_sub_epi32(x[2], x[0])));
        // The columns of the pixel box, as SetUpSmall computes them.
        const __m256i bx0 = _mm256_max_epi32(zero, _mm256_srai_epi32(_mm256_add_epi32(minX, _mm256_set1_epi32(kHalfSub - 1)), kSubBits));
        const __m256i bx1 = _mm256_min_epi32(last, _mm256_srai_epi32(_mm256_sub_epi32(maxX, _mm256_set1_epi32(kHalfSub)), kSubBits));
        // No pixel centre in the box, or none in this band.
        const __m256i empty = _mm256_or_si256(
            _mm256_or_si256(_mm256_cmpgt_epi32(bx0, bx1), _mm256_cmpgt_epi32(by0, by1)), offBand);
        const __m256i simple = _mm256_andnot_si256(_mm256_or_si256(outside, clipped), isSmall);
        const __m256i fill = _mm256_andnot_si256(empty, _mm256_and_si256(simple, _mm256_cmpgt_epi32(area, zero)));
        // Lanes the scalar code takes: clipped, or large and reaching this
        // band, unless wholly outside.
        const __m256i other = _mm256_andnot_si256(skipped, _mm256_or_si256(clipped, _mm256_andnot_si256(isSmall, _mm256_set1_epi32(-1))));
        const int fillMask = _mm256_movemask_ps(_mm256_castsi256_ps(fill));
        const int otherMask = _mm256_movemask_ps(_mm256_castsi256_ps(other));
        if ((fillMask | otherMask) == 0)
            continue;
        int tinyMask = 0, pairMask = 0, blockMask = 0, blockPairMask = 0;
        [[maybe_unused]] int narrowMask = 0; // the AVX2 fills' choice

        if (fillMask) {
            const __m256i cx = _mm256_add_epi32(_mm256_slli_epi32(bx0, kSubBits), _mm256_set1_epi32(kHalfSub));
            const __m256i cy = _mm256_add_epi32(_mm256_slli_epi32(by0, kSubBits), _mm256_set1_epi32(kHalfSub));
            // Edges b->c, c->a, a->b.
            const int from[3] = {1, 2, 0}, to[3] = {2, 0, 1};
            __m256i raw[3], edge[3], sx[3], sy[3];
            for (int k = 0; k < 3; ++k) {
                const __m256i dx = _mm256_sub_epi32(x[to[k]], x[from[k]]);
                const __m256i dy = _mm256_sub_epi32(y[to[k]], y[from[k]]);
                raw[k] = _mm256_sub_epi32(_mm256_mullo_epi32(dx, _mm256_sub_epi32(cy, y[from[k]])),
                                          _mm256_mullo_epi32(dy, _mm256_sub_epi32(cx, x[from[k]])));
                const __m256i topLeft = _mm256_or_si256(
                    _mm256_cmpgt_epi32(zero, dy), _mm256_and_si256(_mm256_cmpeq_epi32(dy, zero), _mm256_cmpgt_epi32(dx, zero)));
                edge[k] = _mm256_sub_epi32(raw[k], _mm256_andnot_si256(topLeft, one));
                sx[k] = _mm256_sub_epi32(zero, _mm256_slli_epi32(dy, kSubBits));
                sy[k] = _mm256_slli_epi32(dx, kSubBits);
            }
            const __m256 inv = _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_cvtepi32_ps(area));
            const __m256 dz1 = _mm256_sub_ps(z[1], z[0]), dz2 = _mm256_sub_ps(z[2], z[0]);
            const auto plane = [&](__m256i a1, __m256i a2) TOLVA_BATCH_TARGET {
                return _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(a1), dz1),
                                                   _mm256_mul_ps(_mm256_cvtepi32_ps(a2), dz2)), inv);
            };
            const __m256 vz0 = _mm256_add_ps(z[0], plane(raw[1], raw[2]));
            const __m256 vdzdx = plane(sx[1], sx[2]), vdzdy = plane(sy[1], sy[2]);
            // Tiny triangles: each candidate centre tested here for all
            // eight at once, with the edge and depth steps of the
            // pixel-by-pixel fill; only the depth test is left per pixel.
            const __m256i tiny = _mm256_and_si256(
                fill, _mm256_and_si256(_mm256_cmpgt_epi32(tinySide, _mm256_sub_epi32(bx1, bx0)),
                                       _mm256_cmpgt_epi32(tinySide, _mm256_sub_epi32(by1, by0))));
            tinyMask = _mm256_movemask_ps(_mm256_castsi256_ps(tiny));
            // The candidates (ox, oy), ox and oy below kSide, of all tiny lanes:
            // their coverage bits (bit oy * kTiny + ox), and their depths.
            const auto testCandidates = [&]<int kSide>(std::integral_constant<int, kSide>)
                                            TOLVA_BATCH_TARGET {
                // A bit for each candidate that some edge leaves outside.
                __m256i missed = zero, rowEdge[3];
                for (int oy = 0; oy < kSide; ++oy) {
                    for (int k = 0; k < 3; ++k)
                        rowEdge[k] = oy == 0 ? edge[k] : _mm256_add_epi32(rowEdge[k], sy[k]);
                    __m256i v[3] = {rowEdge[0], rowEdge[1], rowEdge[2]};
                    for (int ox = 0; ox < kSide; ++ox) {
                        if (ox > 0)
                            for (int k = 0; k < 3; ++k)
                                v[k] = _mm256_add_epi32(v[k], sx[k]);
                        const __m256i sign = _mm256_or_si256(_mm256_or_si256(v[0], v[1]), v[2]);
                        missed = _mm256_or_si256(missed, _mm256_slli_epi32(_mm256_srli_epi32(sign, 31), oy * kTiny + ox));
                    }
                }
                // (z0 + row dzdy) + column dzdx, the steps of the pixel-by-pixel fill.
                for (int o = 0; o < kSide; ++o)
                    _mm256_store_ps(rowZ[o], _mm256_add_ps(vz0, _mm256_mul_ps(_mm256_set1_ps(float(o)), vdzdy)));
                _mm256_store_ps(columnStep, vdzdx);
                // Only candidates in the box's columns and in its rows within
                // the band count: bits 0, 1 or 2 of each row by the box's width,
                // rows from the first in the band to the last in box and band.
                const __m256i rowLimit = _mm256_min_epi32(by1, bandLast);
                const __m256i lastRow = _mm256_max_epi32(zero, _mm256_sub_epi32(rowLimit, by0));
                const __m256i firstRow = _mm256_max_epi32(zero, _mm256_sub_epi32(bandBegin, by0));
                const __m256i throughLast = _mm256_sub_epi32(_mm256_sllv_epi32(one, _mm256_add_epi32(lastRow, one)), one);
                const __m256i beforeFirst = _mm256_sub_epi32(_mm256_sllv_epi32(one, firstRow), one);
                const __m256i rows = _mm256_andnot_si256(beforeFirst, throughLast);
                const __m256i rowRuns = _mm256_permutevar8x32_epi32(kRowRuns, _mm256_and_si256(
                    _mm256_cmpgt_epi32(rowLimit, _mm256_sub_epi32(by0, one)), rows));
                return _mm256_andnot_si256(missed, _mm256_and_si256(
                    rowRuns, _mm256_permutevar8x32_epi32(kColumnRuns, _mm256_sub_epi32(bx1, bx0))));
            };
            if (tinyMask) {
                // Most batches from afar hold no box three centres across:
                // their candidates two by two.
                const __m256i three = _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_sub_epi32(bx1, bx0), one),
                                                      _mm256_cmpgt_epi32(_mm256_sub_epi32(by1, by0), one));
                const __m256i covered = tinyMask & _mm256_movemask_ps(_mm256_castsi256_ps(three))
                                            ? testCandidates(std::integral_constant<int, kTiny>{})
                                            : testCandidates(std::integral_constant<int, 2>{});
                _mm256_store_si256(reinterpret_cast<__m256i*>(coverage), covered);
                const __m256i start = _mm256_add_epi32(_mm256_mullo_epi32(by0, _mm256_set1_epi32(raster.size)), bx0);
                _mm256_store_si256(reinterpret_cast<__m256i*>(firstPixel), start);
                // Boxes whose first four columns lie in the target and whose
                // first two rows lie in the band are drawn as a block of two
                // rows of four pixels (and a third row as needed), the pixels
                // not covered written back as they were.
                blockMask = tinyMask & ~_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_or_si256(
                    _mm256_cmpgt_epi32(_mm256_add_epi32(bx0, four), lastColumnPlus1),
                    _mm256_or_si256(_mm256_cmpgt_epi32(bandBegin, by0),
                                    _mm256_cmpgt_epi32(_mm256_add_epi32(by0, one), bandLast)))));
                // Neighbours k, k + 1 (the halves of a cell) both drawn as a
                // block from the same first pixel share one: the pixels are
                // read and written once for both.
                const int sameStart = _mm256_movemask_ps(
                    _mm256_castsi256_ps(_mm256_cmpeq_epi32(start, _mm256_permutevar8x32_epi32(start, nextLane))));
                blockPairMask = blockMask & (blockMask >> 1) & sameStart & 0x7F;
            }
            // The set-up of the other lanes, for the small and the pair fills.
            const int fullMask = fillMask & ~tinyMask;
            if (fullMask) {
                // Sixteen fields of eight lanes: two 8 x 8 transposes give
                // each lane's px0 .. stepX[0], then stepX[1] .. dzdy.
                const __m256i fields[16] = {bx0, by0, bx1, by1, edge[0], edge[1], edge[2], sx[0], sx[1], sx[2],
                                            sy[0], sy[1], sy[2], _mm256_castps_si256(vz0),
                                            _mm256_castps_si256(vdzdx), _mm256_castps_si256(vdzdy)};
                static_assert(sizeof(SmallSetup) == 17 * 4 && offsetof(SmallSetup, dzdy) == 15 * 4,
                              "a lane's record: sixteen four-byte fields, then the colour");
                for (int part = 0; part < 2; ++part) {
                    const __m256i* f = fields + 8 * part;
                    const __m256 a0 = _mm256_unpacklo_ps(_mm256_castsi256_ps(f[0]), _mm256_castsi256_ps(f[1]));
                    const __m256 a1 = _mm256_unpackhi_ps(_mm256_castsi256_ps(f[0]), _mm256_castsi256_ps(f[1]));
                    const __m256 a2 = _mm256_unpacklo_ps(_mm256_castsi256_ps(f[2]), _mm256_castsi256_ps(f[3]));
                    const __m256 a3 = _mm256_unpackhi_ps(_mm256_castsi256_ps(f[2]), _mm256_castsi256_ps(f[3]));
                    const __m256 a4 = _mm256_unpacklo_ps(_mm256_castsi256_ps(f[4]), _mm256_castsi256_ps(f[5]));
                    const __m256 a5 = _mm256_unpackhi_ps(_mm256_castsi256_ps(f[4]), _mm256_castsi256_ps(f[5]));
                    const __m256 a6 = _mm256_unpacklo_ps(_mm256_castsi256_ps(f[6]), _mm256_castsi256_ps(f[7]));
                    const __m256 a7 = _mm256_unpackhi_ps(_mm256_castsi256_ps(f[6]), _mm256_castsi256_ps(f[7]));
                    // Lane pairs (0, 4), (1, 5), (2, 6), (3, 7): four fields each.
                    const __m256 b0 = _mm256_shuffle_ps(a0, a2, 0x44), b1 = _mm256_shuffle_ps(a0, a2, 0xEE);
                    const __m256 b2 = _mm256_shuffle_ps(a1, a3, 0x44), b3 = _mm256_shuffle_ps(a1, a3, 0xEE);
                    const __m256 b4 = _mm256_shuffle_ps(a4, a6, 0x44), b5 = _mm256_shuffle_ps(a4, a6, 0xEE);
                    const __m256 b6 = _mm256_shuffle_ps(a5, a7, 0x44), b7 = _mm256_shuffle_ps(a5, a7, 0xEE);
                    const __m256 row[8] = {_mm256_permute2f128_ps(b0, b4, 0x20), _mm256_permute2f128_ps(b1, b5, 0x20),
                                           _mm256_permute2f128_ps(b2, b6, 0x20), _mm256_permute2f128_ps(b3, b7, 0x20),
                                           _mm256_permute2f128_ps(b0, b4, 0x31), _mm256_permute2f128_ps(b1, b5, 0x31),
                                           _mm256_permute2f128_ps(b2, b6, 0x31), _mm256_permute2f128_ps(b3, b7, 0x31)};
                    for (int k = 0; k < 8; ++k)
                        if (fullMask >> k & 1)
                            _mm256_storeu_ps(reinterpret_cast<float*>(&lanes[k]) + 8 * part, row[k]);
                }
            }
            // Neighbours k, k + 1 both filled, neither tiny, whose union box
            // a pair fill can take.
            if (fullMask & (fullMask >> 1)) {
                const __m256i full = _mm256_andnot_si256(tiny, fill);
                const __m256i nx0 = _mm256_permutevar8x32_epi32(bx0, nextLane);
                const __m256i nx1 = _mm256_permutevar8x32_epi32(bx1, nextLane);
                const __m256i ny0 = _mm256_permutevar8x32_epi32(by0, nextLane);
                const __m256i ny1 = _mm256_permutevar8x32_epi32(by1, nextLane);
                const __m256i ux0 = _mm256_min_epi32(bx0, nx0), ux1 = _mm256_max_epi32(bx1, nx1);
                const __m256i uy0 = _mm256_min_epi32(by0, ny0), uy1 = _mm256_max_epi32(by1, ny1);
                const __m256i top = _mm256_max_epi32(uy0, bandBegin), bottom = _mm256_min_epi32(uy1, bandLast);
                const __m256i fits = _mm256_and_si256(
                    _mm256_and_si256(_mm256_cmpgt_epi32(four, _mm256_sub_epi32(ux1, ux0)),
                                     _mm256_cmpgt_epi32(eight, _mm256_sub_epi32(uy1, uy0))),
                    _mm256_andnot_si256(
                        _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_add_epi32(ux0, four), lastColumnPlus1),
                                        _mm256_cmpgt_epi32(top, bottom)),
                        _mm256_cmpgt_epi32(rowEnd, _mm256_add_epi32(top, _mm256_or_si256(_mm256_sub_epi32(bottom, top), one)))));
                // Or, up to eight pixels across, rows one at a time.
                const __m256i fitsWide = _mm256_and_si256(
                    _mm256_cmpgt_epi32(eight, _mm256_sub_epi32(ux1, ux0)),
                    _mm256_andnot_si256(
                        _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_add_epi32(ux0, eight), lastColumnPlus1),
                                        _mm256_cmpgt_epi32(top, bottom)),
                        _mm256_cmpgt_epi32(sixteen, _mm256_sub_epi32(uy1, uy0))));
                const __m256i both = _mm256_and_si256(full, _mm256_permutevar8x32_epi32(full, nextLane));
                narrowMask = _mm256_movemask_ps(_mm256_castsi256_ps(fits));
                pairMask = _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_and_si256(both, _mm256_or_si256(fits, fitsWide)))) & 0x7F;
                if (pairMask) {
                    _mm256_store_si256(reinterpret_cast<__m256i*>(pairTop), top);
                    _mm256_store_si256(reinterpret_cast<__m256i*>(pairBottom), bottom);
                }
            }
        }
        // In order, so that equal depths resolve as they do one by one.
        // Lanes with nothing to draw are passed over.
        for (unsigned todo = unsigned(fillMask | otherMask); todo != 0; todo &= todo - 1) {
            const int k = std::countr_zero(todo);
            if (blockMask >> k & 1) {
                // The block's triangles: this one, and the next where they
                // share the block; the second drawn after the first at every
                // pixel, as one by one. The pixels not covered are written
                // back as they were.
                const int end = blockPairMask >> k & 1 ? k + 2 : k + 1;
                float* const d0 = depthBuffer + firstPixel[k];
                PixelColor* const c0 = colorBuffer + firstPixel[k];
                const std::size_t down = std::size_t(raster.size);
                __m256 depth = _mm256_loadu2_m128(d0 + down, d0);
                __m256 colors = _mm256_castsi256_ps(_mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(c0 + down),
                                                                        reinterpret_cast<const __m128i*>(c0)));
                int thirdRow = 0;
                for (int j = k; j < end; ++j) {
                    const __m256i bits = _mm256_set1_epi32(coverage[j]);
                    const __m256 covered = _mm256_castsi256_ps(_mm256_srai_epi32(_mm256_sllv_epi32(bits, kRows01Shift), 31));
                    const __m256 zj = _mm256_add_ps(_mm256_set_m128(_mm_set1_ps(rowZ[1][j]), _mm_set1_ps(rowZ[0][j])),
                                                   _mm256_mul_ps(kBlockColumns, _mm256_set1_ps(columnStep[j])));
                    const __m256 pass = _mm256_and_ps(covered, _mm256_cmp_ps(zj, depth, _CMP_LE_OQ));
                    depth = _mm256_blendv_ps(depth, zj, pass);
                    colors = _mm256_blendv_ps(colors, _mm256_castsi256_ps(_mm256_set1_epi32(std::int32_t(scene.colors[t + j]))), pass);
                    thirdRow |= coverage[j] >> (2 * kTiny);
                }
                _mm256_storeu2_m128(d0 + down, d0, depth);
                _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(c0 + down), reinterpret_cast<__m128i*>(c0),
                                     _mm256_castps_si256(colors));
                if (thirdRow) {
                    float* const d2 = d0 + 2 * down;
                    PixelColor* const c2 = c0 + 2 * down;
                    __m128 depth2 = _mm_loadu_ps(d2);
                    __m128 colors2 = _mm_loadu_ps(reinterpret_cast<const float*>(c2));
                    for (int j = k; j < end; ++j) {
                        const __m128i bits = _mm_set1_epi32(coverage[j]);
                        const __m128 covered = _mm_castsi128_ps(_mm_srai_epi32(_mm_sllv_epi32(bits, kRow2Shift), 31));
                        const __m128 zj = _mm_add_ps(_mm_set1_ps(rowZ[2][j]), _mm_mul_ps(_mm256_castps256_ps128(kBlockColumns),
                                                                                        _mm_set1_ps(columnStep[j])));
                        const __m128 pass = _mm_and_ps(covered, _mm_cmp_ps(zj, depth2, _CMP_LE_OQ));
                        depth2 = _mm_blendv_ps(depth2, zj, pass);
                        colors2 = _mm_blendv_ps(colors2, _mm_castsi128_ps(_mm_set1_epi32(std::int32_t(scene.colors[t + j]))), pass);
                    }
                    _mm_storeu_ps(d2, depth2);
                    _mm_storeu_ps(reinterpret_cast<float*>(c2), colors2);
                }
                if (end == k + 2)
                    todo &= todo - 1; // the next triangle is drawn
            } else if (tinyMask >> k & 1) {
                // A box at the target's right edge or across a band edge:
                // pixel by pixel.
                const PixelColor color = scene.colors[t + k];
                for (unsigned bits = unsigned(coverage[k]); bits != 0; bits &= bits - 1) {
                    const int n = std::countr_zero(bits);
                    const int oy = n / kTiny, ox = n % kTiny;
                    const std::size_t i = std::size_t(firstPixel[k]) + std::size_t(oy) * raster.size + std::size_t(ox);
                    const float zc = rowZ[oy][k] + float(ox) * columnStep[k];
                    if (zc <= depthBuffer[i]) {
                        depthBuffer[i] = zc;
                        colorBuffer[i] = color;
                    }
                }
            } else if (fillMask >> k & 1) {
                lanes[k].color = scene.colors[t + k];
                if (pairMask >> k & 1) {
                    lanes[k + 1].color = scene.colors[t + k + 1];
#if TOLVA_BATCH_WIDE
                    FillPairAvx512(raster, lanes[k], lanes[k + 1], pairTop[k], pairBottom[k]);
#else
                    if (narrowMask >> k & 1)
                        FillPairAvx2(raster, lanes[k], lanes[k + 1], pairTop[k], pairBottom[k]);
                    else
                        FillPairWideAvx2(raster, lanes[k], lanes[k + 1], pairTop[k], pairBottom[k]);
#endif
                    todo &= todo - 1; // the next triangle is drawn
                    continue;
                }
#if TOLVA_BATCH_WIDE
                FillSmallAvx512(raster, lanes[k]);
#else
                FillSmallAvx2(raster, lanes[k]);
#endif
            } else {
                SolidTriangleAvx2(raster, scene, half, s, t + k);
            }
        }
    }
    for (; t < triangles; ++t)
        SolidTriangleAvx2(raster, scene, half, s, t);
}
