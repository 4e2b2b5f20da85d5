#include "render/DisplayChain.h"

#include "common/Messages.h"
#include "render/SceneBuilders.h"

#include <algorithm>

namespace tolva {

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

int FrameSide(double devicePixelRatio)
{
    const double ratio = devicePixelRatio > 0.0 ? std::min(devicePixelRatio, kMaxFrameRatio) : 1.0;
    return qRound(kTargetSize * ratio);
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
    return setUp(RenderPath::Software, &scene);
}

bool DisplayChain::Loading2(Scene& scene)
{
    return setUp(RenderPath::Hardware, &scene);
}

bool DisplayChain::SetFrameSide(int side)
{
    if (side == m_options.size)
        return true;
    m_options.size = side;
    return !m_device || setUp(m_path, nullptr);
}

bool DisplayChain::setUp(RenderPath path, Scene* scene)
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
    if (scene)
        ResetScene(*scene);
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
    m_preparedFor = 0;
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
    if (!m_device || index < 0 || std::size_t(index) >= scene.FrameList().size())
        return false;
    m_device->setViewTransform(ViewMatrixFromFrame(scene.FrameList()[std::size_t(index)]));
    return true;
}

const PreparedScene& DisplayChain::prepared(const Scene& scene)
{
    if (m_preparedFor == scene.revision())
        return m_prepared;
    m_prepared = PrepareScene(scene, DefaultMaterial().material);
    m_preparedFor = scene.revision();
    ++m_preparations;
    return m_prepared;
}

} // namespace tolva
