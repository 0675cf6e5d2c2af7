#pragma once

#include "gateway/StoredConfiguration.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace tolvar {

// What taking one write frame did.
struct WriteEvent {
    enum class Kind {
        Progress, // a frame was taken; the download goes on
        Warning,  // the download goes on, but something in it disagrees
        Refused,  // the download in progress was dropped whole; the served config is unchanged
        Applied,  // the download is complete and is now the served configuration
    };
    Kind kind = Kind::Progress;
    QString text;
    bool operator==(const WriteEvent &) const = default;
};

// The 12-byte answer of a Modbus server to a write-multiple-registers request: the request's
// transaction id, unit id, start address and register count, protocol id 0 and length 6.
QByteArray writeResponseTo(const QByteArray &request);

// A configuration download as the gateway takes it: an optional #ID frame (Ethernet settings),
// one #RD frame (general settings and device records, announcing C table frames) and C #SD
// frames carrying the device table stream. Nothing is applied before the last #SD frame has
// been checked; a frame that does not fit, a stream that does not parse or a client that goes
// away drops the download whole. Pure: fed frames, it answers what happened.
class WriteSession {
public:
    explicit WriteSession(StoredConfiguration served = {}) : served_(std::move(served)) {}

    // The configuration served: the one given, or the last complete download.
    const StoredConfiguration &config() const { return served_; }
    void setConfig(const StoredConfiguration &config) { served_ = config; }

    // Takes one #ID, #RD or #SD frame, as RequestSplitter cuts it; other frames are ignored.
    QList<WriteEvent> take(const QByteArray &frame);

    // The client went away: a download in progress is refused.
    QList<WriteEvent> end();

    bool inProgress() const { return ethernet_ || settings_; }

private:
    // IP, mask and gateway octets to take; nothing keeps the gateway's own.
    using EthernetWrite = std::array<std::optional<std::array<quint8, 4>>, 3>;
    struct SettingsWrite {
        GeneralReply general; // from #RD; SYNC places and the frame count are not settings
        int frameCount = 0;
    };

    void takeEthernet(const QByteArray &frame, QList<WriteEvent> &events);
    void takeSettings(const QByteArray &frame, QList<WriteEvent> &events);
    void takeTable(const QByteArray &frame, QList<WriteEvent> &events);
    void finish(QList<WriteEvent> &events);
    StoredConfiguration writtenConfig(const TableReply &tables) const;
    QString expectation() const;
    void refuse(const QString &reason, QList<WriteEvent> &events);
    void reset();

    StoredConfiguration served_;
    std::optional<EthernetWrite> ethernet_;
    std::optional<SettingsWrite> settings_;
    QByteArray stream_;
    int framesTaken_ = 0;
};

} // namespace tolvar
