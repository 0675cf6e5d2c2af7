#include "fleet/GatewayJob.h"

#include "files/ConfigurationFile.h"
#include "files/ModelFile.h"
#include "link/ConfigurationRead.h"
#include "mapping/ConfigurationDownload.h"

namespace tolvar {
namespace {

QString firstOf(const std::vector<ConfigDifference> &differences) {
    return QStringLiteral("%1 difference(s); first: %2")
        .arg(differences.size())
        .arg(
            differenceText(differences.front(), QStringLiteral("gateway"), QStringLiteral("file")));
}

} // namespace

ReadBackCopy GatewayJob::Replies::copy() const {
    return readBackOf(*ethernet, *general, *tables);
}

GatewayJob::GatewayJob(GatewayTarget target, JobSettings settings,
                       std::shared_ptr<const PreparedFile> file, QString output, QObject *parent)
    : QObject(parent), m_target(std::move(target)), m_settings(settings), m_file(std::move(file)),
      m_output(std::move(output)), m_link(m_target.port) {
    if (m_file)
        m_prepared = std::get_if<PreparedDownload>(m_file.get());
    m_result.target = m_target;
    m_result.command = m_settings.command;
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        finish(GatewayOutcome::Failed,
               QStringLiteral("no connection within %1 s: check the address and the port, and "
                              "that the gateway is switched on and reachable")
                   .arg(m_settings.connectTimeoutS));
    });
    connect(&m_link, &GatewayLink::connected, this, &GatewayJob::connected);
    connect(&m_link, &GatewayLink::connectionFailed, this, [this](const QString &reason) {
        finish(GatewayOutcome::Failed,
               QStringLiteral("cannot connect (%1): check the address and the port, and that "
                              "the gateway is switched on and reachable")
                   .arg(reason));
    });
    connect(&m_link, &GatewayLink::replyReceived, this, &GatewayJob::takeReply);
    connect(&m_link, &GatewayLink::replyRefused, this, &GatewayJob::noteRefusal);
    // A table reply is read with the device amount its general reply gave.
    m_link.setDeviceCountSource(
        [this] { return m_replies.general ? int(m_replies.general->deviceCount) : 1; });
}

GatewayJob::~GatewayJob() = default;

void GatewayJob::start() {
    if (m_done) // stopped before it began
        return;
    m_clock.start();
    if (const auto *refusal = m_file ? std::get_if<QString>(m_file.get()) : nullptr) {
        finish(GatewayOutcome::Failed, *refusal);
        return;
    }
    m_connectTimer.start(m_settings.connectTimeoutS * 1000);
    m_link.connectToGateway(m_target.host);
}

void GatewayJob::connected() {
    m_connectTimer.stop();
    if (m_settings.command == GatewayCommand::Write)
        download();
    else if (m_settings.command == GatewayCommand::Read)
        readGateway(&GatewayJob::writeFile);
    else
        readGateway(&GatewayJob::afterFirstRead);
}

// Only the answers to this job's own read requests count.
void GatewayJob::takeReply(const Reply &reply) {
    if (!m_expected.take(reply))
        return;
    if (const auto *ethernet = std::get_if<EthernetReply>(&reply))
        m_replies.ethernet = *ethernet;
    else if (const auto *general = std::get_if<GeneralReply>(&reply))
        m_replies.general = *general;
    else if (const auto *tables = std::get_if<TableReply>(&reply))
        m_replies.tables = *tables;
}

void GatewayJob::noteRefusal(const QString &reason) {
    if (m_linkProblem.isEmpty())
        m_linkProblem = reason;
}

void GatewayJob::readGateway(void (GatewayJob::*then)()) {
    m_replies = {};
    m_linkProblem.clear();
    m_expected.clear();
    m_afterRead = [this, then] { (this->*then)(); };
    m_read = std::make_unique<ConfigurationRead>(m_link, m_expected, m_settings.secondMs);
    connect(m_read.get(), &ConfigurationRead::finished, this, [this] {
        if (!m_replies.complete()) {
            finish(GatewayOutcome::Failed, readFailure());
            return;
        }
        m_afterRead();
    });
    m_read->start(m_settings.unitId);
}

QString GatewayJob::readFailure() const {
    QString text = QStringLiteral("the configuration was not read in full (%1 missing")
                       .arg(m_expected.missing());
    if (!m_linkProblem.isEmpty())
        text += QStringLiteral("; ") + m_linkProblem;
    return text + QStringLiteral("): check that this is a Tolvar gateway that is not busy with "
                                 "another client, then run the command again");
}

void GatewayJob::afterFirstRead() {
    const auto differences = compare();
    if (!differences)
        return;
    if (m_settings.command == GatewayCommand::Verify) {
        if (differences->empty())
            finish(GatewayOutcome::Same,
                   QStringLiteral("the gateway holds the file's configuration"));
        else
            finish(GatewayOutcome::Differs, firstOf(*differences), *differences);
        return;
    }
    if (differences->empty()) {
        finish(GatewayOutcome::Unchanged,
               QStringLiteral("the gateway already holds the file's configuration; nothing sent"));
        return;
    }
    if (m_settings.check) {
        finish(GatewayOutcome::WouldChange, firstOf(*differences), *differences);
        return;
    }
    download();
}

// The file is what the utility's "Save Configuration As" writes after the same read-back.
void GatewayJob::writeFile() {
    const ReadBackCopy copy = m_replies.copy();
    if (copy.refusal()) {
        finish(GatewayOutcome::Failed,
               QStringLiteral("the gateway's tables could not be read: %1").arg(*copy.refusal()));
        return;
    }
    const auto config = configurationOf(copy.model, copy.network);
    if (const auto *problem = std::get_if<QString>(&config)) {
        finish(GatewayOutcome::Failed, *problem);
        return;
    }
    if (const auto problem =
            saveConfigurationFile(std::get<StoredConfiguration>(config), m_output)) {
        finish(GatewayOutcome::Failed, *problem);
        return;
    }
    finish(GatewayOutcome::Read, QStringLiteral("saved to %1").arg(m_output));
}

// The differences between the gateway and the file in what a download sends, or none when
// there is nothing to compare: then the job has finished with the reason.
std::optional<std::vector<ConfigDifference>> GatewayJob::compare() {
    const ReadBackCopy held = m_replies.copy();
    const Comparison comparison = compareWithGateway(
        held, m_prepared->model, expectedAfterDownload(*m_prepared, held.network));
    if (const auto *reason = std::get_if<QString>(&comparison)) {
        finish(GatewayOutcome::Failed, *reason);
        return std::nullopt;
    }
    return std::get<std::vector<ConfigDifference>>(comparison);
}

void GatewayJob::download() {
    // Nothing read before is awaited while the configuration goes out.
    m_expected.clear();
    m_download = std::make_unique<ConfigurationDownload>(m_link, m_settings.secondMs);
    m_result.framesTotal = 0;
    connect(m_download.get(), &ConfigurationDownload::progressed, this,
            [this](int sent, int total) {
                m_result.framesSent = sent;
                m_result.framesTotal = total;
                emit framesSentChanged();
            });
    connect(m_download.get(), &ConfigurationDownload::finished, this, &GatewayJob::downloaded);
    m_download->start(m_prepared->plan);
}

void GatewayJob::downloaded(const DownloadOutcome &outcome) {
    if (!outcome.complete) {
        finish(GatewayOutcome::Failed,
               downloadOutcomeText(outcome, m_settings.verify) +
                   QStringLiteral(" Check the gateway, then run the command again."));
        return;
    }
    if (!m_settings.verify) {
        finish(m_settings.command == GatewayCommand::Apply ? GatewayOutcome::Changed
                                                           : GatewayOutcome::Written,
               downloadOutcomeText(outcome, false));
        return;
    }
    readGateway(&GatewayJob::afterVerifyRead);
}

void GatewayJob::afterVerifyRead() {
    const auto differences = compare();
    if (!differences)
        return;
    if (!differences->empty()) {
        finish(GatewayOutcome::Differs,
               QStringLiteral("sent, but the gateway holds something else: ") +
                   firstOf(*differences),
               *differences);
        return;
    }
    finish(m_settings.command == GatewayCommand::Apply ? GatewayOutcome::Changed
                                                       : GatewayOutcome::Written,
           QStringLiteral("sent %1 frames and verified: the gateway holds the file's "
                          "configuration")
               .arg(m_result.framesSent));
}

bool GatewayJob::isDownloading() const {
    return m_download && m_download->isRunning();
}

int GatewayJob::framesSent() const {
    return m_result.framesSent;
}

void GatewayJob::stop() {
    if (m_done)
        return;
    finish(GatewayOutcome::Stopped, stoppedText());
}

// Where the work was when the user stopped it, and what that leaves on the gateway.
QString GatewayJob::stoppedText() const {
    if (isDownloading())
        return QStringLiteral("stopped during the download after %1 of %2 frames: the gateway "
                              "may not hold a whole configuration; run the command again")
            .arg(m_result.framesSent)
            .arg(m_result.framesTotal);
    if (m_download)
        return QStringLiteral("stopped while reading back what was sent (all %1 frames): run "
                              "verify to see what the gateway holds")
            .arg(m_result.framesSent);
    return QStringLiteral("stopped before anything was sent");
}

void GatewayJob::finish(GatewayOutcome outcome, const QString &message,
                        std::vector<ConfigDifference> differences) {
    if (m_done)
        return;
    m_done = true;
    m_connectTimer.stop();
    if (m_read)
        m_read->disconnect(this);
    if (m_download)
        m_download->disconnect(this);
    m_link.close();
    m_result.outcome = outcome;
    m_result.message = message;
    m_result.differences = std::move(differences);
    m_result.seconds = m_clock.isValid() ? double(m_clock.elapsed()) / 1000.0 : 0.0;
    emit finished(m_result);
}

} // namespace tolvar
