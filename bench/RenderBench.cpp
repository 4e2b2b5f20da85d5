// One frame of the demonstration map (MeshHeight 10) on each display, from
// the start camera and from high above, at 450 x 450 and, on the software
// display, at 900 x 900 (a screen of device-pixel ratio 2). Goals: the
// software frame at least 20 times faster than the OpenGL display on Mesa's
// llvmpipe at 450 x 450 (the "speedup" counter of the OpenGL rows), and the
// 900 x 900 frame at most 2.5 times the 450 x 450 one (its "vs_450" counter).
// Every frame row reports its side in pixels as "size".
#include "BenchMessages.h"
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
#include <tuple>
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

// The map as the viewer loads it, and a display set up on one path.
struct Rig {
    bench::CountedMessages messages;
    DisplayChain chain;
    Scene scene;
    bool ready = false;

    Rig(RenderPath path, View view, int size = kTargetSize) : chain(&messages, DisplayOptions{size, {}, {}})
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

// Median time of one frame per path, view and size, for the ratios.
std::map<std::tuple<int, int, int>, double>& Medians()
{
    static std::map<std::tuple<int, int, int>, double> medians;
    return medians;
}

void Frame(benchmark::State& state, RenderPath path)
{
    const View view = View(state.range(0));
    const int size = int(state.range(1));
    Rig rig(path, view, size);
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
    Medians()[{int(path), int(view), size}] = median;
    state.counters["median_ms"] = median;
    state.counters["size"] = size;
    state.counters["triangles"] = double(rig.chain.prepared(rig.scene).triangleCount());
    // This row's median over that of another row run before it.
    const auto ratio = [&](const char* name, std::tuple<int, int, int> base) {
        const auto other = Medians().find(base);
        if (other != Medians().end() && other->second > 0.0)
            state.counters[name] = median / other->second;
    };
    if (path == RenderPath::Hardware)
        ratio("speedup", {int(RenderPath::Software), int(view), size});
    else if (size != kTargetSize)
        ratio("vs_450", {int(RenderPath::Software), int(view), kTargetSize});
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

// Args: the view (0 the start view, 1 from high above) and the frame's side.
// Software first and 450 before 900, for the ratios.
BENCHMARK(BM_SoftwareFrame)
    ->Args({kStartView, 450})->Args({kHighAbove, 450})->Args({kStartView, 900})->Args({kHighAbove, 900})
    ->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LlvmpipeFrame)->Args({kStartView, 450})->Args({kHighAbove, 450})->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
