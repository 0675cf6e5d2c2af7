// The edit history of UtilityApp: steps committed by the windows, undo and redo, and the title
// that tells where the configuration came from and whether it has unsaved changes.

#include "app/UtilityApp.h"

#include "devices/CANopenDeviceSetting.h"
#include "network/MappingModules.h"

namespace tolvar {

namespace {
// Where the configuration came from is restored with it: undoing an opened file gives back the
// name of the one before.
const QString kOriginValue = QStringLiteral("origin");
} // namespace

ControlValues UtilityApp::shownValues() const {
    ControlValues values = m_network ? m_network->controlValues() : ControlValues{};
    values.emplace_back(kOriginValue, m_origin);
    return values;
}

void UtilityApp::showValues(const ControlValues &values) {
    for (const auto &[name, value] : values) {
        if (name == kOriginValue)
            m_origin = value;
    }
    if (m_network)
        m_network->showControlValues(values);
}

void UtilityApp::commitEdit(const QString &label, const QString &mergeKey) {
    m_history.commit(label, mergeKey);
    showEditState();
}

void UtilityApp::undoEdit() {
    showStepTaken(m_history.undo());
}

void UtilityApp::redoEdit() {
    showStepTaken(m_history.redo());
}

// What an undone or redone step changed is shown again wherever it shows.
void UtilityApp::showStepTaken(bool taken) {
    if (!taken)
        return;
    if (m_deviceSettings && m_deviceSettings->isOpen())
        m_deviceSettings->showModel();
    showEditState();
}

void UtilityApp::showEditState() {
    const auto show = [this](const EditActions &actions) {
        showEditSteps(actions, m_history.undoText(), m_history.canUndo(), m_history.redoText(),
                      m_history.canRedo());
    };
    show(m_main.edit);
    if (m_deviceSettings)
        show(m_deviceSettings->edit);
    m_main.showOrigin(m_origin, !m_history.isClean());
}

// Read, or sent in full: the model is what the gateway holds, with nothing to undo.
void UtilityApp::startHistory(const QString &origin) {
    m_origin = origin;
    m_history.restart();
    showEditState();
}

} // namespace tolvar
