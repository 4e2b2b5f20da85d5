#pragma once
// The vertex and polygon records of the terrain and the scene.

#include <cstdint>
#include <vector>

namespace tolva {

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const Vector3&) const = default;
};

// Position, normal and one texture coordinate set, in this order (eight floats).
struct Vertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float nx = 0.0f, ny = 0.0f, nz = 0.0f;
    float tu = 0.0f, tv = 0.0f;
    bool operator==(const Vertex&) const = default;
};

enum PrimitiveType : std::int32_t {
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6,
};

// One entry of the scene's polygon list: a primitive with its own vertices.
struct Polygon {
    std::vector<Vertex> Vertices;
    std::int32_t PrimType = TriangleStrip;
    std::uint8_t Material = 0; // index into the material list; terrain uses 1 ("Land")
    std::uint8_t Texture = 0;  // index into the texture list; 0 is no texture
};

} // namespace tolva
