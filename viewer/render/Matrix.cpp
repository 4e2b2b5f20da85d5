#include "render/Matrix.h"

#include <cmath>

namespace tolva {

Matrix4 IdentityMatrix()
{
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        r.m[i][i] = 1.0f;
    return r;
}

Matrix4 RotateXMatrix(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix4 r = IdentityMatrix();
    r.m[1][1] = c;  r.m[1][2] = s;
    r.m[2][1] = -s; r.m[2][2] = c;
    return r;
}

Matrix4 RotateYMatrix(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix4 r = IdentityMatrix();
    r.m[0][0] = c; r.m[0][2] = -s;
    r.m[2][0] = s; r.m[2][2] = c;
    return r;
}

Matrix4 RotateZMatrix(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix4 r = IdentityMatrix();
    r.m[0][0] = c;  r.m[0][1] = s;
    r.m[1][0] = -s; r.m[1][1] = c;
    return r;
}

Matrix4 TranslationMatrix(float x, float y, float z)
{
    Matrix4 r = IdentityMatrix();
    r.m[3][0] = x; r.m[3][1] = y; r.m[3][2] = z;
    return r;
}

Matrix4 MatrixMultiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

Matrix4 ViewMatrixFromFrame(const Frame& frame)
{
    // Move the eye to the origin ...
    const Matrix4 t = TranslationMatrix(-frame.Position.x, -frame.Position.y, -frame.Position.z);
    // ... then turn the world against the frame's pitch, yaw and roll, in this order.
    Matrix4 r = MatrixMultiply(IdentityMatrix(), RotateXMatrix(-frame.Rotation.x));
    r = MatrixMultiply(r, RotateYMatrix(-frame.Rotation.y));
    r = MatrixMultiply(r, RotateZMatrix(-frame.Rotation.z));
    return MatrixMultiply(t, r);
}

Matrix4 ProjectionMatrix(float fieldOfView, float nearPlane, float farPlane)
{
    // x' = x cot(fov/2), y' = y cot(fov/2), z' = (z - near) far / (far - near), w = z.
    const float cot = 1.0f / std::tan(fieldOfView / 2.0f);
    const float q = farPlane / (farPlane - nearPlane);
    Matrix4 r;
    r.m[0][0] = cot;
    r.m[1][1] = cot;
    r.m[2][2] = q;
    r.m[2][3] = 1.0f;
    r.m[3][2] = -q * nearPlane;
    return r;
}

ClipPoint TransformPoint(const Matrix4& a, float x, float y, float z)
{
    return {x * a.m[0][0] + y * a.m[1][0] + z * a.m[2][0] + a.m[3][0],
            x * a.m[0][1] + y * a.m[1][1] + z * a.m[2][1] + a.m[3][1],
            x * a.m[0][2] + y * a.m[1][2] + z * a.m[2][2] + a.m[3][2],
            x * a.m[0][3] + y * a.m[1][3] + z * a.m[2][3] + a.m[3][3]};
}

} // namespace tolva
