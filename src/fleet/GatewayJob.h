#pragma once

#include "files/ReadBackCopy.h"
#include "fleet/DownloadPreparation.h"
#include "fleet/GatewayResult.h"
#include "link/ExpectedReplies.h"
#include "link/GatewayLink.h"
#include "mapping/ConfigurationDownload.h"
#include "mapping/DownloadFrames.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <variant>

namespace tolvar {

class ConfigurationRead;

// A configuration file made ready for the gateways it goes to, once for all of them; or why
// its checks refuse it.
using PreparedFile = std::variant<PreparedDownload, QString>;

// How a job works with its gateway.
struct JobSettings {
    GatewayCommand command = GatewayCommand::Read;
    bool check = false; // apply: only tell what would change
    bool verify = true; // write, apply: read back what was sent
    quint8 unitId = 1;
    int connectTimeoutS = 1;
    int secondMs = 1000; // the length of the protocol's seconds; tests shorten it
};

// One gateway's work, from the connect to its result, on a connection of its own: read its
// configuration into a file, or send one to it and read it back, or compare. Everything runs
// from the event loop, so many jobs go on side by side. A fault of the gateway is this job's
// result and nothing else's.
class GatewayJob : public QObject {
    Q_OBJECT

public:
    // `file` is what write, apply and verify compare with and send; read leaves it empty and
    // writes to `output`.
    GatewayJob(GatewayTarget target, JobSettings settings, std::shared_ptr<const PreparedFile> file,
               QString output = {}, QObject *parent = nullptr);
    ~GatewayJob() override;

    void start();
    // The user stops the run: the job ends at once, telling how far its download had come.
    void stop();
    bool isDownloading() const;
    int framesSent() const;
    const GatewayTarget &target() const { return m_target; }

signals:
    void framesSentChanged();
    void finished(const tolvar::GatewayResult &result);

private:
    // The replies of one read, kept as they came; a model is made of them only to compare.
    struct Replies {
        std::optional<EthernetReply> ethernet;
        std::optional<GeneralReply> general;
        std::optional<TableReply> tables;
        bool complete() const { return ethernet && general && tables; }
        ReadBackCopy copy() const;
    };

    void connected();
    void takeReply(const Reply &reply);
    void noteRefusal(const QString &reason);
    void readGateway(void (GatewayJob::*then)());
    QString readFailure() const;
    void afterFirstRead();
    void writeFile();
    void compareOnly();
    void download();
    void downloaded(const DownloadOutcome &outcome);
    void afterVerifyRead();
    std::optional<std::vector<ConfigDifference>> compare();
    QString stoppedText() const;
    void finish(GatewayOutcome outcome, const QString &message,
                std::vector<ConfigDifference> differences = {});

    GatewayTarget m_target;
    JobSettings m_settings;
    std::shared_ptr<const PreparedFile> m_file;
    const PreparedDownload *m_prepared = nullptr; // the file, unless its checks refused it
    QString m_output;
    GatewayLink m_link;
    ExpectedReplies m_expected;
    Replies m_replies;
    QString m_linkProblem; // the first refused reply or close the link reported
    std::unique_ptr<ConfigurationRead> m_read;
    std::unique_ptr<ConfigurationDownload> m_download;
    std::function<void()> m_afterRead;
    QTimer m_connectTimer;
    QElapsedTimer m_clock;
    GatewayResult m_result;
    bool m_done = false;
};

} // namespace tolvar
