// Map load: a 1440 x 720 BMP file to a finished scene (goal: 5 ms), as a
// reload into the viewer's scene and as a first load, and its three stages on
// their own.
#include "demomap/DemoMap.h"
#include "render/Landscape.h"
#include "render/MapLoad.h"
#include "terrain/MapPicture.h"
#include "terrain/TerrainGrid.h"

#include <benchmark/benchmark.h>

#include <QImageWriter>
#include <QTemporaryDir>

#include <memory>

namespace {

// The demonstration volcano at 1440 x 720, written once as a 24-bit BMP.
struct LargeMap {
    QTemporaryDir dir;
    QString path;
    LargeMap()
    {
        path = dir.filePath(QStringLiteral("Large.ebm"));
        QImageWriter writer(path, "bmp");
        if (!writer.write(tolva::MakeDemoMap(1440, 720)))
            qFatal("cannot write the benchmark map: %s", qPrintable(writer.errorString()));
    }
};

const LargeMap& Map()
{
    static const LargeMap map;
    return map;
}

void BM_MapLoad_1440x720(benchmark::State& state)
{
    const QString path = Map().path;
    tolva::Scene scene;
    tolva::ViewState view;
    for (auto _ : state) {
        if (!tolva::LoadMap(scene, view, path).ok())
            state.SkipWithError("the map did not load");
        benchmark::DoNotOptimize(scene.PolygonList().data());
    }
    state.counters["polygons"] = double(scene.PolygonList().size() - 1);
}
BENCHMARK(BM_MapLoad_1440x720)->Unit(benchmark::kMillisecond);

// The first load of a session: the scene's polygons are new, not reused.
void BM_MapLoad_1440x720_FirstLoad(benchmark::State& state)
{
    const QString path = Map().path;
    for (auto _ : state) {
        auto scene = std::make_unique<tolva::Scene>();
        tolva::ViewState view;
        if (!tolva::LoadMap(*scene, view, path).ok())
            state.SkipWithError("the map did not load");
        benchmark::DoNotOptimize(scene->PolygonList().data());
        state.PauseTiming(); // freeing the scene belongs to the next load, not this one
        scene.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MapLoad_1440x720_FirstLoad)->Unit(benchmark::kMillisecond);

void BM_MapLoad_ReadBmp(benchmark::State& state)
{
    const QString path = Map().path;
    for (auto _ : state)
        benchmark::DoNotOptimize(tolva::LoadMapPicture(path));
}
BENCHMARK(BM_MapLoad_ReadBmp)->Unit(benchmark::kMillisecond);

void BM_MapLoad_Stretch(benchmark::State& state)
{
    const QImage picture = tolva::LoadMapPicture(Map().path).picture;
    for (auto _ : state)
        benchmark::DoNotOptimize(tolva::MakeTerrainGrid(picture));
}
BENCHMARK(BM_MapLoad_Stretch)->Unit(benchmark::kMillisecond);

void BM_MapLoad_Mesh(benchmark::State& state)
{
    const tolva::TerrainGrid grid = tolva::MakeTerrainGrid(tolva::LoadMapPicture(Map().path).picture);
    tolva::Scene scene;
    for (auto _ : state) {
        tolva::LoadLandscape(scene, grid, tolva::kRasterWidth, 180.0f, 10.0f, tolva::kLandMaterial,
                             tolva::kNoTexture);
        benchmark::DoNotOptimize(scene.PolygonList().data());
    }
}
BENCHMARK(BM_MapLoad_Mesh)->Unit(benchmark::kMillisecond);

} // namespace
