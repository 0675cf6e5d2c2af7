#include "fleet/CliRunner.h"

#include "files/ConfigurationFile.h"
#include "fleet/ResultText.h"

#include <QDir>

namespace tolvar {

CliRunner::CliRunner(CliRequest request, CliStreams streams, int secondMs, QObject *parent)
    : QObject(parent), m_request(std::move(request)), m_streams(std::move(streams)),
      m_secondMs(secondMs) {}

CliRunner::~CliRunner() = default;

// A file that cannot be read stops everything before any gateway is touched; a file whose
// checks refuse it fails only the gateways it goes to.
bool CliRunner::prepareFiles() {
    if (m_request.command == CliCommand::Read) {
        if (m_request.outputFolder && !QDir().mkpath(m_request.output)) {
            m_streams.err(QStringLiteral("tolvar-cli: cannot make the folder %1 for the files "
                                         "read; name a folder you may write to with -o")
                              .arg(m_request.output));
            return false;
        }
        return true;
    }
    DownloadOptions options{m_request.ethernet, m_request.force, m_request.unitId};
    // A verify sends nothing: faults of the checks are no reason to refuse comparing.
    if (m_request.command == CliCommand::Verify)
        options.force = true;
    for (const GatewayTarget &target : m_request.targets) {
        if (m_files.count(target.file) != 0)
            continue;
        const auto loaded = loadConfigurationFile(target.file);
        if (const auto *problem = std::get_if<QString>(&loaded)) {
            m_streams.err(QStringLiteral("tolvar-cli: %1").arg(*problem));
            return false;
        }
        auto prepared = std::make_shared<const PreparedFile>(
            prepareDownload(std::get<StoredConfiguration>(loaded), options));
        m_files[target.file] = prepared;
        tellNotes(target.file, *prepared);
    }
    return true;
}

// What the checks found without refusing the file, once per file, before anything is sent.
void CliRunner::tellNotes(const QString &file, const PreparedFile &prepared) {
    const auto *download = std::get_if<PreparedDownload>(&prepared);
    if (!download || m_request.command == CliCommand::Verify)
        return;
    for (const QString &note : download->notes)
        m_streams.err(QStringLiteral("tolvar-cli: %1: %2").arg(file, note));
}

void CliRunner::start() {
    if (!prepareFiles()) {
        emit finished(2);
        return;
    }
    m_run = std::make_unique<FleetRun>(m_request.targets.size(), m_request.jobs,
                                       [this](std::size_t index) { return makeJob(index); });
    connect(m_run.get(), &FleetRun::gatewayFinished, this, &CliRunner::tell);
    connect(m_run.get(), &FleetRun::framesSentChanged, this, &CliRunner::showProgress);
    connect(m_run.get(), &FleetRun::finished, this, [this] {
        if (m_streams.progress)
            m_streams.progress({});
        emit finished(exitStatus(m_run->results()));
    });
    showProgress();
    m_run->start();
}

std::unique_ptr<GatewayJob> CliRunner::makeJob(std::size_t index) {
    const GatewayTarget &target = m_request.targets[index];
    JobSettings settings;
    settings.command = *gatewayCommandOf(m_request.command);
    settings.check = m_request.check;
    settings.verify = m_request.verify;
    settings.unitId = m_request.unitId;
    settings.connectTimeoutS = m_request.connectTimeoutS;
    settings.secondMs = m_secondMs;
    if (settings.command == GatewayCommand::Read)
        return std::make_unique<GatewayJob>(target, settings, nullptr, target.file);
    return std::make_unique<GatewayJob>(target, settings, m_files.at(target.file));
}

void CliRunner::tell(const GatewayResult &result) {
    if (m_streams.progress)
        m_streams.progress({});
    if (m_request.json) {
        m_streams.out(resultJson(result));
    } else {
        m_streams.out(resultLine(result));
        // With one gateway a person reads every difference; with many, one line each.
        if (m_request.targets.size() == 1) {
            for (const QString &line : differenceLines(result))
                m_streams.out(line);
        }
    }
    showProgress();
}

void CliRunner::showProgress() {
    if (m_streams.progress && m_run)
        m_streams.progress(progressLine(int(m_run->results().size()), int(m_request.targets.size()),
                                        m_run->framesSent()));
}

void CliRunner::stop() {
    if (m_run)
        m_run->stop();
}

} // namespace tolvar
