#include "navigation/MapCursor.h"

namespace tolva {

namespace {

// The lower limit first, then the upper one.
float Clamp(float value, float low, float high)
{
    if (value < low)
        value = low;
    if (value > high)
        value = high;
    return value;
}

} // namespace

MapCursorPlace CursorForWalk(MapScale scale, float x, float z)
{
    return {Clamp(scale.width - (x + 12.0f), -12.0f, scale.width - 3.0f),
            Clamp(z - 10.0f, -15.0f, scale.height - 2.0f)};
}

MapCursorPlace CursorForPan(MapScale scale, float x, float z)
{
    return {Clamp(scale.width - (x + 5.0f), -12.0f, scale.width - 3.0f),
            Clamp(z - 10.0f, -12.0f, scale.height - 2.0f)};
}

MapCursorPlace CursorUnderMouse(float mapX, float mapY)
{
    return {mapX - 8.0f, mapY - 8.0f};
}

GroundPoint CameraForCursor(MapScale scale, MapCursorPlace place)
{
    return {scale.width - (place.left + 5.0f), place.top + 10.0f};
}

} // namespace tolva
