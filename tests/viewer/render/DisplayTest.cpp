// Display set-up, tear-down and frame drawing on the software path, with the
// reports a user sees when a step fails.
#include "support/FakePlatform.h"
#include "RenderTestScenes.h"

#include <gtest/gtest.h>

#include <limits>

namespace tolva::testing {
namespace {

// Keeps the last frame presented and answers `failure`.
struct KeepFrame : FrameSink {
    std::optional<QString> present(const QImage& frame) override { ++frames; picture = frame; return failure; }
    QImage picture;
    int frames = 0;
    std::optional<QString> failure;
};

// Each step of the software set-up that fails shows its message once, tears
// the display down and sets SoftwareFailed.
TEST(SoftwareSetupFailure, ShowsItsMessageOnceTearsDownAndSetsSoftwareFailed)
{
    for (const auto& [step, message] :
         {std::pair{SetupStep::DirectDraw, "Could not start DirectDraw! Make sure DirectX 7 or higher is installed!"},
          {SetupStep::Cooperation,
           "Could not set DirectDraw cooperative level! Make sure no other programs are interfering!"},
          {SetupStep::Surfaces, "Could not start Direct3D! Make sure DirectX 7 or higher is installed!"},
          {SetupStep::ZBuffer,
           "Could not create Z-Buffer! Your computer does not support the required mode or bit depth!"},
          {SetupStep::Device, "Could not start Direct3D software rendering!"},
          {SetupStep::RenderStates, "Could not start VK3D"}}) {
        SCOPED_TRACE(message);
        RecordingMessages messages;
        DisplayOptions options;
        options.failAt = step;
        DisplayChain chain(&messages, options);
        Scene scene;
        EXPECT_FALSE(chain.Loading(scene));
        EXPECT_TRUE(chain.SoftwareFailed);
        EXPECT_EQ(chain.device(), nullptr);
        EXPECT_EQ(messages.reports, QList<MessageReport>{Fatal(message)});
    }
}

TEST(DisplayChain, SoftwareSetUpEmptiesTheSceneAndDrawsABlackFrameForIt)
{
    RecordingMessages messages;
    DisplayChain chain(&messages);
    Scene scene = VolcanoScene();
    ASSERT_TRUE(chain.Loading(scene));
    EXPECT_EQ(scene.PolygonList().size(), 1u);
    EXPECT_EQ(scene.FrameList().size(), 1u);
    KeepFrame view;
    RenderIt(chain, scene, view);
    ASSERT_EQ(view.frames, 1);
    EXPECT_EQ(view.picture.size(), QSize(450, 450));
    EXPECT_EQ(CountPixels(view.picture, 0xFF000000u), 450 * 450);
    EXPECT_TRUE(messages.reports.isEmpty());
}

// 1.25 is a half pixel over, 1.2499 a hair below; no ratio and not a number
// count as 1, anything beyond 4 as 4.
TEST(FrameSide, IsTheViewAtTheScreensDensityRoundedHalfUp)
{
    for (const auto& [ratio, side] : {std::pair{1.0, 450}, {1.25, 563}, {1.2499, 562}, {0.0, 450}, {4.0, 1800},
                                      {100.0, 1800}, {std::numeric_limits<double>::quiet_NaN(), 450}})
        EXPECT_EQ(FrameSide(ratio), side) << "ratio " << ratio;
}

// A window moved to a screen of another density: the display is made again
// at the new side, the scene it draws kept; a side that cannot be made fails
// as a set-up does.
TEST(DisplayChain, ANewFrameSideRemakesTheDisplayOnItsPathAndKeepsTheScene)
{
    RecordingMessages messages;
    DisplayChain chain(&messages), fresh(nullptr);
    EXPECT_TRUE(chain.SetFrameSide(900)) << "no display yet: the set-up takes the side";
    Scene empty;
    ASSERT_TRUE(chain.Loading(empty));
    ASSERT_TRUE(fresh.Loading(empty));
    Scene scene = VolcanoScene();
    EXPECT_EQ(FrameOf(chain, scene).size(), QSize(900, 900));

    ASSERT_TRUE(chain.SetFrameSide(450));
    EXPECT_GT(scene.PolygonList().size(), 1u) << "the scene is not emptied";
    EXPECT_EQ(FrameOf(chain, scene), FrameOf(fresh, scene));
    EXPECT_TRUE(messages.reports.isEmpty());

    EXPECT_FALSE(chain.SetFrameSide(0));
    EXPECT_EQ(messages.reports, QList<MessageReport>({Fatal(
        "Could not create Z-Buffer! Your computer does not support the required mode or bit depth!")}));
}

TEST(FrameDrawing, Blt2screenReportsWhatWentWrong)
{
    RecordingMessages messages;
    DisplayChain chain(&messages);
    KeepFrame view;
    EXPECT_FALSE(Blt2screen(chain, view)) << "no display";
    Scene scene;
    ASSERT_TRUE(chain.Loading(scene));
    view.failure = QStringLiteral("The view is gone.");
    EXPECT_FALSE(Blt2screen(chain, view));
    const auto report = [](const char* reason) {
        return MessageReport{QStringLiteral("Blit2scren error: ") + QString::fromUtf8(reason),
                             QStringLiteral("Tolva3DView"), MessageIcon::Exclamation};
    };
    EXPECT_EQ(messages.reports, (QList<MessageReport>{report("No display is set up."), report("The view is gone.")}));
}

TEST(FrameDrawing, APictureKeptFromOneFrameStaysAsItWasWhileTheNextIsDrawn)
{
    DisplayChain chain(nullptr);
    Scene empty;
    ASSERT_TRUE(chain.Loading(empty));
    Scene scene = VolcanoScene();
    const QImage first = FrameOf(chain, scene);
    const QImage kept = first.copy();
    SetFrame(scene, 1, HighAbove());
    const QImage second = FrameOf(chain, scene);
    EXPECT_TRUE(first == kept);
    // The second frame is cleared and drawn whole, as on a target of its own.
    const Matrix4 transform = MatrixMultiply(ViewMatrixFromFrame(HighAbove()), ProjectionMatrix());
    EXPECT_TRUE(second == Draw(chain.prepared(scene), FillMode::Solid, transform).image());
}

} // namespace
} // namespace tolva::testing
