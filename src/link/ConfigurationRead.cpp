#include "link/ConfigurationRead.h"

#include "link/ExpectedReplies.h"
#include "link/GatewayLink.h"

#include <QEventLoop>

#include <array>

namespace tolvar {
namespace {

constexpr std::array<ReadCommand, ConfigurationRead::kRequests> kReadCommands{
    ReadCommand::ReadParams, ReadCommand::ReadGeneral, ReadCommand::ReadTables};

} // namespace

ConfigurationRead::ConfigurationRead(GatewayLink &link, ExpectedReplies &expected, int secondMs,
                                     QObject *parent)
    : QObject(parent), m_link(link), m_expected(expected), m_secondMs(secondMs) {
    m_timer.setSingleShot(true);
    // A coarse timer may fire a little early; each answer window lasts its full second.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ConfigurationRead::sendNext);
}

void ConfigurationRead::start(quint8 unitId) {
    m_unitId = unitId;
    m_next = 0;
    m_connection = m_link.connectionNumber();
    m_running = true;
    sendNext();
}

void ConfigurationRead::run(quint8 unitId) {
    QEventLoop loop;
    connect(this, &ConfigurationRead::finished, &loop, &QEventLoop::quit);
    start(unitId);
    if (m_running)
        loop.exec();
}

bool ConfigurationRead::onSameConnection() const {
    return m_link.isConnected() && m_link.connectionNumber() == m_connection;
}

void ConfigurationRead::sendNext() {
    if (m_next == kReadCommands.size() || !onSameConnection()) {
        m_running = false;
        emit finished();
        return;
    }
    const ReadCommand command = kReadCommands[m_next++];
    if (m_link.send(readCommandFrame(command, m_unitId)))
        m_expected.expect(command);
    m_timer.start(m_secondMs);
}

} // namespace tolvar
