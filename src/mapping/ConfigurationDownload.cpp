#include "mapping/ConfigurationDownload.h"

#include "link/GatewayLink.h"
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
    return verifying
               ? QStringLiteral("Configuration sent, not yet verified: all %1 frames; reading "
                                "it back from the gateway...")
                     .arg(outcome.total)
               : QStringLiteral("Configuration sent (not verified): all %1 frames.")
                     .arg(outcome.total);
}

ConfigurationDownload::ConfigurationDownload(GatewayLink &link, int secondMs, QObject *parent)
    : QObject(parent), m_link(link), m_secondMs(secondMs) {
    m_stepTimer.setSingleShot(true);
    // A coarse timer may fire a little early; the pacing must last its full time.
    m_stepTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_stepTimer, &QTimer::timeout, this, [this] { m_nextStep(); });
    connect(&m_link, &GatewayLink::replyReceived, this, &ConfigurationDownload::takeReply);
}

// An exception answers a write: the download ends without waiting out its second.
void ConfigurationDownload::takeReply(const Reply &reply) {
    const auto *exception = std::get_if<ExceptionReply>(&reply);
    if (!exception || m_refusal || !m_running)
        return;
    m_refusal = *exception;
    m_stepTimer.stop();
    finish();
}

bool ConfigurationDownload::goesOn() const {
    return !m_refusal && m_link.isConnected() && m_link.connectionNumber() == m_connection;
}

bool ConfigurationDownload::sendFrame(const QByteArray &frame, const QString &name,
                                      int secondsLeft) {
    if (!goesOn() || !m_link.send(frame))
        return false;
    m_lastFrame = name;
    ++m_outcome.sent;
    emit progressed(m_outcome.sent, m_outcome.total, secondsLeft);
    return true;
}

void ConfigurationDownload::after(int seconds, void (ConfigurationDownload::*step)()) {
    m_nextStep = [this, step] { (this->*step)(); };
    m_stepTimer.start(seconds * m_secondMs);
}

void ConfigurationDownload::start(const DownloadPlan &plan) {
    m_plan = plan;
    m_connection = m_link.connectionNumber();
    m_refusal.reset();
    m_nextTable = 0;
    m_running = true;
    m_outcome = DownloadOutcome{0, frameCount(plan), goesOn(), false, {}, {}, 0};
    emit progressed(0, m_outcome.total, downloadSeconds(plan));
    if (plan.ethernetFrame)
        sendFrame(*plan.ethernetFrame, QStringLiteral("the Ethernet settings frame (#ID)"),
                  downloadSeconds(plan));
    // The windows show the first frame before the next goes.
    after(0, &ConfigurationDownload::sendGeneral);
}

// The gateway takes its time with the general settings, connected or not.
void ConfigurationDownload::sendGeneral() {
    const bool sent =
        sendFrame(m_plan.generalFrame, QStringLiteral("the general settings frame (#RD)"),
                  downloadSeconds(m_plan));
    after(sent ? 2 : 1, &ConfigurationDownload::sendNextTable);
}

void ConfigurationDownload::sendNextTable() {
    const std::size_t tables = m_plan.tableFrames.size();
    if (m_nextTable == tables) {
        finish();
        return;
    }
    const QString name =
        QStringLiteral("table frame %1 of %2 (#SD)").arg(m_nextTable + 1).arg(tables);
    if (!sendFrame(m_plan.tableFrames[m_nextTable], name, int(tables - m_nextTable))) {
        finish();
        return;
    }
    ++m_nextTable;
    after(1, &ConfigurationDownload::sendNextTable);
}

void ConfigurationDownload::finish() {
    m_running = false;
    if (m_refusal) {
        m_outcome.refusal = m_refusal;
        m_outcome.refusedFrame = m_lastFrame;
    }
    m_outcome.untakenBytes = goesOn() ? m_link.untakenBytes() : 0;
    m_outcome.complete =
        m_outcome.sent == m_outcome.total && goesOn() && m_outcome.untakenBytes == 0;
    emit finished(m_outcome);
}

DownloadOutcome ConfigurationDownload::run(const DownloadPlan &plan) {
    QEventLoop loop;
    connect(this, &ConfigurationDownload::finished, &loop, &QEventLoop::quit);
    start(plan);
    if (m_running)
        loop.exec();
    return m_outcome;
}

} // namespace tolvar
