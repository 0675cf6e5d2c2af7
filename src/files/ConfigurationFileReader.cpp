#include "files/ConfigurationFile.h"

#include "files/JsonScan.h"
#include "model/GatewayConfig.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>
#include <utility>

namespace tolvar {

namespace {

// The gateway holds no more than the utility's model does.
constexpr qsizetype kMaxDataBytes = kPdoDataBytes;
constexpr int kMaxAreaCode = 3;
constexpr int kLastByte = kPdoDataBytes - 1;

// Thrown inside the loader only; parseConfiguration turns it into its message.
struct Refusal {
    QString message;
};

// A number that is no 53-bit whole number: its message shows the number as written, which only
// parseConfiguration has.
struct NotWhole {
    QString place;
    double number;
};

[[noreturn]] void refuse(const QString &place, const QString &problem) {
    throw Refusal{place + QStringLiteral(": ") + problem};
}

QString typeName(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("true/false");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

[[noreturn]] void refuseType(const QString &place, const char *expected, const QJsonValue &v) {
    refuse(place,
           QStringLiteral("expected %1, found %2").arg(QLatin1String(expected), typeName(v)));
}

qint64 readHexString(const QString &text, const QString &place) {
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) && text.size() > 2) {
        bool ok = false;
        const qint64 value = text.mid(2).toLongLong(&ok, 16);
        if (ok && value >= 0) {
            return value;
        }
    }
    refuse(place, QStringLiteral("\"%1\" is not a number; write a whole number or \"0x...\" hex")
                      .arg(shownText(text)));
}

// A whole number, written as a JSON number or as a "0x..." string.
qint64 readInteger(const QJsonValue &value, const QString &place) {
    if (value.isString()) {
        return readHexString(value.toString(), place);
    }
    if (!value.isDouble()) {
        refuseType(place, "a whole number", value);
    }
    const double number = value.toDouble();
    if (number != std::floor(number) || std::abs(number) >= 0x1p53) {
        throw NotWhole{place, number};
    }
    return static_cast<qint64>(number);
}

qint64 readRanged(const QJsonValue &value, const QString &place, qint64 max) {
    const qint64 number = readInteger(value, place);
    if (number < 0 || number > max) {
        refuse(place, QStringLiteral("%1 is out of range 0..%2").arg(number).arg(max));
    }
    return number;
}

QString indexed(const QString &place, qsizetype index) {
    return QStringLiteral("%1[%2]").arg(place).arg(index);
}

QJsonArray asArray(const QJsonValue &value, const QString &place) {
    if (!value.isArray()) {
        refuseType(place, "an array", value);
    }
    return value.toArray();
}

// The members of one JSON object, with its place in the document for messages.
class Fields {
public:
    Fields(const QJsonValue &value, QString place, std::initializer_list<const char *> known)
        : place_(std::move(place)) {
        if (!value.isObject()) {
            refuseType(place_.isEmpty() ? QStringLiteral("top level") : place_, "an object", value);
        }
        object_ = value.toObject();
        for (const QString &key : object_.keys()) {
            if (std::none_of(known.begin(), known.end(),
                             [&key](const char *k) { return key == QLatin1String(k); })) {
                refuse(placeOf(shownText(key)), QStringLiteral("unknown key"));
            }
        }
    }

    QString placeOf(const QString &key) const {
        return place_.isEmpty() ? key : place_ + QLatin1Char('.') + key;
    }
    QString placeOf(const char *key) const { return placeOf(QLatin1String(key)); }

    bool has(const char *key) const { return object_.contains(QLatin1String(key)); }

    QJsonValue required(const char *key) const {
        if (!has(key)) {
            refuse(placeOf(key), QStringLiteral("missing"));
        }
        return object_.value(QLatin1String(key));
    }

    // A byte (0..255) or 16-bit value; without a fallback the key must be present.
    qint64 number(const char *key, qint64 max, std::optional<qint64> fallback) const {
        if (!has(key) && fallback) {
            return *fallback;
        }
        return readRanged(required(key), placeOf(key), max);
    }
    quint8 byte(const char *key, std::optional<quint8> fallback = std::nullopt) const {
        return static_cast<quint8>(number(key, 255, fallback));
    }
    quint16 word(const char *key, std::optional<quint16> fallback = std::nullopt) const {
        return static_cast<quint16>(number(key, 65535, fallback));
    }

    // Missing arrays are empty.
    QJsonArray array(const char *key) const {
        return has(key) ? asArray(required(key), placeOf(key)) : QJsonArray{};
    }

private:
    QString place_;
    QJsonObject object_;
};

std::array<quint8, 4> readOctets(const Fields &fields, const char *key,
                                 const std::array<quint8, 4> &fallback) {
    if (!fields.has(key)) {
        return fallback;
    }
    const QString place = fields.placeOf(key);
    const QJsonArray array = asArray(fields.required(key), place);
    if (array.size() != 4) {
        refuse(place, QStringLiteral("%1 octets; exactly 4").arg(array.size()));
    }
    std::array<quint8, 4> octets{};
    for (int i = 0; i < 4; ++i) {
        octets[i] = static_cast<quint8>(readRanged(array.at(i), indexed(place, i), 255));
    }
    return octets;
}

// The rows a download with --ethernet writes, each named at most once.
std::array<bool, 3> readEthernetWrite(const Fields &fields) {
    const QString place = fields.placeOf("write");
    const QJsonArray array = fields.array("write");
    std::array<bool, 3> marks{};
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue value = array.at(i);
        if (!value.isString()) {
            refuseType(indexed(place, i), "a string", value);
        }
        const QString row = value.toString();
        const auto key = std::find_if(kEthernetRowKeys.begin(), kEthernetRowKeys.end(),
                                      [&row](const char *k) { return row == QLatin1String(k); });
        if (key == kEthernetRowKeys.end()) {
            refuse(indexed(place, i),
                   QStringLiteral("\"%1\" is no Ethernet row; name \"ip\", \"mask\" or \"gateway\"")
                       .arg(shownText(row)));
        }
        bool &mark = marks[std::size_t(key - kEthernetRowKeys.begin())];
        if (mark) {
            refuse(indexed(place, i),
                   QStringLiteral("\"%1\" is named twice; name each row once").arg(row));
        }
        mark = true;
    }
    return marks;
}

void readEthernet(const QJsonValue &value, StoredConfiguration &config) {
    const Fields fields(value, QStringLiteral("ethernet"), {"ip", "mask", "gateway", "write"});
    config.ethernet = EthernetReply{readOctets(fields, "ip", config.ethernet.ip),
                                    readOctets(fields, "mask", config.ethernet.mask),
                                    readOctets(fields, "gateway", config.ethernet.gateway)};
    config.ethernetWrite = readEthernetWrite(fields);
}

SerialSettings readSerial(const QJsonValue &value, const SerialSettings &fallback) {
    const Fields fields(value, QStringLiteral("serial"),
                        {"port", "baudRate", "dataBits", "parity", "stopBits", "listen"});
    return SerialSettings{
        fields.byte("port", fallback.comPort),      fields.byte("baudRate", fallback.baudRate),
        fields.byte("dataBits", fallback.dataBits), fields.byte("parity", fallback.parity),
        fields.byte("stopBits", fallback.stopBits), fields.byte("listen", fallback.listen)};
}

// A word is two neighbouring bytes of the word code; an odd run of that code leaves one alone.
void checkWords(const QByteArray &areas, quint8 wordCode, const QString &place) {
    for (qsizetype m = 0; m < areas.size(); ++m) {
        if (static_cast<quint8>(areas.at(m)) != wordCode) {
            continue;
        }
        if (m == kLastByte) {
            refuse(indexed(place, m),
                   QStringLiteral("a word (%1 %1) cannot start at Byte7").arg(wordCode));
        }
        if (m + 1 >= areas.size() || static_cast<quint8>(areas.at(m + 1)) != wordCode) {
            refuse(indexed(place, m), QStringLiteral("word not complete: %1 at Byte%2 needs a "
                                                     "second %1 at Byte%3")
                                          .arg(wordCode)
                                          .arg(m)
                                          .arg(m + 1));
        }
        ++m;
    }
}

QByteArray readAreas(const Fields &fields, quint8 wordCode) {
    const QString place = fields.placeOf("areas");
    const QJsonArray array = fields.array("areas");
    if (array.size() > kMaxDataBytes) {
        refuse(place,
               QStringLiteral("%1 data bytes; at most %2").arg(array.size()).arg(kMaxDataBytes));
    }
    QByteArray areas;
    for (qsizetype m = 0; m < array.size(); ++m) {
        const qint64 code = readInteger(array.at(m), indexed(place, m));
        if (code < 0 || code > kMaxAreaCode) {
            refuse(indexed(place, m), QStringLiteral("code %1; codes are 0..3").arg(code));
        }
        areas.append(static_cast<char>(code));
    }
    checkWords(areas, wordCode, place);
    return areas;
}

PdoEntry readPdo(const QJsonValue &value, const QString &place, const char *flagKey,
                 Area wordCode) {
    const Fields fields(value, place, {"cobId", flagKey, "areas"});
    PdoEntry entry;
    entry.cobId = fields.word("cobId");
    entry.flag = fields.byte(flagKey, 0);
    entry.typeBytes = readAreas(fields, static_cast<quint8>(wordCode));
    entry.dataLength = static_cast<quint8>(entry.typeBytes.size());
    return entry;
}

SdoEntry readSdo(const QJsonValue &value, const QString &place, Area wordCode) {
    const Fields fields(value, place, {"index", "subIndex", "area"});
    SdoEntry entry;
    entry.index = fields.word("index");
    entry.subIndex = fields.byte("subIndex");
    entry.type = static_cast<quint8>(fields.number("area", kMaxAreaCode, std::nullopt));
    entry.word = entry.type == static_cast<quint8>(wordCode);
    return entry;
}

template <typename Entry, typename ReadEntry>
std::vector<Entry> readTable(const Fields &fields, const char *key, qsizetype maxRows,
                             ReadEntry readEntry) {
    const QString place = fields.placeOf(key);
    const QJsonArray array = fields.array(key);
    if (array.size() > maxRows) {
        refuse(place, QStringLiteral("%1 rows; at most %2").arg(array.size()).arg(maxRows));
    }
    std::vector<Entry> rows;
    for (qsizetype j = 0; j < array.size(); ++j) {
        rows.push_back(readEntry(array.at(j), indexed(place, j)));
    }
    return rows;
}

StoredDevice readDevice(const QJsonValue &value, const QString &place) {
    const Fields fields(value, place,
                        {"nodeId", "guardTime", "txPdo", "rxPdo", "readSdo", "writeSdo"});
    StoredDevice device;
    device.nodeId = fields.byte("nodeId");
    device.guardTime = fields.word("guardTime", 1000);
    device.txPdo =
        readTable<PdoEntry>(fields, "txPdo", kMaxPdoRows, [](const auto &v, const auto &p) {
            return readPdo(v, p, "rtr", Area::AnalogInput);
        });
    device.rxPdo =
        readTable<PdoEntry>(fields, "rxPdo", kMaxPdoRows, [](const auto &v, const auto &p) {
            return readPdo(v, p, "cycle", Area::AnalogOutput);
        });
    device.readSdo =
        readTable<SdoEntry>(fields, "readSdo", kMaxSdoRows, [](const auto &v, const auto &p) {
            return readSdo(v, p, Area::AnalogInput);
        });
    device.writeSdo =
        readTable<SdoEntry>(fields, "writeSdo", kMaxSdoRows, [](const auto &v, const auto &p) {
            return readSdo(v, p, Area::AnalogOutput);
        });
    return device;
}

std::vector<StoredDevice> readDevices(const Fields &fields) {
    const QString place = fields.placeOf("devices");
    const QJsonArray array = asArray(fields.required("devices"), place);
    if (array.isEmpty() || array.size() > kMaxDevices) {
        refuse(place, QStringLiteral("%1 devices; 1 to %2").arg(array.size()).arg(kMaxDevices));
    }
    std::vector<StoredDevice> devices;
    for (qsizetype k = 0; k < array.size(); ++k) {
        devices.push_back(readDevice(array.at(k), indexed(place, k)));
    }
    return devices;
}

// Files written before the format had a number are format 1.
void checkFormat(const Fields &fields) {
    if (!fields.has("format")) {
        return;
    }
    const qint64 format = readInteger(fields.required("format"), fields.placeOf("format"));
    if (format != kConfigurationFormat) {
        refuse(fields.placeOf("format"),
               QStringLiteral("format %1 is not known here; this program reads format %2")
                   .arg(format)
                   .arg(kConfigurationFormat));
    }
}

StoredConfiguration readConfig(const QJsonValue &root) {
    const Fields fields(root, QString(),
                        {"format", "ethernet", "serialId", "canBitRateCode", "sync", "syncTime",
                         "serial", "devices"});
    checkFormat(fields);
    const StoredConfiguration defaults;
    StoredConfiguration config;
    if (fields.has("ethernet")) {
        readEthernet(fields.required("ethernet"), config);
    }
    config.serialId = fields.byte("serialId", defaults.serialId);
    config.canBitRateCode = fields.byte("canBitRateCode", defaults.canBitRateCode);
    config.sync = fields.byte("sync", defaults.sync);
    config.syncTime = fields.byte("syncTime", defaults.syncTime);
    if (fields.has("serial")) {
        config.serial = readSerial(fields.required("serial"), defaults.serial);
    }
    config.devices = readDevices(fields);
    return config;
}

// "line 3, column 14 (offset 52)": the place of a byte of the text, columns counted in bytes.
QString placeInText(const QByteArray &json, qsizetype offset) {
    const QByteArrayView before = QByteArrayView(json).first(std::min(offset, json.size()));
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = offset - (before.lastIndexOf('\n') + 1) + 1;
    return QStringLiteral("line %1, column %2 (offset %3)").arg(line).arg(column).arg(offset);
}

QString parseErrorText(const QByteArray &json, const QJsonParseError &error) {
    return QStringLiteral("%1: not valid JSON: %2")
        .arg(placeInText(json, error.offset), error.errorString());
}

QString notWholeText(const QByteArray &json, const NotWhole &refusal) {
    QString written = QString::fromLatin1(numberTextAt(json, refusal.place));
    if (written.isEmpty()) {
        written = QString::number(refusal.number, 'g', 17);
    }
    return QStringLiteral("%1: %2 is not a whole number").arg(refusal.place, shownText(written));
}

// Every message is one line a log or a box shows whole.
constexpr qsizetype kMaxMessageLength = 300;
constexpr qsizetype kMaxShownPathLength = 120;

QString oneLine(const QString &message) {
    return shownText(message, kMaxMessageLength - 1);
}

// A long path keeps its end, where the file name is.
QString shownPath(const QString &path) {
    const QString shown = shownText(path, std::numeric_limits<qsizetype>::max());
    if (shown.size() <= kMaxShownPathLength) {
        return shown;
    }
    return QStringLiteral("\u2026") + shown.right(kMaxShownPathLength - 1);
}

QString tooLargeText() {
    return QStringLiteral("larger than 4 MiB; no configuration is that large");
}

// At most one byte past the limit is read, so a device or a growing file cannot fill memory.
std::variant<QByteArray, QString> readLimited(const QString &path) {
    if (path.isEmpty()) {
        return QStringLiteral("cannot read a configuration: no file name given");
    }
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return QStringLiteral("%1: not a regular file (a device, a pipe or a folder)")
            .arg(shownPath(path));
    }
    if (info.size() > kMaxConfigurationBytes) {
        return shownPath(path) + QStringLiteral(": ") + tooLargeText();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("%1: cannot read: %2").arg(shownPath(path), file.errorString());
    }
    return file.read(kMaxConfigurationBytes + 1);
}

std::variant<StoredConfiguration, QString> load(const QByteArray &json) {
    if (json.size() > kMaxConfigurationBytes) {
        return tooLargeText();
    }
    if (const auto problem = scanJson(json)) {
        return placeInText(json, problem->offset) + QStringLiteral(": ") + problem->problem;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        return parseErrorText(json, error);
    }
    try {
        const QJsonValue root =
            document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
        return readConfig(root);
    } catch (const Refusal &refusal) {
        return refusal.message;
    } catch (const NotWhole &refusal) {
        return notWholeText(json, refusal);
    }
}

} // namespace

std::variant<StoredConfiguration, QString> parseConfiguration(const QByteArray &json) {
    auto result = load(json);
    if (auto *message = std::get_if<QString>(&result)) {
        *message = oneLine(*message);
    }
    return result;
}

std::variant<StoredConfiguration, QString> loadConfigurationFile(const QString &path) {
    const auto read = readLimited(path);
    if (const auto *message = std::get_if<QString>(&read)) {
        return oneLine(*message);
    }
    auto result = load(std::get<QByteArray>(read));
    if (auto *message = std::get_if<QString>(&result)) {
        *message = oneLine(shownPath(path) + QStringLiteral(": ") + *message);
    }
    return result;
}

} // namespace tolvar
