// Opening a file must not hold the window up: every file the loader takes, or refuses, is read
// and checked in well under 100 ms. The hostile texts fill the 4 MiB limit, or come as close to
// the scan's limits as the loader lets them reach the parser.
#include "files/ConfigurationFile.h"
#include "files/JsonScan.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

using namespace tolvar;

QByteArray maximal() {
    QFile file(QStringLiteral(TOLVAR_EXAMPLES_DIR "/maximal.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `item` repeated with commas inside `open` … `close` until the text nearly fills `bytes`.
QByteArray filled(const QByteArray &open, const QByteArray &item, const QByteArray &close,
                  qsizetype bytes = kMaxConfigurationBytes) {
    const qsizetype count = (bytes - open.size() - close.size()) / (item.size() + 1);
    return open + (item + ',').repeated(count).chopped(1) + close;
}

// The largest configuration padded with blanks to the limit: accepted.
QByteArray limitFile() {
    const QByteArray text = maximal();
    return text + QByteArray(kMaxConfigurationBytes - text.size(), ' ');
}

QByteArray objectsOf16Keys() {
    QByteArray object = "{";
    for (int k = 0; k < 16; ++k)
        object += (k ? ",\"" : "\"") + QByteArray(30, char('a' + k)) + "\":0";
    object += '}';
    const qsizetype count = (kMaxJsonValues - 10) / 17;
    return "{\"devices\":[" + (object + ',').repeated(count).chopped(1) + "]}";
}

const std::pair<const char *, std::function<QByteArray()>> kTexts[] = {
    {"maximal.json", maximal},
    {"4MiB_limit_file", limitFile},
    {"4MiB_of_zeros", [] { return filled("[", "0", "]"); }},
    {"4MiB_of_empty_strings", [] { return filled("[", "\"\"", "]"); }},
    {"4MiB_of_empty_objects", [] { return filled("[", "{}", "]"); }},
    {"4MiB_key", [] { return filled(R"({"devices":[{"nodeId":1,")", "k", R"(":0}]})"); }},
    {"4MiB_value_then_NUL", [] { return filled(R"({"a":")", "x", QByteArray("\0\"}", 3)); }},
    {"59990_values_of_68_bytes",
     [] {
         return filled("{\"devices\":[", '"' + QByteArray(66, 'v') + '"', "]}",
                       (kMaxJsonValues - 10) * 69);
     }},
    {"objects_of_16_long_keys", objectsOf16Keys},
    {"nesting_2000_deep", [] { return QByteArray(2000, '[') + QByteArray(2000, ']'); }},
};

void BM_LoadConfiguration(benchmark::State &state) {
    const auto &[name, make] = kTexts[state.range(0)];
    const QByteArray text = make();
    state.SetLabel(QStringLiteral("%1, %2 bytes").arg(name).arg(text.size()).toStdString());
    for (auto _ : state)
        benchmark::DoNotOptimize(parseConfiguration(text));
}
BENCHMARK(BM_LoadConfiguration)
    ->DenseRange(0, std::size(kTexts) - 1)
    ->Unit(benchmark::kMillisecond);

// What the parser alone costs on the texts the scan now refuses unparsed.
void BM_ParserAlone(benchmark::State &state) {
    const auto &[name, make] = kTexts[state.range(0)];
    const QByteArray text = make();
    state.SetLabel(name);
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument::fromJson(text));
}
BENCHMARK(BM_ParserAlone)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

// The whole opening of the limit file, read from disk.
void BM_LoadLimitFileFromDisk(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("limit.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(limitFile()) != kMaxConfigurationBytes) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadConfigurationFile(path));
}
BENCHMARK(BM_LoadLimitFileFromDisk)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
