#pragma once
// A presenter over a loaded map without a display: the refreshes are counted.

#include "navigation/Navigator.h"
#include "render/SceneBuilders.h"

namespace tolva::testing {

struct CountingRefresh : ViewRefreshTarget {
    void ViewRefresh() override { ++count; }
    int count = 0;
};

inline constexpr ColorRef kWhite = 0x00FFFFFFu;
inline constexpr ColorRef kBlack = 0;

// A map of one colour, loaded as the viewer loads it (the camera "Main" from
// CreateCameras), then reset to the start view. Refreshes count from 0 after.
struct NavigationRig {
    Scene scene;
    ViewState view;
    CountingRefresh refresh;
    Navigator nav{scene, view, refresh};

    explicit NavigationRig(TerrainGrid ground = TerrainGrid(kWhite), float meshHeight = 10.0f)
    {
        view.MeshHeight = meshHeight;
        CreateCameras(scene, view);
        nav.MapLoaded(ground, MapScale{180, 90});
        nav.ViewReset();
        refresh.count = 0;
    }

    const Frame& camera() const { return scene.FrameList()[1]; }

    // The camera at (x, y, z), level, looking towards smaller z (yaw pi).
    void placeCamera(float x, float y, float z)
    {
        SetFrame(scene, 1, {{x, y, z}, {0.0f, 3.14159274f, 0.0f}, camera().Name});
    }

    // Holds the arrows named by their letters, "LURD".
    void hold(const QString& arrows)
    {
        view.LeftHeld = arrows.contains(u'L');
        view.UpHeld = arrows.contains(u'U');
        view.RightHeld = arrows.contains(u'R');
        view.DownHeld = arrows.contains(u'D');
    }
};

} // namespace tolva::testing
