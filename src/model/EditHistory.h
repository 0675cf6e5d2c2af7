#pragma once

#include "model/GatewayConfig.h"
#include "model/ModelDelta.h"

#include <functional>
#include <vector>

namespace tolvar {

// The user's edits of the model as steps that can be undone and redone. After every edit the
// windows commit a step: the history compares the model with the state it last recorded and
// keeps only what changed. Values that live in window controls take part through a reader and
// a writer of those controls.
class EditHistory {
public:
    using ControlReader = std::function<ControlValues()>;
    using ControlWriter = std::function<void(const ControlValues &)>;

    // More than this many steps drop the oldest.
    static constexpr int kMaxSteps = 256;

    explicit EditHistory(GatewayConfig &config);

    void setControls(ControlReader reader, ControlWriter writer);

    // Takes what changed since the last step as a new step named `label`; nothing changed, no
    // step. A step with the same non-empty `mergeKey` as the step just before joins it (the
    // keystrokes of one entry are one step). Steps undone before are gone.
    void commit(const QString &label, const QString &mergeKey = {});
    // Takes what changed since the last step as the state the next step is measured against,
    // without a step: for changes the program made (a window filled from the model).
    void settle() { takeChanges(); }
    // A fresh history from the model as it is now, with nothing to undo; the model counts as
    // unmodified.
    void restart();
    // The model as it is now counts as unmodified (saved to a file, for example).
    void markClean();
    bool isClean() const { return m_done == m_clean; }

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < int(m_steps.size()); }
    // "Undo Delete 2 rows"; plain "Undo" / "Redo" when there is nothing to undo or redo.
    QString undoText() const;
    QString redoText() const;
    // Each answers whether it changed anything.
    bool undo();
    bool redo();

    int stepCount() const { return int(m_steps.size()); }
    // The memory the kept steps hold, estimated.
    std::size_t bytes() const;

private:
    struct Step {
        QString label;
        QString mergeKey;
        ModelDelta delta;
    };

    ModelDelta takeChanges();
    ControlValues readControls() const;
    void showControls(const ControlValues &values);
    void dropOldest();

    GatewayConfig &m_config;
    // The model and the controls as the last step left them: what the next step is measured
    // against.
    GatewayConfig m_recorded;
    ControlValues m_recordedControls;
    ControlReader m_readControls;
    ControlWriter m_writeControls;
    std::vector<Step> m_steps;
    int m_done = 0;  // steps applied; those after it can be redone
    int m_clean = 0; // the step count at which the model was unmodified; -1 when gone
};

} // namespace tolvar
