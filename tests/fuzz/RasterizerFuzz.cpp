// The software rasterizer on any triangles: huge, tiny, degenerate, crossing
// the near plane, with NaN and infinite corners, under any camera, fill mode
// and frame size, drawn whole and in bands of rows.
//
// - Every fill path must stay inside the frame: the AVX2 fill reads and
//   writes whole groups of four or eight pixels near the edge of a triangle's
//   box, so every colour and depth buffer here is allocated at exactly
//   size x size (FrameTarget's too), and AddressSanitizer reports any access
//   past them.
// - Each band must touch its own rows only: bands split anywhere (empty ones
//   included) are drawn one at a time with the other rows poisoned.
// - The frame is the same however it is drawn: the paths agree on the
//   colours, and on one path any band split, with or without the chunk boxes
//   (which let a band skip whole chunks), gives the colours and depths of the
//   frame drawn whole, triangle by triangle, bit for bit.
#include "render/Matrix.h"
#include "render/RasterizerInternal.h"
#include "support/RasterPaths.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

using namespace tolva;
using namespace tolva::testing;

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
    case 5: case 6: case 7: return previous + in.ConsumeFloatingPointInRange(-0.05f, 0.05f) * range;
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

// Loose triangles over up to 48 positions, up to four chunks of them.
void AddSoup(FuzzedDataProvider& in, float range, PreparedScene& scene)
{
    const int vertices = in.ConsumeIntegralInRange(3, 48);
    float px = 0.0f, py = 0.0f, pz = in.ConsumeFloatingPointInRange(0.0f, range);
    for (int i = 0; i < vertices; ++i) {
        scene.x.push_back(px = Coordinate(in, range, px));
        scene.y.push_back(py = Coordinate(in, range, py));
        scene.z.push_back(pz = Coordinate(in, range, pz));
    }
    // Enough triangles for the eight-at-a-time set-up and its remainder,
    // and sometimes for several chunks.
    const int triangles = in.ConsumeIntegralInRange(1, in.ConsumeBool() ? 40 : 250);
    for (int t = 0; t < triangles; ++t)
        for (int k = 0; k < 3; ++k)
            scene.corners.push_back(in.ConsumeIntegralInRange(0, vertices - 1));
}

// A height field as the terrain is built, cell by cell, row by row, so that
// each chunk is a strip of neighbouring cells with a box of its own, some in
// view and some not, some reaching a band and some not.
void AddGrid(FuzzedDataProvider& in, float range, PreparedScene& scene)
{
    const int columns = in.ConsumeIntegralInRange(2, 40), rows = in.ConsumeIntegralInRange(2, 40);
    const float step = in.ConsumeFloatingPointInRange(0.0f, 2.0f * range) / float(columns);
    const float x0 = in.ConsumeFloatingPointInRange(-range, range), y0 = in.ConsumeFloatingPointInRange(-range, range);
    const float rise = in.ConsumeFloatingPointInRange(-range, range) / 255.0f;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            scene.x.push_back(x0 + float(c) * step);
            scene.y.push_back(y0 + float(r) * step);
            scene.z.push_back(float(in.ConsumeIntegral<std::uint8_t>()) * rise);
        }
    const bool flip = in.ConsumeBool(); // the other winding: culled from above
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c) {
            const std::uint32_t a = std::uint32_t(r * columns + c), b = a + 1, d = a + std::uint32_t(columns),
                                e = d + 1;
            const std::uint32_t cell[6] = {a, flip ? d : b, flip ? b : d, b, flip ? d : e, flip ? e : d};
            scene.corners.insert(scene.corners.end(), cell, cell + 6);
        }
}

struct Buffers {
    std::vector<PixelColor> pixels;
    std::vector<float> depth;
};

// Bit for bit, NaN depths included.
bool Same(const PixelColor* pixels, const float* depth, const Buffers& b)
{
    return std::memcmp(pixels, b.pixels.data(), b.pixels.size() * sizeof(PixelColor)) == 0
        && std::memcmp(depth, b.depth.data(), b.depth.size() * sizeof(float)) == 0;
}

// The frame drawn band by band at the given row edges ({0, size}: whole, as
// one band), each band's own rows cleared first, as the frame's bands clear
// them. While a band draws, the rows outside it are poisoned, so that
// AddressSanitizer reports any read or write there, even one that puts back
// the value it read: bands drawn side by side would race on it. The buffers
// are exactly size x size each: no slack that would hide an overrun.
Buffers DrawInBands(RasterPath path, const PreparedScene& scene, const Matrix4& camera, FillMode mode, int size,
                    const std::vector<int>& edges)
{
    Buffers frame{std::vector<PixelColor>(std::size_t(size) * size), std::vector<float>(std::size_t(size) * size)};
    RasterScratch s;
    const float half = size / 2.0f;
    TransformOn(path, scene, camera, half, s);
    const FrameClear clear{true, true, 0xFF000000u, 1.0f};
    const auto poison = [&](int rowBegin, int rowEnd, bool on) {
        const std::size_t at = std::size_t(rowBegin) * size, count = std::size_t(rowEnd - rowBegin) * size;
        const auto mark = on ? __asan_poison_memory_region : __asan_unpoison_memory_region;
        mark(frame.pixels.data() + at, count * sizeof(PixelColor));
        mark(frame.depth.data() + at, count * sizeof(float));
    };
    for (std::size_t k = 0; k + 1 < edges.size(); ++k) {
        const int begin = edges[k], end = edges[k + 1];
        clear.apply(frame.pixels.data(), frame.depth.data(), size, begin, end);
        poison(0, begin, true);
        poison(end, size, true);
        DrawTrianglesOn(path, {frame.pixels.data(), frame.depth.data(), size, begin, end}, scene, mode, half, s);
        poison(0, size, false);
    }
    return frame;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    // Odd, tiny and large frames: the edges of the buffer move with the size.
    // Large ones now and then only, as each run allocates and clears them.
    const int frameSize = in.ConsumeIntegralInRange(0, 31) == 0 ? in.ConsumeIntegralInRange(1, 1200)
                                                               : in.ConsumeIntegralInRange(1, 72);
    const FillMode mode = in.PickValueInArray({FillMode::Solid, FillMode::Solid, FillMode::Wireframe, FillMode::Points});
    const float range = in.PickValueInArray({1.0f, 2.0f, 50.0f, 1000.0f, 1.0e6f});
    const Matrix4 camera = Camera(in, range);
    const int bands = in.ConsumeIntegralInRange(1, 7);
    // Where the bands of the separate drawing split: anywhere, empty bands too.
    std::vector<int> edges{0, frameSize};
    for (int k = 1; k < bands; ++k)
        edges.push_back(in.ConsumeIntegralInRange(0, frameSize));
    std::sort(edges.begin(), edges.end());
    // One path for the band splits, among those this processor has.
    const std::vector<RasterPath> paths = AvailablePaths();
    const RasterPath path = paths[in.ConsumeIntegralInRange<std::size_t>(0, paths.size() - 1)];
    const bool bounded = in.ConsumeBool();

    PreparedScene scene;
    if (in.ConsumeBool())
        AddGrid(in, range, scene);
    else
        AddSoup(in, range, scene);
    // Every triangle its own colour, so that a pixel drawn by the wrong
    // triangle, or by the right ones in the wrong order, shows.
    for (std::uint32_t t = 0; t < scene.corners.size() / 3; ++t)
        scene.colors.push_back(0xFF000000u | ((t + 1u) * 0x9E3779B1u >> 8));
    if (bounded)
        BoundChunks(scene);

    const Buffers baseline = DrawInBands(RasterPath::Baseline, scene, camera, mode, frameSize, {0, frameSize});
    Buffers whole = baseline;
    for (const RasterPath other : paths) {
        if (other == RasterPath::Baseline)
            continue;
        Buffers drawn = DrawInBands(other, scene, camera, mode, frameSize, {0, frameSize});
        if (drawn.pixels != baseline.pixels)
            std::abort(); // the paths drew different frames
        if (other == path)
            whole = std::move(drawn);
    }
    const Buffers split = DrawInBands(path, scene, camera, mode, frameSize, edges);
    if (!Same(split.pixels.data(), split.depth.data(), whole))
        std::abort(); // a band split drew another frame
    // The frame as the displays draw it: `bands` bands side by side on the
    // band workers, split where the work balances, chunks skipped where their
    // boxes allow, each band clearing its rows first. The target starts with
    // leftovers that the clear must replace. One scratch per band count: its
    // workers stay up from run to run.
    static RasterScratch scratch[8];
    scratch[bands].bands = bands;
    SetRasterPath(path);
    FrameTarget frame(frameSize);
    frame.clear(0xFF123456u, -5.0f);
    DrawPreparedScene(frame, scene, camera, mode, scratch[bands], FrameClear{true, true, 0xFF000000u, 1.0f});
    if (!Same(frame.pixels(), frame.depth(), whole))
        std::abort(); // the banded, chunked frame differs from the one drawn whole
    return 0;
}
