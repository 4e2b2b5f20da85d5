// The benchmark program: Google Benchmark with a QGuiApplication around it, so
// that benchmarks of the OpenGL display can make their context.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
