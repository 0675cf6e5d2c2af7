#include "support/MalformedReplies.h"

#include "link/ReplyEncoder.h"
#include "support/ReplyFixtures.h"

namespace tolvar {

namespace {

using fixtures::hexBytes;

GeneralReply baselineGeneral() {
    return GeneralReply{kMalformedDeviceCount,
                        1,
                        3,
                        10,
                        0,
                        100,
                        {DeviceRecord{1, 1000, {1, 3, 1, 1, 1, 1, 1, 0}, 2, 1, 2, 2},
                         DeviceRecord{5, 500, {1, 6, 1, 0, 0, 1, 0, 0}, 1, 1, 1, 0}},
                        {1, 3, 2, 1, 1, 0}};
}

// Layout of the table reply (offsets from the start of the block):
//   12 device 1 node ID, 13 TxPDO count, 14..20 and 21..26 TxPDO entries, 27 RxPDO count,
//   28..34 RxPDO entry, 35 Read SDO count, 36..40 (word) and 41..44, 45 Write SDO count,
//   46..50 (word) and 51..54; 55 device 2 node ID, 56 TxPDO count, 57..68 TxPDO entry,
//   69 RxPDO count, 70..74 RxPDO entry, 75 Read SDO count, 76..79, 80 Write SDO count.
TableReply baselineTables() {
    const DeviceTables first{
        1,
        {PdoEntry{0x181, 0, 3, hexBytes("010202")}, PdoEntry{0x182, 1, 2, hexBytes("0101")}},
        {PdoEntry{0x201, 1, 3, hexBytes("000303")}},
        {SdoEntry{0x6000, 1, 2, true}, SdoEntry{0x6001, 2, 1, false}},
        {SdoEntry{0x6200, 1, 3, true}, SdoEntry{0x6201, 1, 0, false}}};
    const DeviceTables second{5,
                              {PdoEntry{0x185, 0, 8, hexBytes("0101020201010101")}},
                              {PdoEntry{0x205, 0, 1, hexBytes("00")}},
                              {SdoEntry{0x2000, 1, 1, false}},
                              {}};
    return TableReply{{first, second}};
}

// The baseline table reply with one table of one device (0 = first in the list) replaced.
template <typename Entry>
QByteArray tablesWith(std::size_t position, std::vector<Entry> DeviceTables::*table,
                      std::vector<Entry> entries) {
    TableReply tables = baselineTables();
    tables.devices[position].*table = std::move(entries);
    return encodeReply(tables);
}

QByteArray generalListing(int devices) {
    GeneralReply general = baselineGeneral();
    general.deviceCount = quint8(devices);
    general.devices.assign(std::size_t(devices), general.devices.front());
    return encodeReply(general);
}

using Fate = MalformedReply::Fate;

struct Cases {
    void add(const char *name, QByteArray bytes, Fate fate = Fate::Refused) {
        list.push_back({QString::fromLatin1(name), std::move(bytes), fate});
    }
    // The first `length` bytes of a reply: a reply once its kind byte is there.
    void cut(const char *name, const Reply &reply, int length) {
        add(name, encodeReply(reply).left(length),
            length > reply::kKind ? Fate::Dropped : Fate::Ignored);
    }
    void ignore(const char *name, QByteArray bytes) { add(name, std::move(bytes), Fate::Ignored); }
    std::vector<MalformedReply> list;
};

void addTruncations(Cases &cases) {
    const Reply ethernet = kMalformedBaselineEthernet;
    const Reply general = baselineGeneral();
    const Reply tables = baselineTables();
    cases.cut("envelope cut after 3 bytes", general, 3);
    cases.cut("envelope cut inside the signature", general, 8);
    cases.cut("envelope cut before the kind", tables, 10);
    cases.cut("Ethernet reply with its envelope only", ethernet, 12);
    cases.cut("Ethernet reply cut inside the mask", ethernet, 18);
    cases.cut("Ethernet reply missing its last byte", ethernet, 23);
    cases.cut("general reply cut before the device count", general, 12);
    cases.cut("general reply cut inside its header", general, 16);
    cases.cut("general reply cut inside the first device record", general, 30);
    cases.cut("general reply cut between the device records", general, 42);
    cases.cut("general reply cut inside the second device record", general, 60);
    cases.cut("general reply cut inside the serial bytes", general, 67);
    cases.cut("general reply missing the listen mode byte", general, 70);
    cases.cut("table reply cut after the node ID", tables, 13);
    cases.cut("table reply cut inside a TxPDO COB-ID", tables, 15);
    cases.cut("table reply cut inside the TxPDO type bytes", tables, 19);
    cases.cut("table reply cut before the word's second type byte", tables, 20);
    cases.cut("table reply cut before the RxPDO count", tables, 27);
    cases.cut("table reply cut inside an RxPDO entry", tables, 31);
    cases.cut("table reply cut inside a Read SDO entry", tables, 38);
    cases.cut("table reply cut before a Read SDO word's second code", tables, 40);
    cases.cut("table reply cut inside a Write SDO entry", tables, 52);
    cases.cut("table reply cut between the devices", tables, 55);
    cases.cut("table reply cut inside the second device's TxPDO entry", tables, 64);
    cases.cut("table reply missing the last Write SDO count", tables, 80);
    cases.add("table reply holding one device where two are shown",
              encodeReply(TableReply{{baselineTables().devices.front()}}), Fate::Dropped);
    cases.ignore("short block of 5 bytes", hexBytes("0102000000"));
    cases.add("baseline Ethernet reply followed by the start of a general reply",
              encodeReply(ethernet) + encodeReply(general).left(15), Fate::Dropped);
    cases.add("general reply cut short and followed by garbage",
              encodeReply(general).left(30) + QByteArray(8, 'x'), Fate::Dropped);
}

void addRefusedContents(Cases &cases) {
    const PdoEntry tx{0x181, 0, 0, {}};
    const SdoEntry sdo{0x6000, 1, 1, false};
    cases.add("general reply listing 0 devices", generalListing(0));
    cases.add("general reply listing 11 devices", generalListing(11));
    cases.add("general reply header listing 255 devices", hexBytes("010200000006197504014700ff"));
    cases.add("table reply with 201 TxPDO entries",
              tablesWith(0, &DeviceTables::txPdo, std::vector(201, tx)));
    cases.add("table reply with 201 RxPDO entries in device 2",
              tablesWith(1, &DeviceTables::rxPdo, std::vector(201, tx)));
    cases.add("table reply with 31 Read SDO entries",
              tablesWith(0, &DeviceTables::readSdo, std::vector(31, sdo)));
    cases.add("table reply with 31 Write SDO entries in device 2",
              tablesWith(1, &DeviceTables::writeSdo, std::vector(31, sdo)));
    cases.add("TxPDO entry with 9 data bytes",
              tablesWith(0, &DeviceTables::txPdo, {{0x181, 0, 9, hexBytes("010101010101010101")}}));
    cases.add("RxPDO entry with data length 255",
              tablesWith(1, &DeviceTables::rxPdo, {{0x205, 0, 255, QByteArray(255, '\0')}}));
    cases.add("TxPDO word starting at Byte7",
              tablesWith(1, &DeviceTables::txPdo, {{0x185, 0, 8, hexBytes("010101010101010202")}}));
    cases.add("RxPDO word starting at Byte7",
              tablesWith(0, &DeviceTables::rxPdo, {{0x201, 0, 8, hexBytes("000000000000000303")}}));
    cases.add("invalid table reply followed by garbage",
              tablesWith(0, &DeviceTables::readSdo, std::vector(31, sdo)) + QByteArray(20, '\x19'));
}

// A copy of `bytes` with one byte changed.
QByteArray withByte(QByteArray bytes, int offset, char value) {
    bytes[offset] = value;
    return bytes;
}

void addForeignBlocks(Cases &cases) {
    cases.ignore("general reply with a wrong signature byte",
                 withByte(encodeReply(baselineGeneral()), 7, 0x76));
    cases.ignore("reply of unknown kind J",
                 withByte(encodeReply(kMalformedBaselineEthernet), 10, 'J'));
    cases.ignore("reply of kind h in lower case", withByte(encodeReply(baselineTables()), 10, 'h'));
    cases.ignore("short block with a wrong signature byte", hexBytes("0102000000061976"));
    cases.ignore("answer to a write command", hexBytes("010200000006011000000002"));
    cases.ignore("garbage block", QByteArray(64, '\xA5'));
    // The stray byte is skipped; the reply after it holds the baseline address.
    cases.ignore("stray byte before a reply",
                 hexBytes("01020000000600197504014900c0a8ff03ffffff00c0a8ff01"));
    cases.ignore("baseline Ethernet reply followed by garbage",
                 encodeReply(kMalformedBaselineEthernet) + hexBytes("00112233445566778899"));
}

} // namespace

QByteArray malformedBaselineStream() {
    return encodeReply(kMalformedBaselineEthernet) + encodeReply(baselineGeneral()) +
           encodeReply(baselineTables());
}

std::vector<MalformedReply> malformedReplies() {
    Cases cases;
    addTruncations(cases);
    addRefusedContents(cases);
    addForeignBlocks(cases);
    return cases.list;
}

void PrintTo(const MalformedReply &reply, std::ostream *out) {
    *out << reply.name.toStdString();
}

std::string malformedCaseName(const MalformedReply &reply) {
    std::string name;
    for (QChar c : reply.name)
        name += c.isLetterOrNumber() ? char(c.toLatin1()) : '_';
    return name;
}

} // namespace tolvar
