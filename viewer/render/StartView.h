#pragma once
// The camera a fresh map is first shown from (the view reset): on the middle
// of the grid's far edge at the fly altitude, level, turned half round so that
// it looks towards decreasing z, across the map. Small x is then on the right
// of the picture, as the map's right edge is mirrored to small x.

#include "render/Scene.h"
#include "render/ViewState.h"

namespace tolva {

inline Frame StartCameraFrame(const ViewState& view)
{
    constexpr float kHalfTurn = 3.14159265358979f;
    Frame frame;
    frame.Name = QStringLiteral("Main");
    frame.Position = {view.GridSize / 2.0f, float(view.FlyAltitude), view.GridSize};
    frame.Rotation = {0.0f, kHalfTurn, 0.0f};
    return frame;
}

} // namespace tolva
