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

void ConfigurationDownload::wait(int seconds) {
    waitMilliseconds(seconds * m_secondMs);
}

bool ConfigurationDownload::sendFrame(const QByteArray &frame, DownloadOutcome &outcome,
                                      int waitsLeft) {
    if (!m_link.send(frame))
        return false;
    ++outcome.sent;
    emit progressed(outcome.sent, outcome.total, waitsLeft);
    return true;
}

DownloadOutcome ConfigurationDownload::run(const DownloadPlan &plan) {
    DownloadOutcome outcome{0, frameCount(plan), m_link.isConnected(), false};
    const int tables = int(plan.tableFrames.size());
    emit progressed(0, outcome.total, downloadSeconds(plan));
    if (plan.ethernetFrame && m_link.isConnected())
        sendFrame(*plan.ethernetFrame, outcome, downloadSeconds(plan));
    QCoreApplication::processEvents();
    if (m_link.isConnected()) {
        sendFrame(plan.generalFrame, outcome, downloadSeconds(plan));
        wait(1);
    }
    // The gateway takes its time with the general settings, connected or not.
    wait(1);
    for (int i = 0; i < tables && m_link.isConnected(); ++i) {
        if (!sendFrame(plan.tableFrames[std::size_t(i)], outcome, tables - i))
            break;
        wait(1);
        QCoreApplication::processEvents();
    }
    outcome.complete = outcome.sent == outcome.total && m_link.isConnected();
    return outcome;
}

} // namespace tolvar
