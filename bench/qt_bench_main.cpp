// The main of the benchmarks that use the terminal's Qt code: a Qt application for the
// event loop, and the build's shipped databases unless VNQ_BUILD_DIR names others.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("VNQ_BUILD_DIR"))
        qputenv("VNQ_BUILD_DIR", VNQ_BUILD_DIR_DEFAULT);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
