// One pass of the motion loop with Up held over the demonstration map
// (MeshHeight 10) on the software display: the step, the height from the
// ground, the map cursor and a refresh that draws the 450 x 450 frame.
// Goal: 3 ms or less, so that 30 passes a second leave the window most of
// its time.
#include "BenchMessages.h"
#include "demomap/DemoMap.h"
#include "navigation/DisplayRefresh.h"
#include "navigation/MotionLoop.h"
#include "render/MapLoad.h"
#include "render/SceneBuilders.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using namespace tolva;

class DiscardFrames : public FrameSink {
public:
    std::optional<QString> present(const QImage& frame) override
    {
        benchmark::DoNotOptimize(frame.constBits());
        return std::nullopt;
    }
};

void BM_MotionPass(benchmark::State& state)
{
    bench::CountedMessages messages;
    DisplayChain chain(&messages);
    Scene scene;
    ViewState view;
    if (!chain.Loading(scene)) {
        state.SkipWithError("the software display cannot be set up");
        return;
    }
    MapLoadResult map = LoadMap(scene, view, QStringLiteral(TOLVA_DEMO_MAP));
    if (!map.ok()) // the same volcano from memory, should the file be missing
        map = LoadMap(scene, view, MakeDemoMap(360, 180));
    if (!map.ok()) {
        state.SkipWithError("the map cannot be loaded");
        return;
    }
    DiscardFrames sink;
    DisplayRefresh refresh(chain, scene, view, sink);
    Navigator navigator(scene, view, refresh);
    navigator.MapLoaded(map.grid, MapScale{float(map.picture.width()), float(map.picture.height())});
    navigator.ViewReset(); // prepares the scene once
    view.UpHeld = true;

    std::vector<double> times;
    for (auto _ : state) {
        // Walk across the map and start again at the far edge.
        if (scene.FrameList()[1].Position.z < 10.0f) {
            state.PauseTiming();
            navigator.ViewReset();
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        navigator.ApplyHeldMoves();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    state.counters["median_ms"] = times[times.size() / 2];
}
BENCHMARK(BM_MotionPass)->Unit(benchmark::kMillisecond);

} // namespace
