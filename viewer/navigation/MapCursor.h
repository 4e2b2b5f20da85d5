#pragma once
// The map panel's cursor: the 16-pixel circle that marks the camera on the
// small map, and the camera position a click on the map stands for. The
// panel's horizontal sense is reversed (width - x) because the terrain is
// built from the map mirrored left-to-right; the vertical sense is not.

namespace tolva {

// The map panel's scale width and height (about 180 x 90), read whenever the
// cursor is placed.
struct MapScale {
    float width = 180.0f;
    float height = 90.0f;
};

// The cursor's left and top edges in the panel's scale.
struct MapCursorPlace {
    float left = 0.0f;
    float top = 0.0f;
    bool operator==(const MapCursorPlace&) const = default;
};

// While walking: left = W - (x + 12) in -12..W - 3, top = z - 10 in -15..H - 2.
MapCursorPlace CursorForWalk(MapScale scale, float x, float z);
// While panning, after a reset and after a click on the map: left = W - (x + 5)
// in -12..W - 3, top = z - 10 in -12..H - 2. The circle is then centred on map
// point (W - x + 3, z - 2).
MapCursorPlace CursorForPan(MapScale scale, float x, float z);

// Where the cursor goes under the mouse at map point (X, Y): (X - 8, Y - 8).
MapCursorPlace CursorUnderMouse(float mapX, float mapY);

struct GroundPoint {
    float x = 0.0f;
    float z = 0.0f;
    bool operator==(const GroundPoint&) const = default;
};

// The camera's x and z for a cursor dropped at `place`: x = W - (left + 5),
// z = top + 10, so a click at (X, Y) puts the camera at (W - X + 3, Y + 2).
GroundPoint CameraForCursor(MapScale scale, MapCursorPlace place);

} // namespace tolva
