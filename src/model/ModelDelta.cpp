#include "model/ModelDelta.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <optional>

namespace tolvar {
namespace {

constexpr std::array kTables{&GatewayConfig::TxPDOTable, &GatewayConfig::RxPDOTable,
                             &GatewayConfig::ReadSDOTable, &GatewayConfig::WriteSDOTable};

// One numeric field of the model: a single value, or an array indexed 0..10.
struct NumberField {
    std::size_t length;
    qint32 (*get)(const GatewayConfig &config, std::size_t index);
    void (*set)(GatewayConfig &config, std::size_t index, qint32 value);
};

template <auto Member> constexpr NumberField arrayField() {
    return {kMaxDevices + 1,
            [](const GatewayConfig &config, std::size_t index) -> qint32 {
                return (config.*Member)[index];
            },
            [](GatewayConfig &config, std::size_t index, qint32 value) {
                auto &slot = (config.*Member)[index];
                slot = static_cast<std::remove_reference_t<decltype(slot)>>(value);
            }};
}

template <auto Member> constexpr NumberField singleField() {
    return {1, [](const GatewayConfig &config, std::size_t) -> qint32 { return config.*Member; },
            [](GatewayConfig &config, std::size_t, qint32 value) {
                auto &slot = config.*Member;
                slot = static_cast<std::remove_reference_t<decltype(slot)>>(value);
            }};
}

// Every numeric field of GatewayConfig; GuardTime, the one text field, and the tables are kept
// apart. A field added to the model needs its place here, or undo will not restore it.
constexpr std::array kNumberFields{
    arrayField<&GatewayConfig::DeviceOrder>(),   arrayField<&GatewayConfig::NodeID>(),
    arrayField<&GatewayConfig::ModuleID>(),      arrayField<&GatewayConfig::TxPDO_rows>(),
    arrayField<&GatewayConfig::RxPDO_rows>(),    arrayField<&GatewayConfig::ReadSDO_rows>(),
    arrayField<&GatewayConfig::WriteSDO_rows>(), arrayField<&GatewayConfig::DO_count>(),
    arrayField<&GatewayConfig::DI_count>(),      arrayField<&GatewayConfig::AI_count>(),
    arrayField<&GatewayConfig::AO_count>(),      arrayField<&GatewayConfig::SDO_DO_count>(),
    arrayField<&GatewayConfig::SDO_DI_count>(),  arrayField<&GatewayConfig::SDO_AI_count>(),
    arrayField<&GatewayConfig::SDO_AO_count>(),  singleField<&GatewayConfig::DO_total>(),
    singleField<&GatewayConfig::DI_total>(),     singleField<&GatewayConfig::AI_total>(),
    singleField<&GatewayConfig::AO_total>(),     singleField<&GatewayConfig::SDO_DO_total>(),
    singleField<&GatewayConfig::SDO_DI_total>(), singleField<&GatewayConfig::SDO_AI_total>(),
    singleField<&GatewayConfig::SDO_AO_total>(), singleField<&GatewayConfig::CurrentDevice>(),
    singleField<&GatewayConfig::ComPortCode>(),  singleField<&GatewayConfig::BaudRateCode>(),
    singleField<&GatewayConfig::DataBitsCode>(), singleField<&GatewayConfig::ParityCode>(),
    singleField<&GatewayConfig::StopBitsCode>(), singleField<&GatewayConfig::ListenMode>()};

// A tag written the way the renumbering writes it: a name, one blank, a plain decimal number.
struct NumberedTag {
    QStringView prefix;
    int number;
};

// Digits only, no leading zero, short enough for an int: the text QString::number gives back.
bool isPlainNumber(QStringView digits) {
    constexpr qsizetype kMaxDigits = 9;
    if (digits.isEmpty() || digits.size() > kMaxDigits || (digits[0] == u'0' && digits.size() > 1))
        return false;
    return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

std::optional<NumberedTag> numberedTag(const QString &text) {
    const qsizetype blank = text.lastIndexOf(u' ');
    if (blank <= 0)
        return std::nullopt;
    const QStringView digits = QStringView(text).mid(blank + 1);
    if (!isPlainNumber(digits))
        return std::nullopt;
    return NumberedTag{QStringView(text).left(blank), digits.toInt()};
}

// Cuts the changes of one table into single cells and runs of tags moved alike. A cell whose
// change is not a move (a new tag, a cleared byte) keeps its texts; it does not end a run, as
// its own texts are written after the runs.
class TableDiff {
public:
    TableDiff(int table, std::vector<ModelDelta::Cell> &cells, std::vector<ModelDelta::Run> &runs)
        : m_table(table), m_cells(cells), m_runs(runs) {}

    void compare(const CellTable &before, const CellTable &after) {
        for (int index = 0; index < before.cellCount(); ++index) {
            const QString &was = before.at(index);
            const QString &is = after.at(index);
            if (was == is)
                unchanged(is);
            else if (!moved(index, was, is))
                m_cells.push_back({m_table, index, was, is});
        }
    }

private:
    // A tag that stayed where it was ends the run of its name.
    void unchanged(const QString &text) {
        if (m_open.isEmpty() || text.isEmpty())
            return;
        if (const auto tag = numberedTag(text))
            m_open.remove(tag->prefix.toString());
    }

    bool moved(int index, const QString &was, const QString &is) {
        const auto from = numberedTag(was);
        const auto to = numberedTag(is);
        if (!from || !to || from->prefix != to->prefix)
            return false;
        const QString prefix = to->prefix.toString();
        const int delta = to->number - from->number;
        const auto open = m_open.constFind(prefix);
        if (open != m_open.constEnd() && m_runs[*open].delta == delta) {
            m_runs[*open].last = index;
        } else {
            m_open.insert(prefix, m_runs.size());
            m_runs.push_back({m_table, prefix, index, index, delta});
        }
        return true;
    }

    int m_table;
    std::vector<ModelDelta::Cell> &m_cells;
    std::vector<ModelDelta::Run> &m_runs;
    QHash<QString, std::size_t> m_open; // tag name -> its run still growing
};

void moveRun(CellTable &table, const ModelDelta::Run &run, int delta) {
    for (int index = run.first; index <= run.last; ++index) {
        QString &text = table.at(index);
        const auto tag = numberedTag(text);
        if (tag && tag->prefix == run.prefix)
            text = run.prefix + u' ' + QString::number(tag->number + delta);
    }
}

std::vector<ModelDelta::Control> controlChanges(const ControlValues &before,
                                                const ControlValues &after) {
    QHash<QString, QString> was;
    for (const auto &[name, value] : before)
        was.insert(name, value);
    std::vector<ModelDelta::Control> changes;
    for (const auto &[name, value] : after) {
        const auto old = was.constFind(name);
        if (old != was.constEnd() && *old != value)
            changes.push_back({name, *old, value});
    }
    return changes;
}

// Finds the entry of `list` with the same place as `item`, or adds one.
template <typename T, typename Same> T &placeOf(std::vector<T> &list, const T &item, Same same) {
    for (T &entry : list) {
        if (same(entry, item))
            return entry;
    }
    list.push_back(item);
    return list.back();
}

// Counted as if the delta held the only copy, as it does once the model has moved on.
std::size_t textBytes(const QString &text) {
    constexpr std::size_t kHeader = 16;
    return text.isNull() ? 0 : kHeader + std::size_t(text.capacity()) * sizeof(QChar);
}

} // namespace

ModelDelta ModelDelta::between(const GatewayConfig &before, const GatewayConfig &after,
                               const ControlValues &controlsBefore,
                               const ControlValues &controlsAfter) {
    ModelDelta delta;
    for (std::size_t t = 0; t < kTables.size(); ++t)
        TableDiff(int(t), delta.m_cells, delta.m_runs)
            .compare(before.*kTables[t], after.*kTables[t]);
    for (std::size_t f = 0; f < kNumberFields.size(); ++f) {
        const NumberField &field = kNumberFields[f];
        for (std::size_t i = 0; i < field.length; ++i) {
            const qint32 was = field.get(before, i);
            const qint32 is = field.get(after, i);
            if (was != is)
                delta.m_fields.push_back({int(f), int(i), was, is});
        }
    }
    for (std::size_t i = 0; i < before.GuardTime.size(); ++i) {
        if (before.GuardTime[i] != after.GuardTime[i])
            delta.m_guardTimes.push_back({int(i), before.GuardTime[i], after.GuardTime[i]});
    }
    delta.m_controls = controlChanges(controlsBefore, controlsAfter);
    return delta;
}

bool ModelDelta::isEmpty() const {
    return m_cells.empty() && m_runs.empty() && m_fields.empty() && m_guardTimes.empty() &&
           m_controls.empty();
}

ControlValues ModelDelta::revert(GatewayConfig &config) const {
    return apply(config, false);
}

ControlValues ModelDelta::reapply(GatewayConfig &config) const {
    return apply(config, true);
}

// Runs first: a cell with texts of its own inside a run is then written over.
ControlValues ModelDelta::apply(GatewayConfig &config, bool forward) const {
    for (const Run &run : m_runs)
        moveRun(config.*kTables[std::size_t(run.table)], run, forward ? run.delta : -run.delta);
    for (const Cell &cell : m_cells)
        (config.*kTables[std::size_t(cell.table)]).at(cell.index) =
            forward ? cell.after : cell.before;
    for (const Field &field : m_fields)
        kNumberFields[std::size_t(field.field)].set(config, std::size_t(field.index),
                                                    forward ? field.after : field.before);
    for (const Text &text : m_guardTimes)
        config.GuardTime[std::size_t(text.index)] = forward ? text.after : text.before;
    ControlValues controls;
    for (const Control &control : m_controls)
        controls.emplace_back(control.name, forward ? control.after : control.before);
    return controls;
}

void ModelDelta::copyTouched(const GatewayConfig &from, GatewayConfig &to) const {
    for (const Run &run : m_runs) {
        const CellTable &source = from.*kTables[std::size_t(run.table)];
        CellTable &target = to.*kTables[std::size_t(run.table)];
        for (int index = run.first; index <= run.last; ++index)
            target.at(index) = source.at(index);
    }
    for (const Cell &cell : m_cells)
        (to.*kTables[std::size_t(cell.table)]).at(cell.index) =
            (from.*kTables[std::size_t(cell.table)]).at(cell.index);
    for (const Field &field : m_fields) {
        const NumberField &number = kNumberFields[std::size_t(field.field)];
        number.set(to, std::size_t(field.index), number.get(from, std::size_t(field.index)));
    }
    for (const Text &text : m_guardTimes)
        to.GuardTime[std::size_t(text.index)] = from.GuardTime[std::size_t(text.index)];
}

bool ModelDelta::absorb(const ModelDelta &later) {
    if (!m_runs.empty() || !later.m_runs.empty())
        return false;
    for (const Cell &cell : later.m_cells)
        placeOf(m_cells, cell, [](const Cell &a, const Cell &b) {
            return a.table == b.table && a.index == b.index;
        }).after = cell.after;
    for (const Field &field : later.m_fields)
        placeOf(m_fields, field, [](const Field &a, const Field &b) {
            return a.field == b.field && a.index == b.index;
        }).after = field.after;
    for (const Text &text : later.m_guardTimes)
        placeOf(m_guardTimes, text, [](const Text &a, const Text &b) {
            return a.index == b.index;
        }).after = text.after;
    for (const Control &control : later.m_controls)
        placeOf(m_controls, control, [](const Control &a, const Control &b) {
            return a.name == b.name;
        }).after = control.after;
    return true;
}

std::size_t ModelDelta::bytes() const {
    std::size_t total = sizeof(*this) + m_cells.capacity() * sizeof(Cell) +
                        m_runs.capacity() * sizeof(Run) + m_fields.capacity() * sizeof(Field) +
                        m_guardTimes.capacity() * sizeof(Text) +
                        m_controls.capacity() * sizeof(Control);
    for (const Cell &cell : m_cells)
        total += textBytes(cell.before) + textBytes(cell.after);
    for (const Run &run : m_runs)
        total += textBytes(run.prefix);
    for (const Text &text : m_guardTimes)
        total += textBytes(text.before) + textBytes(text.after);
    for (const Control &control : m_controls)
        total += textBytes(control.name) + textBytes(control.before) + textBytes(control.after);
    return total;
}

} // namespace tolvar
