// The largest download the model holds: ten devices with every table full, 205 table frames.

#include "mapping/DownloadFrames.h"
#include "mapping/MappingFixtures.h" // from the tests
#include "mapping/MappingLayout.h"
#include "mapping/TableStream.h"

#include <benchmark/benchmark.h>

namespace tolvar {
namespace {

SaveValues tenDevices() {
    SaveValues values;
    values.deviceAmount = kMaxDevices;
    return values;
}

void buildLargestStream(benchmark::State &state) {
    const GatewayConfig config = fixtures::largestConfiguration();
    for (auto _ : state) {
        QByteArray stream = buildTableStream(config, kMaxDevices);
        benchmark::DoNotOptimize(stream);
    }
}

// Everything a save sends: the general frame, the stream and its 205 frames.
void planLargestDownload(benchmark::State &state) {
    const GatewayConfig config = fixtures::largestConfiguration();
    const SaveValues values = tenDevices();
    for (auto _ : state) {
        DownloadPlan plan = planDownload(values, config);
        benchmark::DoNotOptimize(plan);
    }
}

void layOutLargestMapping(benchmark::State &state) {
    GatewayConfig config = fixtures::largestConfiguration();
    for (int kind = 0; kind < kItemKinds; ++kind)
        config.total(ItemKind(kind)) = 1;
    for (auto _ : state) {
        auto layout = mappingLayout(config, kMaxDevices);
        benchmark::DoNotOptimize(layout);
    }
}

BENCHMARK(buildLargestStream)->Unit(benchmark::kMicrosecond);
BENCHMARK(planLargestDownload)->Unit(benchmark::kMicrosecond);
BENCHMARK(layOutLargestMapping)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tolvar

BENCHMARK_MAIN();
