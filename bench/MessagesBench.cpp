// A trivial figure so that the benchmark program always has something to run.
#include "common/Messages.h"

#include <benchmark/benchmark.h>

static void BM_ViewerErrorText(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(tolva::ViewerError(QStringLiteral("ViewRefresh"), QStringLiteral("x")));
}
BENCHMARK(BM_ViewerErrorText);
