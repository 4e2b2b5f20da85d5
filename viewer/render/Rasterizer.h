#pragma once
// The software rasterizer: draws a prepared scene into a 450 x 450 colour and
// depth target under a view-projection transform.
//
// Its rules are the OpenGL display's, so that both draw the same picture:
// - screen x = (x/w + 1) * 225, screen y = (1 - y/w) * 225 (y down), depth z/w;
//   vertices snap to 1/256 pixel;
// - triangles that run counter-clockwise on screen are culled;
// - triangles crossing the near plane are clipped, not dropped;
// - a pixel is covered when its centre (x + 0.5, y + 0.5) lies inside the
//   triangle; a centre exactly on an edge belongs to the triangle only when
//   that edge is a top or a left edge, so that triangles sharing an edge draw
//   each pixel along it once;
// - depth test less-or-equal; each triangle has one flat colour;
// - points: each vertex one pixel; wireframe: the triangles' edges.

#include "render/BandWorkers.h"
#include "render/Matrix.h"
#include "render/PreparedScene.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

namespace tolva {

// The display's fill modes, numbered as the render state takes them.
enum class FillMode : int { Points = 1, Wireframe = 2, Solid = 3 };

// Colour and depth of one frame.
class FrameTarget {
public:
    explicit FrameTarget(int size = kTargetSize);

    void clear(PixelColor color, float depth);

    int size() const { return m_size; }
    // Format_RGB32, size x size.
    const QImage& image() const { return m_color; }
    QImage& image() { return m_color; }
    PixelColor* pixels();
    float* depth() { return m_depth.data(); }
    const float* depth() const { return m_depth.data(); }

private:
    int m_size;
    QImage m_color;
    std::vector<float> m_depth;
};

// Which fill code runs. Avx512 is the AVX2 code with its fills of small
// triangles and of cell pairs done in 512-bit registers with per-lane masks
// (the tiny triangles of a distant view stay on AVX2). Automatic takes the
// widest code the processor has; tests force each path to check that they
// agree. A path the processor lacks falls back to the next narrower one.
enum class RasterPath { Automatic, Baseline, Avx2, Avx512 };
void SetRasterPath(RasterPath path);
// The path that runs now: the one set, or the one Automatic resolves to.
RasterPath ActiveRasterPath();
bool Avx2Available();
// AVX-512 with the F, VL, DQ and BW parts, beside AVX2.
bool Avx512Available();

// A transformed position: where it lands on screen and which planes it lies beyond.
struct ScreenVertex {
    std::int32_t x, y;     // 1/256 pixel; 0 when the vertex needs clipping
    float z;               // depth z/w
    std::uint32_t outcode;
};
static_assert(sizeof(ScreenVertex) == 16, "the AVX2 set-up loads one vertex as 16 bytes");

// Rows first .. last of the target.
struct RowSpan {
    int first, last;
};

// Per-frame working storage, kept between frames to avoid allocations, and
// the threads that draw the bands.
struct RasterScratch {
    std::vector<ScreenVertex> screen;
    std::vector<float> cx, cy, cz, cw; // clip-space position
    std::vector<RowSpan> chunkRows;    // the rows each chunk of the scene can reach
    std::vector<float> rowWork;        // the work expected on each row
    std::vector<int> bandEdges;        // band k draws the rows [edges[k], edges[k + 1])
    std::vector<float> bandShares;     // the share of the expected work each band is given
    std::vector<double> bandSeconds;   // how long each band of the last frame took
    // Bands of rows drawn side by side; 0: one per processor core, up to
    // kMaxBands. The frame is the same whatever the number.
    int bands = 0;
    std::unique_ptr<BandWorkers> workers;
};
inline constexpr int kMaxBands = 4;

// What to clear before a frame is drawn: each band clears its own rows just
// before it draws them, while they are in its processor's cache.
struct FrameClear {
    bool color = false, depth = false;
    PixelColor colorValue = 0xFF000000u;
    float depthValue = 1.0f;

    bool any() const { return color || depth; }
    // Clears the rows [rowBegin, rowEnd) of a size x size colour and depth buffer.
    void apply(PixelColor* pixels, float* depth, int size, int rowBegin, int rowEnd) const;
};

// Clears as asked, then draws every triangle of the scene in order: each
// pixel sees the triangles that cover it in the order of the list.
void DrawPreparedScene(FrameTarget& target, const PreparedScene& scene, const Matrix4& viewProjection,
                       FillMode mode, RasterScratch& scratch, const FrameClear& clear = {});

} // namespace tolva
