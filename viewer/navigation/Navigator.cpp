#include "navigation/Navigator.h"

#include "navigation/Angles.h"
#include "navigation/MoveFrame.h"
#include "navigation/ViewControls.h"
#include "render/SceneBuilders.h"
#include "render/StartView.h"

#include <algorithm>
#include <cmath>

namespace tolva {

namespace {

constexpr double kPi = 3.14159265358979;
// The altitude a reset and the Fly switch start from.
constexpr int kStartAltitude = 30;
// Walk Speed in each mode the switches select.
constexpr int kWalkModeSpeed = 3;
constexpr int kFlyModeSpeed = 10;
// The eye above the ground, as a fraction of the mesh height.
constexpr double kEyeHeight = 0.15;

// A height as the altitude bar can show it: rounded half to even, then held
// to the bar's range, so that a walker over dark ground with a small mesh
// height reads 1 rather than a value the bar cannot take.
int AltitudeForHeight(float y)
{
    const double rounded = RoundHalfEven(y);
    if (!(rounded >= kFlyAltitudeMin))
        return kFlyAltitudeMin;
    if (rounded > kFlyAltitudeMax)
        return kFlyAltitudeMax;
    return int(rounded);
}

} // namespace

float WalkHeight(const TerrainGrid& ground, float meshHeight, float x, float z)
{
    const float fraction = GroundHeight(ground, x, z);
    return float(double(fraction * meshHeight) + kEyeHeight * double(meshHeight));
}

Navigator::Navigator(Scene& scene, ViewState& view, ViewRefreshTarget& refresh)
    : m_scene(scene), m_view(view), m_refresh(refresh)
{
}

void Navigator::MapLoaded(const TerrainGrid& ground, MapScale scale)
{
    m_ground = ground;
    m_scale = scale;
}

// --- Camera ------------------------------------------------------------------

bool Navigator::hasCamera() const
{
    return m_scene.FrameList().size() > 1;
}

Frame Navigator::camera() const
{
    return m_scene.FrameList()[1];
}

void Navigator::setCamera(const Frame& frame)
{
    SetFrame(m_scene, 1, frame);
}

void Navigator::setHeight(float y)
{
    if (!hasCamera())
        return;
    Frame frame = camera();
    frame.Position.y = y;
    setCamera(frame);
}

void Navigator::refresh()
{
    if (mapLoaded())
        m_refresh.ViewRefresh();
}

// The view angle tilts the view about the axis across the current heading.
void Navigator::applyViewAngle()
{
    if (!hasCamera())
        return;
    Frame frame = camera();
    const double yaw = frame.Rotation.y;
    float angle = m_view.ViewAngle;
    const double tilt = DegToRad(angle);
    frame.Rotation.x = float(std::cos(yaw) * tilt);
    frame.Rotation.z = float(-std::sin(yaw) * tilt);
    frame.Position.y = float(m_view.FlyAltitude);
    setCamera(frame);
}

// --- Movement ----------------------------------------------------------------

void Navigator::Walk(float amount)
{
    if (!mapLoaded() || !hasCamera())
        return;
    MoveFrame(m_scene, 1, kStepForward, amount);
    const Frame moved = camera();
    const float walkHeight = WalkHeight(*m_ground, m_view.MeshHeight, moved.Position.x, moved.Position.z);
    // Walking keeps the eye above the ground; flying (and panning) keeps the
    // altitude of the bar unless the ground rises above it.
    float y = walkHeight;
    if (m_view.MoveMode != MoveMode::Walk && !(walkHeight > float(m_view.FlyAltitude)))
        y = float(m_view.FlyAltitude);
    setHeight(y);
    // The bar shows the height; a new value on it puts the camera at that
    // whole number, an unchanged one leaves the height just set.
    SetFlyAltitude(AltitudeForHeight(y));
    m_cursor = CursorForWalk(m_scale, moved.Position.x, moved.Position.z);
    refresh();
}

void Navigator::Turn(float amount)
{
    if (!mapLoaded() || !hasCamera())
        return;
    MoveFrame(m_scene, 1, kTurnYaw, amount);
    float heading = float(kPi - double(camera().Rotation.y));
    float direction = float(RadToDeg(heading));
    if (direction < 0.0f)
        direction += 360.0f;
    if (direction > 360.0f)
        direction -= 360.0f;
    m_view.Direction = direction;
    applyViewAngle();
    refresh();
}

void Navigator::Pan(float amount, float& turnAmount)
{
    turnAmount = turnAmount / 6.0f;
    if (!mapLoaded() || !hasCamera())
        return;
    MoveFrame(m_scene, 1, kStepSideways, amount);
    const Frame moved = camera();
    m_cursor = CursorForPan(m_scale, moved.Position.x, moved.Position.z);
    if (m_view.RotateAroundCenter)
        Turn(-turnAmount);
    else
        refresh();
}

void Navigator::ApplyHeldMoves()
{
    const float speed = float(m_view.WalkSpeed / 5.0);
    float turn = float(speed / 20.0);
    if (m_view.MoveMode == MoveMode::Pan) {
        if (m_view.UpHeld)
            Walk(speed);
        if (m_view.DownHeld)
            Walk(-speed);
        if (m_view.RightHeld) {
            Pan(speed, turn);
        } else if (m_view.LeftHeld) {
            float back = -turn;
            Pan(-speed, back);
        }
        return;
    }
    if (m_view.UpHeld)
        Walk(speed);
    if (m_view.DownHeld)
        Walk(-speed);
    if (m_view.RightHeld)
        Turn(turn);
    if (m_view.LeftHeld)
        Turn(-turn);
}

// --- Keys and direction buttons ----------------------------------------------

namespace {

// The movement flag of an arrow key's code, null for any other code.
bool ViewState::*MovementFlag(int code)
{
    switch (Arrow(code)) {
    case Arrow::Left: return &ViewState::LeftHeld;
    case Arrow::Up: return &ViewState::UpHeld;
    case Arrow::Right: return &ViewState::RightHeld;
    case Arrow::Down: return &ViewState::DownHeld;
    }
    return nullptr;
}

} // namespace

bool& Navigator::entry(int code)
{
    if (bool ViewState::*flag = MovementFlag(code))
        return m_view.*flag;
    return m_keys[std::size_t(code)];
}

bool Navigator::keyHeld(int code) const
{
    if (code < 0 || code >= int(m_keys.size()))
        return false;
    if (bool ViewState::*flag = MovementFlag(code))
        return m_view.*flag;
    return m_keys[std::size_t(code)];
}

bool Navigator::anyHeld() const
{
    return m_view.LeftHeld || m_view.UpHeld || m_view.RightHeld || m_view.DownHeld;
}

void Navigator::ClearHeld()
{
    m_view.LeftHeld = m_view.UpHeld = m_view.RightHeld = m_view.DownHeld = false;
}

SwitchLock Navigator::KeyDown(int code)
{
    if (code < 0 || code >= int(m_keys.size()))
        return SwitchLock::Unchanged;
    // In auto mode a press acts only beside a latched direction; the latch
    // itself comes with the release.
    if (!m_autoMode || anyHeld() || !MovementFlag(code))
        entry(code) = true;
    return SwitchLock::Unchanged;
}

SwitchLock Navigator::KeyUp(int code)
{
    if (code < 0 || code >= int(m_keys.size()))
        return SwitchLock::Unchanged;
    bool& flag = entry(code);
    // Only the four directions latch: any other key in auto mode would lock
    // the switches with nothing moving.
    if (!m_autoMode || !MovementFlag(code)) {
        flag = false;
        return SwitchLock::Unchanged;
    }
    if (!flag) {
        flag = true;
        return SwitchLock::Lock;
    }
    flag = false;
    if (anyHeld())
        return SwitchLock::Unchanged;
    ClearHeld();
    return SwitchLock::Unlock;
}

SwitchLock Navigator::AutoClick()
{
    m_autoMode = !m_autoMode;
    if (m_autoMode)
        return SwitchLock::Unchanged;
    ClearHeld();
    return SwitchLock::Unlock;
}

// --- Mode switches and bars --------------------------------------------------

void Navigator::SelectPan()
{
    m_view.MoveMode = MoveMode::Pan;
    m_view.RotateAroundCenter = true;
}

void Navigator::SelectWalk()
{
    m_view.MoveMode = MoveMode::Walk;
    SetWalkSpeed(kWalkModeSpeed);
    if (m_view.ViewAngle != 0.0f)
        SetViewAngleText(QStringLiteral("0"));
    m_view.RotateAroundCenter = false;
    if (mapLoaded() && hasCamera()) {
        const Frame at = camera();
        setHeight(WalkHeight(*m_ground, m_view.MeshHeight, at.Position.x, at.Position.z));
    }
}

void Navigator::SelectFly()
{
    m_view.MoveMode = MoveMode::Fly;
    SetWalkSpeed(kFlyModeSpeed);
    if (m_view.FlyAltitude < kStartAltitude)
        SetFlyAltitude(kStartAltitude);
    m_view.RotateAroundCenter = false;
    if (mapLoaded())
        setHeight(float(m_view.FlyAltitude));
}

void Navigator::SetWalkSpeed(int speed)
{
    m_view.WalkSpeed = std::clamp(speed, kWalkSpeedMin, kWalkSpeedMax);
}

void Navigator::SetFlyAltitude(int altitude)
{
    altitude = std::clamp(altitude, kFlyAltitudeMin, kFlyAltitudeMax);
    if (altitude == m_view.FlyAltitude)
        return;
    m_view.FlyAltitude = altitude;
    if (mapLoaded())
        setHeight(float(altitude));
}

QString Navigator::SetViewAngleText(const QString& text)
{
    const std::optional<float> angle = ViewAngleFromText(text);
    if (!angle)
        return text;
    m_view.ViewAngle = *angle;
    if (mapLoaded())
        applyViewAngle();
    return FormatWhole(*angle);
}

QString Navigator::StepViewAngle(int clicks)
{
    if (clicks == 0)
        return FormatWhole(m_view.ViewAngle);
    return SetViewAngleText(FormatWhole(double(clicks) + m_view.ViewAngle));
}

// --- View reset --------------------------------------------------------------

void Navigator::ViewReset()
{
    m_view.Direction = 0.0f;
    if (m_view.MoveMode != MoveMode::Fly)
        SelectFly();
    if (m_view.ViewAngle != 0.0f)
        SetViewAngleText(QStringLiteral("0"));
    SetFlyAltitude(kStartAltitude);
    // Always the start view at the fly altitude, whether or not the switches
    // above changed anything: the first view of a map is the view every later
    // reset gives.
    if (hasCamera())
        setCamera(StartCameraFrame(m_view));
    const Frame start = hasCamera() ? camera() : StartCameraFrame(m_view);
    m_cursor = CursorForPan(m_scale, start.Position.x, start.Position.z);
    refresh();
}

// --- Map panel ---------------------------------------------------------------

MapPointer Navigator::MapMouseMove(float mapX, float mapY, bool running)
{
    if (!mapLoaded() || !running)
        return {false, QStringLiteral("Double-click to reload topographic file")};
    m_mouseCursor = CursorUnderMouse(mapX, mapY);
    return {true, QStringLiteral("X = ") + FormatWhole(mapX) + QStringLiteral(": Y = ") + FormatWhole(mapY)};
}

void Navigator::MapMouseDown(bool running)
{
    if (mapLoaded() && running)
        m_cursor = m_mouseCursor;
}

void Navigator::MapMouseUp(bool running)
{
    if (!mapLoaded() || !running || !hasCamera())
        return;
    const GroundPoint point = CameraForCursor(m_scale, m_mouseCursor);
    Frame frame = camera();
    frame.Position.x = point.x;
    frame.Position.z = point.z;
    setCamera(frame);
    m_cursor = CursorForPan(m_scale, point.x, point.z);
    refresh();
}

MapDoubleClick Navigator::MapDoubleClicked(bool running) const
{
    if (!mapLoaded())
        return MapDoubleClick::OpenCommand;
    return running ? MapDoubleClick::Nothing : MapDoubleClick::ReloadMap;
}

} // namespace tolva
