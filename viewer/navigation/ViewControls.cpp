#include "navigation/ViewControls.h"

#include "common/LeadingNumber.h"

#include <algorithm>
#include <cmath>

namespace tolva {

QString FormatWhole(double value)
{
    const double whole = std::round(value);
    return QString::number(whole == 0.0 ? 0.0 : whole, 'f', 0);
}

QString DirectionCaption(float direction)
{
    return QStringLiteral("Direction = ") + FormatWhole(direction);
}

QString FlyAltitudeCaption(int altitude)
{
    return QStringLiteral("Fly Altitude = ") + QString::number(altitude);
}

QString WalkSpeedCaption(int speed)
{
    return QStringLiteral("Walk: Speed = ") + QString::number(speed);
}

std::optional<float> ViewAngleFromText(const QString& text)
{
    if (text == QStringLiteral("-"))
        return std::nullopt;
    const float value = std::clamp(LeadingNumber(text), kViewAngleMin, kViewAngleMax);
    // The box shows the whole number, and showing it reads the box again.
    const float whole = float(std::round(value));
    return whole == 0.0f ? 0.0f : whole;
}

QString StepMeshHeightText(const QString& current, int clicks)
{
    const float height = float(clicks) + LeadingNumber(current);
    return FormatWhole(std::clamp(height, kSpinHeightMin, kSpinHeightMax));
}

QString StepLightText(const QString& current, int clicks)
{
    const double light = clicks / 20.0 + double(LeadingNumber(current));
    return QString::number(std::clamp(light, kSpinLightMin, kSpinLightMax), 'f', 2);
}

DirectionTooltips TooltipsFor(MoveMode mode, bool rotateAroundCenter)
{
    if (mode != MoveMode::Pan)
        return {QStringLiteral("Move forward"), QStringLiteral("Move backward"),
                QStringLiteral("Turn left"), QStringLiteral("Turn right")};
    if (rotateAroundCenter)
        return {QStringLiteral("Pan forward"), QStringLiteral("Pan backward"),
                QStringLiteral("Rotate left"), QStringLiteral("Rotate right")};
    return {QStringLiteral("Pan forward"), QStringLiteral("Pan backward"),
            QStringLiteral("Pan left"), QStringLiteral("Pan right")};
}

} // namespace tolva
