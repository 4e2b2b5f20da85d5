// The software rasterizer's rules: which pixels a triangle covers, culling,
// depth, clipping at the near plane, the fill modes, and the two code paths.
#include "RenderTestScenes.h"
#include "support/RasterPaths.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <limits>

namespace tolva::testing {
namespace {

constexpr PixelColor kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlack = 0xFF000000u;

struct Triangle { ScreenCorner a, b, c; };

// Adds a screen triangle in clockwise (visible) order.
void AddClockwise(PreparedScene& scene, Triangle t, PixelColor color, int size = kTargetSize)
{
    if ((t.b.x - t.a.x) * (t.c.y - t.a.y) < (t.b.y - t.a.y) * (t.c.x - t.a.x))
        std::swap(t.b, t.c);
    AddScreenTriangle(scene, t.a, t.b, t.c, color, size);
}

// Pixels [x0, x1) x [y0, y1) must be covered exactly once; `total` is the
// number of pixels covered in all, -1 when not fixed.
struct TilingCase { const char* name; std::vector<Triangle> (*mesh)(); int x0, y0, x1, y1, total; };

void PrintTo(const TilingCase& row, std::ostream* os) { *os << row.name; }

class FillRule : public ::testing::TestWithParam<TilingCase> {};

TEST_P(FillRule, SharedEdgesDrawEachPixelOnceWithoutGaps)
{
    const TilingCase& c = GetParam();
    // How often each pixel is covered when the triangles are drawn one by one.
    std::vector<int> count(kTargetSize * kTargetSize, 0);
    for (const Triangle& t : c.mesh()) {
        PreparedScene scene;
        AddClockwise(scene, t, kRed);
        const QImage image = Draw(scene).image();
        for (int i = 0; i < kTargetSize * kTargetSize; ++i)
            count[i] += image.pixel(i % kTargetSize, i / kTargetSize) == kRed;
    }
    // Once each inside the square, at most once outside it.
    for (int y = 0; y < kTargetSize; ++y)
        for (int x = 0; x < kTargetSize; ++x) {
            const int n = count[y * kTargetSize + x];
            ASSERT_TRUE(n == 1 || (n == 0 && !(x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1)))
                << "drawn " << n << " times at (" << x << ", " << y << ")";
        }
    if (c.total >= 0) {
        EXPECT_EQ(std::count(count.begin(), count.end(), 1), c.total);
    }
}

std::vector<Triangle> FanThroughCentres()
{
    // Eight triangles around a pixel centre, every edge through pixel centres:
    // the square's top and left edges are inside, bottom and right outside.
    const double c = 150.5, r = 40;
    const ScreenCorner ring[8] = {{c - r, c - r}, {c, c - r}, {c + r, c - r}, {c + r, c},
                                  {c + r, c + r}, {c, c + r}, {c - r, c + r}, {c - r, c}};
    std::vector<Triangle> mesh;
    for (int k = 0; k < 8; ++k)
        mesh.push_back({{c, c}, ring[k], ring[(k + 1) % 8]});
    return mesh;
}

std::vector<Triangle> JitteredGrid()
{
    // 12 x 12 quads of about 7 pixels with corners moved by sub-pixel amounts.
    const auto corner = [](int i, int j) {
        const double jx = std::fmod(i * 0.618 + j * 0.414, 1.0) - 0.5;
        const double jy = std::fmod(i * 0.302 + j * 0.771, 1.0) - 0.5;
        return ScreenCorner{60 + i * 7.3 + jx * 3, 70 + j * 6.9 + jy * 3};
    };
    std::vector<Triangle> mesh;
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 12; ++j) {
            mesh.push_back({corner(i, j), corner(i + 1, j), corner(i, j + 1)});
            mesh.push_back({corner(i, j + 1), corner(i + 1, j), corner(i + 1, j + 1)});
        }
    return mesh;
}

std::vector<Triangle> SliversAtTargetEdge()
{
    // Thin triangles sharing edges, partly outside the target on the right and bottom.
    return {{{430.25, 430.5}, {470.0, 431.0}, {440.0, 470.0}},
            {{430.25, 430.5}, {440.0, 470.0}, {420.5, 460.75}}};
}

INSTANTIATE_TEST_SUITE_P(
    Meshes, FillRule,
    ::testing::Values(TilingCase{"FanThroughCentres", FanThroughCentres, 110, 110, 190, 190, 6400},
                      TilingCase{"JitteredGrid", JitteredGrid, 64, 74, 144, 148, -1},
                      TilingCase{"SliversAtTargetEdge", SliversAtTargetEdge, 432, 440, 440, 450, -1}),
    tolva::testing::RowName());

TEST(Rasterizer, CoversPixelsWhoseCentresLieInside)
{
    // A right triangle with its corners on pixel corners: row y covers the
    // centres left of the hypotenuse, x + 0.5 < 10 - (y + 0.5) from x = 0.
    PreparedScene scene;
    AddScreenTriangle(scene, {0, 0}, {10, 0}, {0, 10}, kRed);
    const QImage image = Draw(scene).image();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(image.pixel(x, y) == kRed, x + y < 9) << x << ", " << y;
}

// Counter-clockwise triangles are culled; so is one a hair beyond the far
// plane, while one on it still draws (the depth test below).
TEST(Rasterizer, CullsCounterClockwiseTrianglesAndThoseBeyondTheFarPlane)
{
    PreparedScene clockwise, counter, beyond;
    AddScreenTriangle(clockwise, {100, 100}, {200, 100}, {100, 200}, kRed);
    AddScreenTriangle(counter, {100, 100}, {100, 200}, {200, 100}, kRed);
    AddScreenTriangle(beyond, {50, 50, 1.001f}, {300, 50, 1.001f}, {50, 300, 1.001f}, kRed);
    EXPECT_GT(CountPixels(Draw(clockwise).image(), kRed), 4000);
    EXPECT_EQ(CountPixels(Draw(counter).image(), kRed), 0);
    EXPECT_EQ(CountPixels(Draw(beyond).image(), kRed), 0);
}

// The nearer of two overlapping triangles wins; at equal depth, on the far
// plane too, the later one.
TEST(Rasterizer, NearerWinsAndEqualDepthGoesToTheLater)
{
    for (const auto& [first, second, expected] :
         {std::tuple{0.2f, 0.6f, kRed}, {0.4f, 0.4f, kGreen}, {1.0f, 1.0f, kGreen}}) {
        SCOPED_TRACE(::testing::Message() << first << " then " << second);
        PreparedScene scene;
        AddScreenTriangle(scene, {50, 50, first}, {300, 50, first}, {50, 300, first}, kRed);
        AddScreenTriangle(scene, {60, 60, second}, {310, 60, second}, {60, 310, second}, kGreen);
        const FrameTarget target = Draw(scene);
        EXPECT_EQ(target.image().pixel(100, 100), expected);
        EXPECT_FLOAT_EQ(target.depth()[100 * kTargetSize + 100], std::min(first, second));
    }
}

TEST(Rasterizer, FillModes)
{
    // Corners on pixel centres, so that each point is one known pixel.
    PreparedScene scene;
    AddScreenTriangle(scene, {100.5, 100.5}, {140.5, 100.5}, {100.5, 140.5}, kRed);
    const QImage points = Draw(scene, FillMode::Points).image();
    const QImage wire = Draw(scene, FillMode::Wireframe).image();

    EXPECT_EQ(CountPixels(points, kRed), 3);
    EXPECT_TRUE(points.pixel(100, 100) == kRed && points.pixel(140, 100) == kRed && points.pixel(100, 140) == kRed);

    EXPECT_EQ(wire.pixel(120, 120), kRed); // on the slanted edge
    EXPECT_EQ(wire.pixel(110, 110), kBlack); // inside
    EXPECT_LT(CountPixels(wire, kRed), 130);

    EXPECT_EQ(CountPixels(Draw(scene, FillMode::Solid).image(), kRed), 40 * 41 / 2);
}

// A triangle in world units, for the tests that bring their own transform.
void AddWorldTriangle(PreparedScene& scene, std::initializer_list<Vector3> corners, PixelColor color)
{
    for (const Vector3& v : corners) {
        scene.corners.push_back(std::uint32_t(scene.x.size()));
        scene.x.push_back(v.x); scene.y.push_back(v.y); scene.z.push_back(v.z);
    }
    scene.colors.push_back(color);
}

TEST(Rasterizer, ClipsTrianglesCrossingTheNearPlaneInsteadOfDroppingThem)
{
    // Ground two units below an eye at the origin looking along +z; two corners
    // lie behind the eye. Its visible part is the triangle cut at z = 1, which
    // is drawn for comparison: both must cover the same pixels.
    const Matrix4 projection = ProjectionMatrix();
    PreparedScene crossing, cut, behind;
    AddWorldTriangle(crossing, {{0, -2, 50}, {10, -2, -5}, {-10, -2, -5}}, kRed);
    const float t = 49.0f / 55.0f; // from the far corner to the near plane
    AddWorldTriangle(cut, {{0, -2, 50}, {10 * t, -2, 1.0001f}, {-10 * t, -2, 1.0001f}}, kRed);
    AddWorldTriangle(behind, {{0, -2, -50}, {-10, -2, -5}, {10, -2, -5}}, kRed);
    const QImage clipped = Draw(crossing, FillMode::Solid, projection).image();
    const QImage reference = Draw(cut, FillMode::Solid, projection).image();

    int differ = 0;
    for (int y = 0; y < kTargetSize; ++y)
        for (int x = 0; x < kTargetSize; ++x)
            differ += clipped.pixel(x, y) != reference.pixel(x, y);
    EXPECT_LT(differ, 50);
    EXPECT_GT(CountPixels(clipped, kRed), 20000);
    EXPECT_EQ(CountPixels(Draw(behind, FillMode::Solid, projection).image(), kRed), 0) << "wholly behind the eye";
}

// The frame drawn on one code path; the path is Automatic again afterwards.
FrameTarget DrawOn(RasterPath path, const PreparedScene& scene, FillMode mode, const Matrix4& transform,
                   int size = kTargetSize, int bands = 0)
{
    SetRasterPath(path);
    FrameTarget target = Draw(scene, mode, transform, size, bands);
    SetRasterPath(RasterPath::Automatic);
    return target;
}

// size x size values that end just before a page no access is allowed to,
// or with `atStart` begin just after one: a read or a write past that side
// of the frame faults. `data` is null when no guard page could be had.
template <typename T>
struct GuardedFrame {
    GuardedFrame(int size, bool atStart, T value) : count(std::size_t(size) * size)
    {
        const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
        bytes = (count * sizeof(T) + page - 1) / page * page + page;
        block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED)
            return;
        char* const guard = static_cast<char*>(block) + (atStart ? 0 : bytes - page);
        if (mprotect(guard, page, PROT_NONE) != 0)
            return;
        data = atStart ? reinterpret_cast<T*>(guard + page) : reinterpret_cast<T*>(guard) - count;
        std::fill(data, data + count, value);
    }
    ~GuardedFrame() { if (block != MAP_FAILED) munmap(block, bytes); }
    GuardedFrame(const GuardedFrame&) = delete;
    std::vector<T> values() const { return {data, data + count}; }

    std::size_t count, bytes;
    void* block;
    T* data = nullptr;
};

// Cells of every width up to twenty pixels in each corner of a frame whose
// rows do not start on a multiple of eight values: no path reads or writes
// anything before the frame's first pixel or after its last, and every path
// draws the same frame.
TEST(Rasterizer, NoPathTouchesMemoryOutsideTheFrame)
{
    constexpr int size = 37;
    PreparedScene scene;
    for (int w = 1; w <= 20; ++w) {
        const float z = 0.5f - 0.01f * float(w); // each nearer than the last
        for (const auto& [x, y] : {std::pair{0, 0}, {size - w, 0}, {0, size - w}, {size - w, size - w}}) {
            AddScreenTriangle(scene, {x + 0.0, y + 0.0, z}, {x + w + 0.0, y + 0.0, z}, {x + 0.0, y + w + 0.0, z},
                              0xFF000000u | std::uint32_t(w * 12), size);
            AddScreenTriangle(scene, {x + w + 0.0, y + 0.0, z}, {x + w + 0.0, y + w + 0.0, z},
                              {x + 0.0, y + w + 0.0, z}, 0xFF008000u | std::uint32_t(w * 12), size);
        }
    }
    std::vector<PixelColor> reference;
    for (const RasterPath path : AvailablePaths()) {
        for (const bool atStart : {false, true}) {
            SCOPED_TRACE(::testing::Message() << int(path) << (atStart ? ", guarded before" : ", guarded after"));
            GuardedFrame<PixelColor> pixels(size, atStart, kBlack);
            GuardedFrame<float> depth(size, atStart, 1.0f);
            ASSERT_TRUE(pixels.data && depth.data) << "no guard page to be had";
            RasterScratch s;
            TransformOn(path, scene, IdentityMatrix(), size / 2.0f, s);
            DrawTrianglesOn(path, {pixels.data, depth.data, size, 0, size}, scene, FillMode::Solid, size / 2.0f, s);
            if (reference.empty())
                reference = pixels.values();
            EXPECT_EQ(pixels.values(), reference);
        }
    }
    EXPECT_EQ(std::count(reference.begin(), reference.end(), kBlack), 0) << "the cells cover the frame";
}

// A corner at the eye (w = 0), with a w too small to invert or with x and w
// both infinite has no place on screen: its triangle draws nothing, the same
// on both paths, and the triangles around it still draw.
TEST(Rasterizer, DrawsNothingForCornersWithoutAScreenPosition)
{
    Matrix4 depthIsW = IdentityMatrix(); // clip (x, y, z, z): screen x = (x/z + 1) * 225
    depthIsW.m[2][3] = 1.0f;
    depthIsW.m[3][3] = 0.0f;
    const float inf = std::numeric_limits<float>::infinity();
    PreparedScene scene;
    // Eight triangles and more, so that the AVX2 code sets them up in a batch.
    for (int round = 0; round < 3; ++round) {
        for (const Vector3& odd : {Vector3{0, 0, 0}, Vector3{0, 0, 1e-40f}, Vector3{inf, 0, inf}}) {
            AddWorldTriangle(scene, {odd, {0.5f, 0.5f, 1}, {0.5f, -0.5f, 1}}, kRed);
            AddWorldTriangle(scene, {odd, {0.5f, -0.5f, 1}, {0.5f, 0.5f, 1}}, kRed); // the other winding
        }
        AddWorldTriangle(scene, {{-0.5f, 0.5f, 1}, {-0.2f, -0.5f, 1}, {-0.8f, -0.5f, 1}}, kGreen);
    }
    const FrameTarget automatic = Draw(scene, FillMode::Solid, depthIsW);
    EXPECT_EQ(CountPixels(automatic.image(), kRed), 0);
    EXPECT_GT(CountPixels(automatic.image(), kGreen), 1000);
    for (const FillMode mode : {FillMode::Wireframe, FillMode::Points})
        EXPECT_EQ(CountPixels(Draw(scene, mode, depthIsW).image(), kRed), 0);
    for (const RasterPath path : AvailablePaths())
        EXPECT_TRUE(DrawOn(path, scene, FillMode::Solid, depthIsW).image() == automatic.image()) << int(path);
}

// Small triangles whose neighbours in the list land anywhere on screen,
// overlap, tie in depth and touch the target's edges: every case the batched
// and the banded code must keep in order.
PreparedScene ScatteredTriangles(int size)
{
    PreparedScene scene;
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    double cx = 0, cy = 0;
    for (int i = 0; i < 4000; ++i) {
        // Mostly in overlapping pairs around one point, now and then anywhere.
        if (i % 2 == 0 || i % 11 == 0) {
            cx = next() * (size + 20) - 10;
            cy = next() * (size + 20) - 10;
        }
        const double x = cx + next() * 2, y = cy + next() * 2;
        // Most under four pixels, some pairs up to eight across, a few large.
        const double extent = 0.3 + next() * (i % 13 == 0 ? 120 : i % 6 < 2 ? 6 : 3);
        const float z = float(int(next() * 4)) / 4.0f; // few depths: many ties
        const Triangle t{{x, y, z}, {x + extent * next(), y + extent * next(), z},
                         {x + extent * next(), y - extent * next(), z}};
        AddClockwise(scene, t, 0xFF000000u | (seed & 0xFFFFFFu), size); // the seed after the corners' draws
    }
    BoundChunks(scene);
    return scene;
}

PreparedScene Volcano(int)
{
    static const Scene volcano = VolcanoScene();
    return PrepareScene(volcano, DefaultMaterial().material);
}

// Low over the ground, turned: big triangles near the eye, many clipped.
Frame Walking() { return {{60.0f, 2.5f, 40.0f}, {0.1f, 0.8f, 0.0f}, {}}; }

// One frame drawn every way the rasterizer may draw it. The reference is the
// scene without chunk boxes, triangle by triangle, on the baseline code in one
// band; with its chunks skipped (out of view or out of a band), in one band and
// in several, on the baseline and the AVX2 code, it must be that frame pixel
// for pixel and depth for depth. A null camera: the scene is already on screen.
struct FrameCase { const char* name; PreparedScene (*scene)(int); Frame (*camera)(); FillMode mode; int size, bands; };

void PrintTo(const FrameCase& row, std::ostream* os) { *os << row.name; }

class SameFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(SameFrame, OnBothCodePathsInBandsAndWithChunksSkipped)
{
    const FrameCase& c = GetParam();
    const PreparedScene bounded = c.scene(c.size);
    ASSERT_FALSE(bounded.chunks.empty());
    PreparedScene unbounded = bounded;
    unbounded.chunks.clear();
    const Matrix4 transform =
        c.camera ? MatrixMultiply(ViewMatrixFromFrame(c.camera()), ProjectionMatrix()) : IdentityMatrix();
    const FrameTarget reference = DrawOn(RasterPath::Baseline, unbounded, c.mode, transform, c.size, 1);
    EXPECT_LT(CountPixels(reference.image(), kBlack), c.size * c.size) << "nothing drawn";
    for (const RasterPath path : AvailablePaths()) {
        for (const int bands : {1, c.bands}) {
            SCOPED_TRACE(::testing::Message() << "path " << int(path) << ", " << bands << " band(s)");
            const FrameTarget actual = DrawOn(path, bounded, c.mode, transform, c.size, bands);
            ASSERT_EQ(actual.size(), c.size);
            EXPECT_TRUE(reference.image() == actual.image());
            EXPECT_EQ(0, std::memcmp(reference.depth(), actual.depth(), sizeof(float) * c.size * c.size));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SameFrame,
    ::testing::Values(FrameCase{"StartWireThree", Volcano, StartCamera, FillMode::Wireframe, kTargetSize, 3},
                      FrameCase{"HighAboveSolidFour", Volcano, HighAbove, FillMode::Solid, kTargetSize, 4},
                      FrameCase{"HighAbovePointsTwo", Volcano, HighAbove, FillMode::Points, kTargetSize, 2},
                      FrameCase{"HighAboveSolid900Two", Volcano, HighAbove, FillMode::Solid, 900, 2},
                      FrameCase{"WalkingSolidSeven", Volcano, Walking, FillMode::Solid, kTargetSize, 7},
                      FrameCase{"ScatteredSolid451Seven", ScatteredTriangles, nullptr, FillMode::Solid, 451, 7},
                      FrameCase{"ScatteredPointsThree", ScatteredTriangles, nullptr, FillMode::Points, kTargetSize, 3}),
    tolva::testing::RowName());

// The rows a chunk's box can reach, as the AVX2 code bounds them for many
// boxes at once: the baseline's rows within one, the same boxes skipped (beyond
// a plane) and the same boxes reaching every row (across the eye, not numbers).
TEST(ChunkBounds, AgreeOnBothCodePaths)
{
    if (!Avx2Available())
        GTEST_SKIP() << "no AVX2 here";
    const Matrix4 m = ProjectionMatrix();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // In front of the eye at the origin, looking along z.
    for (const auto& [name, box] : {std::pair{"InView", ChunkBox{{-1, -0.5f, 5}, {1, 0.25f, 6}}},
                                    {"TopEdge", {{-1, 3, 5}, {1, 6, 6}}},
                                    {"BeyondLeft", {{-100, 0, 5}, {-50, 1, 6}}},
                                    {"BeyondTop", {{0, 50, 5}, {1, 100, 6}}},
                                    {"BehindTheEye", {{-1, -1, -6}, {1, 1, -5}}},
                                    {"AcrossTheEye", {{-1, -1, -1}, {1, 1, 5}}},
                                    {"NotANumber", {{nan, -1, 5}, {1, 1, 6}}},
                                    {"BeyondFloats", {{-3e38f, -1, 5}, {3e38f, 1, 6}}}}) {
        SCOPED_TRACE(name);
        const RowSpan expected = raster::ChunkRows(box, m, kTargetSize);
        // Among other boxes, so that its place in the list does not matter.
        const ChunkBox boxes[3] = {{{-1, -1, 5}, {1, 1, 6}}, box, {{-100, 0, 5}, {-50, 1, 6}}};
        RowSpan rows[3];
        raster::ChunkRowsAvx2(boxes, 3, m, kTargetSize, rows);
        const RowSpan actual = rows[1];
        const bool skipped = expected.first > expected.last;
        const bool every = expected.first <= 0 && expected.last >= kTargetSize - 1;
        if (skipped || every) {
            EXPECT_EQ(actual.first > actual.last, skipped);
            EXPECT_EQ(actual.first <= 0 && actual.last >= kTargetSize - 1, every);
        } else {
            EXPECT_NEAR(actual.first, expected.first, 1);
            EXPECT_NEAR(actual.last, expected.last, 1);
        }
    }
}

} // namespace
} // namespace tolva::testing
