#pragma once
// Drawing one frame: clear the target, draw the scene's polygon list, hand the
// picture to the view. Frames are drawn on demand, one per view refresh.

#include "render/DisplayChain.h"

#include <QImage>
#include <QString>

#include <optional>

namespace tolva {

// Where finished frames go: the 3-D view, which paints the 450 x 450 picture
// stretched to its size (the clipboard and the printer take the same picture).
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Shows the frame; the reason when it cannot.
    virtual std::optional<QString> present(const QImage& frame) = 0;
};

// A sink that keeps the latest frame: what the view box paints, the clipboard
// copies and the render command writes.
class LatestFrame : public FrameSink {
public:
    std::optional<QString> present(const QImage& frame) override
    {
        picture = frame;
        return std::nullopt;
    }
    QImage picture;
};

// Clears the render target (kClearTarget) and/or the depth buffer
// (kClearZBuffer). There is no stencil buffer; the value is ignored.
bool ClearView(DisplayChain& chain, unsigned flags, PixelColor color, float z, unsigned stencil);

// Draws polygons 1.. of the list with their materials; material and texture
// are selected only when they differ from the polygon before (see
// PrepareScene). False when a call failed or the scene named a material or
// texture it does not have.
bool RenderScene(DisplayChain& chain, const Scene& scene);

// Hands the finished frame to the view. A failure is reported as
// "Blit2scren error: " + its reason and returns false.
bool Blt2screen(DisplayChain& chain, FrameSink& view);

// One frame: clear to black and depth 1, the scene, the hand-over.
void RenderIt(DisplayChain& chain, const Scene& scene, FrameSink& view);

} // namespace tolva
