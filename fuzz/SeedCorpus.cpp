// Writes the seed corpus of the three fuzz targets into <folder>/<target>/: the replies the
// tests use, the read-back of every example configuration, the frames of a download of each
// example as the utility sends them, and the examples as written and as the writer writes them.
//
//   fuzz_seed_corpus <examples folder> <corpus folder>
#include "RequestSplitter.h"
#include "files/ConfigurationFile.h"
#include "gateway/ReplyEncoder.h"
#include "gateway/WriteSession.h"
#include "link/ReadBackModel.h"
#include "mapping/DownloadFrames.h"
#include "network/DeviceList.h"
#include "support/MalformedReplies.h"
#include "support/ReplyFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

using namespace tolvar;

constexpr char kRead = 0;
constexpr char kRequest = 1;
constexpr int kMaxPiece = 63;
constexpr int kEventShift = 6;

// Seeds of the receive path: answer windows, each cut into reads of varying sizes.
class ReceiveSeed {
public:
    explicit ReceiveSeed(int shownDevices) : m_bytes(1, char(shownDevices)) {}

    ReceiveSeed &window(const QByteArray &bytes) {
        static const int kPieces[] = {63, 1, 40, 7, 63, 23, 63, 11};
        char event = kRequest;
        for (qsizetype at = 0, piece = 0; at < bytes.size() || event == kRequest; ++piece) {
            const qsizetype length = std::min<qsizetype>(kPieces[piece % 8], bytes.size() - at);
            static_assert(kMaxPiece < (1 << kEventShift));
            m_bytes.append(char(event << kEventShift | length)).append(bytes.mid(at, length));
            at += length;
            event = kRead;
        }
        return *this;
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

class CorpusWriter {
public:
    explicit CorpusWriter(const QString &folder) : m_folder(folder) {}

    void write(const char *target, const QString &name, const QByteArray &bytes) {
        const QString dir = m_folder + QLatin1Char('/') + QLatin1String(target);
        QDir().mkpath(dir);
        QFile file(dir + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            m_failed = true;
        }
    }
    bool failed() const { return m_failed; }

private:
    QString m_folder;
    bool m_failed = false;
};

// The model after a read-back of the configuration, as the windows leave it.
GatewayConfig readBack(const StoredConfiguration &served) {
    GatewayConfig config;
    ReadBackCounters counters;
    const GeneralReply general = generalReplyOf(served);
    changeDeviceAmount(config, general.deviceCount);
    storeDeviceRecords(config, general);
    storeSerialSettings(config, general.serial);
    applyTableReply(config, counters, tableReplyOf(served));
    return config;
}

// The frames of "Save All Setting" after a read-back, every Ethernet row written.
QByteArray downloadOf(const StoredConfiguration &served) {
    SaveValues values;
    values.ip = {true, served.ethernet.ip};
    values.mask = {true, served.ethernet.mask};
    values.gateway = {true, served.ethernet.gateway};
    values.deviceAmount = quint8(served.devices.size());
    values.serialId = served.serialId;
    values.canBitRateCode = served.canBitRateCode;
    const DownloadPlan plan = planDownload(values, readBack(served));
    QByteArray frames = plan.ethernetFrame.value_or(QByteArray()) + plan.generalFrame;
    for (const QByteArray &frame : plan.tableFrames)
        frames += frame;
    return frames;
}

// Whether the simulator takes the download whole, so a seed that no longer gets through is
// noticed when the corpus is made again.
bool simulatorApplies(const QByteArray &frames) {
    RequestSplitter splitter;
    WriteSession session;
    bool applied = false;
    for (const ReceivedFrame &block : splitter.feed(frames)) {
        for (const WriteEvent &event : session.take(block.frame)) {
            applied = event.kind == WriteEvent::Kind::Applied;
            if (event.kind == WriteEvent::Kind::Refused)
                std::fprintf(stderr, "download refused: %s\n", qPrintable(event.text));
        }
    }
    return applied && splitter.pending().isEmpty();
}

// Read-back, download and written form of one configuration.
void writeConfigSeeds(CorpusWriter &out, const QString &name, const StoredConfiguration &config,
                      bool &failed) {
    out.write("config_round_trip", name + QStringLiteral("-written.json"),
              formatConfiguration(config));
    out.write("receive_path", QStringLiteral("readback-") + name,
              ReceiveSeed(1)
                  .window(encodeReply(ethernetReplyOf(config)))
                  .window(encodeReply(generalReplyOf(config)))
                  .window(encodeReply(tableReplyOf(config)))
                  .bytes());
    const QByteArray frames = downloadOf(config);
    if (!simulatorApplies(frames)) {
        std::fprintf(stderr, "%s: the simulator does not take the download\n", qPrintable(name));
        failed = true;
    }
    // One byte first: reads of 256 bytes.
    out.write("write_frames", QStringLiteral("download-") + name, '\xFF' + frames);
}

// The first devices and rows of a configuration: a download of several table frames that
// still fits the length the fuzzers work with.
StoredConfiguration cutDown(StoredConfiguration config, std::size_t devices, std::size_t rows) {
    config.devices.resize(std::min(devices, config.devices.size()));
    for (StoredDevice &device : config.devices) {
        device.txPdo.resize(std::min(rows, device.txPdo.size()));
        device.rxPdo.resize(std::min(rows, device.rxPdo.size()));
        device.readSdo.resize(std::min(rows, device.readSdo.size()));
        device.writeSdo.resize(std::min(rows, device.writeSdo.size()));
    }
    return config;
}

void writeExampleSeeds(CorpusWriter &out, const QFileInfo &example, bool &failed) {
    QFile file(example.filePath());
    const QByteArray json = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const auto loaded = parseConfiguration(json);
    if (const auto *message = std::get_if<QString>(&loaded)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(example.filePath()), qPrintable(*message));
        failed = true;
        return;
    }
    const StoredConfiguration &config = std::get<StoredConfiguration>(loaded);
    const QString name = example.completeBaseName();
    out.write("config_round_trip", name + QStringLiteral(".json"), json);
    writeConfigSeeds(out, name, config, failed);
    if (name == QLatin1String("maximal"))
        writeConfigSeeds(out, QStringLiteral("medium"), cutDown(config, 3, 16), failed);
}

void writeReplySeeds(CorpusWriter &out) {
    out.write("receive_path", QStringLiteral("readback-maximal-tables"),
              ReceiveSeed(1)
                  .window(encodeReply(fixtures::generalListing(kMaxDevices)))
                  .window(encodeReply(fixtures::maximalTableReply()))
                  .bytes());
    for (const MalformedReply &malformed : malformedReplies()) {
        out.write("receive_path",
                  QStringLiteral("malformed-") +
                      QString::fromStdString(malformedCaseName(malformed)),
                  ReceiveSeed(1)
                      .window(malformedBaselineStream())
                      .window(malformed.bytes)
                      .window(encodeReply(kMalformedBaselineEthernet))
                      .bytes());
    }
    out.write("config_round_trip", QStringLiteral("factory-written.json"),
              formatConfiguration(StoredConfiguration{}));
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fputs("usage: fuzz_seed_corpus <examples folder> <corpus folder>\n", stderr);
        return 2;
    }
    CorpusWriter out(QString::fromLocal8Bit(argv[2]));
    bool failed = false;
    const QDir examples(QString::fromLocal8Bit(argv[1]));
    for (const QFileInfo &example : examples.entryInfoList({QStringLiteral("*.json")}, QDir::Files))
        writeExampleSeeds(out, example, failed);
    writeReplySeeds(out);
    return failed || out.failed() ? 1 : 0;
}
