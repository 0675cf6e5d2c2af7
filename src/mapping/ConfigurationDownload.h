#pragma once

#include "mapping/DownloadFrames.h"

#include <QObject>

namespace tolvar {

class GatewayLink;

// How a download ended: frames sent of the frames planned, and whether the connection was
// there at the start and stayed to the end.
struct DownloadOutcome {
    int sent = 0;
    int total = 0;
    bool connectedAtStart = false;
    bool complete = false;
    bool operator==(const DownloadOutcome &) const = default;
};

// Sends a planned download over the gateway link, pacing itself with waits instead of reading
// answers: the Ethernet frame, the general settings frame and a second, then a second more,
// then each table frame followed by a second. The event loop runs during the waits. The
// connection is checked before each frame; once it is gone nothing more is sent, not even
// over a connection the user has made since.
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
    bool sendFrame(const QByteArray &frame, DownloadOutcome &outcome, int waitsLeft);
    void wait(int seconds);
    bool stillConnected() const;

    GatewayLink &m_link;
    int m_secondMs;
    int m_connection = 0; // the link's connection number at the start
};

// Seconds a plan takes once started: one after the general frame, one before the table frames
// and one after each table frame.
int downloadSeconds(const DownloadPlan &plan);

} // namespace tolvar
