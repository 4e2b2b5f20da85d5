#pragma once
// The rules of the view's small controls that hold numbers: the speed and
// altitude bars, the view angle box and its spinner, the height/light spinner,
// and the texts the window shows for them.

#include "render/ViewState.h"

#include <QString>

#include <optional>

namespace tolva {

// The walk speed bar: 1 to 15 (small step 1, large step 5).
inline constexpr int kWalkSpeedMin = 1;
inline constexpr int kWalkSpeedMax = 15;
// The altitude bar: 1 to 200 (small step 1, large step 10).
inline constexpr int kFlyAltitudeMin = 1;
inline constexpr int kFlyAltitudeMax = 200;
// The view angle box: whole degrees from -90 to 30.
inline constexpr float kViewAngleMin = -90.0f;
inline constexpr float kViewAngleMax = 30.0f;
// The height/light spinner's limits.
inline constexpr float kSpinHeightMin = 1.0f;
inline constexpr float kSpinHeightMax = 30.0f;
inline constexpr double kSpinLightMin = 0.1;
inline constexpr double kSpinLightMax = 1.0;

// A number as a whole number ("0" format): halves away from zero, never "-0".
QString FormatWhole(double value);

// "Direction = 6", "Fly Altitude = 30", "Walk: Speed = 10".
QString DirectionCaption(float direction);
QString FlyAltitudeCaption(int altitude);
QString WalkSpeedCaption(int speed);

// The view angle box after the user typed `text`: nothing while the text is a
// lone minus sign being typed; otherwise the text's leading number, limited
// to -90..30 and made whole. The box then shows FormatWhole of it.
std::optional<float> ViewAngleFromText(const QString& text);

// The height box after `clicks` of its spinner (+1 up, -1 down): the box's
// number plus the clicks, limited to 1..30, as a whole number. The spinner
// stops at 30 although a map load accepts up to 60 typed by hand.
QString StepMeshHeightText(const QString& current, int clicks);
// The light box after `clicks`: its number plus 0.05 a click, limited to
// 0.10..1.00, with two decimals.
QString StepLightText(const QString& current, int clicks);

// The tooltips of the four direction buttons in a move mode.
struct DirectionTooltips {
    QString up, down, left, right;
    bool operator==(const DirectionTooltips&) const = default;
};
DirectionTooltips TooltipsFor(MoveMode mode, bool rotateAroundCenter);

} // namespace tolva
