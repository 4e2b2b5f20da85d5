// The frame mover and the angle conversions it is used with.
#include "navigation/Angles.h"
#include "navigation/MoveFrame.h"
#include "render/SceneBuilders.h"

#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace tolva {
namespace {

struct MoveCase {
    const char* name;
    int action;
    Vector3 rotation;     // before
    float amount;
    Vector3 positionStep; // expected change of the position
    Vector3 rotationStep; // expected change of the rotation
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

class MoveFrameRows : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveFrameRows, MovesAlongTheFramesAxesOrTurnsOneAngle)
{
    const MoveCase& c = GetParam();
    Scene scene;
    AddFrame(scene, MakeFrame({90, 30, 100}, c.rotation, QStringLiteral("Main")));
    const bool known = c.action >= 1 && c.action <= 12;
    EXPECT_EQ(MoveFrame(scene, 1, c.action, c.amount), known);

    const Frame& f = scene.FrameList()[1];
    EXPECT_NEAR(f.Position.x - 90, c.positionStep.x, 1e-5);
    EXPECT_NEAR(f.Position.y - 30, c.positionStep.y, 1e-5);
    EXPECT_NEAR(f.Position.z - 100, c.positionStep.z, 1e-5);
    EXPECT_NEAR(f.Rotation.x - c.rotation.x, c.rotationStep.x, 1e-6);
    EXPECT_NEAR(f.Rotation.y - c.rotation.y, c.rotationStep.y, 1e-6);
    EXPECT_NEAR(f.Rotation.z - c.rotation.z, c.rotationStep.z, 1e-6);
}

constexpr float kHalfPi = 1.5707964f;

INSTANTIATE_TEST_SUITE_P(
    Actions, MoveFrameRows,
    ::testing::Values(
        MoveCase{"ForwardAtYaw0", 3, {0, 0, 0}, 2, {0, 0, 2}, {}},
        MoveCase{"ForwardAtYawHalfPi", 3, {0, kHalfPi, 0}, 2, {2, 0, 0}, {}},
        MoveCase{"BackwardAtYaw0", 6, {0, 0, 0}, 2, {0, 0, -2}, {}},
        MoveCase{"Sideways1AtYaw0", 1, {0, 0, 0}, 2, {2, 0, 0}, {}},
        MoveCase{"Sideways4AtYaw0", 4, {0, 0, 0}, 2, {-2, 0, 0}, {}},
        MoveCase{"Up", 2, {0, 0.7f, 0}, 2, {0, 2, 0}, {}},
        MoveCase{"Down", 5, {0, 0.7f, 0}, 2, {0, -2, 0}, {}},
        // A pitched frame steps along its tilted axis: pitch a gives (0, -sin a, cos a).
        MoveCase{"ForwardPitched", 3, {0.5f, 0, 0}, 1, {0, -0.47942554f, 0.87758256f}, {}},
        MoveCase{"Action7PitchLess", 7, {0, 0, 0}, 0.25f, {}, {-0.25f, 0, 0}},
        MoveCase{"Action8YawLess", 8, {0, 0, 0}, 0.25f, {}, {0, -0.25f, 0}},
        MoveCase{"Action9RollMore", 9, {0, 0, 0}, 0.25f, {}, {0, 0, 0.25f}},
        MoveCase{"Action10PitchMore", 10, {0, 0, 0}, 0.25f, {}, {0.25f, 0, 0}},
        MoveCase{"Action11YawMore", 11, {0, 0, 0}, 0.25f, {}, {0, 0.25f, 0}},
        MoveCase{"Action12RollLess", 12, {0, 0, 0}, 0.25f, {}, {0, 0, -0.25f}},
        MoveCase{"Action0DoesNothing", 0, {0, 0, 0}, 2, {}, {}},
        MoveCase{"Action13DoesNothing", 13, {0, 0, 0}, 2, {}, {}}),
    tolva::testing::RowName());

TEST(MoveFrame, AFrameTheSceneDoesNotHaveIsRefused)
{
    Scene scene;
    EXPECT_FALSE(MoveFrame(scene, 1, 3, 2.0f)) << "only the placeholder";
    AddFrame(scene, MakeFrame({1, 2, 3}, {}, QStringLiteral("Main")));
    EXPECT_FALSE(MoveFrame(scene, 0, 3, 2.0f)) << "the placeholder is not a frame to move";
    EXPECT_FALSE(MoveFrame(scene, 2, 3, 2.0f));
    EXPECT_EQ(scene.FrameList()[1].Position, (Vector3{1, 2, 3}));
}

struct AngleCase {
    const char* name;
    bool degrees; // DegToRad, else RadToDeg
    float angle;
    float writtenBack;
    double result;
};

void PrintTo(const AngleCase& c, std::ostream* os) { *os << c.name; }

class AngleRows : public ::testing::TestWithParam<AngleCase> {};

TEST_P(AngleRows, WrapOnceWriteBackAndConvertWithTheSingleFactor)
{
    const AngleCase& c = GetParam();
    float angle = c.angle;
    const double result = c.degrees ? DegToRad(angle) : RadToDeg(angle);
    EXPECT_EQ(angle, c.writtenBack);
    EXPECT_NEAR(result, c.result, 1e-9 * std::max(1.0, std::abs(c.result)));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AngleRows,
    ::testing::Values(
        // pi/180 as a single: 360 degrees comes a hair short of two pi.
        AngleCase{"Deg360NotWrapped", true, 360.0f, 360.0f, 6.2831852585077286},
        AngleCase{"Deg361WrapsTo1", true, 361.0f, 1.0f, 0.01745329238474369},
        AngleCase{"Deg800WrapsOnlyOnce", true, 800.0f, 440.0f, 440 * 0.01745329238474369},
        AngleCase{"DegMinus361WrapsToMinus1", true, -361.0f, -1.0f, -0.01745329238474369},
        AngleCase{"Rad7WrapsByASingleFullTurn", false, 7.0f, 7.0f - 6.28318548f,
                  double(7.0f - 6.28318548f) / 0.01745329238474369},
        AngleCase{"RadFullTurnNotWrapped", false, 6.28318548f, 6.28318548f,
                  double(6.28318548f) / 0.01745329238474369},
        AngleCase{"RadMinus7Wraps", false, -7.0f, -7.0f + 6.28318548f,
                  double(-7.0f + 6.28318548f) / 0.01745329238474369}),
    tolva::testing::RowName());

} // namespace
} // namespace tolva
