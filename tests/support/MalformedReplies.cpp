#include "support/MalformedReplies.h"

#include "link/ReplyEncoder.h"

namespace tolvar {

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

GeneralReply baselineGeneral() {
    GeneralReply general;
    general.deviceCount = kMalformedDeviceCount;
    general.serialId = 1;
    general.canBitRateCode = 3;
    general.sync = 10;
    general.syncTime = 100;
    general.devices = {
        DeviceRecord{1, 1000, {1, 3, 1, 1, 1, 1, 1, 0}, 2, 1, 2, 2},
        DeviceRecord{5, 500, {1, 6, 1, 0, 0, 1, 0, 0}, 1, 1, 1, 0},
    };
    general.serial = {1, 3, 2, 1, 1, 0};
    return general;
}

// Layout of the table reply (offsets from the start of the block):
//   12 device 1 node ID, 13 TxPDO count, 14..20 and 21..26 TxPDO entries, 27 RxPDO count,
//   28..34 RxPDO entry, 35 Read SDO count, 36..40 (word) and 41..44, 45 Write SDO count,
//   46..50 (word) and 51..54; 55 device 2 node ID, 56 TxPDO count, 57..68 TxPDO entry,
//   69 RxPDO count, 70..74 RxPDO entry, 75 Read SDO count, 76..79, 80 Write SDO count.
TableReply baselineTables() {
    DeviceTables first;
    first.nodeId = 1;
    first.txPdo = {PdoEntry{0x181, 0, 3, hex("010202")}, PdoEntry{0x182, 1, 2, hex("0101")}};
    first.rxPdo = {PdoEntry{0x201, 1, 3, hex("000303")}};
    first.readSdo = {SdoEntry{0x6000, 1, 2, true}, SdoEntry{0x6001, 2, 1, false}};
    first.writeSdo = {SdoEntry{0x6200, 1, 3, true}, SdoEntry{0x6201, 1, 0, false}};
    DeviceTables second;
    second.nodeId = 5;
    second.txPdo = {PdoEntry{0x185, 0, 8, hex("0101020201010101")}};
    second.rxPdo = {PdoEntry{0x205, 0, 1, hex("00")}};
    second.readSdo = {SdoEntry{0x2000, 1, 1, false}};
    return TableReply{{first, second}};
}

QByteArray cut(const Reply &reply, int length) {
    return encodeReply(reply).left(length);
}

GeneralReply generalListing(int devices) {
    GeneralReply general = baselineGeneral();
    general.deviceCount = quint8(devices);
    general.devices.assign(std::size_t(devices), general.devices.front());
    return general;
}

// The baseline table reply with one thing changed in one device (0 = first in the list).
template <typename Change> QByteArray tablesWith(std::size_t position, Change change) {
    TableReply tables = baselineTables();
    change(tables.devices[position]);
    return encodeReply(tables);
}

void addTruncations(std::vector<MalformedReply> &cases) {
    const Reply ethernet = kMalformedBaselineEthernet;
    const Reply general = baselineGeneral();
    const Reply tables = baselineTables();
    const auto add = [&cases](const char *name, QByteArray bytes) {
        cases.push_back({QString::fromLatin1(name), std::move(bytes), true});
    };
    add("envelope cut after 3 bytes", cut(general, 3));
    add("envelope cut inside the signature", cut(general, 8));
    add("envelope cut before the kind", cut(tables, 10));
    add("Ethernet reply with its envelope only", cut(ethernet, 12));
    add("Ethernet reply cut inside the mask", cut(ethernet, 18));
    add("Ethernet reply missing its last byte", cut(ethernet, 23));
    add("general reply cut before the device count", cut(general, 12));
    add("general reply cut inside its header", cut(general, 16));
    add("general reply cut inside the first device record", cut(general, 30));
    add("general reply cut between the device records", cut(general, 42));
    add("general reply cut inside the second device record", cut(general, 60));
    add("general reply cut inside the serial bytes", cut(general, 67));
    add("general reply missing the listen mode byte", cut(general, 70));
    add("table reply cut after the node ID", cut(tables, 13));
    add("table reply cut inside a TxPDO COB-ID", cut(tables, 15));
    add("table reply cut inside the TxPDO type bytes", cut(tables, 19));
    add("table reply cut before the word's second type byte", cut(tables, 20));
    add("table reply cut before the RxPDO count", cut(tables, 27));
    add("table reply cut inside an RxPDO entry", cut(tables, 31));
    add("table reply cut inside a Read SDO entry", cut(tables, 38));
    add("table reply cut before a Read SDO word's second code", cut(tables, 40));
    add("table reply cut inside a Write SDO entry", cut(tables, 52));
    add("table reply cut between the devices", cut(tables, 55));
    add("table reply cut inside the second device's TxPDO entry", cut(tables, 64));
    add("table reply missing the last Write SDO count", cut(tables, 80));
    add("table reply holding one device where two are shown",
        encodeReply(TableReply{{baselineTables().devices.front()}}));
    add("short block of 5 bytes", hex("0102000000"));
    add("baseline Ethernet reply followed by the start of a general reply",
        encodeReply(ethernet) + cut(general, 15));
    add("general reply cut short and followed by garbage", cut(general, 30) + QByteArray(8, 'x'));
}

void addRefusedContents(std::vector<MalformedReply> &cases) {
    const auto add = [&cases](const char *name, QByteArray bytes) {
        cases.push_back({QString::fromLatin1(name), std::move(bytes), false});
    };
    add("general reply listing 0 devices", encodeReply(generalListing(0)));
    add("general reply listing 11 devices", encodeReply(generalListing(11)));
    add("general reply header listing 255 devices", hex("010200000006197504014700ff"));
    add("table reply with 201 TxPDO entries", tablesWith(0, [](DeviceTables &device) {
            device.txPdo.resize(201, device.txPdo.front());
        }));
    add("table reply with 201 RxPDO entries in device 2", tablesWith(1, [](DeviceTables &device) {
            device.rxPdo.resize(201, device.rxPdo.front());
        }));
    add("table reply with 31 Read SDO entries", tablesWith(0, [](DeviceTables &device) {
            device.readSdo.resize(31, device.readSdo.back());
        }));
    add("table reply with 31 Write SDO entries in device 2",
        tablesWith(1, [](DeviceTables &device) { device.writeSdo.resize(31); }));
    add("TxPDO entry with 9 data bytes", tablesWith(0, [](DeviceTables &device) {
            device.txPdo.front() = PdoEntry{0x181, 0, 9, hex("010101010101010101")};
        }));
    add("RxPDO entry with data length 255", tablesWith(1, [](DeviceTables &device) {
            device.rxPdo.front() = PdoEntry{0x205, 0, 255, QByteArray(255, '\0')};
        }));
    add("TxPDO word starting at Byte7", tablesWith(1, [](DeviceTables &device) {
            device.txPdo.front() = PdoEntry{0x185, 0, 8, hex("010101010101010202")};
        }));
    add("RxPDO word starting at Byte7", tablesWith(0, [](DeviceTables &device) {
            device.rxPdo.front() = PdoEntry{0x201, 0, 8, hex("000000000000000303")};
        }));
    add("invalid table reply followed by garbage", tablesWith(0, [](DeviceTables &device) {
                                                       device.readSdo.resize(31);
                                                   }) + QByteArray(20, '\x19'));
}

void addForeignBlocks(std::vector<MalformedReply> &cases) {
    const auto add = [&cases](const char *name, QByteArray bytes) {
        cases.push_back({QString::fromLatin1(name), std::move(bytes), false});
    };
    QByteArray wrongSignature = encodeReply(baselineGeneral());
    wrongSignature[7] = 0x76;
    add("general reply with a wrong signature byte", wrongSignature);
    QByteArray unknownKind = encodeReply(kMalformedBaselineEthernet);
    unknownKind[10] = 'J';
    add("reply of unknown kind J", unknownKind);
    QByteArray lowerCaseKind = encodeReply(baselineTables());
    lowerCaseKind[10] = 'h';
    add("reply of kind h in lower case", lowerCaseKind);
    add("short block with a wrong signature byte", hex("0102000000061976"));
    add("answer to a write command", hex("010200000006011000000002"));
    add("garbage block", QByteArray(64, '\xA5'));
    add("signature one byte late", hex("01020000000600197504014900c0a8ff03ffffff00c0a8ff01"));
    add("baseline Ethernet reply followed by garbage",
        encodeReply(kMalformedBaselineEthernet) + hex("00112233445566778899"));
}

} // namespace

QByteArray malformedBaselineStream() {
    return encodeReply(kMalformedBaselineEthernet) + encodeReply(baselineGeneral()) +
           encodeReply(baselineTables());
}

std::vector<MalformedReply> malformedReplies() {
    std::vector<MalformedReply> cases;
    addTruncations(cases);
    addRefusedContents(cases);
    addForeignBlocks(cases);
    return cases;
}

std::string malformedCaseName(const MalformedReply &reply) {
    std::string name;
    for (QChar c : reply.name)
        name += c.isLetterOrNumber() ? char(c.toLatin1()) : '_';
    return name;
}

} // namespace tolvar
