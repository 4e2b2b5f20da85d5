#pragma once
// The viewer's display: set-up on the software path (Loading) or the OpenGL
// path (Loading2), the render states, the view transform, and the tear-down
// (UnloadDX). A failed set-up tears down what it made and reports through
// FatalError; its failure flag tells the window to fall back.
//
// A map load then goes through LoadMap (MapLoad.h); each view refresh:
// SetViewFromFrame(scene, 1) and RenderIt (FrameDrawing.h).

#include "render/Display.h"
#include "render/Scene.h"

#include "common/Platform.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace tolva {

enum class RenderPath { Software, Hardware };

// The report of a failed set-up step on one path. RenderStates reports only
// on the software path ("Could not start VK3D"); on the hardware path a
// failure there is not a set-up failure.
QString SetupFailureMessage(RenderPath path, SetupStep step);

// The side of the square frame, in device pixels, for a screen of
// `devicePixelRatio`: the 450-pixel view at that density, rounded to the
// nearest pixel (halves up). A ratio that is not above zero (or not a number)
// counts as 1; one beyond kMaxFrameRatio, which no screen has but a scale
// setting can ask for, as kMaxFrameRatio, so that the frame stays a size
// the machine can draw.
inline constexpr double kMaxFrameRatio = 4.0;
int FrameSide(double devicePixelRatio);

class DisplayChain {
public:
    explicit DisplayChain(MessageSink* messages, DisplayOptions options = {});
    ~DisplayChain();
    DisplayChain(const DisplayChain&) = delete;
    DisplayChain& operator=(const DisplayChain&) = delete;

    // Software set-up. Empties the scene (ResetScene) once the display is up.
    // False, with SoftwareFailed set, when a step failed. A failed render-state
    // check reports too, and since FatalError has then torn the display down,
    // it counts as a failed set-up rather than leaving a display that is gone.
    bool Loading(Scene& scene);
    // OpenGL set-up; false with HardwareFailed set when a step failed.
    bool Loading2(Scene& scene);
    // The side of the frame the set-ups make. A display that is up is made
    // again at a new side on its path, the scene kept; false, with the path's
    // failure flag set and the failure reported, when that set-up failed.
    bool SetFrameSide(int side);
    int frameSide() const { return m_options.size; }
    // Releases the display; harmless when there is none.
    void UnloadDX();
    // Tears the display down, then shows "ERROR : " + message under "FATAL ERROR!".
    void FatalError(const QString& message);

    bool SoftwareFailed = false;
    bool HardwareFailed = false;

    // The display, or null when none is set up.
    Display* device() { return m_device.get(); }
    RenderPath path() const { return m_path; }

    // Fill mode render state; kept across set-ups.
    void SetFillMode(FillMode mode);
    FillMode fillMode() const { return m_mode; }

    // The view transform from FrameList(index); false when there is no such
    // frame (entry 0 is the placeholder and counts as a frame) or no display.
    bool SetViewFromFrame(const Scene& scene, int index);

    // The scene as the display draws it. Prepared again exactly when the
    // scene's revision differs from the one it was last prepared from (or
    // after a set-up); otherwise what was prepared is given back untouched.
    const PreparedScene& prepared(const Scene& scene);
    // The scene revision the prepared scene was made from.
    std::uint64_t preparedRevision() const { return m_preparedFor; }
    // How many times a scene was prepared since this chain was made.
    std::uint64_t preparations() const { return m_preparations; }

    MessageSink* messages() const { return m_messages; }

private:
    // Empties `scene` (when given) once the display is up.
    bool setUp(RenderPath path, Scene* scene);

    MessageSink* m_messages;
    DisplayOptions m_options;
    std::unique_ptr<Display> m_device;
    RenderPath m_path = RenderPath::Software;
    FillMode m_mode = FillMode::Solid;

    std::uint64_t m_preparedFor = 0; // 0: nothing prepared (revisions start at 1)
    std::uint64_t m_preparations = 0;
    PreparedScene m_prepared;
};

} // namespace tolva
