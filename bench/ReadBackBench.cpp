// The largest table reply the model can hold: ten devices with every table full.

#include "link/ReadBackModel.h"
#include "link/ReplyAssembler.h"
#include "link/ReplyEncoder.h"
#include "link/ReplyParser.h"

#include <benchmark/benchmark.h>

namespace tolvar {
namespace {

TableReply largestTableReply() {
    // Digital bytes and words mixed, every one of the eight data bytes typed.
    const PdoEntry tx{0x181, 0, 8, QByteArray::fromHex("0102020102020101")};
    const PdoEntry rx{0x201, 1, 8, QByteArray::fromHex("0003030003030000")};
    TableReply reply;
    for (int k = 0; k < kMaxDevices; ++k) {
        DeviceTables device;
        device.nodeId = quint8(k + 1);
        device.txPdo.assign(kMaxPdoRows, tx);
        device.rxPdo.assign(kMaxPdoRows, rx);
        for (int j = 0; j < kMaxSdoRows; ++j) {
            const bool word = j % 2 == 0;
            device.readSdo.push_back(SdoEntry{0x6000, quint8(j), quint8(word ? 2 : 1), word});
            device.writeSdo.push_back(SdoEntry{0x6200, quint8(j), quint8(word ? 3 : 0), word});
        }
        reply.devices.push_back(device);
    }
    return reply;
}

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
    const QByteArray bytes = encodeReply(largestTableReply());
    for (auto _ : state) {
        ParseOutcome parsed = parseReply(bytes, kMaxDevices);
        benchmark::DoNotOptimize(parsed);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void applyLargestTableReply(benchmark::State &state) {
    const TableReply reply = largestTableReply();
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
    const QByteArray bytes = encodeReply(largestTableReply());
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
    const QByteArray bytes = encodeReply(largestTableReply());
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
