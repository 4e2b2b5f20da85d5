// The OpenGL display: an offscreen context, a framebuffer object of 450 x 450
// pixels with depth, and one vertex buffer per scene drawn in one call. The
// frame is read back into the same kind of picture the software display makes.
//
// It draws by the software display's rules: the same projection (OpenGL's
// depth range -w..w is mapped from ours, 0..w), clockwise triangles in front,
// depth test less-or-equal, and one colour per triangle, stored with each of
// its three vertices so that nothing depends on the provoking vertex.
#include "render/Display.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QThread>

#include <cstring>

namespace tolva {

namespace {

constexpr int kGlPoint = 0x1B00, kGlLine = 0x1B01, kGlFill = 0x1B02;

const char* const kVertexShader = R"(
attribute highp vec3 position;
attribute lowp vec4 color;
uniform highp mat4 viewProjection;
varying lowp vec4 v_color;
void main()
{
    highp vec4 c = viewProjection * vec4(position, 1.0);
    // Our depth runs 0..w from the near to the far plane, OpenGL's -w..w.
    gl_Position = vec4(c.x, c.y, 2.0 * c.z - c.w, c.w);
    // Colours are stored as 0xFFRRGGBB: bytes B, G, R, A.
    v_color = color.zyxw;
}
)";

const char* const kFragmentShader = R"(
varying lowp vec4 v_color;
void main()
{
    gl_FragColor = v_color;
}
)";

struct GlVertex {
    float x, y, z;
    PixelColor color;
};

QSurfaceFormat TargetFormat()
{
    QSurfaceFormat format;
    format.setDepthBufferSize(24);
    return format;
}

std::unique_ptr<QOpenGLContext> DefaultContext()
{
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(TargetFormat());
    if (!context->create())
        return nullptr;
    return context;
}

class GlDisplay final : public Display {
public:
    explicit GlDisplay(const DisplayOptions& options) : m_options(options) {}
    ~GlDisplay() override { release(); }

    std::optional<SetupStep> setUp() override
    {
        const auto failing = [&](SetupStep step) { return m_options.failAt == step; };
        // Offscreen surfaces need the GUI application and its thread.
        if (failing(SetupStep::DirectDraw) || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return SetupStep::DirectDraw;
        if (failing(SetupStep::Cooperation) || QThread::currentThread() != QCoreApplication::instance()->thread())
            return SetupStep::Cooperation;
        if (!failing(SetupStep::Surfaces)) {
            m_surface = std::make_unique<QOffscreenSurface>();
            m_surface->setFormat(TargetFormat());
            m_surface->create();
        }
        // A surface that could not be made shows as a 3-D interface that cannot start.
        if (failing(SetupStep::Direct3D) || !m_surface || !m_surface->isValid())
            return SetupStep::Direct3D;
        // The depth buffer lives in the context, so the context comes first.
        // A machine without a usable OpenGL ends here.
        m_context = failing(SetupStep::Device) ? nullptr
                    : m_options.contextFactory ? m_options.contextFactory()
                                               : DefaultContext();
        if (!m_context || !m_context->makeCurrent(m_surface.get()))
            return SetupStep::Device;
        if (!failing(SetupStep::ZBuffer)) {
            m_fbo = std::make_unique<QOpenGLFramebufferObject>(
                m_options.size, m_options.size, QOpenGLFramebufferObject::Depth);
        }
        if (!m_fbo || !m_fbo->isValid())
            return SetupStep::ZBuffer;
        if (!buildProgram())
            return SetupStep::Device;
        m_projection = ProjectionMatrix();
        m_viewProjection = m_projection;
        m_ready = true;
        return std::nullopt;
    }

    void release() override
    {
        m_ready = false;
        if (m_context && m_surface && m_context->makeCurrent(m_surface.get())) {
            m_program.reset();
            if (m_buffer.isCreated())
                m_buffer.destroy();
            m_fbo.reset();
            m_context->doneCurrent();
        }
        // Without a current context the objects can only be forgotten.
        m_program.reset();
        m_fbo.reset();
        m_buffer = QOpenGLBuffer(QOpenGLBuffer::VertexBuffer);
        m_context.reset();
        m_surface.reset();
        m_uploaded = false;
        m_vertexCount = 0;
    }

    bool isReady() const override { return m_ready; }

    bool setRenderStates(bool zEnable, bool flatShading) override
    {
        // Depth test and one colour per triangle are built into the draw.
        return m_ready && zEnable && flatShading && m_options.failAt != SetupStep::RenderStates;
    }

    void setFillMode(FillMode mode) override { m_mode = mode; }

    void setViewTransform(const Matrix4& view) override
    {
        m_viewProjection = MatrixMultiply(view, m_projection);
    }

    bool clear(unsigned flags, PixelColor color, float z) override
    {
        if (!makeCurrent())
            return false;
        QOpenGLFunctions* f = m_context->functions();
        GLbitfield mask = 0;
        if (flags & kClearTarget) {
            f->glClearColor(((color >> 16) & 255) / 255.0f, ((color >> 8) & 255) / 255.0f,
                            (color & 255) / 255.0f, 1.0f);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (flags & kClearZBuffer) {
            f->glClearDepthf(z);
            f->glDepthMask(GL_TRUE);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        f->glDisable(GL_SCISSOR_TEST);
        f->glClear(mask);
        return f->glGetError() == GL_NO_ERROR;
    }

    bool draw(const PreparedScene& scene, std::uint64_t revision) override
    {
        if (!makeCurrent())
            return false;
        if (!m_uploaded || revision != m_revision) {
            if (!upload(scene))
                return false;
            m_revision = revision;
        }
        if (m_vertexCount == 0)
            return true;
        QOpenGLFunctions* f = m_context->functions();
        f->glViewport(0, 0, m_options.size, m_options.size);
        f->glEnable(GL_DEPTH_TEST);
        f->glDepthFunc(GL_LEQUAL);
        f->glDepthMask(GL_TRUE);
        // Clockwise on screen is the front; the rest is culled.
        f->glEnable(GL_CULL_FACE);
        f->glFrontFace(GL_CW);
        f->glCullFace(GL_BACK);
        f->glDisable(GL_BLEND);
        f->glDisable(GL_DITHER); // flat colours stay exactly the prepared ones
        setPolygonMode(m_mode);

        m_program->bind();
        m_program->setUniformValue("viewProjection", QMatrix4x4(&m_viewProjection.m[0][0]).transposed());
        m_buffer.bind();
        m_program->enableAttributeArray(0);
        m_program->enableAttributeArray(1);
        m_program->setAttributeBuffer(0, GL_FLOAT, offsetof(GlVertex, x), 3, sizeof(GlVertex));
        f->glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(GlVertex),
                                 reinterpret_cast<const void*>(offsetof(GlVertex, color)));
        f->glDrawArrays(GL_TRIANGLES, 0, m_vertexCount);
        m_program->disableAttributeArray(0);
        m_program->disableAttributeArray(1);
        m_buffer.release();
        m_program->release();
        setPolygonMode(FillMode::Solid);
        return f->glGetError() == GL_NO_ERROR;
    }

    QImage frame() override
    {
        if (!makeCurrent())
            return QImage();
        const int size = m_options.size;
        QImage rgba(size, size, QImage::Format_RGBA8888);
        QOpenGLFunctions* f = m_context->functions();
        f->glPixelStorei(GL_PACK_ALIGNMENT, 4);
        f->glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, rgba.bits());
        if (f->glGetError() != GL_NO_ERROR)
            return QImage();
        // OpenGL's rows run bottom-up.
        return rgba.mirrored(false, true).convertToFormat(QImage::Format_RGB32);
    }

private:
    bool makeCurrent()
    {
        return m_ready && m_context->makeCurrent(m_surface.get()) && m_fbo->bind();
    }

    bool buildProgram()
    {
        m_program = std::make_unique<QOpenGLShaderProgram>();
        if (!m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader)
            || !m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader))
            return false;
        m_program->bindAttributeLocation("position", 0);
        m_program->bindAttributeLocation("color", 1);
        if (!m_program->link())
            return false;
        if (!m_buffer.create())
            return false;
        m_polygonMode = m_context->isOpenGLES()
            ? nullptr
            : reinterpret_cast<PolygonModeFunction>(m_context->getProcAddress("glPolygonMode"));
        return true;
    }

    // One vertex buffer for the whole scene: three vertices per triangle.
    bool upload(const PreparedScene& scene)
    {
        std::vector<GlVertex> vertices(scene.corners.size());
        for (std::size_t t = 0; t < scene.triangleCount(); ++t)
            for (int k = 0; k < 3; ++k) {
                const std::uint32_t i = scene.corners[3 * t + k];
                vertices[3 * t + k] = {scene.x[i], scene.y[i], scene.z[i], scene.colors[t]};
            }
        if (!m_buffer.bind())
            return false;
        m_buffer.setUsagePattern(QOpenGLBuffer::StaticDraw);
        m_buffer.allocate(vertices.data(), int(vertices.size() * sizeof(GlVertex)));
        m_buffer.release();
        m_vertexCount = GLsizei(vertices.size());
        m_uploaded = true;
        return true;
    }

    void setPolygonMode(FillMode mode)
    {
        if (!m_polygonMode)
            return; // OpenGL ES has filled polygons only
        const int glMode = mode == FillMode::Points ? kGlPoint : mode == FillMode::Wireframe ? kGlLine : kGlFill;
        m_polygonMode(GL_FRONT_AND_BACK, GLenum(glMode));
    }

    using PolygonModeFunction = void (*)(GLenum, GLenum);

    DisplayOptions m_options;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QOpenGLBuffer m_buffer{QOpenGLBuffer::VertexBuffer};
    PolygonModeFunction m_polygonMode = nullptr;
    Matrix4 m_projection = ProjectionMatrix();
    Matrix4 m_viewProjection = ProjectionMatrix();
    FillMode m_mode = FillMode::Solid;
    bool m_ready = false;
    bool m_uploaded = false;
    std::uint64_t m_revision = 0;
    GLsizei m_vertexCount = 0;
};

} // namespace

std::unique_ptr<Display> MakeGlDisplay(const DisplayOptions& options)
{
    return std::make_unique<GlDisplay>(options);
}

} // namespace tolva
