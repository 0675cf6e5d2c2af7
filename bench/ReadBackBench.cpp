// The largest table reply the model can hold: ten devices with every table full.

#include "gateway/ReplyEncoder.h"
#include "link/ReadBackModel.h"
#include "link/ReplyAssembler.h"
#include "link/ReplyParser.h"
#include "support/ReplyFixtures.h"

#include <benchmark/benchmark.h>

namespace tolvar {
namespace {

GatewayConfig configWithTenDevices() {
    GatewayConfig config;
    for (int k = 0; k < kMaxDevices; ++k)
        config.DeviceOrder[std::size_t(k)] = qint16(k + 1);
    return config;
}

void clearTables(GatewayConfig &config) {
    config.TxPDOTable.clear();
    config.RxPDOTable.clear();
    config.ReadSDOTable.clear();
    config.WriteSDOTable.clear();
}

void parseLargestTableReply(benchmark::State &state) {
    const QByteArray bytes = encodeReply(fixtures::maximalTableReply());
    for (auto _ : state) {
        ParseOutcome parsed = parseReply(bytes, kMaxDevices);
        benchmark::DoNotOptimize(parsed);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void applyLargestTableReply(benchmark::State &state) {
    const TableReply reply = fixtures::maximalTableReply();
    GatewayConfig config = configWithTenDevices();
    ReadBackCounters counters;
    for (auto _ : state) {
        // The general reply empties the tables before a table reply fills them.
        state.PauseTiming();
        clearTables(config);
        counters.resetNumbers();
        state.ResumeTiming();
        applyTableReply(config, counters, reply);
        benchmark::ClobberMemory();
    }
}

// What the link and the model do with the reply once its last byte has arrived.
void parseAndApplyLargestTableReply(benchmark::State &state) {
    const QByteArray bytes = encodeReply(fixtures::maximalTableReply());
    GatewayConfig config = configWithTenDevices();
    ReadBackCounters counters;
    for (auto _ : state) {
        const ParseOutcome parsed = parseReply(bytes, kMaxDevices);
        const auto &reply = std::get<TableReply>(parsed.reply);
        if (checkTableReply(config, reply)) {
            state.SkipWithError("the reply was refused");
            break;
        }
        applyTableReply(config, counters, reply);
        benchmark::ClobberMemory();
        state.PauseTiming();
        clearTables(config);
        counters.resetNumbers();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The reply as TCP may deliver it at worst: one byte per piece, each piece taken at once.
void assembleLargestTableReplyBytewise(benchmark::State &state) {
    const QByteArray bytes = encodeReply(fixtures::maximalTableReply());
    for (auto _ : state) {
        ReplyAssembler assembler;
        ReplyAssembler::Step step;
        for (qsizetype at = 0; at < bytes.size(); ++at) {
            assembler.append(QByteArrayView(bytes).sliced(at, 1));
            step = assembler.next(kMaxDevices);
        }
        if (!std::holds_alternative<Reply>(step)) {
            state.SkipWithError("the reply was not taken");
            break;
        }
        benchmark::DoNotOptimize(step);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

BENCHMARK(parseLargestTableReply)->Unit(benchmark::kMicrosecond);
BENCHMARK(applyLargestTableReply)->Unit(benchmark::kMicrosecond);
BENCHMARK(parseAndApplyLargestTableReply)->Unit(benchmark::kMicrosecond);
BENCHMARK(assembleLargestTableReplyBytewise)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tolvar

BENCHMARK_MAIN();
