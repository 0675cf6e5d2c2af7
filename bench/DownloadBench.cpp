// The largest download the model holds: ten devices with every table full, 205 table frames.

#include "mapping/DownloadFrames.h"
#include "mapping/MappingFixtures.h" // from the tests
#include "mapping/MappingLayout.h"
#include "mapping/TableStream.h"

#include <benchmark/benchmark.h>

namespace tolvar {
namespace {

// Ten devices with every table full: eight typed bytes per PDO entry, words in every SDO entry.
GatewayConfig largestConfiguration() {
    GatewayConfig config = fixtures::listing({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    for (int device = 1; device <= kMaxDevices; ++device) {
        for (int row = 0; row < kMaxPdoRows; ++row) {
            fixtures::addRow(
                config, SourceTable::TxPDO, device,
                "&H181|0|8|P_DI 1|P_AIL 1|P_AIH 1|P_DI 2|P_DI 3|P_DI 4|P_AIL 2|P_AIH 2");
            fixtures::addRow(
                config, SourceTable::RxPDO, device,
                "Yes|&H201|8|P_DO 1|P_DO 2|P_AOL 1|P_AOH 1|P_DO 3|P_DO 4|P_DO 5|P_DO 6");
        }
        for (int row = 0; row < kMaxSdoRows; ++row) {
            fixtures::addRow(config, SourceTable::ReadSDO, device, "&H6000|&H01|S_AIL 1|S_AIH 1");
            fixtures::addRow(config, SourceTable::WriteSDO, device, "&HA001|&H02|S_AOL 1|S_AOH 1");
        }
    }
    return config;
}

SaveValues tenDevices() {
    SaveValues values;
    values.deviceAmount = kMaxDevices;
    return values;
}

void buildLargestStream(benchmark::State &state) {
    const GatewayConfig config = largestConfiguration();
    for (auto _ : state) {
        QByteArray stream = buildTableStream(config, kMaxDevices);
        benchmark::DoNotOptimize(stream);
    }
}

// Everything a save sends: the general frame, the stream and its 205 frames.
void planLargestDownload(benchmark::State &state) {
    const GatewayConfig config = largestConfiguration();
    const SaveValues values = tenDevices();
    for (auto _ : state) {
        DownloadPlan plan = planDownload(values, config);
        benchmark::DoNotOptimize(plan);
    }
}

void layOutLargestMapping(benchmark::State &state) {
    GatewayConfig config = largestConfiguration();
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
