#include "files/ReadBackCopy.h"

#include "link/ReadBackModel.h"
#include "model/NumericText.h"
#include "network/CanBitRates.h"
#include "network/DeviceList.h"

namespace tolvar {
namespace {

void takeOctets(std::array<QString, 4> &texts, const std::array<quint8, 4> &octets) {
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = QString::number(octets[i]);
}

} // namespace

void ReadBackCopy::take(const Reply &reply) {
    if (const auto *ethernet = std::get_if<EthernetReply>(&reply)) {
        takeOctets(network.ip, ethernet->ip);
        takeOctets(network.mask, ethernet->mask);
        takeOctets(network.gateway, ethernet->gateway);
        m_ethernet = true;
    } else if (const auto *general = std::get_if<GeneralReply>(&reply)) {
        takeGeneral(*general);
    } else if (const auto *tables = std::get_if<TableReply>(&reply)) {
        takeTables(*tables);
    }
}

int ReadBackCopy::deviceAmount() const {
    return int(readWholeNumber(network.deviceAmount));
}

// In the order of the window: the device amount starts the device list afresh first.
void ReadBackCopy::takeGeneral(const GeneralReply &reply) {
    network.deviceAmount = QString::number(reply.deviceCount);
    changeDeviceAmount(model, deviceAmount());
    counters.resetNumbers();
    network.serialId = QString::number(reply.serialId);
    // A code the window cannot show leaves the bit rate as it was.
    if (const auto rate = canBitRateByCode(reply.canBitRateCode))
        network.canBitRateCode = rate->code;
    network.sync = QString::number(reply.sync);
    network.syncTime = QString::number(reply.syncTime);
    storeDeviceRecords(model, reply);
    storeSerialSettings(model, reply.serial);
    m_general = true;
}

void ReadBackCopy::takeTables(const TableReply &reply) {
    m_tables = true;
    m_refusal = checkTableReply(model, reply);
    if (!m_refusal)
        applyTableReply(model, counters, reply);
}

} // namespace tolvar
