#include "render/FrameDrawing.h"

#include "common/Messages.h"

namespace tolva {

bool ClearView(DisplayChain& chain, unsigned flags, PixelColor color, float z, unsigned)
{
    Display* device = chain.device();
    return device && device->clear(flags, color, z);
}

bool RenderScene(DisplayChain& chain, const Scene& scene)
{
    Display* device = chain.device();
    if (!device)
        return false;
    const PreparedScene& prepared = chain.prepared(scene);
    const bool drawn = device->draw(prepared, chain.preparedRevision());
    return drawn && prepared.ok;
}

bool Blt2screen(DisplayChain& chain, FrameSink& view)
{
    std::optional<QString> error;
    Display* device = chain.device();
    if (!device) {
        error = QStringLiteral("No display is set up.");
    } else {
        const QImage frame = device->frame();
        if (frame.isNull())
            error = QStringLiteral("The frame could not be read from the display.");
        else
            error = view.present(frame);
    }
    if (!error)
        return true;
    if (chain.messages())
        chain.messages()->show(ViewerError(QStringLiteral("Blit2scren"), *error));
    return false;
}

void RenderIt(DisplayChain& chain, const Scene& scene, FrameSink& view)
{
    // Black, and every depth at the far plane.
    ClearView(chain, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    RenderScene(chain, scene);
    Blt2screen(chain, view);
}

} // namespace tolva
