#include "gateway/StoredConfiguration.h"

#include <algorithm>

namespace tolvar {

namespace {

struct PdoCounts {
    int bytes = 0; // single bytes of the byte code
    int words = 0; // pairs starting with the word code
};

// Walks the type bytes the way the utility decodes them: a word code takes the next byte too.
PdoCounts countPdoItems(const std::vector<PdoEntry> &entries, Area byteCode, Area wordCode) {
    PdoCounts counts;
    for (const PdoEntry &entry : entries) {
        for (qsizetype m = 0; m < entry.typeBytes.size(); ++m) {
            const auto code = static_cast<Area>(entry.typeBytes.at(m));
            if (code == byteCode) {
                ++counts.bytes;
            } else if (code == wordCode) {
                ++counts.words;
                ++m;
            }
        }
    }
    return counts;
}

quint16 countSdoOfType(const std::vector<SdoEntry> &entries, Area code) {
    return static_cast<quint16>(std::count_if(entries.begin(), entries.end(), [code](auto &e) {
        return e.type == static_cast<quint8>(code);
    }));
}

} // namespace

DeviceRecord deviceRecordOf(const StoredDevice &device) {
    const PdoCounts tx = countPdoItems(device.txPdo, Area::DigitalInput, Area::AnalogInput);
    const PdoCounts rx = countPdoItems(device.rxPdo, Area::DigitalOutput, Area::AnalogOutput);
    const quint16 sdoAi = countSdoOfType(device.readSdo, Area::AnalogInput);
    const quint16 sdoAo = countSdoOfType(device.writeSdo, Area::AnalogOutput);
    const auto readRows = static_cast<quint16>(device.readSdo.size());
    const auto writeRows = static_cast<quint16>(device.writeSdo.size());

    DeviceRecord record;
    record.nodeId = device.nodeId;
    record.guardTime = device.guardTime;
    record.counts = {static_cast<quint16>(rx.bytes),
                     static_cast<quint16>(tx.bytes),
                     static_cast<quint16>(tx.words),
                     static_cast<quint16>(rx.words),
                     static_cast<quint16>(writeRows - sdoAo),
                     static_cast<quint16>(readRows - sdoAi),
                     sdoAi,
                     sdoAo};
    record.txPdoRows = static_cast<quint8>(device.txPdo.size());
    record.rxPdoRows = static_cast<quint8>(device.rxPdo.size());
    record.readSdoRows = static_cast<quint8>(readRows);
    record.writeSdoRows = static_cast<quint8>(writeRows);
    return record;
}

QString dottedOctets(const std::array<quint8, 4> &octets) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(octets[0])
        .arg(octets[1])
        .arg(octets[2])
        .arg(octets[3]);
}

EthernetReply ethernetReplyOf(const StoredConfiguration &config) {
    return config.ethernet;
}

GeneralReply generalReplyOf(const StoredConfiguration &config) {
    GeneralReply reply;
    reply.deviceCount = static_cast<quint8>(config.devices.size());
    reply.serialId = config.serialId;
    reply.canBitRateCode = config.canBitRateCode;
    reply.sync = config.sync;
    reply.syncTimeHigh = 0; // the gateway keeps the SYNC time in one byte
    reply.syncTime = config.syncTime;
    for (const StoredDevice &device : config.devices) {
        reply.devices.push_back(deviceRecordOf(device));
    }
    reply.serial = config.serial;
    return reply;
}

TableReply tableReplyOf(const StoredConfiguration &config) {
    TableReply reply;
    for (const StoredDevice &device : config.devices) {
        reply.devices.push_back(DeviceTables{device.nodeId, device.txPdo, device.rxPdo,
                                             device.readSdo, device.writeSdo});
    }
    return reply;
}

} // namespace tolvar
