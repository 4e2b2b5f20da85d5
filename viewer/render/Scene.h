#pragma once
// The scene model: the five lists the viewer draws from and their records.
// Index 0 of every list is an empty placeholder; real entries start at 1.

#include "terrain/Polygon.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <utility>
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

class TerrainGrid;

// A new revision number, never given out before in this run; the first is 1.
inline std::uint64_t NextSceneRevision()
{
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

// The five lists. They are read through the accessors and changed only
// through the list operations of SceneBuilders.h and LoadLandscape
// (Landscape.h), the friends below, each of which gives the scene a new revision when it changes
// what is drawn: polygons, materials, textures or lights. A display keeps what
// it prepared from a scene until the revision differs.
//
// The frame list does not count: a frame only places the view, which the
// display takes afresh from frame 1 at every refresh, so a camera move
// prepares nothing.
//
// Revisions are unique across scenes, so a display cannot mistake one scene
// for another; a copy has its source's revision, as it has its lists.
class Scene {
public:
    Scene() = default;
    Scene(const Scene&) = default;
    Scene& operator=(const Scene&) = default;
    // The scene moved from is left empty, with a revision of its own.
    Scene(Scene&& other) { *this = std::move(other); }
    Scene& operator=(Scene&& other)
    {
        if (this != &other) {
            m_polygons = std::exchange(other.m_polygons, std::vector<Polygon>(1));
            m_materials = std::exchange(other.m_materials, std::vector<NamedMaterial>(1));
            m_textures = std::exchange(other.m_textures, std::vector<TextureEntry>(1));
            m_lights = std::exchange(other.m_lights, std::vector<NamedLight>(1));
            m_frames = std::exchange(other.m_frames, std::vector<Frame>(1));
            m_revision = std::exchange(other.m_revision, NextSceneRevision());
        }
        return *this;
    }

    const std::vector<Polygon>& PolygonList() const { return m_polygons; }
    const std::vector<NamedMaterial>& MaterialList() const { return m_materials; }
    const std::vector<TextureEntry>& TextureList() const { return m_textures; }
    const std::vector<NamedLight>& LightList() const { return m_lights; }
    const std::vector<Frame>& FrameList() const { return m_frames; }

    // Differs after every change of what is drawn.
    std::uint64_t revision() const { return m_revision; }

private:
    friend int AddPolygon(Scene& scene, Polygon polygon);
    friend int AddMaterial(Scene& scene, const Material& material, const QString& name);
    friend int AddLight(Scene& scene, const Light& light, const QString& name, bool enabled);
    friend int AddFrame(Scene& scene, const Frame& frame);
    friend bool SetFrame(Scene& scene, int index, const Frame& frame);
    friend void ClearMaterials(Scene& scene);
    friend void ClearSceneLists(Scene& scene);
    friend bool LoadLandscape(Scene& scene, const TerrainGrid& grid, int cellsFromScale,
                              float gridSize, float meshHeight, std::uint8_t material,
                              std::uint8_t texture);

    void changed() { m_revision = NextSceneRevision(); }

    std::vector<Polygon> m_polygons{1};
    std::vector<NamedMaterial> m_materials{1};
    std::vector<TextureEntry> m_textures{1};
    std::vector<NamedLight> m_lights{1};
    std::vector<Frame> m_frames{1};
    std::uint64_t m_revision = NextSceneRevision();
};

} // namespace tolva
