// The software rasterizer on any triangles: huge, tiny, degenerate, crossing
// the near plane, with NaN and infinite corners, under any camera, fill mode
// and frame size. Both fill paths must stay inside the frame: the AVX2 fill
// reads and writes whole groups of four or eight pixels near the edge of a
// triangle's box, so the colour and depth buffers here are allocated at
// exactly size x size, and AddressSanitizer reports any access past them.
// The two paths must also draw the same frame.
//
// The rasterizer's inner entry points are used so that the buffers can be
// sized exactly; FrameTarget keeps a few floats of slack after its depth.
#include "render/Matrix.h"
#include "render/RasterizerInternal.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

using namespace tolva;

namespace {

// A coordinate: mostly within `range`, sometimes an edge case, sometimes a
// small step from the previous one so that tiny and degenerate triangles and
// shared corners come up often.
float Coordinate(FuzzedDataProvider& in, float range, float previous)
{
    switch (in.ConsumeIntegralInRange(0, 15)) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return std::numeric_limits<float>::infinity();
    case 2: return -std::numeric_limits<float>::infinity();
    case 3: return in.ConsumeBool() ? 3.0e38f : -3.0e38f;
    case 4: return in.ConsumeBool() ? 1.0e-30f : 0.0f;
    case 5:
    case 6:
    case 7: return previous + in.ConsumeFloatingPointInRange(-0.05f, 0.05f) * range;
    case 8: return previous;
    default: return in.ConsumeFloatingPointInRange(-range, range);
    }
}

// A camera as the viewer makes one (a frame and the projection), any matrix,
// or none: positions straight onto the screen (x and y from -1 to 1 cover
// the frame), where small triangles land on every edge of the buffer.
Matrix4 Camera(FuzzedDataProvider& in, float range)
{
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: {
        Matrix4 m;
        for (auto& row : m.m)
            for (float& v : row)
                v = Coordinate(in, 4.0f, v);
        return m;
    }
    case 1: return IdentityMatrix();
    default: break;
    }
    Frame frame;
    frame.Position = {in.ConsumeFloatingPointInRange(-range, range), in.ConsumeFloatingPointInRange(-range, range),
                      in.ConsumeFloatingPointInRange(-range, range)};
    frame.Rotation = {in.ConsumeFloatingPointInRange(-7.0f, 7.0f), in.ConsumeFloatingPointInRange(-7.0f, 7.0f),
                      in.ConsumeFloatingPointInRange(-7.0f, 7.0f)};
    const float fieldOfView = in.ConsumeBool() ? kFieldOfView : in.ConsumeFloatingPointInRange(0.01f, 3.1f);
    return MatrixMultiply(ViewMatrixFromFrame(frame), ProjectionMatrix(fieldOfView));
}

struct Buffers {
    std::vector<PixelColor> pixels;
    std::vector<float> depth;
};

Buffers Draw(bool avx2, const PreparedScene& scene, const Matrix4& camera, FillMode mode, int size)
{
    // Exactly size x size each: no slack that would hide an overrun.
    Buffers b{std::vector<PixelColor>(std::size_t(size) * size, 0xFF000000u),
              std::vector<float>(std::size_t(size) * size, 1.0f)};
    const std::size_t n = scene.x.size();
    RasterScratch s;
    s.screen.resize(n);
    s.cx.resize(n); s.cy.resize(n); s.cz.resize(n); s.cw.resize(n);
    const raster::Raster target{b.pixels.data(), b.depth.data(), size};
    const float half = size / 2.0f;
    if (avx2) {
        raster::TransformAvx2(scene, camera, half, s);
        raster::DrawTrianglesAvx2(target, scene, mode, half, s);
    } else {
        raster::TransformBaseline(scene, camera, half, s);
        raster::DrawTrianglesBaseline(target, scene, mode, half, s);
    }
    return b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    // Odd, tiny and large frames: the edges of the buffer move with the size.
    // Large ones now and then only, as each run allocates and clears them.
    const int frameSize = in.ConsumeIntegralInRange(0, 15) == 0 ? in.ConsumeIntegralInRange(1, 1200)
                                                               : in.ConsumeIntegralInRange(1, 72);
    const FillMode mode = in.PickValueInArray({FillMode::Solid, FillMode::Solid, FillMode::Wireframe, FillMode::Points});
    const float range = in.PickValueInArray({1.0f, 2.0f, 50.0f, 1000.0f, 1.0e6f});
    const Matrix4 camera = Camera(in, range);

    PreparedScene scene;
    const int vertices = in.ConsumeIntegralInRange(3, 48);
    float px = 0.0f, py = 0.0f, pz = in.ConsumeFloatingPointInRange(0.0f, range);
    for (int i = 0; i < vertices; ++i) {
        px = Coordinate(in, range, px);
        py = Coordinate(in, range, py);
        pz = Coordinate(in, range, pz);
        scene.x.push_back(px);
        scene.y.push_back(py);
        scene.z.push_back(pz);
    }
    // Enough triangles for the eight-at-a-time set-up and its remainder.
    const int triangles = in.ConsumeIntegralInRange(1, 40);
    for (int t = 0; t < triangles; ++t) {
        for (int k = 0; k < 3; ++k)
            scene.corners.push_back(in.ConsumeIntegralInRange(0, vertices - 1));
        scene.colors.push_back(0xFF000000u | in.ConsumeIntegral<std::uint32_t>());
    }

    const Buffers baseline = Draw(false, scene, camera, mode, frameSize);
    if (Avx2Available()) {
        const Buffers avx2 = Draw(true, scene, camera, mode, frameSize);
        if (avx2.pixels != baseline.pixels)
            std::abort(); // the paths drew different frames
    }
    return 0;
}
