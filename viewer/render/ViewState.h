#pragma once
// The viewer's camera and view settings. The camera itself is frame 1 ("Main")
// of the scene's frame list; everything else lives here, as plain values that
// the window reads from and writes to its controls.

#include "terrain/TerrainGrid.h"
#include "terrain/TerrainMesh.h"

namespace tolva {

enum class RenderMode { Wireframe, Solid, Points };
enum class MoveMode { Pan, Walk, Fly };

struct ViewState {
    float GridSize = float(kGridSize);  // terrain cells per side
    float MeshHeight = 10.0f;           // height of a white map pixel, 1 to 60
    float LightLevel = 0.5f;            // 0.10 to 1.00
    float LightAttenuation = 0.5f;      // linear fall-off of the "Sun": 1 - LightLevel
    ColorRef EarthColor = 0x00FFFFFFu;  // colour of "Land", red in the low byte
    bool UseHardware = false;           // the OpenGL path rather than the software one
    tolva::RenderMode RenderMode = tolva::RenderMode::Solid;
    tolva::MoveMode MoveMode = tolva::MoveMode::Fly;
    bool RotateAroundCenter = false;
    float ViewAngle = 0.0f;             // vertical view angle, degrees, -90 to 30
    int FlyAltitude = 30;
    int WalkSpeed = 10;
    float Direction = 0.0f;             // azimuth of movement, degrees

    // An arrow button or key is held down; set by the movement handlers,
    // read and cleared by the motion loop.
    bool LeftHeld = false;
    bool UpHeld = false;
    bool RightHeld = false;
    bool DownHeld = false;
};

// The linear attenuation of the "Sun" for a light level: 1 - level, so that a
// level of 1.00 lights every distance alike and 0.10 falls off steeply.
float LightAttenuationFor(float lightLevel);

} // namespace tolva
