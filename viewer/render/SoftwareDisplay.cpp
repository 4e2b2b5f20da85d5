// The software display: our rasterizer into a 450 x 450 colour and depth
// target in memory.
#include "render/Display.h"

#include <new>

namespace tolva {

namespace {

class SoftwareDisplay final : public Display {
public:
    explicit SoftwareDisplay(const DisplayOptions& options) : m_options(options) {}

    std::optional<SetupStep> setUp() override
    {
        const auto failing = [&](SetupStep step) { return m_options.failAt == step; };
        for (SetupStep step : {SetupStep::DirectDraw, SetupStep::Cooperation, SetupStep::Surfaces,
                               SetupStep::Direct3D})
            if (failing(step))
                return step;
        // The colour and depth buffers are one allocation of about 1.6 MB.
        if (failing(SetupStep::ZBuffer) || m_options.size <= 0)
            return SetupStep::ZBuffer;
        try {
            m_target = std::make_unique<FrameTarget>(m_options.size);
        } catch (const std::bad_alloc&) {
            return SetupStep::ZBuffer;
        }
        if (m_target->image().isNull()) {
            m_target.reset();
            return SetupStep::ZBuffer;
        }
        if (failing(SetupStep::Device))
            return SetupStep::Device;
        m_projection = ProjectionMatrix();
        m_viewProjection = m_projection;
        m_target->clear(0xFF000000u, 1.0f);
        return std::nullopt;
    }

    void release() override
    {
        m_target.reset();
        m_scratch = {};
        m_pendingClear = {};
    }

    bool isReady() const override { return m_target != nullptr; }

    bool setRenderStates(bool zEnable, bool flatShading) override
    {
        // The rasterizer always tests depth and shades flat.
        return isReady() && zEnable && flatShading && m_options.failAt != SetupStep::RenderStates;
    }

    void setFillMode(FillMode mode) override { m_mode = mode; }

    void setViewTransform(const Matrix4& view) override
    {
        m_viewProjection = MatrixMultiply(view, m_projection);
    }

    bool clear(unsigned flags, PixelColor color, float z) override
    {
        if (!isReady())
            return false;
        // Done by the next draw, band by band, or before the frame is read.
        if (flags & kClearTarget) {
            m_pendingClear.color = true;
            m_pendingClear.colorValue = color;
        }
        if (flags & kClearZBuffer) {
            m_pendingClear.depth = true;
            m_pendingClear.depthValue = z;
        }
        return true;
    }

    bool draw(const PreparedScene& scene, std::uint64_t) override
    {
        if (!isReady())
            return false;
        DrawPreparedScene(*m_target, scene, m_viewProjection, m_mode, m_scratch, m_pendingClear);
        m_pendingClear = {};
        return true;
    }

    QImage frame() override
    {
        if (!isReady())
            return QImage();
        if (m_pendingClear.any()) {
            m_pendingClear.apply(m_target->pixels(), m_target->depth(), m_target->size(), 0, m_target->size());
            m_pendingClear = {};
        }
        return m_target->image();
    }

private:
    DisplayOptions m_options;
    std::unique_ptr<FrameTarget> m_target;
    RasterScratch m_scratch;
    FrameClear m_pendingClear; // asked for, not yet done
    Matrix4 m_projection = ProjectionMatrix();
    Matrix4 m_viewProjection = ProjectionMatrix();
    FillMode m_mode = FillMode::Solid;
};

} // namespace

std::unique_ptr<Display> MakeSoftwareDisplay(const DisplayOptions& options)
{
    return std::make_unique<SoftwareDisplay>(options);
}

} // namespace tolva
