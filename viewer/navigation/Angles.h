#pragma once
// Angle conversions of the camera code. Both keep to single precision the way
// the camera stores its angles: the wrapped angle is a single, written back
// into the caller's variable, and the factor is pi/180 rounded to a single.

namespace tolva {

// pi / 180 as a single, widened: 0.01745329238474369.
inline constexpr double kRadiansPerDegree = double(0.0174532924f);
// A full turn as a single.
inline constexpr float kFullTurn = 6.28318530717958f;

// Degrees to radians. An angle above 360 loses one 360, then one below -360
// gains one (once each, not a full reduction); the wrapped angle is written
// back into `angle`.
double DegToRad(float& angle);

// Radians to degrees, wrapping once by a full turn the same way.
double RadToDeg(float& angle);

} // namespace tolva
