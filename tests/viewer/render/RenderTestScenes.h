#pragma once
// Scenes for the display tests: triangles placed directly on screen, and the
// demonstration volcano loaded as the viewer loads a map.

#include "demomap/DemoMap.h"
#include "render/DisplayChain.h"
#include "render/FrameDrawing.h"
#include "render/MapLoad.h"
#include "render/PreparedScene.h"
#include "render/Rasterizer.h"
#include "render/SceneBuilders.h"
#include "render/StartView.h"

#include <QImage>

#include <vector>

namespace tolva::testing {

// A screen position in pixels (y down) and a depth.
struct ScreenCorner {
    double x, y;
    float z = 0.5f;
};

// Under the identity transform clip space is the screen: w = 1, so
// x = 2 sx / size - 1 and y = 1 - 2 sy / size.
inline void AddScreenTriangle(PreparedScene& scene, ScreenCorner a, ScreenCorner b, ScreenCorner c,
                              PixelColor color, int size = kTargetSize)
{
    for (const ScreenCorner& p : {a, b, c}) {
        scene.corners.push_back(std::uint32_t(scene.x.size()));
        scene.x.push_back(float(2.0 * p.x / size - 1.0));
        scene.y.push_back(float(1.0 - 2.0 * p.y / size));
        scene.z.push_back(p.z);
    }
    scene.colors.push_back(color);
}

// `bands` 0: as many as the machine has cores.
inline FrameTarget Draw(const PreparedScene& scene, FillMode mode = FillMode::Solid,
                        const Matrix4& transform = IdentityMatrix(), int size = kTargetSize, int bands = 0)
{
    FrameTarget target(size);
    target.clear(0xFF000000u, 1.0f);
    RasterScratch scratch;
    scratch.bands = bands;
    DrawPreparedScene(target, scene, transform, mode, scratch);
    return target;
}

inline int CountPixels(const QImage& image, PixelColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == color;
    return n;
}

// The demonstration volcano as a map load makes it (MeshHeight 10, white
// earth, light level 0.5), with camera 1 at the start view.
inline Scene VolcanoScene(const QImage& picture = MakeDemoMap(360, 180))
{
    Scene scene;
    ViewState view;
    LoadMap(scene, view, picture);
    SetFrame(scene, 1, StartCameraFrame(view));
    return scene;
}

// A flat grey map of 360 x 180; `raised` makes one raster pixel, (90, 45) in
// the middle of the map, white: the picture's 2 x 2 block that the stretch
// and the mirror turn into it.
inline QImage FlatMap(bool raised = false)
{
    QImage picture(360, 180, QImage::Format_RGB32);
    picture.fill(qRgb(64, 64, 64));
    for (int y = 90; raised && y < 92; ++y)
        for (int x = 178; x < 180; ++x)
            picture.setPixel(x, y, qRgb(255, 255, 255));
    return picture;
}

// What a display's FatalError shows.
inline MessageReport Fatal(const char* message)
{
    return {QStringLiteral("ERROR : ") + QString::fromUtf8(message), QStringLiteral("FATAL ERROR!"),
            MessageIcon::Critical};
}

// The frame a display draws of the scene from its camera 1.
inline QImage FrameOf(DisplayChain& chain, const Scene& scene)
{
    chain.SetViewFromFrame(scene, 1);
    LatestFrame view;
    RenderIt(chain, scene, view);
    return view.picture;
}

// The start camera: (90, 30, 180), turned half round to look towards smaller z.
inline Frame StartCamera() { return StartCameraFrame(ViewState{}); }

// Straight down over the middle of the map, high enough to see all of it.
inline Frame HighAbove() { return {{91.0f, 170.0f, 91.0f}, {-3.14159265f / 2.0f, 3.14159265f, 0.0f}, {}}; }

} // namespace tolva::testing
