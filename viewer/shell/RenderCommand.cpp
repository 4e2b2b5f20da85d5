#include "shell/RenderCommand.h"

#include "common/SafeSave.h"
#include "render/DisplayChain.h"
#include "render/FrameDrawing.h"
#include "render/MapLoad.h"
#include "render/SceneBuilders.h"
#include "render/StartView.h"
#include "render/ViewState.h"

#include <QGuiApplication>
#include <QImageWriter>
#include <QBuffer>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace tolva {

namespace {

const char* const kUsage =
    "usage: Tolva3DView --render MAP --output FILE.png [--hardware] [--mode solid|wire|points]\n"
    "                   [--height 1..60] [--light 0.10..1.00] [--color #RRGGBB|COLORREF] [--size 16..4096]\n";

struct RenderRequest {
    QString map;
    QString output;
    bool hardware = false;
    FillMode mode = FillMode::Solid;
    float height = 10.0f;
    float light = 0.5f;
    ColorRef color = 0x00FFFFFFu;
    int size = kTargetSize;
};

void PrintError(const QString& text)
{
    std::fprintf(stderr, "Tolva3DView: %s\n", qPrintable(text));
}

// Reports of the display go to the error stream: there is no window to show them.
class ConsoleMessages : public MessageSink {
public:
    void show(const MessageReport& report) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(report.title), qPrintable(report.text));
    }
};

std::optional<float> Number(const QString& text)
{
    bool ok = false;
    const float value = text.toFloat(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "#RRGGBB" or a colour reference with red in the low byte (16777215 is white).
std::optional<ColorRef> EarthColor(const QString& text)
{
    bool ok = false;
    if (text.startsWith(QLatin1Char('#')) && text.size() == 7) {
        const uint rgb = text.mid(1).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
    const uint value = text.toUInt(&ok);
    if (!ok || value > 0xFFFFFFu)
        return std::nullopt;
    return value;
}

std::optional<RenderRequest> Parse(const QStringList& args)
{
    RenderRequest r;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        const QString value = hasValue ? args[i + 1] : QString();
        const auto missing = [&] {
            PrintError(QStringLiteral("%1 needs a value").arg(a));
            return std::nullopt;
        };
        const auto bad = [&](const QString& what) {
            PrintError(QStringLiteral("%1 %2: %3").arg(a, value, what));
            return std::nullopt;
        };
        if (a == QLatin1String("--hardware")) {
            r.hardware = true;
            continue;
        }
        if (!a.startsWith(QLatin1String("--"))) {
            PrintError(QStringLiteral("unexpected argument %1").arg(a));
            return std::nullopt;
        }
        if (!hasValue)
            return missing();
        ++i;
        if (a == QLatin1String("--render")) {
            r.map = value;
        } else if (a == QLatin1String("--output")) {
            r.output = value;
        } else if (a == QLatin1String("--mode")) {
            if (value == QLatin1String("solid")) r.mode = FillMode::Solid;
            else if (value == QLatin1String("wire")) r.mode = FillMode::Wireframe;
            else if (value == QLatin1String("points")) r.mode = FillMode::Points;
            else return bad(QStringLiteral("the mode is solid, wire or points"));
        } else if (a == QLatin1String("--height")) {
            const auto v = Number(value);
            if (!v || *v < 1.0f || *v > 60.0f)
                return bad(QStringLiteral("the height is a number from 1 to 60"));
            r.height = *v;
        } else if (a == QLatin1String("--light")) {
            const auto v = Number(value);
            if (!v || *v < 0.1f || *v > 1.0f)
                return bad(QStringLiteral("the light is a number from 0.10 to 1.00"));
            r.light = *v;
        } else if (a == QLatin1String("--color")) {
            const auto c = EarthColor(value);
            if (!c)
                return bad(QStringLiteral("the colour is #RRGGBB or a colour number up to 16777215"));
            r.color = *c;
        } else if (a == QLatin1String("--size")) {
            bool ok = false;
            const int v = value.toInt(&ok);
            if (!ok || v < 16 || v > 4096)
                return bad(QStringLiteral("the size is a number of pixels from 16 to 4096"));
            r.size = v;
        } else {
            PrintError(QStringLiteral("unknown option %1").arg(a));
            return std::nullopt;
        }
    }
    if (r.map.isEmpty() || r.output.isEmpty()) {
        PrintError(QStringLiteral("--render and --output are both needed"));
        return std::nullopt;
    }
    return r;
}

int Render(const RenderRequest& request)
{
    ConsoleMessages messages;
    DisplayOptions options;
    options.size = request.size;
    DisplayChain chain(&messages, options);
    Scene scene;
    bool ready = request.hardware ? chain.Loading2(scene) : chain.Loading(scene);
    if (!ready && request.hardware) {
        PrintError(QStringLiteral("OpenGL is not available; drawing in software instead"));
        ready = chain.Loading(scene);
    }
    if (!ready) {
        PrintError(QStringLiteral("Cannot run DirectX version on this system."));
        return 1;
    }

    ViewState view;
    view.MeshHeight = request.height;
    view.LightLevel = request.light;
    view.EarthColor = request.color;
    const MapLoadResult load = LoadMap(scene, view, request.map);
    if (!load.ok()) {
        PrintError(load.error->failure == MapLoadFailure::Picture
                       ? QStringLiteral("cannot read the map %1: %2").arg(request.map, load.error->description)
                       : QStringLiteral("ERROR : ") + load.error->description);
        return 1;
    }

    // The view after a load: the reset's start camera.
    SetFrame(scene, 1, StartCameraFrame(view));
    chain.SetViewFromFrame(scene, 1);
    chain.SetFillMode(request.mode);
    LatestFrame frame;
    RenderIt(chain, scene, frame);
    if (frame.picture.isNull())
        return 1; // Blt2screen has said why

    // Encoded in memory, then written whole or not at all.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    std::optional<QString> failure;
    if (!writer.write(frame.picture))
        failure = writer.errorString();
    else
        failure = SaveWhole(request.output, png);
    if (failure) {
        PrintError(QStringLiteral("cannot write %1: %2").arg(request.output, *failure));
        return 1;
    }
    return 0;
}

// The software path needs no display at all. OpenGL needs the real platform;
// where that cannot connect, Qt goes on to the next one in the list
// (offscreen), on which OpenGL fails to set up and the frame is drawn in
// software with a warning, instead of Qt ending the program.
QByteArray PlatformFor(const RenderRequest& request)
{
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    if (platforms.isEmpty()) {
        const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
        if (!request.hardware || !display)
            return "offscreen";
        platforms = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb" : "wayland;xcb";
    }
    return platforms.contains("offscreen") ? platforms : platforms + ";offscreen";
}

} // namespace

bool IsRenderCommand(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--render") == 0)
            return true;
    return false;
}

int RunRenderCommand(int argc, char* argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const std::optional<RenderRequest> request = Parse(args);
    if (!request) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", PlatformFor(*request));
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Tolva3DView"));
    return Render(*request);
}

} // namespace tolva
