// The one-second wait between requests must idle, not spin: the CPU column of this benchmark
// shows what a wait costs (goal: well under 0.1 s of CPU per second waited).
#include "link/Waits.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

static void BM_WaitOneSecond(benchmark::State &state) {
    for (auto _ : state)
        tolvar::waitSeconds(1);
}
BENCHMARK(BM_WaitOneSecond)->Iterations(2)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
