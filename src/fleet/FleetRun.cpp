#include "fleet/FleetRun.h"

#include <algorithm>

namespace tolvar {

FleetRun::FleetRun(std::size_t targets, int jobs, JobMaker makeJob, QObject *parent)
    : QObject(parent), m_targets(targets), m_jobs(std::max(1, jobs)),
      m_makeJob(std::move(makeJob)) {}

FleetRun::~FleetRun() = default;

void FleetRun::start() {
    if (m_targets == 0) {
        emit finished();
        return;
    }
    while (m_next < m_targets && int(m_running.size()) < m_jobs)
        startNext();
}

GatewayJob *FleetRun::launch() {
    std::unique_ptr<GatewayJob> made = m_makeJob(m_next++);
    GatewayJob *job = made.get();
    m_running.push_back(std::move(made));
    connect(job, &GatewayJob::framesSentChanged, this, &FleetRun::framesSentChanged);
    connect(job, &GatewayJob::finished, this,
            [this, job](const GatewayResult &result) { jobFinished(job, result); });
    return job;
}

// From the event loop: a job that ends at once (its file was refused) must not start the next
// one from within this call, and so on down the whole list.
void FleetRun::startNext() {
    QMetaObject::invokeMethod(launch(), &GatewayJob::start, Qt::QueuedConnection);
}

// A job finishes inside its own handlers: it is let go on the next turn of the event loop.
void FleetRun::jobFinished(GatewayJob *job, const GatewayResult &result) {
    m_results.push_back(result);
    m_framesOfFinished += result.framesSent;
    const auto it = std::find_if(m_running.begin(), m_running.end(),
                                 [job](const auto &running) { return running.get() == job; });
    if (it != m_running.end()) {
        it->release()->deleteLater();
        m_running.erase(it);
    }
    emit gatewayFinished(result);
    if (m_next == m_targets) {
        if (m_running.empty())
            emit finished();
    } else if (!m_stopping) {
        startNext();
    }
}

void FleetRun::stop() {
    m_stopping = true;
    // Stopping a job finishes it, which takes it off the list.
    std::vector<GatewayJob *> running;
    for (const auto &job : m_running)
        running.push_back(job.get());
    for (GatewayJob *job : running)
        job->stop();
    // The gateways not begun yet end "stopped" too, so that every one is told.
    while (m_next < m_targets)
        launch()->stop();
}

int FleetRun::framesSent() const {
    int frames = m_framesOfFinished;
    for (const auto &job : m_running)
        frames += job->framesSent();
    return frames;
}

} // namespace tolvar
