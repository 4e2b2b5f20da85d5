#pragma once
// The scene as the displays draw it: the polygon list flattened into one
// triangle list over shared positions, each triangle with its flat, lit colour.
//
// Nothing in the lighting depends on the camera, so this is built once per map
// load, light change or material change, and every frame after that only
// transforms positions and fills triangles.

#include "render/Scene.h"

#include <cstdint>
#include <vector>

namespace tolva {

// A colour as both displays store it: 0xFFRRGGBB, the pixel format of the frame.
using PixelColor = std::uint32_t;

// Consecutive triangles of the list taken as one chunk: the terrain's cells
// come row by row, so a chunk is a strip of neighbouring cells.
inline constexpr std::size_t kChunkTriangles = 64;

// The box around the corner positions of one chunk.
struct ChunkBox {
    float min[3], max[3];
};

struct PreparedScene {
    // Distinct vertex positions; the terrain's 129,600 vertices share 32,761.
    std::vector<float> x, y, z;
    // Three position indices per triangle, in the order the triangle is wound.
    std::vector<std::uint32_t> corners;
    // One flat colour per triangle: the lit colour of its first vertex.
    std::vector<PixelColor> colors;
    // One box per kChunkTriangles triangles (the last chunk may be shorter),
    // so that a frame can skip whole chunks out of view; empty when not
    // bounded (BoundChunks), and then every chunk is drawn.
    std::vector<ChunkBox> chunks;

    // What the scene pass did to select materials and textures: each counts a
    // selection that differed from the current one (the first DefaultMaterial
    // included), as the frame drawing sets them.
    int materialChanges = 0;
    int textureChanges = 0;
    // False when a polygon named a material or texture that is not in its list
    // (it is then drawn with the material before it) or had a primitive type
    // that draws nothing.
    bool ok = true;

    std::size_t triangleCount() const { return colors.size(); }
};

// The lit colour of one vertex under a material and the enabled lights of the
// list (entry 0, the placeholder, never lights):
//   clamp01(emissive + sum atten * (ambient_m * ambient_l + diffuse_m * diffuse_l * max(0, N . L)))
// with L the unit vector from the vertex to the light, N the stored normal as
// it is (not normalised), atten = 1 / (a0 + a1 d + a2 d^2) (1 when all three
// are 0) and nothing from a light beyond its range. No specular term, no
// global ambient. Directional lights shine along their direction without
// fall-off; spot lights light as point lights (nothing in the viewer makes
// one).
Color LightVertex(const Vertex& vertex, const Material& material,
                  const std::vector<NamedLight>& lights);

// 0..1 per channel to 0xFFRRGGBB, rounded to the nearest level.
PixelColor ToPixel(const Color& color);

// Flattens entries 1.. of the polygon list. Material selection follows the
// scene pass: the pass starts with `defaultMaterial` as current material index
// 0; a polygon whose material index differs from the current one selects that
// entry of the material list (so index 0 after another index selects the
// empty placeholder, which lights black).
//
// Triangles: a list gives (k, k+1, k+2) for k = 0, 3, ...; a strip gives
// (k, k+1, k+2) for even k and (k+1, k, k+2) for odd k, so that every
// triangle of a strip keeps the winding of the first, and takes the colour of
// vertex k; a fan gives (0, k+1, k+2) coloured by vertex k+1.
// The chunk boxes are those BoundChunks takes, worked out as the triangles are
// made.
PreparedScene PrepareScene(const Scene& scene, const Material& defaultMaterial);

// Sets the chunk boxes from the triangles and positions.
void BoundChunks(PreparedScene& scene);

} // namespace tolva
