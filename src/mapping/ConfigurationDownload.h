#pragma once

#include "link/Replies.h"
#include "mapping/DownloadFrames.h"

#include <QObject>

#include <optional>

class QEventLoop;

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

// Sends a planned download over the gateway link, pacing itself with waits instead of reading
// answers: the Ethernet frame, the general settings frame and a second, then a second more,
// then each table frame followed by a second. The event loop runs during the waits. The
// connection is checked before each frame; once it is gone nothing more is sent, not even
// over a connection the user has made since. A Modbus exception from the gateway stops it at
// once; frames the gateway never took leave it incomplete.
class ConfigurationDownload : public QObject {
    Q_OBJECT

public:
    // `secondMs` is how long one of the download's seconds lasts; the program keeps 1000.
    explicit ConfigurationDownload(GatewayLink &link, int secondMs = 1000,
                                   QObject *parent = nullptr);

    DownloadOutcome run(const DownloadPlan &plan);

signals:
    // After every frame sent: how far it is and about how many seconds are left.
    void progressed(int sent, int total, int secondsLeft);

private:
    bool sendFrame(const QByteArray &frame, const QString &name, DownloadOutcome &outcome,
                   int waitsLeft);
    void wait(int seconds);
    bool goesOn() const;
    void takeReply(const Reply &reply);

    GatewayLink &m_link;
    int m_secondMs;
    int m_connection = 0; // the link's connection number at the start
    QString m_lastFrame;
    std::optional<ExceptionReply> m_refusal;
    QEventLoop *m_waiting = nullptr;
};

// Seconds a plan takes once started: one after the general frame, one before the table frames
// and one after each table frame.
int downloadSeconds(const DownloadPlan &plan);

} // namespace tolvar
