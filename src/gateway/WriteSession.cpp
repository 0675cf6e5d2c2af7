#include "gateway/WriteSession.h"

#include "files/ConfigurationFile.h"
#include "link/CommandFrame.h"
#include "link/ReplyParser.h"
#include "model/GatewayConfig.h"

#include <utility>

namespace tolvar {

namespace {

using Kind = WriteEvent::Kind;

constexpr int kResponseLength = 12;
constexpr int kEthernetFrameLength = 31;
constexpr int kEthernetFlags = 16; // three flags: IP, mask, gateway
constexpr int kEthernetOctets = 19;
constexpr int kSettingsDeviceCount = 16;
constexpr int kSettingsFrameCount = 22;
constexpr int kSequence = 16;
constexpr int kPiece = 17;
constexpr int kFirstSequence = 9;
constexpr int kFullPiece = 250;
constexpr int kCommandBytes = 4;   // "#SD" and the sequence byte, counted in the registers
constexpr int kMaxRegisters = 127; // the byte count is one byte

quint8 byteAt(const QByteArray &bytes, int offset) {
    return offset < bytes.size() ? static_cast<quint8>(bytes.at(offset)) : 0;
}

// The stored contents of a write frame parsed as the reply that carries the same layout.
ParseOutcome parseAsReply(char kind, const QByteArray &contents, int deviceCount) {
    QByteArray bytes("\x00\x00\x00\x00\x00\x00\x19\x75\x04\x01", 10);
    bytes.append(kind).append('\0').append(contents);
    return parseReply(bytes, deviceCount);
}

QString withoutPrefix(QString problem) {
    problem.remove(QStringLiteral("Refused a table reply: "));
    while (problem.endsWith(QLatin1Char('.'))) {
        problem.chop(1);
    }
    return problem;
}

// The record fields a device's tables determine, with the names printed for them.
std::array<std::pair<const char *, int>, 13> namedFields(const DeviceRecord &r) {
    const auto &c = r.counts;
    return {{{"node ID", r.nodeId},
             {"DO", c[0]},
             {"DI", c[1]},
             {"AI", c[2]},
             {"AO", c[3]},
             {"SDO DO", c[4]},
             {"SDO DI", c[5]},
             {"SDO AI", c[6]},
             {"SDO AO", c[7]},
             {"TxPDO rows", r.txPdoRows},
             {"RxPDO rows", r.rxPdoRows},
             {"Read SDO rows", r.readSdoRows},
             {"Write SDO rows", r.writeSdoRows}}};
}

// "device 2: its #RD record gives DI 2; its tables give DI 3; serving the tables", or nothing.
std::optional<QString> recordMismatch(int device, const DeviceRecord &sent,
                                      const DeviceRecord &fromTables) {
    QStringList said;
    QStringList given;
    const auto sentFields = namedFields(sent);
    const auto tableFields = namedFields(fromTables);
    for (std::size_t i = 0; i < sentFields.size(); ++i) {
        if (sentFields[i].second != tableFields[i].second) {
            const QString name = QLatin1String(sentFields[i].first);
            said << QStringLiteral("%1 %2").arg(name).arg(sentFields[i].second);
            given << QStringLiteral("%1 %2").arg(name).arg(tableFields[i].second);
        }
    }
    if (said.isEmpty()) {
        return std::nullopt;
    }
    return QStringLiteral("device %1: its #RD record gives %2; its tables give %3; serving the "
                          "tables")
        .arg(device)
        .arg(said.join(QStringLiteral(", ")), given.join(QStringLiteral(", ")));
}

// A word at the last data byte takes the first byte after the entry as its high byte.
std::optional<QString> wordPastDataLength(const StoredConfiguration &config) {
    for (std::size_t k = 0; k < config.devices.size(); ++k) {
        const StoredDevice &device = config.devices[k];
        for (const auto &[name, table] :
             {std::pair{"TxPDO", &device.txPdo}, std::pair{"RxPDO", &device.rxPdo}}) {
            for (std::size_t j = 0; j < table->size(); ++j) {
                const PdoEntry &entry = table->at(j);
                if (entry.typeBytes.size() != entry.dataLength) {
                    return QStringLiteral("device %1 has a %2 entry (row %3) whose word runs past "
                                          "its data length %4")
                        .arg(k + 1)
                        .arg(QLatin1String(name))
                        .arg(j + 1)
                        .arg(entry.dataLength);
                }
            }
        }
    }
    return std::nullopt;
}

// The gateway holds what its configuration file can hold: a stream the parser takes may still
// carry an area code above 3 or half a word.
std::optional<QString> unstorable(const StoredConfiguration &config) {
    if (auto problem = wordPastDataLength(config)) {
        return problem;
    }
    const auto reloaded = parseConfiguration(formatConfiguration(config));
    if (const auto *message = std::get_if<QString>(&reloaded)) {
        return QStringLiteral("the gateway cannot store the written tables: ") + *message;
    }
    if (std::get<StoredConfiguration>(reloaded) != config) {
        return QStringLiteral("the gateway cannot store the written tables");
    }
    return std::nullopt;
}

} // namespace

QByteArray writeResponseTo(const QByteArray &request) {
    QByteArray response(kResponseLength, '\0');
    response[0] = static_cast<char>(byteAt(request, 0));
    response[1] = static_cast<char>(byteAt(request, 1));
    response[5] = 6;
    response[frame::kUnitId] = static_cast<char>(byteAt(request, frame::kUnitId));
    response[frame::kFunction] = static_cast<char>(frame::kWriteMultipleRegisters);
    for (int offset = 8; offset < kResponseLength; ++offset) {
        response[offset] = static_cast<char>(byteAt(request, offset));
    }
    return response;
}

QList<WriteEvent> WriteSession::take(const QByteArray &frame) {
    QList<WriteEvent> events;
    switch (frame.size() > frame::kCommandLetter ? frame.at(frame::kCommandLetter) : '\0') {
    case 'I':
        takeEthernet(frame, events);
        break;
    case 'R':
        takeSettings(frame, events);
        break;
    case 'S':
        takeTable(frame, events);
        break;
    default:
        break;
    }
    return events;
}

QList<WriteEvent> WriteSession::end() {
    QList<WriteEvent> events;
    if (inProgress()) {
        refuse(QStringLiteral("the client disconnected while %1 was expected").arg(expectation()),
               events);
    }
    return events;
}

void WriteSession::takeEthernet(const QByteArray &frame, QList<WriteEvent> &events) {
    if (inProgress()) {
        refuse(QStringLiteral("#ID frame where %1 was expected").arg(expectation()), events);
    }
    if (frame.size() != kEthernetFrameLength) {
        refuse(QStringLiteral("#ID frame of %1 bytes; 31 expected").arg(frame.size()), events);
        return;
    }
    EthernetWrite write;
    QStringList parts;
    const char *names[] = {"IP", "mask", "gateway"};
    for (int i = 0; i < 3; ++i) {
        const quint8 flag = byteAt(frame, kEthernetFlags + i);
        if (flag > 1) {
            refuse(QStringLiteral("#ID flag at offset %1 is %2; 0 or 1 expected")
                       .arg(kEthernetFlags + i)
                       .arg(flag),
                   events);
            return;
        }
        std::array<quint8, 4> octets{};
        for (int j = 0; j < 4; ++j) {
            octets[j] = byteAt(frame, kEthernetOctets + 4 * i + j);
        }
        if (flag == 1) {
            write[i] = octets;
        }
        parts << QLatin1String(names[i]) + QLatin1Char(' ') +
                     (flag == 1 ? dottedOctets(octets) : QStringLiteral("kept"));
    }
    ethernet_ = write;
    events.append({Kind::Progress, QStringLiteral("#ID taken: %1; applied when the download "
                                                  "completes")
                                       .arg(parts.join(QStringLiteral(", ")))});
}

void WriteSession::takeSettings(const QByteArray &frame, QList<WriteEvent> &events) {
    if (settings_) {
        refuse(QStringLiteral("#RD frame where %1 was expected").arg(expectation()), events);
    }
    const int devices = byteAt(frame, kSettingsDeviceCount);
    const int frameCount = byteAt(frame, kSettingsFrameCount);
    const qsizetype length = reply::kDeviceRecordSize * devices + 30;
    if (devices < 1 || devices > kMaxDevices) {
        refuse(QStringLiteral("#RD lists %1 devices; 1 to 10 expected").arg(devices), events);
        return;
    }
    if (frame.size() != length) {
        refuse(QStringLiteral("#RD frame of %1 bytes; %2 expected for %3 devices")
                   .arg(frame.size())
                   .arg(length)
                   .arg(devices),
               events);
        return;
    }
    if (frameCount == 0) {
        refuse(QStringLiteral("#RD announces no #SD frame"), events);
        return;
    }
    ParseOutcome parsed = parseAsReply(reply::kGeneral, frame.mid(frame::kCommandData), devices);
    if (parsed.status != ParseOutcome::Status::Complete) {
        refuse(QStringLiteral("#RD frame does not parse: %1").arg(parsed.problem), events);
        return;
    }
    settings_ = SettingsWrite{std::get<GeneralReply>(std::move(parsed.reply)), frameCount};
    stream_.clear();
    framesTaken_ = 0;
    const GeneralReply &general = settings_->general;
    events.append({Kind::Progress,
                   QStringLiteral("#RD taken: %1 device(s), serial ID %2, CAN code %3; %4 #SD "
                                  "frame(s) to follow")
                       .arg(devices)
                       .arg(general.serialId)
                       .arg(general.canBitRateCode)
                       .arg(frameCount)});
}

void WriteSession::takeTable(const QByteArray &frame, QList<WriteEvent> &events) {
    if (!settings_) {
        refuse(ethernet_ ? QStringLiteral("#SD frame where #RD was expected")
                         : QStringLiteral("#SD frame without a preceding #RD"),
               events);
        return;
    }
    const int registers =
        byteAt(frame, frame::kRegisterCount) << 8 | byteAt(frame, frame::kRegisterCount + 1);
    const int byteCount = byteAt(frame, frame::kByteCount);
    if (registers * 2 < kCommandBytes || registers > kMaxRegisters || byteCount != 2 * registers ||
        frame.size() != 13 + byteCount) {
        refuse(QStringLiteral("#SD frame of %1 bytes with register count %2 and byte count %3; "
                              "they do not fit together")
                   .arg(frame.size())
                   .arg(registers)
                   .arg(byteCount),
               events);
        return;
    }
    const int sequence = byteAt(frame, kSequence);
    if (sequence != kFirstSequence + framesTaken_) {
        refuse(QStringLiteral("#SD frame with sequence byte %1 where %2 was expected")
                   .arg(sequence)
                   .arg(kFirstSequence + framesTaken_),
               events);
        return;
    }
    const QByteArray piece = frame.mid(kPiece, byteCount - kCommandBytes);
    const bool last = framesTaken_ + 1 == settings_->frameCount;
    if (!last && piece.size() != kFullPiece) {
        refuse(QStringLiteral("#SD frame %1 of %2 carries %3 stream bytes; 250 expected")
                   .arg(framesTaken_ + 1)
                   .arg(settings_->frameCount)
                   .arg(piece.size()),
               events);
        return;
    }
    stream_.append(piece);
    ++framesTaken_;
    events.append(
        {Kind::Progress, QStringLiteral("#SD %1 taken: frame %2 of %3, a piece of %4 bytes")
                             .arg(sequence)
                             .arg(framesTaken_)
                             .arg(settings_->frameCount)
                             .arg(piece.size())});
    if (last) {
        finish(events);
    }
}

void WriteSession::finish(QList<WriteEvent> &events) {
    const int devices = settings_->general.deviceCount;
    ParseOutcome parsed = parseAsReply(reply::kTables, stream_, devices);
    if (parsed.status == ParseOutcome::Status::Invalid) {
        refuse(QStringLiteral("the device table stream does not parse: %1")
                   .arg(withoutPrefix(parsed.problem)),
               events);
        return;
    }
    if (parsed.status == ParseOutcome::Status::Incomplete) {
        refuse(QStringLiteral("the device table stream of %1 bytes ends before the tables of its "
                              "%2 device(s) do")
                   .arg(stream_.size())
                   .arg(devices),
               events);
        return;
    }
    // An odd stream is padded with one zero byte to fill the last register.
    const qsizetype used = parsed.length - reply::kContents;
    const qsizetype left = stream_.size() - used;
    if (left > 1 || (left == 1 && stream_.back() != '\0')) {
        refuse(QStringLiteral("the device table stream ends after %1 bytes; %2 byte(s) are left "
                              "over")
                   .arg(used)
                   .arg(left),
               events);
        return;
    }
    const StoredConfiguration written = writtenConfig(std::get<TableReply>(parsed.reply));
    if (const auto problem = unstorable(written)) {
        refuse(*problem, events);
        return;
    }
    for (int k = 0; k < devices; ++k) {
        if (const auto mismatch = recordMismatch(k + 1, settings_->general.devices[k],
                                                 deviceRecordOf(written.devices[k]))) {
            events.append({Kind::Warning, *mismatch});
        }
    }
    served_ = written;
    events.append({Kind::Applied, QStringLiteral("download complete: %1 device(s), %2 stream "
                                                 "bytes; serving the written configuration")
                                      .arg(devices)
                                      .arg(used)});
    reset();
}

// Node IDs and tables come from the stream, guarding times from the #RD records; the SYNC
// value and time stay the gateway's own, since #RD carries zeros in their places.
StoredConfiguration WriteSession::writtenConfig(const TableReply &tables) const {
    StoredConfiguration written = served_;
    if (ethernet_) {
        const std::array<std::array<quint8, 4> *, 3> addresses{
            &written.ethernet.ip, &written.ethernet.mask, &written.ethernet.gateway};
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            *addresses[i] = (*ethernet_)[i].value_or(*addresses[i]);
        }
    }
    const GeneralReply &general = settings_->general;
    written.serialId = general.serialId;
    written.canBitRateCode = general.canBitRateCode;
    written.serial = general.serial;
    written.devices.clear();
    for (std::size_t k = 0; k < tables.devices.size(); ++k) {
        const DeviceTables &device = tables.devices[k];
        written.devices.push_back(StoredDevice{device.nodeId, general.devices[k].guardTime,
                                               device.txPdo, device.rxPdo, device.readSdo,
                                               device.writeSdo});
    }
    return written;
}

QString WriteSession::expectation() const {
    if (!settings_) {
        return QStringLiteral("#RD");
    }
    return QStringLiteral("#SD frame %1 of %2").arg(framesTaken_ + 1).arg(settings_->frameCount);
}

void WriteSession::refuse(const QString &reason, QList<WriteEvent> &events) {
    events.append({Kind::Refused, reason});
    reset();
}

void WriteSession::reset() {
    ethernet_.reset();
    settings_.reset();
    stream_.clear();
    framesTaken_ = 0;
}

} // namespace tolvar
