// The frame mover and the angle conversions it is used with.
#include "navigation/Angles.h"
#include "navigation/MoveFrame.h"
#include "render/SceneBuilders.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tolva {
namespace {

// Actions 1 to 6 step along the frame's own axes, 7 to 12 turn one angle;
// any other action does nothing and says so. A row: the frame's rotation
// before, the amount, and the expected changes of position and rotation.
TEST(MoveFrame, MovesAlongTheFramesAxesOrTurnsOneAngle)
{
    constexpr float kHalfPi = 1.5707964f;
    const struct { const char* name; int action; Vector3 rotation; float amount; Vector3 step, turn; } rows[] = {
        {"ForwardAtYawHalfPi", 3, {0, kHalfPi, 0}, 2, {2, 0, 0}, {}},
        {"BackwardAtYaw0", 6, {0, 0, 0}, 2, {0, 0, -2}, {}},
        {"Sideways1AtYaw0", 1, {0, 0, 0}, 2, {2, 0, 0}, {}},
        {"Sideways4AtYaw0", 4, {0, 0, 0}, 2, {-2, 0, 0}, {}},
        {"Up", 2, {0, 0.7f, 0}, 2, {0, 2, 0}, {}},
        {"Down", 5, {0, 0.7f, 0}, 2, {0, -2, 0}, {}},
        // A pitched frame steps along its tilted axis: pitch a gives (0, -sin a, cos a).
        {"ForwardPitched", 3, {0.5f, 0, 0}, 1, {0, -0.47942554f, 0.87758256f}, {}},
        {"Action7PitchLess", 7, {0, 0, 0}, 0.25f, {}, {-0.25f, 0, 0}},
        {"Action8YawLess", 8, {0, 0, 0}, 0.25f, {}, {0, -0.25f, 0}},
        {"Action9RollMore", 9, {0, 0, 0}, 0.25f, {}, {0, 0, 0.25f}},
        {"Action10PitchMore", 10, {0, 0, 0}, 0.25f, {}, {0.25f, 0, 0}},
        {"Action11YawMore", 11, {0, 0, 0}, 0.25f, {}, {0, 0.25f, 0}},
        {"Action12RollLess", 12, {0, 0, 0}, 0.25f, {}, {0, 0, -0.25f}},
        {"Action0DoesNothing", 0, {0, 0, 0}, 2, {}, {}},
        {"Action13DoesNothing", 13, {0, 0, 0}, 2, {}, {}},
    };
    for (const auto& c : rows) {
        SCOPED_TRACE(c.name);
        Scene scene;
        AddFrame(scene, MakeFrame({90, 30, 100}, c.rotation, QStringLiteral("Main")));
        EXPECT_EQ(MoveFrame(scene, 1, c.action, c.amount), c.action >= 1 && c.action <= 12);
        const Frame& f = scene.FrameList()[1];
        EXPECT_NEAR(f.Position.x - 90, c.step.x, 1e-5);
        EXPECT_NEAR(f.Position.y - 30, c.step.y, 1e-5);
        EXPECT_NEAR(f.Position.z - 100, c.step.z, 1e-5);
        EXPECT_NEAR(f.Rotation.x - c.rotation.x, c.turn.x, 1e-6);
        EXPECT_NEAR(f.Rotation.y - c.rotation.y, c.turn.y, 1e-6);
        EXPECT_NEAR(f.Rotation.z - c.rotation.z, c.turn.z, 1e-6);
    }
}

TEST(MoveFrame, AFrameTheSceneDoesNotHaveIsRefused)
{
    Scene scene;
    EXPECT_FALSE(MoveFrame(scene, 1, 3, 2.0f)) << "only the placeholder";
    AddFrame(scene, MakeFrame({1, 2, 3}, {}, QStringLiteral("Main")));
    EXPECT_FALSE(MoveFrame(scene, 0, 3, 2.0f)) << "the placeholder is not a frame to move";
    EXPECT_FALSE(MoveFrame(scene, 2, 3, 2.0f));
    EXPECT_EQ(scene.FrameList()[1].Position, (Vector3{1, 2, 3}));
}

// An angle beyond one full turn is wrapped once and written back, then
// converted (DegToRad, else RadToDeg) with pi/180 as a single: 360 degrees
// comes a hair short of two pi.
TEST(Angles, WrapOnceWriteBackAndConvertWithTheSingleFactor)
{
    constexpr double kFactor = 0.01745329238474369;
    const struct { const char* name; bool degrees; float angle, writtenBack; double result; } rows[] = {
        {"Deg360NotWrapped", true, 360.0f, 360.0f, 6.2831852585077286},
        {"Deg361WrapsTo1", true, 361.0f, 1.0f, kFactor},
        {"Deg800WrapsOnlyOnce", true, 800.0f, 440.0f, 440 * kFactor},
        {"DegMinus361WrapsToMinus1", true, -361.0f, -1.0f, -kFactor},
        {"Rad7WrapsByASingleFullTurn", false, 7.0f, 7.0f - 6.28318548f, double(7.0f - 6.28318548f) / kFactor},
        {"RadFullTurnNotWrapped", false, 6.28318548f, 6.28318548f, double(6.28318548f) / kFactor},
        {"RadMinus7Wraps", false, -7.0f, -7.0f + 6.28318548f, double(-7.0f + 6.28318548f) / kFactor},
    };
    for (const auto& c : rows) {
        float angle = c.angle;
        const double result = c.degrees ? DegToRad(angle) : RadToDeg(angle);
        EXPECT_EQ(angle, c.writtenBack) << c.name;
        EXPECT_NEAR(result, c.result, 1e-9 * std::max(1.0, std::abs(c.result))) << c.name;
    }
}

} // namespace
} // namespace tolva
