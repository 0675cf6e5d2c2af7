// Typing one data byte into the largest configuration: ten listed devices, each with 200
// TxPDO rows of eight typed bytes. The byte is the first of all, so every position after it
// moves and the renumbering rewrites the tags of all devices.

#include "devices/CANopenDeviceSetting.h"
#include "devices/DataTyping.h"
#include "devices/Renumbering.h"
#include "devices/TableGridView.h"
#include "model/EditHistory.h"

#include <QApplication>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <vector>

namespace tolvar {
namespace {

// Stands for the window's grid without its drawing: the cell texts in one vector.
class VectorGrid : public GridView {
public:
    QString cellText(int row, int column) const override { return m_cells[index(row, column)]; }
    void setCellText(int row, int column, const QString &text) override {
        m_cells[index(row, column)] = text;
    }

private:
    static std::size_t index(int row, int column) {
        return std::size_t(row * kPdoColumns + column);
    }
    std::vector<QString> m_cells = std::vector<QString>((kMaxPdoRows + 1) * kPdoColumns);
};

GatewayConfig largestTxPdoConfig() {
    GatewayConfig config;
    // Four digital bytes and two words in every row.
    const QString pattern[] = {"P_DI 0", "P_AIL 0", "P_AIH 0", "P_DI 0",
                               "P_DI 0", "P_AIL 0", "P_AIH 0", "P_DI 0"};
    for (int device = 1; device <= kMaxDevices; ++device) {
        config.DeviceOrder[std::size_t(device - 1)] = qint16(device);
        config.TxPDO_rows[std::size_t(device)] = kMaxPdoRows;
        for (int row = 1; row <= kMaxPdoRows; ++row) {
            config.TxPDOTable.cell(device, row, 1) = QStringLiteral("&H181");
            config.TxPDOTable.cell(device, row, 3) = QStringLiteral("8");
            for (int byte = 0; byte < kPdoDataBytes; ++byte)
                config.TxPDOTable.cell(device, row, kFirstPdoByteColumn + byte) = pattern[byte];
        }
    }
    // Numbering gives every tag a storage of its own, as the read-back does.
    const TagNumbers numbers = renumberPositions(config, kTxPdoTable, {1, kMaxDevices});
    config.DI_total = qint16(numbers.bytes);
    config.AI_total = qint16(numbers.words);
    return config;
}

// Clears and types again the first digital byte of device 1, one typing per iteration.
void typeFirstByte(benchmark::State &state, GridView *grid, void (*redraw)() = [] {}) {
    GatewayConfig config = largestTxPdoConfig();
    const EditScope scope{1, kMaxDevices, grid};
    const GridCell byte0{1, kFirstPdoByteColumn};
    bool typed = true;
    for (auto _ : state) {
        typed = !typed;
        typePdoByte(config, kTxPdoTable, scope, byte0, typed ? u"Byte" : u"Null");
        redraw();
        benchmark::ClobberMemory();
    }
    if (config.DI_total != 8000 && config.DI_total != 7999)
        state.SkipWithError("the totals drifted");
}

void typeByteWithoutGrid(benchmark::State &state) {
    typeFirstByte(state, nullptr);
}

void typeByteIntoVectorGrid(benchmark::State &state) {
    VectorGrid grid;
    typeFirstByte(state, &grid);
}

// The settings window's own grid, shown, with the redraw the typing causes.
void typeByteIntoShownGrid(benchmark::State &state) {
    QTableWidget table(kMaxPdoRows + 1, kPdoColumns);
    table.show();
    TableGridView grid(table);
    typeFirstByte(state, &grid, [] { QCoreApplication::processEvents(); });
}

// Undoing (and redoing) the byte typed first of all, with the settings window shown and
// showing the model again after every step; the counter is the memory the one step holds.
void undoTypedByteWithWindowShown(benchmark::State &state) {
    GatewayConfig config = largestTxPdoConfig();
    CANopenDeviceSetting window(config, [] { return 1; }, [] { return kMaxDevices; });
    window.open();
    EditHistory history(config);
    typePdoByte(config, kTxPdoTable, {1, kMaxDevices}, {1, kFirstPdoByteColumn}, u"Null");
    history.commit(QStringLiteral("Null in Byte0"));
    bool undone = false;
    for (auto _ : state) {
        undone = undone ? !history.redo() : history.undo();
        window.showModel();
        QCoreApplication::processEvents();
    }
    state.counters["step_bytes"] = double(history.bytes());
}

BENCHMARK(typeByteWithoutGrid)->Unit(benchmark::kMicrosecond);
BENCHMARK(typeByteIntoVectorGrid)->Unit(benchmark::kMicrosecond);
BENCHMARK(typeByteIntoShownGrid)->Unit(benchmark::kMicrosecond);
BENCHMARK(undoTypedByteWithWindowShown)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tolvar

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

