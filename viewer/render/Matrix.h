#pragma once
// 4 x 4 matrices in the row-vector convention of the display: a point is a row
// (x, y, z, 1) multiplied on the left, so a product A x B applies A first.
// Left-handed world and view space, y up.

#include "render/Scene.h"

namespace tolva {

struct Matrix4 {
    float m[4][4] = {};
    bool operator==(const Matrix4&) const = default;
};

// A point in clip space before the divide by w.
struct ClipPoint {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

Matrix4 IdentityMatrix();
// Rotations by an angle in radians about one axis (left-handed: clockwise when
// looking along the axis towards the origin).
Matrix4 RotateXMatrix(float angle);
Matrix4 RotateYMatrix(float angle);
Matrix4 RotateZMatrix(float angle);
Matrix4 TranslationMatrix(float x, float y, float z);
// a x b: the transform that applies a, then b.
Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b);

// The view transform of a frame: translate the frame's position to the origin,
// then undo its pitch, yaw and roll: T x Rx(-rx) x Ry(-ry) x Rz(-rz).
Matrix4 ViewMatrixFromFrame(const Frame& frame);

// The display's fixed projection: vertical field of view pi/3, aspect 1, near
// plane 1 and far plane 1000; depth 0 at the near plane and 1 at the far one.
inline constexpr float kFieldOfView = 3.14159265358979f / 3.0f;
inline constexpr float kNearPlane = 1.0f;
inline constexpr float kFarPlane = 1000.0f;
Matrix4 ProjectionMatrix(float fieldOfView = kFieldOfView, float nearPlane = kNearPlane,
                         float farPlane = kFarPlane);

ClipPoint TransformPoint(const Matrix4& matrix, float x, float y, float z);

// The render target: 450 x 450 pixels, y pointing down.
inline constexpr int kTargetSize = 450;

} // namespace tolva
