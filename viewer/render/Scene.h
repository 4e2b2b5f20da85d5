#pragma once
// The scene model: the five lists the viewer draws from and their records.
// Index 0 of every list is an empty placeholder; real entries start at 1.

#include "terrain/Polygon.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace tolva {

struct Color {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    bool operator==(const Color&) const = default;
};

struct Material {
    Color diffuse;
    Color ambient;
    Color specular;
    Color emissive;
    float power = 0.0f;
    bool operator==(const Material&) const = default;
};

struct NamedMaterial {
    Material material;
    QString Name;
};

enum LightType : std::int32_t { PointLight = 1, SpotLight = 2, DirectionalLight = 3 };

struct Light {
    std::int32_t type = PointLight;
    Color diffuse;
    Color specular;
    Color ambient;
    Vector3 position;
    Vector3 direction;
    float range = 0.0f;
    float falloff = 0.0f;
    float attenuation0 = 0.0f;
    float attenuation1 = 0.0f;
    float attenuation2 = 0.0f;
    float theta = 0.0f;
    float phi = 0.0f;
    bool operator==(const Light&) const = default;
};

struct NamedLight {
    Light light;
    QString Name;
    bool enabled = false;
};

// A named position and orientation; frame 1 is the camera "Main".
struct Frame {
    Vector3 Position;
    Vector3 Rotation; // radians: x = pitch, y = yaw, z = roll
    QString Name;
};

// Nothing in the viewer fills the texture list; index 0 means "no texture".
struct TextureEntry {
    QString Name;
};

struct Scene {
    std::vector<Polygon> PolygonList{1};
    std::vector<NamedMaterial> MaterialList{1};
    std::vector<TextureEntry> TextureList{1};
    std::vector<NamedLight> LightList{1};
    std::vector<Frame> FrameList{1};
};

} // namespace tolva
