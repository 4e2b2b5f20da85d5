// What the settings store and the number reader cost: the store syncs with
// the file on every read and write, so that the simulator's changes are seen.
#include "common/LeadingNumber.h"
#include "common/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

// A private store folder: the benchmarks never touch the user's settings.
tolva::SettingsStore& benchStore()
{
    static QTemporaryDir folder;
    static const bool pointed = qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
    Q_UNUSED(pointed);
    static tolva::SettingsStore store;
    return store;
}

void BM_ReadSetting(benchmark::State& state)
{
    auto& store = benchStore();
    store.WriteSetting(tolva::settings::kTopo3D, tolva::settings::kNewFile, QStringLiteral("False"));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.ReadSetting(tolva::settings::kTopo3D, tolva::settings::kNewFile));
}
BENCHMARK(BM_ReadSetting);

void BM_WriteSetting(benchmark::State& state)
{
    auto& store = benchStore();
    bool flag = false;
    for (auto _ : state)
        store.WriteSetting(tolva::settings::kTopo3D, tolva::settings::kNewFile, flag = !flag);
}
BENCHMARK(BM_WriteSetting);

void BM_LeadingNumber(benchmark::State& state)
{
    const QString text = QStringLiteral("  -12.5e-3 m");
    for (auto _ : state)
        benchmark::DoNotOptimize(tolva::LeadingNumber(text));
}
BENCHMARK(BM_LeadingNumber);

// A megabyte pasted into a text box.
void BM_LeadingNumberMegabyte(benchmark::State& state)
{
    const QString text = QStringLiteral("1.") + QString(1 << 20, QChar(u'5'));
    for (auto _ : state)
        benchmark::DoNotOptimize(tolva::LeadingNumber(text));
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_LeadingNumberMegabyte);

} // namespace
