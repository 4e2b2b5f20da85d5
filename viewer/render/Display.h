#pragma once
// One display: a square render target (450 x 450 unless the options say
// otherwise) with a depth buffer that draws a
// prepared scene. Two implementations: our software rasterizer and OpenGL
// through an offscreen context. DisplayChain sets them up and tears them down.

#include "render/Matrix.h"
#include "render/PreparedScene.h"
#include "render/Rasterizer.h"

#include <QImage>

#include <functional>
#include <memory>
#include <optional>

class QOpenGLContext;

namespace tolva {

// The set-up steps, each with its own failure report (see DisplayChain).
enum class SetupStep {
    DirectDraw,   // the drawing system itself (the GUI application for OpenGL)
    Cooperation,  // working with the window system from this thread
    Surfaces,     // the target surfaces; their failure shows at the next step
    Direct3D,     // the 3-D interface on those surfaces
    ZBuffer,      // the depth buffer
    Device,       // the device that draws: rasterizer, or OpenGL context and program
    RenderStates, // Z-buffer on, flat shading
};

// Makes and creates an OpenGL context, or gives nothing when the machine has
// no usable OpenGL. Tests hand in one that fails.
using GlContextFactory = std::function<std::unique_ptr<QOpenGLContext>()>;

struct DisplayOptions {
    int size = kTargetSize; // the side of the target, in pixels
    GlContextFactory contextFactory; // empty: the default QOpenGLContext
    // Makes the given step fail, to exercise each failure report.
    std::optional<SetupStep> failAt;
};

// ClearView flags.
inline constexpr unsigned kClearTarget = 1;
inline constexpr unsigned kClearZBuffer = 2;

class Display {
public:
    virtual ~Display() = default;

    // Runs the set-up steps; the step that failed, or nothing when all went well.
    virtual std::optional<SetupStep> setUp() = 0;
    // Releases everything the set-up made. Safe to call again, and on a
    // display whose set-up failed half-way.
    virtual void release() = 0;
    virtual bool isReady() const = 0;

    virtual bool setRenderStates(bool zEnable, bool flatShading) = 0;
    virtual void setFillMode(FillMode mode) = 0;
    virtual void setViewTransform(const Matrix4& view) = 0;

    // Clears the colour (kClearTarget) and/or depth (kClearZBuffer).
    virtual bool clear(unsigned flags, PixelColor color, float z) = 0;
    // Draws the prepared scene over what is in the target. `revision` is the
    // scene revision it was prepared from: while it stays the same, a display
    // may keep what it uploaded.
    virtual bool draw(const PreparedScene& scene, std::uint64_t revision) = 0;
    // The target as a Format_RGB32 picture, top row first.
    virtual QImage frame() = 0;
};

std::unique_ptr<Display> MakeSoftwareDisplay(const DisplayOptions& options);
std::unique_ptr<Display> MakeGlDisplay(const DisplayOptions& options);

} // namespace tolva
