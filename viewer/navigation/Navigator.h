#pragma once
// Moving the camera over the terrain: the presenter behind the viewer's
// direction buttons, arrow keys, move modes, speed and altitude bars, view
// angle box and map panel. The window only turns its events into these calls
// and afterwards shows the state: the bars (FlyAltitude, WalkSpeed), the
// direction label (Direction), the mode and rotate switches, the buttons'
// engaged look (a held flag) and the map cursor.
//
// The camera is frame 1 of the scene; every move changes it through SetFrame.
// Walking reads the ground from the map's raster, which the presenter keeps
// from the map load on; before a map is loaded nothing moves.

#include "navigation/MapCursor.h"
#include "render/Scene.h"
#include "render/ViewState.h"
#include "terrain/TerrainGrid.h"

#include <QString>

#include <array>
#include <optional>

namespace tolva {

// Where the presenter asks the window to show the camera: set the view from
// frame 1 and draw one frame.
class ViewRefreshTarget {
public:
    virtual ~ViewRefreshTarget() = default;
    virtual void ViewRefresh() = 0;
};

// The key codes of the arrow keys, which are also the table entries the four
// direction buttons write.
enum class Arrow : int { Left = 37, Up = 38, Right = 39, Down = 40 };

// What a key or button event asks of the window's mode switches: a latched
// direction locks them (and the reset button), the release of the last one
// unlocks them.
enum class SwitchLock { Unchanged, Lock, Unlock };

// What a double-click on the map panel does.
enum class MapDoubleClick { Nothing, ReloadMap, OpenCommand };

// The map panel's pointer and tooltip over a map point.
struct MapPointer {
    bool cross = false;
    QString tooltip;
    bool operator==(const MapPointer&) const = default;
};

// The eye above the ground while walking: ground x mesh height, plus 0.15 x
// mesh height. Outside the raster the ground counts as white.
float WalkHeight(const TerrainGrid& ground, float meshHeight, float x, float z);

class Navigator {
public:
    Navigator(Scene& scene, ViewState& view, ViewRefreshTarget& refresh);

    // A map was loaded: its raster is the ground from now on. The panel shows
    // the map at `scale`.
    void MapLoaded(const TerrainGrid& ground, MapScale scale);
    bool mapLoaded() const { return m_ground.has_value(); }

    // --- Movement ---------------------------------------------------------
    // One step forward of `amount` (negative: back), the height of the move
    // mode, the altitude bar, the map cursor, a refresh.
    void Walk(float amount);
    // Turns the heading by `amount` radians (positive: towards a larger
    // Direction), tilts the view by the view angle across the new heading,
    // puts the camera at the fly altitude, refreshes.
    void Turn(float amount);
    // A sideways step of `amount`; `turnAmount` is divided by 6 in the
    // caller's variable, and with RotateAroundCenter the camera turns by minus
    // that sixth, circling a point ahead of it.
    void Pan(float amount, float& turnAmount);
    // Once per pass of the motion loop: the held directions, in the order up,
    // down, right, left. speed = WalkSpeed / 5, turn = speed / 20.
    void ApplyHeldMoves();

    // --- Keys and direction buttons ---------------------------------------
    // A button press and its arrow key are the same event: key codes 37 to 40
    // are the movement flags of the ViewState; other codes 0..255 are kept in
    // the key-state table; codes outside it are ignored.
    SwitchLock KeyDown(int code);
    SwitchLock KeyUp(int code);
    bool keyHeld(int code) const;
    // A direction button shows its engaged look exactly while its flag is set.
    bool held(Arrow arrow) const { return keyHeld(int(arrow)); }

    // --- Auto mode --------------------------------------------------------
    // The auto button: on, a click latches a direction; off again, every flag
    // is cleared and the switches unlocked.
    SwitchLock AutoClick();
    bool autoMode() const { return m_autoMode; }

    // --- Mode switches and bars -------------------------------------------
    void SelectPan();
    void SelectWalk();
    void SelectFly();
    void SetRotateAroundCenter(bool rotate) { m_view.RotateAroundCenter = rotate; }
    // The speed bar, limited to its range.
    void SetWalkSpeed(int speed);
    // The altitude bar, limited to its range. When the value changes and a
    // map is loaded, the camera goes to that height.
    void SetFlyAltitude(int altitude);
    // The view angle box after the user typed `text` (see ViewAngleFromText);
    // returns the text the box shows. With a map loaded the camera is tilted
    // at once and put at the fly altitude; the picture follows at the next
    // refresh.
    QString SetViewAngleText(const QString& text);
    // The angle spinner: `clicks` whole degrees more (or less) through the box.
    QString StepViewAngle(int clicks);

    // --- View reset -------------------------------------------------------
    // The start view: Fly (with its switch actions when the mode changes),
    // view angle 0, altitude 30, the camera at StartCameraFrame, Direction 0,
    // the map cursor after it, one refresh. Always the same view, also right
    // after a load.
    void ViewReset();

    // --- Map panel --------------------------------------------------------
    MapCursorPlace cursor() const { return m_cursor; }
    // `running`: the motion loop runs (the view reacts to the map only then).
    MapPointer MapMouseMove(float mapX, float mapY, bool running);
    void MapMouseDown(bool running);
    // Puts the camera where the cursor was dropped and refreshes.
    void MapMouseUp(bool running);
    MapDoubleClick MapDoubleClicked(bool running) const;

    // The motion loop ended: no direction stays held.
    void ClearHeld();

private:
    bool hasCamera() const;
    Frame camera() const;
    void setCamera(const Frame& frame);
    void setHeight(float y);
    void refresh();
    void applyViewAngle();
    bool& entry(int code); // code in 0..255
    bool anyHeld() const;

    Scene& m_scene;
    ViewState& m_view;
    ViewRefreshTarget& m_refresh;
    std::optional<TerrainGrid> m_ground;
    MapScale m_scale;
    MapCursorPlace m_cursor;
    MapCursorPlace m_mouseCursor; // last derived from the mouse over the map
    std::array<bool, 256> m_keys{};
    bool m_autoMode = false;
};

} // namespace tolva
