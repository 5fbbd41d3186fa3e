// The main of the GUI benchmarks: a QApplication on the platform QT_QPA_PLATFORM names (offscreen
// when it names none), made through the program's own start-up, then every benchmark.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdlib>
#include <memory>

#include "platform/core/Application.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(argc, argv, true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
