#pragma once

#include "link/ReadBackCounters.h"
#include "link/Replies.h"
#include "model/GatewayConfig.h"

#include <QString>

#include <array>
#include <optional>

namespace tolvar {

// What the network parameters window holds beyond the model, as its controls show it. The
// defaults are the window's initial contents.
struct NetworkTexts {
    std::array<QString, 4> ip{"192", "168", "255", "3"};      // IPText1..4
    std::array<QString, 4> mask{"255", "255", "0", "0"};      // MaskText1..4
    std::array<QString, 4> gateway{"192", "168", "255", "4"}; // GatewayText1..4
    QString deviceAmount = QStringLiteral("1");               // DevicesNumCombo
    QString serialId = QStringLiteral("1");                   // KestoCombo
    int canBitRateCode = 0;                                   // CANopenBaudRate
    QString sync = QStringLiteral("0");                       // SyncCombo
    QString syncTime = QStringLiteral("0");                   // SYCNTimeText
    bool operator==(const NetworkTexts &) const = default;
};

// A read-back kept apart from the windows: replies are taken as the data-arrival handler takes
// them, into a model of its own and the texts the network window would show.
class ReadBackCopy {
public:
    void take(const Reply &reply);

    // The device amount a table reply is read with, as the window would read it.
    int deviceAmount() const;
    // All three replies arrived and the table reply fitted the device list.
    bool complete() const { return m_ethernet && m_general && m_tables && !m_refusal; }
    // Why the table reply was not taken, if it was not.
    const std::optional<QString> &refusal() const { return m_refusal; }

    GatewayConfig model;
    NetworkTexts network;
    ReadBackCounters counters;

private:
    void takeGeneral(const GeneralReply &reply);
    void takeTables(const TableReply &reply);

    bool m_ethernet = false;
    bool m_general = false;
    bool m_tables = false;
    std::optional<QString> m_refusal;
};

} // namespace tolvar
