#include "link/ExpectedReplies.h"

#include <QStringList>

#include <optional>

namespace tolvar {
namespace {

constexpr std::array kNames{"Ethernet", "general", "table"};

std::size_t slotOf(ReadCommand command) {
    switch (command) {
    case ReadCommand::ReadParams:
        return 0;
    case ReadCommand::ReadGeneral:
        return 1;
    case ReadCommand::ReadTables:
        break;
    }
    return 2;
}

std::optional<std::size_t> slotOf(const Reply &reply) {
    if (std::holds_alternative<EthernetReply>(reply))
        return 0;
    if (std::holds_alternative<GeneralReply>(reply))
        return 1;
    if (std::holds_alternative<TableReply>(reply))
        return 2;
    return std::nullopt;
}

} // namespace

void ExpectedReplies::expect(ReadCommand command) {
    ++m_awaited[slotOf(command)];
}

bool ExpectedReplies::take(const Reply &reply) {
    const auto slot = slotOf(reply);
    if (!slot || m_awaited[*slot] == 0)
        return false;
    --m_awaited[*slot];
    return true;
}

QString ExpectedReplies::missing() const {
    QStringList names;
    for (std::size_t slot = 0; slot < m_awaited.size(); ++slot) {
        if (m_awaited[slot] > 0)
            names << QLatin1String(kNames[slot]);
    }
    if (names.isEmpty())
        return {};
    const QString last = names.takeLast();
    if (names.isEmpty())
        return QStringLiteral("the %1 reply").arg(last);
    return QStringLiteral("the %1 and %2 replies").arg(names.join(QStringLiteral(", ")), last);
}

} // namespace tolvar
