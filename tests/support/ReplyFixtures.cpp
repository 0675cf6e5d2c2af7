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

void ReadBackHarness::feed(QByteArrayView block) {
    if (auto refusal = m_assembler.append(block))
        refusals << refusal->reason;
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

void ReadBackHarness::waitOut() {
    if (auto refusal = m_assembler.dropPending())
        refusals << refusal->reason;
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
    } else if (auto problem = checkTableReply(config, std::get<TableReply>(reply))) {
        refusals << *problem;
    } else {
        applyTableReply(config, counters, std::get<TableReply>(reply));
    }
}

} // namespace tolvar::fixtures
