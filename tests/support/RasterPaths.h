#pragma once
// The rasterizer's code paths driven one at a time, below the frame drawing:
// for the tests and the fuzzer that draw into buffers of their own.

#include "render/RasterizerInternal.h"

#include <vector>

namespace tolva::testing {

// Every fill path this processor has, the baseline first.
inline std::vector<RasterPath> AvailablePaths()
{
    std::vector<RasterPath> paths{RasterPath::Baseline};
    if (Avx2Available())
        paths.push_back(RasterPath::Avx2);
    if (Avx512Available())
        paths.push_back(RasterPath::Avx512);
    return paths;
}

// The scene's positions placed on a screen of 2 half pixels a side, by one
// path's code.
inline void TransformOn(RasterPath path, const PreparedScene& scene, const Matrix4& camera, float half,
                        RasterScratch& s)
{
    const std::size_t n = scene.x.size();
    s.screen.resize(n);
    s.cx.resize(n); s.cy.resize(n); s.cz.resize(n); s.cw.resize(n);
    if (path == RasterPath::Baseline)
        raster::TransformBaseline(scene, camera, half, s, 0, n);
    else
        raster::TransformAvx2(scene, camera, half, s, 0, n);
}

// Every triangle of the scene drawn into the raster's band, by one path's code.
inline void DrawTrianglesOn(RasterPath path, const raster::Raster& target, const PreparedScene& scene,
                            FillMode mode, float half, const RasterScratch& s)
{
    if (path == RasterPath::Baseline)
        raster::DrawTrianglesBaseline(target, scene, mode, half, s, 0, scene.triangleCount());
    else
        raster::DrawTrianglesAvx2(target, scene, mode, half, s, 0, scene.triangleCount(), path == RasterPath::Avx512);
}

} // namespace tolva::testing
