#include "navigation/DisplayRefresh.h"

#include "render/SceneBuilders.h"

namespace tolva {

DisplayRefresh::DisplayRefresh(DisplayChain& chain, Scene& scene, const ViewState& view, FrameSink& sink)
    : m_chain(chain), m_scene(scene), m_view(view), m_sink(sink)
{
}

void DisplayRefresh::ViewRefresh()
{
    m_chain.SetViewFromFrame(m_scene, 1);
    if (m_view.EarthColor != m_lastEarthColor) {
        ClearMaterials(m_scene);
        CreateMaterials(m_scene, m_view.EarthColor);
    }
    m_lastEarthColor = m_view.EarthColor;
    RenderIt(m_chain, m_scene, m_sink);
}

} // namespace tolva
