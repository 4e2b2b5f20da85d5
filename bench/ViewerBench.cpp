// The viewer window's FileOpen of a 1440 x 720 map until its first frame is
// drawn (the clamps, the controls, the settings written, the map load, the
// start view and its refresh), beside the same map load and one frame on the
// render core alone as the reference of the same run. Goal: 20 ms or less.
#include "BenchMessages.h"
#include "demomap/DemoMap.h"
#include "render/MapLoad.h"
#include "render/SceneBuilders.h"
#include "render/StartView.h"
#include "window/PictureBox.h"
#include "window/frm3DView.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using namespace tolva;

// A private store folder and the map file, made once.
const QString& benchMap()
{
    static QTemporaryDir folder;
    static const bool pointed = qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    Q_UNUSED(pointed);
    static const QString path = [] {
        const QString p = folder.filePath(QStringLiteral("Wide.ebm"));
        MakeDemoMap(1440, 720).save(p, "BMP");
        return p;
    }();
    return path;
}

template <class Work>
void Timed(benchmark::State& state, Work&& work)
{
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    state.counters["median_ms"] = times[times.size() / 2];
}

void BM_ViewerFileOpenToFirstFrame(benchmark::State& state)
{
    const QString path = benchMap();
    bench::CountedMessages messages;
    Platform platform;
    platform.messages = &messages;
    frm3DView form(platform, ViewerSetup{});
    if (!form.Start()) {
        state.SkipWithError("the software display cannot be set up");
        return;
    }
    auto* view = form.findChild<PictureBox*>(QStringLiteral("picMain"));
    Timed(state, [&] {
        form.MapFilePath = path;
        form.FileOpen();
    });
    if (messages.shown || view->picture().isNull())
        state.SkipWithError("the map was not shown");
    form.close();
}
BENCHMARK(BM_ViewerFileOpenToFirstFrame)->Unit(benchmark::kMillisecond);

// The reference: the render core's map load and one frame from the start view.
void BM_ViewerFileOpenReferenceCore(benchmark::State& state)
{
    const QString path = benchMap();
    bench::CountedMessages messages;
    DisplayChain chain(&messages);
    Scene scene;
    ViewState view;
    if (!chain.Loading(scene)) {
        state.SkipWithError("the software display cannot be set up");
        return;
    }
    LatestFrame frame;
    Timed(state, [&] {
        if (!LoadMap(scene, view, path).ok())
            return;
        SetFrame(scene, 1, StartCameraFrame(view));
        chain.SetViewFromFrame(scene, 1);
        RenderIt(chain, scene, frame);
    });
    if (messages.shown || frame.picture.isNull())
        state.SkipWithError("the map was not shown");
}
BENCHMARK(BM_ViewerFileOpenReferenceCore)->Unit(benchmark::kMillisecond);

} // namespace
