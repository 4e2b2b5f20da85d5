#include "render/SceneBuilders.h"

namespace tolva {

float LightAttenuationFor(float lightLevel)
{
    return 1.0f - lightLevel;
}

Vector3 MakeVector(float x, float y, float z)
{
    return {x, y, z};
}

Color MakeColor(float a, float r, float g, float b)
{
    return {r, g, b, a};
}

Material MakeMaterial(const Color& ambient, const Color& diffuse, const Color& emissive,
                      const Color& specular, float power)
{
    return {.diffuse = diffuse, .ambient = ambient, .specular = specular, .emissive = emissive,
            .power = power};
}

Light MakeLight(LightType type, const Color& ambient, const Color& diffuse, const Color& specular,
                const Vector3& position, const Vector3& direction, float attenuation0,
                float attenuation1, float attenuation2, float falloff, float phi, float theta,
                float range)
{
    return {.type = type, .diffuse = diffuse, .specular = specular, .ambient = ambient,
            .position = position, .direction = direction, .range = range, .falloff = falloff,
            .attenuation0 = attenuation0, .attenuation1 = attenuation1,
            .attenuation2 = attenuation2, .theta = theta, .phi = phi};
}

Frame MakeFrame(const Vector3& position, const Vector3& rotation, const QString& name)
{
    return {position, rotation, name};
}

NamedMaterial DefaultMaterial()
{
    const Color white = MakeColor(1, 1, 1, 1);
    return {MakeMaterial(white, white, MakeColor(0, 0, 0, 0), white, 5.0f),
            QStringLiteral("Default Mtrl")};
}

namespace {

// Appends at the upper bound + 1 and gives that index.
template <typename Entry>
int Append(std::vector<Entry>& list, Entry entry)
{
    list.push_back(std::move(entry));
    return int(list.size()) - 1;
}

} // namespace

int AddPolygon(Scene& scene, Polygon polygon)
{
    scene.changed();
    return Append(scene.m_polygons, std::move(polygon));
}

int AddMaterial(Scene& scene, const Material& material, const QString& name)
{
    scene.changed();
    return Append(scene.m_materials, NamedMaterial{material, name});
}

int AddLight(Scene& scene, const Light& light, const QString& name, bool enabled)
{
    scene.changed();
    return Append(scene.m_lights, NamedLight{light, name, enabled});
}

int AddFrame(Scene& scene, const Frame& frame)
{
    return Append(scene.m_frames, frame);
}

bool SetFrame(Scene& scene, int index, const Frame& frame)
{
    if (index < 0 || std::size_t(index) >= scene.m_frames.size())
        return false;
    scene.m_frames[std::size_t(index)] = frame;
    return true;
}

void ClearMaterials(Scene& scene)
{
    scene.changed();
    scene.m_materials.assign(1, NamedMaterial{});
}

void ClearSceneLists(Scene& scene)
{
    scene.changed();
    scene.m_polygons.assign(1, Polygon{});
    scene.m_materials.assign(1, NamedMaterial{});
    scene.m_textures.assign(1, TextureEntry{});
    scene.m_lights.assign(1, NamedLight{});
    scene.m_frames.assign(1, Frame{});
}

void ResetScene(Scene& scene)
{
    ClearSceneLists(scene);
}

int CreateLights(Scene& scene, const ViewState& view)
{
    const Color c = MakeColor(10, 10, 10, 10);
    const Vector3 position = MakeVector(view.GridSize / 2, view.MeshHeight * 5, view.GridSize / 2);
    const Light sun = MakeLight(PointLight, c, c, c, position, MakeVector(0, 0, 0),
                                0.0f, view.LightAttenuation, 0.0f,
                                /*falloff*/ 0.0f, /*phi*/ 0.0f, /*theta*/ 0.0f, /*range*/ 20000.0f);
    return AddLight(scene, sun, QStringLiteral("Sun"), true);
}

int CreateCameras(Scene& scene, const ViewState& view)
{
    const Vector3 start = MakeVector(view.GridSize / 2, view.MeshHeight + 3, view.GridSize / 2);
    return AddFrame(scene, MakeFrame(start, MakeVector(0, 0, 0), QStringLiteral("Main")));
}

int CreateMaterials(Scene& scene, ColorRef earthColor)
{
    const ColorChannels c = SplitColor(earthColor);
    const Color earth = MakeColor(1.0f, c.r / 255.0f, c.g / 255.0f, c.b / 255.0f);
    const Material land = MakeMaterial(earth, earth, MakeColor(0, 0, 0, 0),
                                       MakeColor(1, 1, 1, 1), 5.0f);
    return AddMaterial(scene, land, QStringLiteral("Land"));
}

} // namespace tolva
