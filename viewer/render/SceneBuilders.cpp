#include "SceneBuilders.h"

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
    Material m;
    m.ambient = ambient;
    m.diffuse = diffuse;
    m.emissive = emissive;
    m.specular = specular;
    m.power = power;
    return m;
}

Light MakeLight(LightType type, const Color& ambient, const Color& diffuse, const Color& specular,
                const Vector3& position, const Vector3& direction, float attenuation0,
                float attenuation1, float attenuation2, float falloff, float phi, float theta,
                float range)
{
    Light l;
    l.type = type;
    l.ambient = ambient;
    l.diffuse = diffuse;
    l.specular = specular;
    l.position = position;
    l.direction = direction;
    l.attenuation0 = attenuation0;
    l.attenuation1 = attenuation1;
    l.attenuation2 = attenuation2;
    l.falloff = falloff;
    l.phi = phi;
    l.theta = theta;
    l.range = range;
    return l;
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

int AddPolygon(Scene& scene, Polygon polygon)
{
    scene.PolygonList.push_back(std::move(polygon));
    return int(scene.PolygonList.size()) - 1;
}

int AddMaterial(Scene& scene, const Material& material, const QString& name)
{
    scene.MaterialList.push_back({material, name});
    return int(scene.MaterialList.size()) - 1;
}

int AddLight(Scene& scene, const Light& light, const QString& name, bool enabled)
{
    scene.LightList.push_back({light, name, enabled});
    return int(scene.LightList.size()) - 1;
}

int AddFrame(Scene& scene, const Frame& frame)
{
    scene.FrameList.push_back(frame);
    return int(scene.FrameList.size()) - 1;
}

void ClearSceneLists(Scene& scene)
{
    scene.PolygonList.assign(1, Polygon{});
    scene.MaterialList.assign(1, NamedMaterial{});
    scene.TextureList.assign(1, TextureEntry{});
    scene.LightList.assign(1, NamedLight{});
    scene.FrameList.assign(1, Frame{});
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
