#include "support/ReplyFixtures.h"

#include "link/ReadBackModel.h"
#include "network/DeviceList.h"

namespace tolvar::fixtures {

QByteArray hexBytes(const char *hex) {
    return QByteArray::fromHex(hex);
}

GeneralReply generalListing(int devices) {
    GeneralReply general;
    general.deviceCount = quint8(devices);
    for (int k = 0; k < devices; ++k)
        general.devices.push_back(DeviceRecord{.nodeId = quint8(k + 1)});
    return general;
}

TableReply maximalTableReply() {
    const PdoEntry tx{0x181, 0, 8, hexBytes("0102020102020101")};
    const PdoEntry rx{0x201, 1, 8, hexBytes("0003030003030000")};
    DeviceTables device{1, std::vector(kMaxPdoRows, tx), std::vector(kMaxPdoRows, rx), {}, {}};
    for (int j = 0; j < kMaxSdoRows; ++j) {
        const bool word = j % 2 == 0;
        device.readSdo.push_back(SdoEntry{0x6000, quint8(j), quint8(word ? 2 : 1), word});
        device.writeSdo.push_back(SdoEntry{0x6200, quint8(j), quint8(word ? 3 : 0), word});
    }
    return TableReply{std::vector(kMaxDevices, device)};
}

void ReadBackHarness::feed(QByteArrayView block) {
    m_assembler.append(block);
    takeAll();
}

void ReadBackHarness::requestSent() {
    m_assembler.startWindow();
    takeAll();
}

void ReadBackHarness::takeAll() {
    for (;;) {
        ReplyAssembler::Step step = m_assembler.next(shownDeviceCount);
        if (std::holds_alternative<std::monostate>(step))
            return;
        if (const auto *refusal = std::get_if<ReplyAssembler::Refusal>(&step)) {
            refusals << refusal->reason;
            continue;
        }
        replies.push_back(std::get<Reply>(step));
        apply(replies.back());
    }
}

void ReadBackHarness::apply(const Reply &reply) {
    if (const auto *ethernet = std::get_if<EthernetReply>(&reply)) {
        shownEthernet = *ethernet;
    } else if (const auto *general = std::get_if<GeneralReply>(&reply)) {
        shownDeviceCount = general->deviceCount;
        changeDeviceAmount(config, general->deviceCount);
        counters.resetNumbers();
        storeDeviceRecords(config, *general);
        storeSerialSettings(config, general->serial);
    } else if (const auto *tables = std::get_if<TableReply>(&reply)) {
        if (auto problem = checkTableReply(config, *tables))
            refusals << *problem;
        else
            applyTableReply(config, counters, *tables);
    }
}

} // namespace tolvar::fixtures
