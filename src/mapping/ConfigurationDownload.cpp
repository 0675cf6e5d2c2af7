#include "mapping/ConfigurationDownload.h"

#include "link/GatewayLink.h"
#include "link/Waits.h"

#include <QCoreApplication>

namespace tolvar {

namespace {

int frameCount(const DownloadPlan &plan) {
    return (plan.ethernetFrame ? 1 : 0) + 1 + int(plan.tableFrames.size());
}

} // namespace

int downloadSeconds(const DownloadPlan &plan) {
    return 2 + int(plan.tableFrames.size());
}

ConfigurationDownload::ConfigurationDownload(GatewayLink &link, int secondMs, QObject *parent)
    : QObject(parent), m_link(link), m_secondMs(secondMs) {}

bool ConfigurationDownload::stillConnected() const {
    return m_link.isConnected() && m_link.connectionNumber() == m_connection;
}

void ConfigurationDownload::wait(int seconds) {
    waitMilliseconds(seconds * m_secondMs);
}

bool ConfigurationDownload::sendFrame(const QByteArray &frame, DownloadOutcome &outcome,
                                      int waitsLeft) {
    if (!stillConnected() || !m_link.send(frame))
        return false;
    ++outcome.sent;
    emit progressed(outcome.sent, outcome.total, waitsLeft);
    return true;
}

DownloadOutcome ConfigurationDownload::run(const DownloadPlan &plan) {
    m_connection = m_link.connectionNumber();
    DownloadOutcome outcome{0, frameCount(plan), stillConnected(), false};
    const int tables = int(plan.tableFrames.size());
    emit progressed(0, outcome.total, downloadSeconds(plan));
    if (plan.ethernetFrame && stillConnected())
        sendFrame(*plan.ethernetFrame, outcome, downloadSeconds(plan));
    QCoreApplication::processEvents();
    if (stillConnected()) {
        sendFrame(plan.generalFrame, outcome, downloadSeconds(plan));
        wait(1);
    }
    // The gateway takes its time with the general settings, connected or not.
    wait(1);
    for (int i = 0; i < tables && stillConnected(); ++i) {
        if (!sendFrame(plan.tableFrames[std::size_t(i)], outcome, tables - i))
            break;
        wait(1);
        QCoreApplication::processEvents();
    }
    outcome.complete = outcome.sent == outcome.total && stillConnected();
    return outcome;
}

} // namespace tolvar
