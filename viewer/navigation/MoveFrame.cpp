#include "navigation/MoveFrame.h"

#include "render/Matrix.h"
#include "render/SceneBuilders.h"

namespace tolva {

namespace {

constexpr float kQuarterTurn = 1.57079632679490f;

// (0, 0, -1) turned by the frame's angles plus the offsets, as the display's
// matrices do it: the translation row of I(0, 0, -1) x Rx x Ry x Rz.
Vector3 StepDirection(const Vector3& rotation, float pitchOffset, float yawOffset)
{
    Matrix4 m = IdentityMatrix();
    m.m[3][2] = -1.0f;
    m = MatrixMultiply(m, RotateXMatrix(rotation.x + pitchOffset));
    m = MatrixMultiply(m, RotateYMatrix(rotation.y + yawOffset));
    m = MatrixMultiply(m, RotateZMatrix(rotation.z));
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
}

} // namespace

bool MoveFrame(Scene& scene, int frameIndex, int action, float amount)
{
    if (action < 1 || action > 12)
        return false;
    if (frameIndex < 1 || frameIndex >= int(scene.FrameList().size()))
        return false;
    Frame frame = scene.FrameList()[std::size_t(frameIndex)];
    Vector3& r = frame.Rotation;
    Vector3& p = frame.Position;
    switch (action) {
    case 7: r.x -= amount; break;
    case 8: r.y -= amount; break;
    case 9: r.z += amount; break;
    case 10: r.x += amount; break;
    case 11: r.y += amount; break;
    case 12: r.z -= amount; break;
    default: {
        const float pitchOffset = (action == 2 || action == 5) ? kQuarterTurn : 0.0f;
        const float yawOffset = (action == 1 || action == 4) ? kQuarterTurn : 0.0f;
        const Vector3 d = StepDirection(r, pitchOffset, yawOffset);
        if (action == 1 || action == 3 || action == 5) {
            p.x -= d.x * amount;
            p.y -= d.y * amount;
            p.z -= d.z * amount;
        } else {
            p.x += d.x * amount;
            p.y += d.y * amount;
            p.z += d.z * amount;
        }
    }
    }
    return SetFrame(scene, frameIndex, frame);
}

} // namespace tolva
