#include "render/DisplayChain.h"

#include "common/Messages.h"
#include "render/SceneBuilders.h"

#include <algorithm>
#include <bit>

namespace tolva {

namespace {

// A fingerprint of the vertex positions of 256 polygons spread over the list:
// a few microseconds a frame, and a new map with the same number of cells
// almost always changes some of them. It backs up SceneChanged(), which remains the rule. Each
// vertex is mixed on its own, so that the work does not wait on one chain.
std::uint64_t SampledFingerprint(const Scene& scene)
{
    std::uint64_t h = 0;
    const std::size_t stride = std::max<std::size_t>(1, scene.PolygonList.size() / 256);
    for (std::size_t p = 1; p < scene.PolygonList.size(); p += stride)
        for (const Vertex& v : scene.PolygonList[p].Vertices)
            h ^= (std::bit_cast<std::uint32_t>(v.x) * 0x9E3779B97F4A7C15ull)
                 ^ (std::bit_cast<std::uint32_t>(v.y) * 0xC2B2AE3D27D4EB4Full)
                 ^ (std::bit_cast<std::uint32_t>(v.z) * 0x165667B19E3779F9ull) ^ (p * 0x27D4EB2F165667C5ull);
    return h;
}

} // namespace

QString SetupFailureMessage(RenderPath path, SetupStep step)
{
    switch (step) {
    case SetupStep::DirectDraw:
        return QStringLiteral("Could not start DirectDraw! Make sure DirectX 7 or higher is installed!");
    case SetupStep::Cooperation:
        return QStringLiteral("Could not set DirectDraw cooperative level! Make sure no other programs are interfering!");
    case SetupStep::Surfaces:
    case SetupStep::Direct3D:
        return QStringLiteral("Could not start Direct3D! Make sure DirectX 7 or higher is installed!");
    case SetupStep::ZBuffer:
        return QStringLiteral("Could not create Z-Buffer! Your computer does not support the required mode or bit depth!");
    case SetupStep::Device:
        return path == RenderPath::Software ? QStringLiteral("Could not start Direct3D software rendering!")
                                            : QStringLiteral("Could not start Direct3D hardware rendering!");
    case SetupStep::RenderStates:
        return path == RenderPath::Software ? QStringLiteral("Could not start VK3D") : QString();
    }
    return QString();
}

DisplayChain::DisplayChain(MessageSink* messages, DisplayOptions options)
    : m_messages(messages), m_options(std::move(options))
{
}

DisplayChain::~DisplayChain()
{
    UnloadDX();
}

bool DisplayChain::Loading(Scene& scene)
{
    return setUp(RenderPath::Software, scene);
}

bool DisplayChain::Loading2(Scene& scene)
{
    return setUp(RenderPath::Hardware, scene);
}

bool DisplayChain::setUp(RenderPath path, Scene& scene)
{
    // A set-up replaces whatever display there was.
    UnloadDX();
    bool& failed = path == RenderPath::Software ? SoftwareFailed : HardwareFailed;
    failed = false;
    m_path = path;
    m_device = path == RenderPath::Software ? MakeSoftwareDisplay(m_options) : MakeGlDisplay(m_options);
    if (const std::optional<SetupStep> step = m_device->setUp()) {
        FatalError(SetupFailureMessage(path, *step));
        failed = true;
        return false;
    }
    m_device->setFillMode(m_mode);
    ResetScene(scene);
    SceneChanged();
    // Z-buffer on and flat shading. Only the software path checks; as the
    // report tears the display down, the set-up has then failed.
    const bool statesSet = m_device->setRenderStates(true, true);
    if (!statesSet && path == RenderPath::Software) {
        FatalError(SetupFailureMessage(path, SetupStep::RenderStates));
        failed = true;
        return false;
    }
    return true;
}

void DisplayChain::UnloadDX()
{
    if (m_device)
        m_device->release();
    m_device.reset();
    m_prepared = {};
    m_preparedValid = false;
}

void DisplayChain::FatalError(const QString& message)
{
    UnloadDX();
    if (m_messages)
        m_messages->show(FatalReport(message));
}

void DisplayChain::SetFillMode(FillMode mode)
{
    m_mode = mode;
    if (m_device)
        m_device->setFillMode(mode);
}

bool DisplayChain::SetViewFromFrame(const Scene& scene, int index)
{
    if (!m_device || index < 0 || std::size_t(index) >= scene.FrameList.size())
        return false;
    m_device->setViewTransform(ViewMatrixFromFrame(scene.FrameList[std::size_t(index)]));
    return true;
}

const PreparedScene& DisplayChain::prepared(const Scene& scene)
{
    // The material and light lists are a handful of entries: compare them
    // outright, so that a new earth colour or light level is never missed.
    bool same = m_preparedValid && m_preparedFor == m_sceneRevision
                && m_preparedPolygons == scene.PolygonList.size()
                && m_preparedFingerprint == SampledFingerprint(scene)
                && m_preparedMaterials.size() == scene.MaterialList.size()
                && m_preparedLights.size() == scene.LightList.size();
    for (std::size_t i = 0; same && i < scene.MaterialList.size(); ++i)
        same = m_preparedMaterials[i] == scene.MaterialList[i].material;
    for (std::size_t i = 0; same && i < scene.LightList.size(); ++i)
        same = m_preparedLights[i] == scene.LightList[i].light
               && m_preparedEnabled[i] == scene.LightList[i].enabled;
    if (same)
        return m_prepared;

    m_prepared = PrepareScene(scene, DefaultMaterial().material);
    m_preparedFor = m_sceneRevision;
    m_preparedPolygons = scene.PolygonList.size();
    m_preparedFingerprint = SampledFingerprint(scene);
    m_preparedMaterials.clear();
    for (const NamedMaterial& m : scene.MaterialList)
        m_preparedMaterials.push_back(m.material);
    m_preparedLights.clear();
    m_preparedEnabled.clear();
    for (const NamedLight& l : scene.LightList) {
        m_preparedLights.push_back(l.light);
        m_preparedEnabled.push_back(l.enabled);
    }
    m_preparedValid = true;
    ++m_preparedRevision;
    return m_prepared;
}

} // namespace tolva
