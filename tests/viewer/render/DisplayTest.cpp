// Display set-up, tear-down and frame drawing on the software path, with the
// reports a user sees when a step fails.
#include "support/FakePlatform.h"
#include "RenderTestScenes.h"
#include "support/RowNames.h"

#include <gtest/gtest.h>

#include <limits>

namespace tolva::testing {
namespace {

class KeepFrame : public FrameSink {
public:
    std::optional<QString> present(const QImage& frame) override
    {
        ++frames;
        picture = frame;
        return failure;
    }
    QImage picture;
    int frames = 0;
    std::optional<QString> failure;
};

const MessageReport Fatal(const char* message)
{
    return {QStringLiteral("ERROR : ") + QString::fromUtf8(message), QStringLiteral("FATAL ERROR!"),
            MessageIcon::Critical};
}

struct SetupFailureCase {
    const char* name;
    SetupStep step;
    const char* message;
};

void PrintTo(const SetupFailureCase& row, std::ostream* os) { *os << row.name; }

class SoftwareSetupFailure : public ::testing::TestWithParam<SetupFailureCase> {};

TEST_P(SoftwareSetupFailure, ShowsItsMessageOnceTearsDownAndSetsSoftwareFailed)
{
    RecordingMessages messages;
    DisplayOptions options;
    options.failAt = GetParam().step;
    DisplayChain chain(&messages, options);
    Scene scene;
    EXPECT_FALSE(chain.Loading(scene));
    EXPECT_TRUE(chain.SoftwareFailed);
    EXPECT_EQ(chain.device(), nullptr);
    EXPECT_EQ(messages.reports, QList<MessageReport>{Fatal(GetParam().message)});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SoftwareSetupFailure,
    ::testing::Values(
        SetupFailureCase{"DirectDraw", SetupStep::DirectDraw,
                         "Could not start DirectDraw! Make sure DirectX 7 or higher is installed!"},
        SetupFailureCase{"Cooperation", SetupStep::Cooperation,
                         "Could not set DirectDraw cooperative level! Make sure no other programs are interfering!"},
        SetupFailureCase{"Surfaces", SetupStep::Surfaces,
                         "Could not start Direct3D! Make sure DirectX 7 or higher is installed!"},
        SetupFailureCase{"ZBuffer", SetupStep::ZBuffer,
                         "Could not create Z-Buffer! Your computer does not support the required mode or bit depth!"},
        SetupFailureCase{"Device", SetupStep::Device, "Could not start Direct3D software rendering!"},
        SetupFailureCase{"RenderStates", SetupStep::RenderStates, "Could not start VK3D"}),
    tolva::testing::RowName());

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

TEST(DisplayChain, UnloadTwiceDoesNoHarmAndASecondSetUpWorks)
{
    DisplayChain chain(nullptr);
    Scene scene;
    ASSERT_TRUE(chain.Loading(scene));
    chain.UnloadDX();
    chain.UnloadDX();
    EXPECT_EQ(chain.device(), nullptr);
    EXPECT_TRUE(chain.Loading(scene));
    EXPECT_NE(chain.device(), nullptr);
}

struct FrameSideRow {
    const char* name;
    double ratio;
    int side;
};

void PrintTo(const FrameSideRow& row, std::ostream* os) { *os << row.name; }

class FrameSideTest : public ::testing::TestWithParam<FrameSideRow> {};

TEST_P(FrameSideTest, IsTheViewAtTheScreensDensityRoundedHalfUp)
{
    EXPECT_EQ(FrameSide(GetParam().ratio), GetParam().side);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FrameSideTest,
    ::testing::Values(FrameSideRow{"ratio 1", 1.0, 450}, FrameSideRow{"ratio 1.25, a half", 1.25, 563},
                      FrameSideRow{"a hair below the half", 1.2499, 562}, FrameSideRow{"no ratio", 0.0, 450},
                      FrameSideRow{"ratio 4", 4.0, 1800},
                      FrameSideRow{"beyond any screen", 100.0, 1800},
                      FrameSideRow{"not a number", std::numeric_limits<double>::quiet_NaN(), 450}),
    tolva::testing::RowName());

// A window moved to a screen of another density: the display is made again
// at the new side, the scene it draws kept; a side that cannot be made fails
// as a set-up does.
TEST(DisplayChain, ANewFrameSideRemakesTheDisplayOnItsPathAndKeepsTheScene)
{
    RecordingMessages messages;
    DisplayChain chain(&messages);
    EXPECT_TRUE(chain.SetFrameSide(900)) << "no display yet: the set-up takes the side";
    Scene empty;
    ASSERT_TRUE(chain.Loading(empty));
    Scene scene = VolcanoScene();
    chain.SetViewFromFrame(scene, 1);
    KeepFrame large, small, fresh;
    RenderIt(chain, scene, large);
    EXPECT_EQ(large.picture.size(), QSize(900, 900));

    ASSERT_TRUE(chain.SetFrameSide(450));
    EXPECT_GT(scene.PolygonList().size(), 1u) << "the scene is not emptied";
    chain.SetViewFromFrame(scene, 1);
    RenderIt(chain, scene, small);
    DisplayChain other(nullptr);
    ASSERT_TRUE(other.Loading(empty));
    other.SetViewFromFrame(scene, 1);
    RenderIt(other, scene, fresh);
    EXPECT_EQ(small.picture, fresh.picture);
    EXPECT_TRUE(messages.reports.isEmpty());

    EXPECT_FALSE(chain.SetFrameSide(0));
    EXPECT_TRUE(chain.SoftwareFailed);
    EXPECT_EQ(chain.device(), nullptr);
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
