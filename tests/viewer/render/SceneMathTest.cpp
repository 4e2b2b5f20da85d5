// View transform and projection, lighting and the flattening of the polygon
// list that both displays draw from.
#include "RenderTestScenes.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace tolva::testing {
namespace {

// A world point as the eye sees it, left-handed: x right, y up, z ahead.
struct ViewCase {
    const char* name;
    Frame (*eye)();
    Vector3 world;
    Vector3 view;
};

void PrintTo(const ViewCase& row, std::ostream* os) { *os << row.name; }

class ViewTransform : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ViewTransform, TakesWorldPointsIntoTheEyesFrame)
{
    const Vector3 w = GetParam().world;
    const ClipPoint p = TransformPoint(ViewMatrixFromFrame(GetParam().eye()), w.x, w.y, w.z);
    EXPECT_NEAR(p.x, GetParam().view.x, 1e-4);
    EXPECT_NEAR(p.y, GetParam().view.y, 1e-4);
    EXPECT_NEAR(p.z, GetParam().view.z, 1e-4);
    EXPECT_FLOAT_EQ(p.w, 1.0f);
}

// The start camera: (90, 30, 180), turned half round to look towards smaller z.
Frame StartCamera() { return StartCameraFrame(ViewState{}); }

// Level at yaw 0 the eye looks along +z; a pitch of +30 degrees, about the
// world's x axis after the yaw, brings a point below the view axis onto it.
Frame PitchedUp() { return MakeFrame({0, 0, 0}, {0.5235988f, 0.0f, 0.0f}, QString()); }

INSTANTIATE_TEST_SUITE_P(
    Points, ViewTransform,
    ::testing::Values(ViewCase{"StartStraightAhead", StartCamera, {90, 30, 100}, {0, 0, 80}},
                      ViewCase{"StartSmallXIsRight", StartCamera, {80, 30, 170}, {10, 0, 10}},
                      ViewCase{"StartGroundBelow", StartCamera, {90, 0, 170}, {0, -30, 10}},
                      ViewCase{"PitchAfterTheYaw", PitchedUp, {0.0f, -0.5f, 0.8660254f}, {0, 0, 1}}),
    tolva::testing::RowName());

TEST(Projection, NearPlaneIsDepthZeroFarPlaneOneAndTheFieldOfViewSixtyDegrees)
{
    const Matrix4 p = ProjectionMatrix();
    const ClipPoint nearPoint = TransformPoint(p, 0, 0, kNearPlane);
    const ClipPoint farPoint = TransformPoint(p, 0, 0, kFarPlane);
    EXPECT_FLOAT_EQ(nearPoint.z / nearPoint.w, 0.0f);
    EXPECT_FLOAT_EQ(farPoint.z / farPoint.w, 1.0f);
    // At distance 10, half the view is 10 tan 30 degrees to each side.
    const ClipPoint edge = TransformPoint(p, 10 * 0.57735027f, -10 * 0.57735027f, 10);
    EXPECT_NEAR(edge.x / edge.w, 1.0f, 1e-6);
    EXPECT_NEAR(edge.y / edge.w, -1.0f, 1e-6);
}

// One vertex at the origin under one light.
struct LightCase {
    const char* name;
    Vector3 normal;
    Light light;
    bool enabled;
    float expected; // every channel
};

void PrintTo(const LightCase& row, std::ostream* os) { *os << row.name; }

Light PointAbove(float colour, float a0, float a1, float a2, float range = 1000.0f)
{
    Light l;
    l.type = PointLight;
    l.ambient = l.diffuse = {colour, colour, colour, 1};
    l.position = {0, 10, 0};
    l.attenuation0 = a0; l.attenuation1 = a1; l.attenuation2 = a2;
    l.range = range;
    return l;
}

class Lighting : public ::testing::TestWithParam<LightCase> {};

TEST_P(Lighting, AmbientPlusDiffuseScaledByAttenuation)
{
    Vertex v;
    v.nx = GetParam().normal.x; v.ny = GetParam().normal.y; v.nz = GetParam().normal.z;
    Material white;
    white.ambient = white.diffuse = {1, 1, 1, 1};
    white.emissive = {0.05f, 0.05f, 0.05f, 0};
    std::vector<NamedLight> lights(2);
    lights[1].light = GetParam().light;
    lights[1].enabled = GetParam().enabled;
    const Color c = LightVertex(v, white, lights);
    EXPECT_NEAR(c.r, GetParam().expected, 1e-5);
    EXPECT_NEAR(c.g, GetParam().expected, 1e-5);
    EXPECT_NEAR(c.b, GetParam().expected, 1e-5);
}

Light Nowhere()
{
    Light l = PointAbove(0.25f, 0, 0.1f, 0);
    l.position = {std::nanf(""), 0, 0};
    return l;
}

Light Directional()
{
    Light l;
    l.type = DirectionalLight;
    l.ambient = l.diffuse = {0.2f, 0.2f, 0.2f, 1};
    l.direction = {0, -2, 0};
    return l;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Lighting,
    ::testing::Values(
        // atten 1 / (0.2 * 10) = 0.5
        LightCase{"Linear", {0, 1, 0}, PointAbove(0.25f, 0, 0.2f, 0), true, 0.3f},
        // atten 1 / (1 + 0.01 * 100) = 0.5
        LightCase{"Quadratic", {0, 1, 0}, PointAbove(0.25f, 1, 0, 0.01f), true, 0.3f},
        LightCase{"NoFallOffWhenAllZero", {0, 1, 0}, PointAbove(0.25f, 0, 0, 0), true, 0.55f},
        // a slope's normal is longer than 1 and catches more light
        LightCase{"LongNormal", {0.5f, 2, 0}, PointAbove(0.2f, 0, 0.1f, 0), true, 0.65f},
        LightCase{"FromBelow", {0, -1, 0}, PointAbove(0.25f, 0, 0.1f, 0), true, 0.3f},
        LightCase{"Clamped", {0, 1, 0}, PointAbove(10.0f, 0, 0.5f, 0), true, 1.0f},
        // atten 1 / (0.1 * 10) = 1: 0.05 + 0.25 + 0.25, at the range's end
        LightCase{"JustInRange", {0, 1, 0}, PointAbove(0.25f, 0, 0.1f, 0, 10.0f), true, 0.55f},
        LightCase{"BeyondRange", {0, 1, 0}, PointAbove(0.25f, 0, 0.1f, 0, 9.99f), true, 0.05f},
        LightCase{"Disabled", {0, 1, 0}, PointAbove(0.25f, 0, 0.1f, 0), false, 0.05f},
        LightCase{"Directional", {0, 1, 0}, Directional(), true, 0.45f},
        // a light at no place lights nothing, rather than a colour that is not a number
        LightCase{"NotANumber", {0, 1, 0}, Nowhere(), true, 0.0f}),
    tolva::testing::RowName());

Polygon Strip(std::uint8_t material, std::uint8_t texture = 0)
{
    Polygon p;
    p.PrimType = TriangleStrip;
    p.Material = material;
    p.Texture = texture;
    p.Vertices = {{1, 0, 2, 0, 1, 0}, {2, 0, 2, 0, 1, 0}, {1, 0, 1, 0, 1, 0}, {2, 0, 1, 0, 1, 0}};
    return p;
}

Scene LitScene(std::initializer_list<Polygon> polygons)
{
    Scene scene;
    for (const Polygon& p : polygons)
        AddPolygon(scene, p);
    CreateMaterials(scene, 0x0000FFu); // "Land", pure red
    ViewState view;
    view.LightAttenuation = 1.0f; // dim enough that nothing saturates
    CreateLights(scene, view);
    return scene;
}

struct PrimitiveCase {
    const char* name;
    std::int32_t type;
    int vertices;
    std::vector<std::array<int, 4>> triangles; // three corners, then the vertex that colours it
};

void PrintTo(const PrimitiveCase& row, std::ostream* os) { *os << row.name; }

class Primitives : public ::testing::TestWithParam<PrimitiveCase> {};

TEST_P(Primitives, SplitIntoTrianglesColouredByTheirFirstVertex)
{
    Polygon p;
    p.PrimType = GetParam().type;
    p.Material = 1;
    for (int i = 0; i < GetParam().vertices; ++i) // vertex i at x = i, lit more with each i
        p.Vertices.push_back({float(i), 0, float(i % 2), 0, 1.0f + i, 0});
    const Scene scene = LitScene({p});
    const PreparedScene prepared = PrepareScene(scene, DefaultMaterial().material);
    ASSERT_EQ(prepared.triangleCount(), GetParam().triangles.size());
    for (std::size_t t = 0; t < prepared.triangleCount(); ++t) {
        const auto& expected = GetParam().triangles[t];
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(prepared.x[prepared.corners[3 * t + k]], float(expected[k])) << "triangle " << t;
        EXPECT_EQ(prepared.colors[t], ToPixel(LightVertex(p.Vertices[expected[3]], scene.MaterialList()[1].material,
                                                          scene.LightList())))
            << "triangle " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, Primitives,
    ::testing::Values(
        PrimitiveCase{"ListWithALeftOver", TriangleList, 7, {{0, 1, 2, 0}, {3, 4, 5, 3}}},
        PrimitiveCase{"Strip", TriangleStrip, 5, {{0, 1, 2, 0}, {2, 1, 3, 1}, {2, 3, 4, 2}}},
        PrimitiveCase{"Fan", TriangleFan, 5, {{0, 1, 2, 1}, {0, 2, 3, 2}, {0, 3, 4, 3}}}),
    tolva::testing::RowName());

// Material 0 is the default before any other and the empty placeholder after
// one; a material is selected only when it differs from the polygon before.
TEST(PrepareScene, MaterialZeroIsTheDefaultFirstAndThePlaceholderAfterAnother)
{
    const Scene scene = LitScene({Strip(0), Strip(1), Strip(1), Strip(0)});
    const PreparedScene p = PrepareScene(scene, DefaultMaterial().material);
    ASSERT_EQ(p.triangleCount(), 8u);
    const PixelColor white = p.colors[0], red = p.colors[4], placeholder = p.colors[6];
    EXPECT_EQ(white & 0xFFu, (white >> 16) & 0xFFu) << "the default material is white";
    EXPECT_GT(white & 0xFFu, 0u);
    EXPECT_EQ(red & 0xFFFFu, 0u) << "\"Land\" of pure red";
    EXPECT_GT(red >> 16 & 0xFFu, 0u);
    EXPECT_EQ(placeholder, 0xFF000000u) << "the empty placeholder lights nothing";
    EXPECT_EQ(p.materialChanges, 3);
    EXPECT_EQ(p.textureChanges, 0);
    EXPECT_TRUE(p.ok);
}

TEST(PrepareScene, UnknownMaterialOrTextureFailsTheSelectionButStillDraws)
{
    const PreparedScene badMaterial = PrepareScene(LitScene({Strip(1), Strip(7)}), DefaultMaterial().material);
    EXPECT_FALSE(badMaterial.ok);
    ASSERT_EQ(badMaterial.triangleCount(), 4u);
    EXPECT_EQ(badMaterial.colors[2], badMaterial.colors[0]) << "drawn with the material before it";
    EXPECT_FALSE(PrepareScene(LitScene({Strip(1, 3)}), DefaultMaterial().material).ok);
}

TEST(PrepareScene, ShortAndUnknownPrimitivesDrawNothing)
{
    Polygon two = Strip(1);
    two.Vertices.resize(2);
    Polygon lines = Strip(1);
    lines.PrimType = 2;
    const PreparedScene p = PrepareScene(LitScene({two, lines}), DefaultMaterial().material);
    EXPECT_EQ(p.triangleCount(), 0u);
    EXPECT_FALSE(p.ok);
}

TEST(PrepareScene, TerrainCornersAreSharedBetweenCells)
{
    const PreparedScene p = PrepareScene(VolcanoScene(), DefaultMaterial().material);
    EXPECT_EQ(p.triangleCount(), 64800u);
    EXPECT_EQ(p.x.size(), 181u * 181u);
}

} // namespace
} // namespace tolva::testing
