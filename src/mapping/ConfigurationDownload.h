#pragma once

#include "link/Replies.h"
#include "mapping/DownloadFrames.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace tolvar {

class GatewayLink;

// How a download ended: frames sent of the frames planned, whether the connection was there
// at the start and stayed to the end, a write the gateway refused and bytes it never took.
struct DownloadOutcome {
    int sent = 0;
    int total = 0;
    bool connectedAtStart = false;
    bool complete = false;
    std::optional<ExceptionReply> refusal; // answered to the last frame sent
    QString refusedFrame;                  // "the general settings frame (#RD)"
    qint64 untakenBytes = 0;
    bool operator==(const DownloadOutcome &) const = default;
};

// What a user is told of a download. A complete one is only "sent": whether the gateway holds
// it is for the verify to say (or, with `verifying` off, "not verified").
QString downloadOutcomeText(const DownloadOutcome &outcome, bool verifying);

// Sends a planned download over the gateway link, pacing itself with timers instead of reading
// answers: the Ethernet frame, the general settings frame and a second, then a second more,
// then each table frame followed by a second. The connection is checked before each frame;
// once it is gone nothing more is sent, not even over a connection made since. A Modbus
// exception from the gateway stops it at once; frames the gateway never took leave it
// incomplete. Many downloads may run side by side in one event loop, each on its own link.
class ConfigurationDownload : public QObject {
    Q_OBJECT

public:
    // `secondMs` is how long one of the download's seconds lasts; the programs keep 1000.
    explicit ConfigurationDownload(GatewayLink &link, int secondMs = 1000,
                                   QObject *parent = nullptr);

    // Starts sending; finished() tells the outcome.
    void start(const DownloadPlan &plan);
    // Sends the whole plan, running the event loop meanwhile, and answers the outcome.
    DownloadOutcome run(const DownloadPlan &plan);
    bool isRunning() const { return m_running; }
    // How far it is: frames sent of the frames planned.
    const DownloadOutcome &outcome() const { return m_outcome; }

signals:
    // After every frame sent: how far it is and about how many seconds are left.
    void progressed(int sent, int total, int secondsLeft);
    void finished(const tolvar::DownloadOutcome &outcome);

private:
    bool sendFrame(const QByteArray &frame, const QString &name, int secondsLeft);
    void sendGeneral();
    void sendNextTable();
    void after(int seconds, void (ConfigurationDownload::*step)());
    void finish();
    bool goesOn() const;
    void takeReply(const Reply &reply);

    GatewayLink &m_link;
    int m_secondMs;
    DownloadPlan m_plan;
    DownloadOutcome m_outcome;
    std::size_t m_nextTable = 0;
    int m_connection = 0; // the link's connection number at the start
    bool m_running = false;
    QString m_lastFrame;
    std::optional<ExceptionReply> m_refusal;
    QTimer m_stepTimer;
    std::function<void()> m_nextStep;
};

// Seconds a plan takes once started: one after the general frame, one before the table frames
// and one after each table frame.
int downloadSeconds(const DownloadPlan &plan);

} // namespace tolvar
