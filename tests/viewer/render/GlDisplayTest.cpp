// The OpenGL display: its set-up failures, and that it draws the same picture
// as the software display. Runs where an OpenGL context can be made (Mesa
// under Xvfb in `make test`); elsewhere the drawing cases are skipped.
#include "support/FakePlatform.h"
#include "RenderTestScenes.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tolva::testing {
namespace {

bool OpenGlAvailable()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    return surface.isValid() && context.create() && context.makeCurrent(&surface);
}

TEST(GlDisplay, NoUsableOpenGlEndsAtTheDeviceStepAndSetsHardwareFailed)
{
    RecordingMessages messages;
    DisplayOptions options;
    options.contextFactory = [] { return std::unique_ptr<QOpenGLContext>(); };
    DisplayChain chain(&messages, options);
    Scene scene;
    EXPECT_FALSE(chain.Loading2(scene));
    EXPECT_TRUE(chain.HardwareFailed);
    EXPECT_FALSE(chain.SoftwareFailed);
    EXPECT_EQ(messages.reports, QList<MessageReport>{Fatal("Could not start Direct3D hardware rendering!")});
    EXPECT_TRUE(chain.Loading(scene)) << "the fall-back path still works";
}

// OpenGL keeps its uploaded vertices while the scene's revision stays, and
// uploads again for a map that differs from the last in one cell.
TEST(GlDisplay, UploadsAgainExactlyWhenTheSceneChanged)
{
    if (!OpenGlAvailable())
        GTEST_SKIP() << "no OpenGL context can be made here";
    DisplayChain chain(nullptr);
    Scene scene;
    ASSERT_TRUE(chain.Loading2(scene));
    scene = VolcanoScene(FlatMap());
    const QImage flat = FrameOf(chain, scene);
    EXPECT_TRUE(flat == FrameOf(chain, scene));
    ViewState view;
    ASSERT_TRUE(LoadMap(scene, view, FlatMap(true)).ok());
    SetFrame(scene, 1, StartCameraFrame(view));
    EXPECT_FALSE(flat == FrameOf(chain, scene));
}

// Both displays draw the same scene from the same camera: the same pixels
// covered, and colours within 2 levels for at least 99% of them.
struct AgreeCase { const char* name; bool highAbove; FillMode mode; double minCoverageAgreement, minColourAgreement; };

QImage RenderOn(RenderPath path, const AgreeCase& c)
{
    DisplayChain chain(nullptr);
    Scene scene;
    if (!(path == RenderPath::Software ? chain.Loading(scene) : chain.Loading2(scene)))
        return QImage();
    scene = VolcanoScene();
    if (c.highAbove)
        SetFrame(scene, 1, HighAbove());
    chain.SetFillMode(c.mode);
    return FrameOf(chain, scene);
}

TEST(DisplaysAgree, SamePixelsCoveredAndColoursWithinTwoLevels)
{
    if (!OpenGlAvailable())
        GTEST_SKIP() << "no OpenGL context can be made here";
    // OpenGL places line and point pixels by slightly different rules; nearly all must still agree.
    for (const AgreeCase& c : {AgreeCase{"StartSolid", false, FillMode::Solid, 0.99, 0.99},
                               {"HighAboveWire", true, FillMode::Wireframe, 0.98, 0.95},
                               {"StartPoints", false, FillMode::Points, 0.99, 0.90}}) {
        SCOPED_TRACE(c.name);
        const QImage software = RenderOn(RenderPath::Software, c);
        const QImage gl = RenderOn(RenderPath::Hardware, c);
        ASSERT_EQ(gl.size(), software.size()); // a display that could not be set up draws nothing: covered is 0
        int sameCoverage = 0, covered = 0, closeColour = 0;
        for (int y = 0; y < software.height(); ++y)
            for (int x = 0; x < software.width(); ++x) {
                const QRgb a = software.pixel(x, y), b = gl.pixel(x, y);
                const bool coveredA = (a & 0xFFFFFF) != 0, coveredB = (b & 0xFFFFFF) != 0;
                sameCoverage += coveredA == coveredB;
                covered += coveredA || coveredB;
                closeColour += (coveredA || coveredB) && std::abs(qRed(a) - qRed(b)) <= 2
                               && std::abs(qGreen(a) - qGreen(b)) <= 2 && std::abs(qBlue(a) - qBlue(b)) <= 2;
            }
        ASSERT_GT(covered, 1000);
        EXPECT_GE(double(sameCoverage) / (software.width() * software.height()), c.minCoverageAgreement);
        EXPECT_GE(double(closeColour) / covered, c.minColourAgreement);
    }
}

} // namespace
} // namespace tolva::testing
