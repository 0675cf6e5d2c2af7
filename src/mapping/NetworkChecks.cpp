#include "mapping/NetworkChecks.h"

#include "mapping/CellNumber.h"
#include "mapping/ListedDevices.h"

#include <QHash>

#include <algorithm>

namespace tolvar {
namespace {

constexpr int kTxCobIdColumn = 1;
constexpr int kRxCobIdColumn = 2;
constexpr int kDataLengthColumn = 3;

// CAN identifiers the CANopen services keep for themselves (CiA 301).
struct RestrictedRange {
    quint16 first;
    quint16 last;
    const char *service;
};
constexpr RestrictedRange kRestrictedRanges[] = {
    {0x000, 0x07F, "NMT"},        {0x101, 0x180, "SYNC, emergency and time stamp"},
    {0x581, 0x5FF, "SDO"},        {0x601, 0x67F, "SDO"},
    {0x6E0, 0x6FF, "future use"}, {0x701, 0x77F, "heartbeat and node guarding"},
    {0x780, 0x7FF, "LSS"},
};

QString hex(int value) {
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(value, 3, 16, QLatin1Char('0')).toUpper();
}

struct Pdo {
    int position = 0;
    int device = 0;
    bool receive = false; // an RxPDO; otherwise a TxPDO
    int row = 0;
    quint16 cobId = 0;

    QString tableName() const {
        return receive ? QStringLiteral("RxPDO") : QStringLiteral("TxPDO");
    }
    QString name() const {
        return QStringLiteral("device %1, %2 row %3").arg(device).arg(tableName()).arg(row);
    }
};

// A TxPDO of one device taken by an RxPDO of another is a link; any other pair collides.
bool isLink(const Pdo &a, const Pdo &b) {
    return a.receive != b.receive && a.position != b.position;
}

class Checker {
public:
    Checker(const GatewayConfig &config, std::vector<Finding> &findings)
        : m_config(config), m_findings(findings) {}

    void checkNodeId(int position, int device) {
        const quint8 node = m_config.NodeID[std::size_t(position)];
        for (int earlier = 0; earlier < position; ++earlier) {
            const int other = m_config.DeviceOrder[std::size_t(earlier)];
            if (!isDeviceNumber(other) || m_config.NodeID[std::size_t(earlier)] != node)
                continue;
            add(Severity::Fault, device, {}, 0,
                QStringLiteral("Node ID %1 is also the node ID of device %2. Every device on "
                               "the bus needs its own node ID: change it in the device's "
                               "settings.")
                    .arg(node)
                    .arg(other));
            return;
        }
    }

    void checkPdo(const CellTable &table, const Pdo &pdo) {
        checkRange(pdo);
        checkDataLength(table, pdo);
        checkShared(pdo);
        m_seen[pdo.cobId].push_back(pdo);
    }

private:
    void add(Severity severity, int device, const QString &table, int row, QString message) {
        m_findings.push_back(Finding{severity, device, table, row, std::move(message)});
    }
    void add(Severity severity, const Pdo &pdo, QString message) {
        add(severity, pdo.device, pdo.tableName(), pdo.row, std::move(message));
    }

    void checkRange(const Pdo &pdo) {
        for (const RestrictedRange &range : kRestrictedRanges) {
            if (pdo.cobId < range.first || pdo.cobId > range.last)
                continue;
            add(Severity::Fault, pdo,
                QStringLiteral("COB-ID %1 lies in %2 to %3, which CANopen keeps for %4. Give "
                               "the PDO a COB-ID outside the restricted ranges, for instance "
                               "from the PDO ranges 0x181 to 0x57F.")
                    .arg(hex(pdo.cobId), hex(range.first), hex(range.last),
                         QLatin1String(range.service)));
            return;
        }
    }

    void checkDataLength(const CellTable &table, const Pdo &pdo) {
        if (lowByte(cellNumber(table.cell(pdo.device, pdo.row, kDataLengthColumn))) != 0)
            return;
        int typed = 0;
        for (int byte = 0; byte < kPdoDataBytes; ++byte)
            typed += table.cell(pdo.device, pdo.row, kFirstPdoByteColumn + byte).isEmpty() ? 0 : 1;
        if (typed == 0)
            return;
        add(Severity::Fault, pdo,
            QStringLiteral("It maps %1 data byte(s), but its data length is 0, so none of them "
                           "is sent. Set the data length to cover the typed bytes, or delete "
                           "the row.")
                .arg(typed));
    }

    // Against every earlier PDO with the same COB-ID: a collision with any of them is a fault;
    // otherwise a link with the first is information.
    void checkShared(const Pdo &pdo) {
        const auto earlier = m_seen.constFind(pdo.cobId);
        if (earlier == m_seen.cend())
            return;
        const auto collision =
            std::find_if(earlier->cbegin(), earlier->cend(),
                         [&pdo](const Pdo &other) { return !isLink(pdo, other); });
        if (collision != earlier->cend()) {
            add(Severity::Fault, pdo,
                QStringLiteral("COB-ID %1 is also the COB-ID of %2. Two PDOs with one COB-ID "
                               "collide on the bus: give one of them another COB-ID.")
                    .arg(hex(pdo.cobId), collision->name()));
            return;
        }
        const Pdo &other = earlier->front();
        const Pdo &sender = pdo.receive ? other : pdo;
        const Pdo &receiver = pdo.receive ? pdo : other;
        add(Severity::Information, pdo,
            QStringLiteral("COB-ID %1 is also the COB-ID of %2: device %3 receives what device "
                           "%4 sends, a link between the two. If no link is meant, give one of "
                           "them another COB-ID.")
                .arg(hex(pdo.cobId), other.name())
                .arg(receiver.device)
                .arg(sender.device));
    }

    const GatewayConfig &m_config;
    std::vector<Finding> &m_findings;
    QHash<quint16, std::vector<Pdo>> m_seen;
};

void checkPdoTable(const GatewayConfig &config, Checker &checker, int position,
                   const ListedDevice &device, bool receive) {
    const CellTable &table = receive ? config.RxPDOTable : config.TxPDOTable;
    const int rows = receive ? device.rxPdoRows : device.txPdoRows;
    const int cobIdColumn = receive ? kRxCobIdColumn : kTxCobIdColumn;
    for (int row = 1; row <= rows; ++row) {
        const quint16 cobId = lowWord(cellNumber(table.cell(device.number, row, cobIdColumn)));
        checker.checkPdo(table, Pdo{position, device.number, receive, row, cobId});
    }
}

} // namespace

std::vector<Finding> checkNetwork(const GatewayConfig &config, int deviceAmount) {
    std::vector<Finding> findings;
    Checker checker(config, findings);
    for (int position = 0; position < listedCount(deviceAmount); ++position) {
        const ListedDevice device = listedDevice(config, position);
        if (device.number == 0)
            continue;
        checker.checkNodeId(position, device.number);
        checkPdoTable(config, checker, position, device, false);
        checkPdoTable(config, checker, position, device, true);
    }
    return findings;
}

bool hasFault(const std::vector<Finding> &findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding &f) { return f.severity == Severity::Fault; });
}

QString findingText(const Finding &finding) {
    QString place = QStringLiteral("device %1").arg(finding.device);
    if (!finding.table.isEmpty())
        place += QStringLiteral(", %1 row %2").arg(finding.table).arg(finding.row);
    const QString severity = finding.severity == Severity::Fault ? QStringLiteral("Fault")
                                                                 : QStringLiteral("Information");
    return QStringLiteral("%1: %2: %3").arg(severity, place, finding.message);
}

} // namespace tolvar
