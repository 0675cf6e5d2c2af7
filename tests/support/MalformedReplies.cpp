#include "support/MalformedReplies.h"

#include "gateway/ReplyEncoder.h"
#include "support/ReplyFixtures.h"

namespace tolvar {

namespace {

using fixtures::hexBytes;

GeneralReply baselineGeneral() {
    GeneralReply general{kMalformedDeviceCount, 1, 3, 10, 0, 100, {}, {1, 3, 2, 1, 1, 0}};
    general.devices = {{1, 1000, {1, 3, 1, 1, 1, 1, 1, 0}, 2, 1, 2, 2},
                       {5, 500, {1, 6, 1, 0, 0, 1, 0, 0}, 1, 1, 1, 0}};
    return general;
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

// A copy of `bytes` with one byte changed.
QByteArray withByte(QByteArray bytes, int offset, char value) {
    bytes[offset] = value;
    return bytes;
}

} // namespace

QByteArray malformedBaselineStream() {
    return encodeReply(kMalformedBaselineEthernet) + encodeReply(baselineGeneral()) +
           encodeReply(baselineTables());
}

std::vector<MalformedReply> malformedReplies() {
    using enum MalformedReply::Fate;
    std::vector<MalformedReply> cases;
    const auto add = [&cases](const QString &name, QByteArray bytes, MalformedReply::Fate fate) {
        cases.push_back({name, std::move(bytes), fate});
    };
    // The first bytes of each reply, cut inside or just before every field the reader walks: a
    // reply once its kind byte is there. Table cuts by the layout above baselineTables().
    const std::tuple<const char *, Reply, std::vector<int>> cuts[] = {
        {"Ethernet", kMalformedBaselineEthernet, {3, 12, 18, 23}},
        {"general", baselineGeneral(), {8, 12, 16, 30, 42, 60, 67, 70}},
        {"table", baselineTables(), {10, 13, 15, 19, 20, 27, 31, 38, 40, 52, 55, 64, 80}}};
    for (const auto &[kind, reply, lengths] : cuts) {
        for (int length : lengths)
            add(QString("%1 reply cut to %2 bytes").arg(kind).arg(length),
                encodeReply(reply).left(length), length > reply::kKind ? Dropped : Ignored);
    }
    add("table reply holding one device where two are shown",
        encodeReply(TableReply{{baselineTables().devices.front()}}), Dropped);
    // A device amount the model cannot hold; the answer-window corpus refuses the other counts
    // and lengths with their texts.
    add("general reply listing 0 devices", encodeReply(fixtures::generalListing(0)), Refused);
    // Blocks in which no reply begins.
    add("general reply with a wrong signature byte",
        withByte(encodeReply(baselineGeneral()), 7, 0x76), Ignored);
    add("reply of unknown kind J", withByte(encodeReply(kMalformedBaselineEthernet), 10, 'J'),
        Ignored);
    add("garbage block", QByteArray(64, '\xA5'), Ignored);
    // The stray byte is skipped; the reply after it holds the baseline address.
    add("stray byte before a reply", hexBytes("01020000000600197504014900c0a8ff03ffffff00c0a8ff01"),
        Ignored);
    return cases;
}

std::string malformedCaseName(const MalformedReply &reply) {
    std::string name;
    for (QChar c : reply.name)
        name += c.isLetterOrNumber() ? char(c.toLatin1()) : '_';
    return name;
}

} // namespace tolvar
