// The presenter's moves over a loaded map: held directions per pass, the
// heights of walking and flying, the view reset, the view angle, the keys in
// and out of auto mode, and the map panel.
#include "NavigationTestRig.h"

#include "navigation/ViewControls.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolva::testing {
namespace {

constexpr float kPi = 3.14159274f; // the start camera's yaw

// One pass with arrows held ("LURD" letters): a move of the walk speed over
// five, a turn of a twentieth of that. A row's expectations: the change of the
// position and of the yaw, the refreshes and the direction label afterwards.
TEST(HeldMovesPass, MovesByTheSpeedOverFiveAndTurnsByATwentiethOfThat)
{
    const struct { const char* name; MoveMode mode; bool rotate; const char* held; int walkSpeed;
                   Vector3 step; float yawStep; int refreshes; const char* caption; } rows[] = {
        {"UpAtSpeed1WalksAFifth", MoveMode::Fly, false, "U", 1, {0, 0, -0.2f}, 0, 1, "Direction = 0"},
        {"UpAndDownBothAct", MoveMode::Fly, false, "UD", 10, {0, 0, 0}, 0, 2, "Direction = 0"},
        {"RightTurnsATenthToDirection6", MoveMode::Walk, false, "R", 10, {}, -0.1f, 1, "Direction = 6"},
        {"LeftTurnsBack", MoveMode::Walk, false, "L", 10, {}, 0.1f, 1, "Direction = 354"},
        // Back at the single yaw of pi, a hair past the heading 0: the label
        // reads 360 rather than 0.
        {"LeftAndRightInWalkCancel", MoveMode::Walk, false, "LR", 10, {}, 0, 2, "Direction = 360"},
        {"LeftAndRightInPanPanRightOnly", MoveMode::Pan, false, "LR", 10, {2, 0, 0}, 0, 1, "Direction = 0"},
        // With rotation the pan turns the other way by a sixth of the turn.
        {"RightInPanRotating", MoveMode::Pan, true, "R", 10, {2, 0, 0}, 0.1f / 6, 1, "Direction = 359"},
        {"UpInPanWalks", MoveMode::Pan, true, "U", 10, {0, 0, -2}, 0, 1, "Direction = 0"},
    };
    for (const auto& c : rows) {
        SCOPED_TRACE(c.name);
        NavigationRig rig;
        if (c.mode == MoveMode::Pan)
            rig.nav.SelectPan();
        else if (c.mode == MoveMode::Walk)
            rig.nav.SelectWalk();
        rig.nav.SetRotateAroundCenter(c.rotate);
        rig.nav.SetWalkSpeed(c.walkSpeed);
        rig.placeCamera(90, 30, 50);
        rig.hold(c.held);

        rig.nav.ApplyHeldMoves();

        EXPECT_NEAR(rig.camera().Position.x - 90, c.step.x, 1e-5);
        EXPECT_NEAR(rig.camera().Position.z - 50, c.step.z, 1e-5);
        EXPECT_NEAR(rig.camera().Rotation.y - kPi, c.yawStep, 1e-6);
        EXPECT_EQ(rig.refresh.count, c.refreshes);
        EXPECT_EQ(DirectionCaption(rig.view.Direction), QString::fromLatin1(c.caption));
    }
}

// White where z < 45, black beyond.
TerrainGrid HighGroundNear()
{
    TerrainGrid grid(kBlack);
    for (int z = 0; z < 45; ++z)
        for (int x = 0; x < kRasterWidth; ++x)
            grid.setPixel(x, z, kWhite);
    return grid;
}

// The walking height is (ground + 0.15) x the mesh height. When it rounds to
// another bar value the bar takes it and the camera goes to the bar; when the
// bar stays, the camera is at the walking height. A row walks or flies from
// `start`; each step gives the camera's height and the bar's altitude after it.
TEST(Walking, TheBarFollowsTheWalkingHeightAndTheCameraTheBar)
{
    struct Step { float amount, height; int altitude; };
    const struct { const char* name; TerrainGrid ground; float meshHeight; bool walkMode; Vector3 start;
                   std::vector<Step> steps; } rows[] = {
        // 11.5 rounds to the even 12.
        {"OntoWhiteGroundTheBarGoesTo12AndHoldsIt", TerrainGrid(kWhite), 10, true, {90, 11.5f, 50},
         {{2, 12, 12}, {2, 11.5f, 12}}},
        // 0.3 rounds to 0, below the bar's range.
        {"OverDarkGroundWithASmallHeightTheBarStopsAt1", TerrainGrid(kBlack), 2, true, {90, 0.3f, 50},
         {{2, 1, 1}, {2, 0.3f, 1}}},
        {"AHalfwayHeightRoundsToTheEvenAltitude", TerrainGrid(kBlack), 30, true, {90, 4.5f, 50}, {{2, 4, 4}}},
        // Flying at 30: 69 over white (z 42), 9 over black; the bar keeps the raised height.
        {"FlyingOverHighGroundClimbsAndKeepsTheRaisedAltitude", HighGroundNear(), 60, false, {90, 30, 60},
         {{2, 30, 30}, {16, 69, 69}, {-16, 69, 69}}},
        // z 98 is beyond the raster's 90 rows: 46 there, 6 over the black inside.
        {"BeyondTheRasterTheGroundCountsAsWhite", TerrainGrid(kBlack), 40, false, {90, 30, 100}, {{2, 46, 46}}},
    };
    for (const auto& c : rows) {
        SCOPED_TRACE(c.name);
        NavigationRig rig(c.ground, c.meshHeight);
        if (c.walkMode)
            rig.nav.SelectWalk();
        rig.placeCamera(c.start.x, c.start.y, c.start.z);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            rig.nav.Walk(c.steps[i].amount);
            EXPECT_FLOAT_EQ(rig.camera().Position.y, c.steps[i].height) << "step " << i + 1;
            EXPECT_EQ(rig.view.FlyAltitude, c.steps[i].altitude) << "step " << i + 1;
        }
        EXPECT_EQ(rig.refresh.count, int(c.steps.size()));
    }
}

// The rig's own reset, right after its map load, raised the camera from the
// mesh height + 3 to the fly altitude; after a walk everything is back too.
TEST(ViewReset, AfterAWalkEverythingIsBackAtTheStart)
{
    NavigationRig rig(TerrainGrid(kWhite), 10.0f);
    rig.nav.SelectWalk();
    rig.nav.StepViewAngle(-20);
    rig.hold("UR");
    rig.nav.ApplyHeldMoves();
    ASSERT_EQ(rig.view.FlyAltitude, 12);
    ASSERT_NE(rig.view.Direction, 0.0f);
    const int refreshes = rig.refresh.count;

    rig.nav.ViewReset();

    EXPECT_EQ(rig.view.MoveMode, MoveMode::Fly);
    EXPECT_EQ(rig.view.WalkSpeed, 10);
    EXPECT_EQ(rig.view.FlyAltitude, 30);
    EXPECT_EQ(rig.view.ViewAngle, 0.0f);
    EXPECT_EQ(DirectionCaption(rig.view.Direction), QStringLiteral("Direction = 0"));
    EXPECT_FALSE(rig.view.RotateAroundCenter);
    EXPECT_EQ(rig.camera().Position, (Vector3{90, 30, 180}));
    EXPECT_EQ(rig.camera().Rotation, (Vector3{0, kPi, 0}));
    EXPECT_EQ(rig.nav.cursor(), (MapCursorPlace{85, 88})) << "the top held at H - 2";
    EXPECT_EQ(rig.refresh.count, refreshes + 1);
}

TEST(ViewAngle, SpinnerClicksTiltTheCameraAtOnceWithoutDrawing)
{
    NavigationRig rig;
    QString shown;
    for (int i = 0; i < 5; ++i)
        shown = rig.nav.StepViewAngle(1);
    EXPECT_EQ(shown, QStringLiteral("5"));
    // Looking towards smaller z (yaw pi) the tilt is a pitch of cos(pi) x 5 degrees.
    EXPECT_NEAR(rig.camera().Rotation.x, -5 * 0.0174532924, 1e-6);
    EXPECT_NEAR(rig.camera().Rotation.z, 0.0, 1e-6);
    EXPECT_EQ(rig.refresh.count, 0);

    EXPECT_EQ(rig.nav.StepViewAngle(-200), QStringLiteral("-90")) << "held by the box's rule";
    EXPECT_EQ(rig.nav.SetViewAngleText(QStringLiteral("-")), QStringLiteral("-"));
    EXPECT_EQ(rig.view.ViewAngle, -90.0f) << "a lone minus changes nothing";
}

TEST(ModeSwitches, WalkPutsTheEyeOnTheGroundFlyRaisesTheAltitudeTo30)
{
    NavigationRig rig(TerrainGrid(kWhite), 10.0f);
    rig.nav.SetFlyAltitude(20);
    rig.nav.SelectWalk();
    EXPECT_EQ(rig.view.WalkSpeed, 3);
    EXPECT_FLOAT_EQ(rig.camera().Position.y, 11.5f);

    rig.nav.SelectPan();
    EXPECT_TRUE(rig.view.RotateAroundCenter);

    rig.nav.SelectFly();
    EXPECT_EQ(rig.view.WalkSpeed, 10);
    EXPECT_EQ(rig.view.FlyAltitude, 30);
    EXPECT_FALSE(rig.view.RotateAroundCenter);
    EXPECT_FLOAT_EQ(rig.camera().Position.y, 30.0f);

    rig.nav.SetFlyAltitude(250);
    EXPECT_EQ(rig.view.FlyAltitude, 200) << "the bar's range";
    rig.nav.SetWalkSpeed(0);
    EXPECT_EQ(rig.view.WalkSpeed, 1);
}

// Key and button events as text: "d38" key or button 38 down, "u38" up,
// "auto" a click of the auto button. Outside auto mode an arrow acts while
// held; in it, the release latches the arrow and locks its switch. A row: the
// events, the arrows held afterwards ("LURD" letters), and what each event
// asked of the switches ("-" nothing, "L" lock, "U" unlock).
TEST(KeysAndButtons, ActWhileHeldOrLatchInAutoMode)
{
    const struct { const char* events; const char* held; const char* locks; } rows[] = {
        {"d38 d39", "UR", "--"},
        {"d38 u38", "", "--"},
        {"auto d38 u38", "U", "--L"},
        {"auto d38 u38 d37", "LU", "--L-"},           // the others act while held
        {"auto d38 u38 d38 u38", "", "--L-U"},        // a second click releases and unlocks
        {"auto d38 u38 auto", "", "--LU"},            // auto off clears the latch
        {"auto auto d40", "D", "-U-"},
        {"auto d65 u65", "", "---"},                  // another key does not lock
        {"d-1 d256 u256", "", "---"},                 // codes outside the table are ignored
    };
    for (const auto& c : rows) {
        NavigationRig rig;
        QString locks;
        for (const QString& event : QString::fromLatin1(c.events).split(QLatin1Char(' '))) {
            const SwitchLock lock = event == QStringLiteral("auto") ? rig.nav.AutoClick()
                                    : event[0] == u'd'             ? rig.nav.KeyDown(event.mid(1).toInt())
                                                                   : rig.nav.KeyUp(event.mid(1).toInt());
            locks += QLatin1Char(lock == SwitchLock::Lock ? 'L' : lock == SwitchLock::Unlock ? 'U' : '-');
        }
        QString held; // the arrow keys 37 to 40 are left, up, right, down
        for (int code = int(Arrow::Left); code <= int(Arrow::Down); ++code)
            if (rig.nav.held(Arrow(code)))
                held += QLatin1Char("LURD"[code - int(Arrow::Left)]);
        EXPECT_EQ(held, QString::fromLatin1(c.held)) << c.events;
        EXPECT_EQ(locks, QString::fromLatin1(c.locks)) << c.events;
    }
}

TEST(MapPanel, AClickWhileRunningPutsTheCameraUnderTheMouse)
{
    NavigationRig rig;
    const MapPointer pointer = rig.nav.MapMouseMove(50, 30, true);
    EXPECT_EQ(pointer, (MapPointer{true, QStringLiteral("X = 50: Y = 30")}));
    rig.nav.MapMouseDown(true);
    EXPECT_EQ(rig.nav.cursor(), (MapCursorPlace{42, 22})) << "the circle jumps under the mouse";

    rig.nav.MapMouseUp(true);
    EXPECT_EQ(rig.camera().Position, (Vector3{133, 30, 32})) << "height unchanged";
    EXPECT_EQ(rig.camera().Rotation, (Vector3{0, kPi, 0}));
    EXPECT_EQ(rig.refresh.count, 1);
    EXPECT_EQ(rig.nav.MapDoubleClicked(true), MapDoubleClick::Nothing);
}

TEST(MapPanel, StoppedOrWithoutAMapClicksDoNothing)
{
    const MapPointer idle{false, QStringLiteral("Double-click to reload topographic file")};
    NavigationRig rig;
    EXPECT_EQ(rig.nav.MapMouseMove(50, 30, false), idle);
    rig.nav.MapMouseDown(false);
    rig.nav.MapMouseUp(false);
    EXPECT_EQ(rig.camera().Position, (Vector3{90, 30, 180}));
    EXPECT_EQ(rig.refresh.count, 0);
    EXPECT_EQ(rig.nav.MapDoubleClicked(false), MapDoubleClick::ReloadMap);

    Scene scene;
    ViewState view;
    CountingRefresh refresh;
    Navigator empty(scene, view, refresh);
    EXPECT_EQ(empty.MapMouseMove(50, 30, true), idle);
    EXPECT_EQ(empty.MapDoubleClicked(true), MapDoubleClick::OpenCommand);
    view.UpHeld = true;
    empty.ApplyHeldMoves();
    EXPECT_EQ(refresh.count, 0) << "nothing moves before a map is loaded";
}

} // namespace
} // namespace tolva::testing
