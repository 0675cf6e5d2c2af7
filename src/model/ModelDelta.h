#pragma once

#include "model/GatewayConfig.h"

#include <QString>

#include <utility>
#include <vector>

namespace tolvar {

// Values that live in a window's controls rather than in the model, by control name: a text,
// or "1" / "0" for a check box.
using ControlValues = std::vector<std::pair<QString, QString>>;

// What one edit changed: the cells, fields and control values it changed, each with its value
// before and after. A renumbering moves many tags by the same amount; such moves are kept as
// runs over the table instead of cell by cell, so a typed byte stays small on any table.
class ModelDelta {
public:
    static ModelDelta between(const GatewayConfig &before, const GatewayConfig &after,
                              const ControlValues &controlsBefore,
                              const ControlValues &controlsAfter);

    bool isEmpty() const;
    // Puts back the values before (undo) or after (redo) into the model; answers the control
    // values to show.
    ControlValues revert(GatewayConfig &config) const;
    ControlValues reapply(GatewayConfig &config) const;
    // Copies every value the delta touches from one model to the other: cheaper than applying
    // it twice, as the texts are shared.
    void copyTouched(const GatewayConfig &from, GatewayConfig &to) const;
    // Takes a later delta into this one, so that both read as one edit. Refused (false) when
    // either holds runs: those cannot be combined cell by cell.
    bool absorb(const ModelDelta &later);
    // An estimate of the memory the delta holds, for the history's measurements.
    std::size_t bytes() const;

    struct Cell {
        int table;
        int index;
        QString before;
        QString after;
    };
    // Every tag with `prefix` in cells first..last of a table moved by `delta`.
    struct Run {
        int table;
        QString prefix;
        int first;
        int last;
        int delta;
    };
    struct Field {
        int field;
        int index;
        qint32 before;
        qint32 after;
    };
    struct Text {
        int index;
        QString before;
        QString after;
    };
    struct Control {
        QString name;
        QString before;
        QString after;
    };

private:
    ControlValues apply(GatewayConfig &config, bool forward) const;

    std::vector<Cell> m_cells;
    std::vector<Run> m_runs;
    std::vector<Field> m_fields;
    std::vector<Text> m_guardTimes;
    std::vector<Control> m_controls;
};

} // namespace tolvar
