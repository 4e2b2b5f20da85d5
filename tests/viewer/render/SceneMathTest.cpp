// View transform and projection, lighting and the flattening of the polygon
// list that both displays draw from.
#include "RenderTestScenes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

namespace tolva::testing {
namespace {

using ::testing::Each, ::testing::FieldsAre, ::testing::FloatEq, ::testing::FloatNear;

// A world point as the eye sees it, left-handed: x right, y up, z ahead.
TEST(ViewTransform, TakesWorldPointsIntoTheEyesFrame)
{
    // Level at yaw 0 the eye looks along +z; a pitch of +30 degrees, about the
    // world's x axis after the yaw, brings a point below the view axis onto it.
    const Frame pitchedUp = MakeFrame({0, 0, 0}, {0.5235988f, 0.0f, 0.0f}, QString());
    for (const auto& [name, eye, world, view] :
         {std::tuple{"StartStraightAhead", StartCamera(), Vector3{90, 30, 100}, Vector3{0, 0, 80}},
          {"StartSmallXIsRight", StartCamera(), {80, 30, 170}, {10, 0, 10}},
          {"StartGroundBelow", StartCamera(), {90, 0, 170}, {0, -30, 10}},
          {"PitchAfterTheYaw", pitchedUp, {0.0f, -0.5f, 0.8660254f}, {0, 0, 1}}}) {
        const ClipPoint p = TransformPoint(ViewMatrixFromFrame(eye), world.x, world.y, world.z);
        EXPECT_THAT(p, FieldsAre(FloatNear(view.x, 1e-4), FloatNear(view.y, 1e-4), FloatNear(view.z, 1e-4), FloatEq(1)))
            << name;
    }
}

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

Light PointAbove(float colour, float a0, float a1, float a2, float range = 1000.0f)
{
    const Color c{colour, colour, colour, 1};
    return {.type = PointLight, .diffuse = c, .specular = {}, .ambient = c, .position = {0, 10, 0}, .direction = {},
            .range = range, .attenuation0 = a0, .attenuation1 = a1, .attenuation2 = a2};
}

Light Nowhere()
{
    Light l = PointAbove(0.25f, 0, 0.1f, 0);
    l.position = {std::nanf(""), 0, 0};
    return l;
}

Light Directional()
{
    const Color c{0.2f, 0.2f, 0.2f, 1};
    return {.type = DirectionalLight, .diffuse = c, .specular = {}, .ambient = c, .position = {},
            .direction = {0, -2, 0}};
}

// One vertex at the origin under one light: the emission, plus ambient and
// diffuse scaled by the attenuation.
TEST(Lighting, AmbientPlusDiffuseScaledByAttenuation)
{
    // `expected`: every channel.
    const struct { const char* name; Vector3 normal; Light light; bool enabled; float expected; } rows[] = {
        // atten 1 / (0.2 * 10) = 0.5
        {"Linear", {0, 1, 0}, PointAbove(0.25f, 0, 0.2f, 0), true, 0.3f},
        {"NoFallOffWhenAllZero", {0, 1, 0}, PointAbove(0.25f, 0, 0, 0), true, 0.55f},
        // a slope's normal is longer than 1 and catches more light
        {"LongNormal", {0.5f, 2, 0}, PointAbove(0.2f, 0, 0.1f, 0), true, 0.65f},
        {"FromBelow", {0, -1, 0}, PointAbove(0.25f, 0, 0.1f, 0), true, 0.3f},
        {"Clamped", {0, 1, 0}, PointAbove(10.0f, 0, 0.5f, 0), true, 1.0f},
        // atten 1 / (0.1 * 10) = 1: 0.05 + 0.25 + 0.25, at the range's end
        {"JustInRange", {0, 1, 0}, PointAbove(0.25f, 0, 0.1f, 0, 10.0f), true, 0.55f},
        {"BeyondRange", {0, 1, 0}, PointAbove(0.25f, 0, 0.1f, 0, 9.99f), true, 0.05f},
        {"Disabled", {0, 1, 0}, PointAbove(0.25f, 0, 0.1f, 0), false, 0.05f},
        {"Directional", {0, 1, 0}, Directional(), true, 0.45f},
        // a light at no place lights nothing, rather than a colour that is not a number
        {"NotANumber", {0, 1, 0}, Nowhere(), true, 0.0f}};
    const Material white{.diffuse = {1, 1, 1, 1}, .ambient = {1, 1, 1, 1}, .specular = {},
                         .emissive = {0.05f, 0.05f, 0.05f, 0}};
    for (const auto& row : rows) {
        const Vertex v{0, 0, 0, row.normal.x, row.normal.y, row.normal.z};
        const Color c = LightVertex(v, white, {NamedLight{}, NamedLight{row.light, {}, row.enabled}});
        EXPECT_THAT((std::array{c.r, c.g, c.b}), Each(FloatNear(row.expected, 1e-5))) << row.name;
    }
}

Polygon Strip(std::uint8_t material, std::uint8_t texture = 0)
{
    return {.Vertices = {{1, 0, 2, 0, 1, 0}, {2, 0, 2, 0, 1, 0}, {1, 0, 1, 0, 1, 0}, {2, 0, 1, 0, 1, 0}},
            .PrimType = TriangleStrip, .Material = material, .Texture = texture};
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

// A strip's triangles turn every other one round so that all keep one
// winding; StripColours checks that each takes its first vertex's colour.
TEST(PrepareScene, AStripsTrianglesKeepOneWinding)
{
    Polygon p{.Vertices = {}, .PrimType = TriangleStrip, .Material = 1};
    for (int i = 0; i < 5; ++i) // vertex i at x = i
        p.Vertices.push_back({float(i), 0, float(i % 2), 0, 1, 0});
    const PreparedScene prepared = PrepareScene(LitScene({p}), DefaultMaterial().material);
    const float expected[3][3] = {{0, 1, 2}, {2, 1, 3}, {2, 3, 4}};
    ASSERT_EQ(prepared.triangleCount(), 3u);
    for (std::size_t t = 0; t < 3; ++t)
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(prepared.x[prepared.corners[3 * t + k]], expected[t][k]) << "triangle " << t;
}

// Material 0 is the default before any other and the empty placeholder after
// one; a material is selected only when it differs from the polygon before.
TEST(PrepareScene, MaterialZeroIsTheDefaultFirstAndThePlaceholderAfterAnother)
{
    const Scene scene = LitScene({Strip(0), Strip(1), Strip(1), Strip(0)});
    const PreparedScene p = PrepareScene(scene, DefaultMaterial().material);
    ASSERT_EQ(p.triangleCount(), 8u);
    const PixelColor white = p.colors[0], red = p.colors[4], placeholder = p.colors[6];
    EXPECT_EQ(white & 0xFFu, (white >> 16) & 0xFFu) << "the default material is white";
    EXPECT_EQ(red & 0xFFFFu, 0u) << "\"Land\" of pure red";
    EXPECT_EQ(placeholder, 0xFF000000u) << "the empty placeholder lights nothing";
    EXPECT_EQ(p.materialChanges, 3);
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

std::tuple<std::uint32_t, std::uint32_t, std::uint32_t> Bits(float x, float y, float z)
{
    return {std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y), std::bit_cast<std::uint32_t>(z)};
}

// Triangle lists, so that corner i of the prepared scene is vertex i of the
// polygons taken in order.
void ExpectDistinctPositionsInTheirFirstOrder(const std::vector<std::vector<Vector3>>& polygons)
{
    Scene scene;
    for (const auto& corners : polygons) {
        Polygon p{.Vertices = {}, .PrimType = TriangleList, .Material = 1};
        for (const Vector3& c : corners)
            p.Vertices.push_back({c.x, c.y, c.z, 0, 1, 0});
        AddPolygon(scene, p);
    }
    CreateMaterials(scene, 0x0000FFu);
    const PreparedScene prepared = PrepareScene(scene, DefaultMaterial().material);

    // Every vertex's position, corner or left over, numbered as first met;
    // -0 is kept as +0, every other value to the bit, NaNs' payloads too.
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>, std::uint32_t> numbers;
    std::vector<std::uint32_t> corners;
    for (const auto& polygon : polygons)
        for (std::size_t k = 0; k < polygon.size(); ++k) {
            const Vector3& c = polygon[k];
            const auto key = Bits(c.x + 0.0f, c.y + 0.0f, c.z + 0.0f);
            const auto [at, added] = numbers.emplace(key, std::uint32_t(numbers.size()));
            if (added) {
                ASSERT_LT(at->second, prepared.x.size());
                ASSERT_EQ(Bits(prepared.x[at->second], prepared.y[at->second], prepared.z[at->second]), key)
                    << "position " << at->second;
            }
            if (k < polygon.size() / 3 * 3) // a vertex left over is no corner
                corners.push_back(at->second);
        }
    EXPECT_EQ(prepared.x.size(), numbers.size());
    EXPECT_EQ(prepared.corners, corners);
}

// 3,000 corners none alike: far more positions than a third of the
// vertices, so the table grows twice on the way.
TEST(Positions, AllDistinctAreKeptInTheirOrder)
{
    std::vector<std::vector<Vector3>> polygons(10);
    for (int i = 0; i < 3000; ++i)
        polygons[i % 10].push_back({float(i), float(i % 7), -float(i) * 0.5f});
    ExpectDistinctPositionsInTheirFirstOrder(polygons);
}

TEST(Positions, OddValuesAreMatchedToTheBitButForMinusZero)
{
    const float nan = std::nanf(""), otherNan = std::bit_cast<float>(0xFFC01234u);
    const float inf = INFINITY, tiny = std::bit_cast<float>(1u);
    ExpectDistinctPositionsInTheirFirstOrder({{{0.0f, 0.0f, 0.0f}, {-0.0f, 0.0f, -0.0f}, {nan, 1, 2}},
                                              {{nan, 1, 2}, {otherNan, 1, 2}, {inf, -inf, tiny}, {-tiny, tiny, 0.0f}},
                                              {{inf, -inf, tiny}, {0.0f, -0.0f, 0.0f}, {otherNan, 1, 2}}});
}

// The boxes PrepareScene takes while it makes the triangles are the ones
// BoundChunks takes afterwards, to the bit, boxes of no number included: a
// fan of 150 triangles, so chunks end inside it, with a NaN, an infinity and
// a -0 in different chunks, and a strip after it.
TEST(ChunkBoxes, AreThoseOfBoundChunks)
{
    Polygon fan{.Vertices = {{0, 0, 0, 0, 1, 0}}, .PrimType = TriangleFan, .Material = 1};
    for (int i = 0; i < 151; ++i) {
        const float a = float(i) * 0.04f;
        fan.Vertices.push_back({std::cos(a) * 10.0f, float(i % 3), std::sin(a) * 10.0f, 0, 1, 0});
    }
    fan.Vertices[20].y = std::nanf("");
    fan.Vertices[90].x = -INFINITY;
    fan.Vertices[140].z = -0.0f;
    const PreparedScene prepared = PrepareScene(LitScene({fan, Strip(1)}), DefaultMaterial().material);
    PreparedScene bounded = prepared;
    BoundChunks(bounded);
    ASSERT_EQ(prepared.chunks.size(), bounded.chunks.size());
    ASSERT_GT(prepared.chunks.size(), 2u);
    EXPECT_EQ(0, std::memcmp(prepared.chunks.data(), bounded.chunks.data(), prepared.chunks.size() * sizeof(ChunkBox)));
}

Light Point(Vector3 at, float a0, float a1, float a2, float range = 1000.0f)
{
    return {.diffuse = {0.8f, 0.6f, 1.5f, 1}, .specular = {}, .ambient = {0.3f, 0.3f, 0.3f, 1}, .position = at,
            .direction = {}, .range = range, .attenuation0 = a0, .attenuation1 = a1, .attenuation2 = a2};
}

Light Sideways()
{
    return {.type = DirectionalLight, .diffuse = {0.5f, 0.25f, 0.125f, 1}, .specular = {},
            .ambient = {0.2f, 0.2f, 0.2f, 1}, .position = {}, .direction = {1.0f, -0.5f, 0.25f}};
}

// Each triangle of a strip lit by its first vertex under several lights at
// once, as LightVertex lights it.
TEST(StripColours, AreLightVertexForEveryLight)
{
    Polygon p{.Vertices = {}, .Material = 1};
    for (int i = 0; i < 40; ++i) // around the lights, at them and through them
        p.Vertices.push_back({float(i % 7) - 3.0f, float(i % 5) * 2.5f, float(i / 2) - 10.0f,
                              0.3f * float(i % 3) - 0.2f, 1.0f + 0.1f * float(i % 4), -0.25f * float(i % 2), 0, 0});
    const Material m{.diffuse = {0.9f, 0.5f, 0.3f, 1}, .ambient = {0.2f, 0.4f, 0.6f, 1}, .specular = {},
                     .emissive = {0.01f, 0.02f, 0.03f, 0}};
    const std::vector<std::pair<const char*, std::vector<std::pair<Light, bool>>>> rows{
        {"RangeCutsSome", {{Point({0, 0, 0}, 1, 0, 0.01f, 6.0f), true}, {Point({3, 5, 5}, 0, 0, 0), true}}},
        // 1 - d is no light at vertex 0, 1 away; vertex 3 is at the second light
        {"CancellingTermsAndAtTheLight", {{Point({-3, 0, -9}, 1, -1, 0), true}, {Point({0, 7.5f, -9}, 0, 0, 0), true}}},
        {"DisabledAndNowhere", {{Point({0, 12, 0}, 0, 0.1f, 0), false}, {Nowhere(), true}, {Sideways(), true}}}};
    for (const auto& [name, lights] : rows) {
        SCOPED_TRACE(name);
        Scene scene;
        AddPolygon(scene, p);
        AddMaterial(scene, m, QStringLiteral("Test"));
        for (const auto& [light, enabled] : lights)
            AddLight(scene, light, QStringLiteral("L"), enabled);
        const PreparedScene prepared = PrepareScene(scene, DefaultMaterial().material);
        ASSERT_EQ(prepared.triangleCount(), p.Vertices.size() - 2);
        for (std::size_t t = 0; t < prepared.triangleCount(); ++t)
            EXPECT_EQ(prepared.colors[t], ToPixel(LightVertex(p.Vertices[t], m, scene.LightList()))) << "triangle " << t;
    }
}

} // namespace
} // namespace tolva::testing
