#pragma once
// Builders and list operations of the scene model, and the three scene
// builders that a map load runs after the terrain: the material "Land", the
// light "Sun" and the camera "Main". Everything works on a Scene passed in;
// the parts that talk to a display (setting a light or material on the device,
// the view transform) belong to the display, which reads the lists.

#include "render/Scene.h"
#include "render/ViewState.h"

#include <QString>

namespace tolva {

Vector3 MakeVector(float x, float y, float z);
// The colour (r, g, b, a); alpha comes first, as the callers write it.
Color MakeColor(float a, float r, float g, float b);
Material MakeMaterial(const Color& ambient, const Color& diffuse, const Color& emissive,
                      const Color& specular, float power);
Light MakeLight(LightType type, const Color& ambient, const Color& diffuse, const Color& specular,
                const Vector3& position, const Vector3& direction, float attenuation0,
                float attenuation1, float attenuation2, float falloff, float phi, float theta,
                float range);
Frame MakeFrame(const Vector3& position, const Vector3& rotation, const QString& name);

// "Default Mtrl": white ambient, diffuse and specular, no emission, power 5;
// the material a display uses before a map's "Land" exists.
NamedMaterial DefaultMaterial();

// The list operations, the only ways to change a scene. Each Add appends at
// the end and returns the new entry's index (1 for the first entry after a
// clear).
int AddPolygon(Scene& scene, Polygon polygon);
int AddMaterial(Scene& scene, const Material& material, const QString& name);
int AddLight(Scene& scene, const Light& light, const QString& name, bool enabled);
int AddFrame(Scene& scene, const Frame& frame);
// Replaces frame `index` (the camera is 1); false when there is no such
// frame. Moves the view only: the scene's revision stays.
bool SetFrame(Scene& scene, int index, const Frame& frame);

// The material list back to its empty entry 0, as the view refresh does
// before it builds "Land" in a new earth colour.
void ClearMaterials(Scene& scene);
// Every list back to its single empty entry 0.
void ClearSceneLists(Scene& scene);
// The scene as a fresh display starts it: the lists cleared. The display then
// sets DefaultMaterial() as its current material.
void ResetScene(Scene& scene);

// The point light "Sun" above the middle of the map at five times the mesh
// height: colour 10 in every component, range 20000, linear attenuation
// LightAttenuation, enabled.
int CreateLights(Scene& scene, const ViewState& view);
// The camera frame "Main" at (GridSize / 2, MeshHeight + 3, GridSize / 2),
// level. The display takes its view transform from frame 1 afterwards.
int CreateCameras(Scene& scene, const ViewState& view);
// The material "Land" in the earth colour (ambient = diffuse), white specular,
// power 5.
int CreateMaterials(Scene& scene, ColorRef earthColor);

} // namespace tolva
