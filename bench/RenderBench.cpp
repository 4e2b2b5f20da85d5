// One 450 x 450 frame of the demonstration map (MeshHeight 10) on each
// display, from the start camera and from high above. Goal: the software
// frame at 1.0 ms or less, and at least 12 times faster than the OpenGL
// display on Mesa's llvmpipe (the "speedup" counter of the OpenGL rows).
#include "demomap/DemoMap.h"
#include "render/DisplayChain.h"
#include "render/FrameDrawing.h"
#include "render/MapLoad.h"
#include "render/SceneBuilders.h"
#include "render/StartView.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace tolva;

enum View { kStartView = 0, kHighAbove = 1 };

class DiscardFrame : public FrameSink {
public:
    std::optional<QString> present(const QImage& frame) override
    {
        benchmark::DoNotOptimize(frame.constBits());
        return std::nullopt;
    }
};

class NoMessages : public MessageSink {
public:
    void show(const MessageReport&) override {}
};

// The map as the viewer loads it, and a display set up on one path.
struct Rig {
    NoMessages messages;
    DisplayChain chain{&messages};
    Scene scene;
    bool ready = false;

    Rig(RenderPath path, View view)
    {
        if (!(path == RenderPath::Software ? chain.Loading(scene) : chain.Loading2(scene)))
            return;
        ViewState state;
        state.MeshHeight = 10.0f;
        // The same volcano from memory, should the file be missing.
        if (!LoadMap(scene, state, QStringLiteral(TOLVA_DEMO_MAP)).ok()
            && !LoadMap(scene, state, MakeDemoMap(360, 180)).ok())
            return;
        tolva::Frame camera = StartCameraFrame(state);
        if (view == kHighAbove) {
            // Straight down over the middle of the map, high enough to see all of it.
            camera.Position = {91.0f, 170.0f, 91.0f};
            camera.Rotation = {-3.14159265f / 2.0f, 3.14159265f, 0.0f};
        }
        SetFrame(scene, 1, camera);
        chain.SetViewFromFrame(scene, 1);
        ready = true;
    }
};

// Median time of one frame per path and view, for the ratio.
std::map<std::pair<int, int>, double>& Medians()
{
    static std::map<std::pair<int, int>, double> medians;
    return medians;
}

void Frame(benchmark::State& state, RenderPath path)
{
    const View view = View(state.range(0));
    Rig rig(path, view);
    if (!rig.ready) {
        state.SkipWithError("this display cannot be set up here");
        return;
    }
    DiscardFrame sink;
    RenderIt(rig.chain, rig.scene, sink); // prepares and uploads the scene once
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        RenderIt(rig.chain, rig.scene, sink);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    const double median = times[times.size() / 2];
    Medians()[{int(path), int(view)}] = median;
    state.counters["median_ms"] = median;
    state.counters["triangles"] = double(rig.chain.prepared(rig.scene).triangleCount());
    if (path == RenderPath::Hardware) {
        const auto software = Medians().find({int(RenderPath::Software), int(view)});
        if (software != Medians().end() && software->second > 0.0)
            state.counters["speedup"] = median / software->second;
    }
}

void BM_SoftwareFrame(benchmark::State& state) { Frame(state, RenderPath::Software); }
void BM_LlvmpipeFrame(benchmark::State& state) { Frame(state, RenderPath::Hardware); }

// What a map load or a new earth colour costs before the next frame: the
// polygon list flattened, corners shared, every triangle lit.
void BM_PrepareScene(benchmark::State& state)
{
    Rig rig(RenderPath::Software, kStartView);
    if (!rig.ready) {
        state.SkipWithError("the software display cannot be set up");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(PrepareScene(rig.scene, DefaultMaterial().material));
}
BENCHMARK(BM_PrepareScene)->Unit(benchmark::kMillisecond);

// Arg 0: the start view; arg 1: from high above. Software first, for the ratio.
BENCHMARK(BM_SoftwareFrame)->Arg(kStartView)->Arg(kHighAbove)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LlvmpipeFrame)->Arg(kStartView)->Arg(kHighAbove)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
