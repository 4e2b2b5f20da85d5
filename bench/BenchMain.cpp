// The benchmark program: Google Benchmark with a QApplication around it (the
// editor window benchmarks need widgets), so
// that benchmarks of the OpenGL display can make their context.
#include <benchmark/benchmark.h>

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
