#include "model/EditHistory.h"

namespace tolvar {

EditHistory::EditHistory(GatewayConfig &config) : m_config(config), m_recorded(config) {}

void EditHistory::setControls(ControlReader reader, ControlWriter writer) {
    m_readControls = std::move(reader);
    m_writeControls = std::move(writer);
    m_recordedControls = readControls();
}

ControlValues EditHistory::readControls() const {
    return m_readControls ? m_readControls() : ControlValues{};
}

void EditHistory::showControls(const ControlValues &values) {
    if (m_writeControls && !values.empty())
        m_writeControls(values);
}

ModelDelta EditHistory::takeChanges() {
    ControlValues controls = readControls();
    ModelDelta delta = ModelDelta::between(m_recorded, m_config, m_recordedControls, controls);
    delta.reapply(m_recorded);
    m_recordedControls = std::move(controls);
    return delta;
}

void EditHistory::commit(const QString &label, const QString &mergeKey) {
    ModelDelta delta = takeChanges();
    if (delta.isEmpty())
        return;
    m_steps.resize(std::size_t(m_done));
    if (m_clean > m_done)
        m_clean = -1;
    const bool joins = !mergeKey.isEmpty() && m_done > 0 && m_clean != m_done &&
                       m_steps.back().mergeKey == mergeKey;
    if (joins && m_steps.back().delta.absorb(delta))
        return;
    m_steps.push_back({label, mergeKey, std::move(delta)});
    ++m_done;
    if (int(m_steps.size()) > kMaxSteps)
        dropOldest();
}

void EditHistory::dropOldest() {
    m_steps.erase(m_steps.begin());
    --m_done;
    m_clean = m_clean > 0 ? m_clean - 1 : -1;
}

void EditHistory::restart() {
    m_recorded = m_config;
    m_recordedControls = readControls();
    m_steps.clear();
    m_done = 0;
    m_clean = 0;
}

void EditHistory::markClean() {
    m_clean = m_done;
}

QString EditHistory::undoText() const {
    return canUndo() ? QStringLiteral("Undo %1").arg(m_steps[std::size_t(m_done - 1)].label)
                     : QStringLiteral("Undo");
}

QString EditHistory::redoText() const {
    return canRedo() ? QStringLiteral("Redo %1").arg(m_steps[std::size_t(m_done)].label)
                     : QStringLiteral("Redo");
}

bool EditHistory::undo() {
    if (!canUndo())
        return false;
    const ModelDelta &delta = m_steps[std::size_t(--m_done)].delta;
    showControls(delta.revert(m_config));
    delta.copyTouched(m_config, m_recorded);
    m_recordedControls = readControls();
    return true;
}

bool EditHistory::redo() {
    if (!canRedo())
        return false;
    const ModelDelta &delta = m_steps[std::size_t(m_done++)].delta;
    showControls(delta.reapply(m_config));
    delta.copyTouched(m_config, m_recorded);
    m_recordedControls = readControls();
    return true;
}

std::size_t EditHistory::bytes() const {
    std::size_t total = 0;
    for (const Step &step : m_steps)
        total += sizeof(Step) + step.delta.bytes();
    return total;
}

} // namespace tolvar
