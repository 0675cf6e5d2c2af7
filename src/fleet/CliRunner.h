#pragma once

#include "fleet/CliRequest.h"
#include "fleet/FleetRun.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>

namespace tolvar {

// Where the command line's text goes. `progress` is empty when the error stream is no
// terminal: then no live line is drawn.
struct CliStreams {
    std::function<void(const QString &)> out;
    std::function<void(const QString &)> err;
    std::function<void(const QString &)> progress;
};

// Runs a gateway subcommand of the command line: reads every configuration file once and
// prepares it, then works on the gateways `jobs` at a time and tells each one's result as it
// ends. finished() gives the exit status.
class CliRunner : public QObject {
    Q_OBJECT

public:
    // `secondMs` is how long the protocol's seconds last; the program keeps 1000.
    CliRunner(CliRequest request, CliStreams streams, int secondMs = 1000,
              QObject *parent = nullptr);
    ~CliRunner() override;

    void start();
    // Ctrl-C: every gateway still worked on ends "stopped", naming the frames it got.
    void stop();

signals:
    void finished(int exitStatus);

private:
    bool prepareFiles();
    void tellNotes(const QString &file, const PreparedFile &prepared);
    std::unique_ptr<GatewayJob> makeJob(std::size_t index);
    void tell(const GatewayResult &result);
    void showProgress();

    CliRequest m_request;
    CliStreams m_streams;
    int m_secondMs;
    std::map<QString, std::shared_ptr<const PreparedFile>> m_files;
    std::unique_ptr<FleetRun> m_run;
};

} // namespace tolvar
