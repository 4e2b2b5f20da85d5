#include "navigation/Angles.h"

namespace tolva {

double DegToRad(float& angle)
{
    if (angle > 360.0f)
        angle -= 360.0f;
    if (angle < -360.0f)
        angle += 360.0f;
    return double(angle) * kRadiansPerDegree;
}

double RadToDeg(float& angle)
{
    if (angle > kFullTurn)
        angle -= kFullTurn;
    if (angle < -kFullTurn)
        angle += kFullTurn;
    return double(angle) / kRadiansPerDegree;
}

} // namespace tolva
