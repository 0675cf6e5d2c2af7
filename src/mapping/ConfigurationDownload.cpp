#include "mapping/ConfigurationDownload.h"

#include "link/GatewayLink.h"
#include "link/Waits.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace tolvar {

namespace {

int frameCount(const DownloadPlan &plan) {
    return (plan.ethernetFrame ? 1 : 0) + 1 + int(plan.tableFrames.size());
}

} // namespace

int downloadSeconds(const DownloadPlan &plan) {
    return 2 + int(plan.tableFrames.size());
}

namespace {

// The common exception codes, as a user may look them up.
QString exceptionName(quint8 code) {
    switch (code) {
    case 1:
        return QStringLiteral("illegal function");
    case 2:
        return QStringLiteral("illegal data address");
    case 3:
        return QStringLiteral("illegal data value");
    case 4:
        return QStringLiteral("server device failure");
    case 6:
        return QStringLiteral("server device busy");
    default:
        return QStringLiteral("code %1").arg(code);
    }
}

} // namespace

QString downloadOutcomeText(const DownloadOutcome &outcome, bool verifying) {
    if (!outcome.connectedAtStart)
        return QStringLiteral("Not connected to the gateway: nothing was sent.");
    if (outcome.refusal)
        return QStringLiteral("Download stopped: the gateway refused %1 with Modbus exception %2 "
                              "(%3); %4 of %5 frames were sent.")
            .arg(outcome.refusedFrame)
            .arg(outcome.refusal->code)
            .arg(exceptionName(outcome.refusal->code))
            .arg(outcome.sent)
            .arg(outcome.total);
    if (outcome.untakenBytes > 0)
        return QStringLiteral("Download stopped: the gateway stopped taking the frames; %1 bytes "
                              "of the %2 frames were never taken.")
            .arg(outcome.untakenBytes)
            .arg(outcome.total);
    if (!outcome.complete)
        return QStringLiteral("Download stopped: the connection was lost after %1 of %2 frames.")
            .arg(outcome.sent)
            .arg(outcome.total);
    return verifying ? QStringLiteral("Configuration sent, not yet verified: all %1 frames; reading "
                                      "it back from the gateway...")
                           .arg(outcome.total)
                     : QStringLiteral("Configuration sent (not verified): all %1 frames.")
                           .arg(outcome.total);
}

ConfigurationDownload::ConfigurationDownload(GatewayLink &link, int secondMs, QObject *parent)
    : QObject(parent), m_link(link), m_secondMs(secondMs) {
    connect(&m_link, &GatewayLink::replyReceived, this, &ConfigurationDownload::takeReply);
}

// An exception answers a write: the download ends without waiting out its second.
void ConfigurationDownload::takeReply(const Reply &reply) {
    if (const auto *exception = std::get_if<ExceptionReply>(&reply); exception && !m_refusal) {
        m_refusal = *exception;
        if (m_waiting)
            m_waiting->quit();
    }
}

bool ConfigurationDownload::goesOn() const {
    return !m_refusal && m_link.isConnected() && m_link.connectionNumber() == m_connection;
}

void ConfigurationDownload::wait(int seconds) {
    if (m_refusal)
        return;
    QEventLoop loop;
    m_waiting = &loop;
    runLoopForMs(loop, seconds * m_secondMs);
    m_waiting = nullptr;
}

bool ConfigurationDownload::sendFrame(const QByteArray &frame, const QString &name,
                                      DownloadOutcome &outcome, int waitsLeft) {
    if (!goesOn() || !m_link.send(frame))
        return false;
    m_lastFrame = name;
    ++outcome.sent;
    emit progressed(outcome.sent, outcome.total, waitsLeft);
    return true;
}

DownloadOutcome ConfigurationDownload::run(const DownloadPlan &plan) {
    m_connection = m_link.connectionNumber();
    DownloadOutcome outcome{0, frameCount(plan), goesOn(), false, {}, {}, 0};
    const int tables = int(plan.tableFrames.size());
    emit progressed(0, outcome.total, downloadSeconds(plan));
    if (plan.ethernetFrame)
        sendFrame(*plan.ethernetFrame, QStringLiteral("the Ethernet settings frame (#ID)"),
                  outcome, downloadSeconds(plan));
    QCoreApplication::processEvents();
    if (sendFrame(plan.generalFrame, QStringLiteral("the general settings frame (#RD)"), outcome,
                  downloadSeconds(plan)))
        wait(1);
    // The gateway takes its time with the general settings, connected or not.
    wait(1);
    for (int i = 0; i < tables; ++i) {
        const QString name =
            QStringLiteral("table frame %1 of %2 (#SD)").arg(i + 1).arg(tables);
        if (!sendFrame(plan.tableFrames[std::size_t(i)], name, outcome, tables - i))
            break;
        wait(1);
        QCoreApplication::processEvents();
    }
    if (m_refusal) {
        outcome.refusal = m_refusal;
        outcome.refusedFrame = m_lastFrame;
    }
    outcome.untakenBytes = goesOn() ? m_link.untakenBytes() : 0;
    outcome.complete = outcome.sent == outcome.total && goesOn() && outcome.untakenBytes == 0;
    return outcome;
}

} // namespace tolvar
