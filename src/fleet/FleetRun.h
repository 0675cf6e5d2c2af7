#pragma once

#include "fleet/GatewayJob.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace tolvar {

// Works on many gateways at once in one event loop: at most `jobs` at a time, each on its own
// connection, the next one starting as one finishes. Results come in the order the gateways
// finish; one gateway's fault never stops the others.
class FleetRun : public QObject {
    Q_OBJECT

public:
    // Makes the job of the target with the given index (its file, its output).
    using JobMaker = std::function<std::unique_ptr<GatewayJob>(std::size_t index)>;

    FleetRun(std::size_t targets, int jobs, JobMaker makeJob, QObject *parent = nullptr);
    ~FleetRun() override;

    void start();
    // Stops every job running and starts no more; each ends "stopped" with its frames, and so
    // does each gateway not begun.
    void stop();

    const std::vector<GatewayResult> &results() const { return m_results; }
    int framesSent() const;
    std::size_t targetCount() const { return m_targets; }

signals:
    void gatewayFinished(const tolvar::GatewayResult &result);
    void framesSentChanged();
    void finished();

private:
    GatewayJob *launch();
    void startNext();
    void jobFinished(GatewayJob *job, const GatewayResult &result);

    std::size_t m_targets;
    int m_jobs;
    JobMaker m_makeJob;
    std::size_t m_next = 0;
    bool m_stopping = false;
    std::vector<std::unique_ptr<GatewayJob>> m_running;
    std::vector<GatewayResult> m_results;
    int m_framesOfFinished = 0;
};

} // namespace tolvar
