#include "support/ReplyFixtures.h"

#include "link/ReadBackModel.h"

namespace tolvar::fixtures {

QByteArray hexBytes(const char *hex) {
    return QByteArray::fromHex(hex);
}

void chooseDeviceCount(GatewayConfig &config, int devices) {
    config.TxPDOTable.clear();
    config.RxPDOTable.clear();
    config.ReadSDOTable.clear();
    config.WriteSDOTable.clear();
    config.DeviceOrder.fill(0);
    for (int kind = 0; kind < kItemKinds; ++kind)
        config.total(static_cast<ItemKind>(kind)) = 0;
    for (int k = 0; k < devices && k < kMaxDevices; ++k)
        config.DeviceOrder[std::size_t(k)] = qint16(k + 1);
}

void ReadBackHarness::feed(QByteArrayView block) {
    if (auto refusal = m_assembler.append(block))
        refusals << refusal->reason;
    takeReplies();
}

void ReadBackHarness::waitOut() {
    if (auto refusal = m_assembler.dropPending())
        refusals << refusal->reason;
}

void ReadBackHarness::takeReplies() {
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
        chooseDeviceCount(config, general->deviceCount);
        counters.resetNumbers();
        storeDeviceRecords(config, *general);
        storeSerialSettings(config, general->serial);
    } else {
        const auto &tables = std::get<TableReply>(reply);
        if (auto problem = checkTableReply(config, tables))
            refusals << *problem;
        else
            applyTableReply(config, counters, tables);
    }
}

} // namespace tolvar::fixtures
