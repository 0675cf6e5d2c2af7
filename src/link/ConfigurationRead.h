#pragma once

#include "link/CommandFrame.h"

#include <QObject>
#include <QTimer>

#include <cstddef>

namespace tolvar {

class ExpectedReplies;
class GatewayLink;

// The read-back of a gateway's configuration: #PD, #GD and #HD, one a second, over the
// connection open at the start; once that connection has gone (closed by either side, or
// replaced by a newer one) nothing more is asked. Every request sent is noted in the expected
// list: whoever takes the link's replies asks that list which ones were asked for. Many reads
// may run side by side in one event loop, each on its own link.
class ConfigurationRead : public QObject {
    Q_OBJECT

public:
    static constexpr int kRequests = 3;

    // `secondMs` is how long each request's second lasts; the programs keep 1000.
    ConfigurationRead(GatewayLink &link, ExpectedReplies &expected, int secondMs = 1000,
                      QObject *parent = nullptr);

    // Sends the first request; finished() follows the last request's second.
    void start(quint8 unitId);
    // The same, running the event loop until it has finished.
    void run(quint8 unitId);
    bool isRunning() const { return m_running; }

signals:
    void finished();

private:
    void sendNext();
    bool onSameConnection() const;

    GatewayLink &m_link;
    ExpectedReplies &m_expected;
    int m_secondMs;
    quint8 m_unitId = 1;
    std::size_t m_next = 0;
    int m_connection = 0;
    bool m_running = false;
    QTimer m_timer;
};

} // namespace tolvar
