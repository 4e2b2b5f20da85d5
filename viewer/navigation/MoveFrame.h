#pragma once
// The frame mover: one step or one turn of a frame of the scene.

#include "render/Scene.h"

namespace tolva {

// What MoveFrame does with a frame, by action number. Steps of `amount` grid
// units, at zero pitch and roll:
//  1 (cos yaw, 0, -sin yaw), 4 the opposite (the sideways step of panning);
//  3 (sin yaw, 0, cos yaw) (forward), 6 the opposite;
//  2 (0, 1, 0) (up), 5 the opposite.
// Turns by `amount` radians: 7 pitch -=, 8 yaw -=, 9 roll +=, 10 pitch +=,
// 11 yaw +=, 12 roll -=.
inline constexpr int kStepForward = 3;
inline constexpr int kStepSideways = 4;
inline constexpr int kTurnYaw = 8;

// Moves or turns frame `frameIndex` of the scene (the camera is 1). A step
// goes along (0, 0, -1) turned about x by the pitch, then about y by the yaw,
// then about z by the roll; sideways steps add a quarter turn to the yaw, up
// and down steps a quarter turn to the pitch. At zero pitch and roll,
// forward is (sin yaw, 0, cos yaw).
//
// False, changing nothing, for an action outside 1..12 or a frame the scene
// does not have.
bool MoveFrame(Scene& scene, int frameIndex, int action, float amount);

} // namespace tolva
