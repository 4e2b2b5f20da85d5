#pragma once
// The view refresh on a display: the view transform from the camera, the
// material "Land" built anew when the earth colour changed since the last
// refresh, and one frame handed to the view.

#include "navigation/Navigator.h"
#include "render/DisplayChain.h"
#include "render/FrameDrawing.h"
#include "render/Scene.h"
#include "render/ViewState.h"

namespace tolva {

class DisplayRefresh : public ViewRefreshTarget {
public:
    DisplayRefresh(DisplayChain& chain, Scene& scene, const ViewState& view, FrameSink& sink);

    // Draws one frame of the scene from camera 1; for a loaded map only (the
    // window's own refreshes check that, as the Navigator does). The remembered earth
    // colour starts black, so the first refresh of a non-black earth builds
    // "Land" afresh.
    void ViewRefresh() override;

private:
    DisplayChain& m_chain;
    Scene& m_scene;
    const ViewState& m_view;
    FrameSink& m_sink;
    ColorRef m_lastEarthColor = 0;
};

} // namespace tolva
