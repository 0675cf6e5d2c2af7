#include "app/UtilityApp.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"

#include "support/DialogAnswerer.h"
#include "support/ScriptedPeer.h"
#include "support/WindowSnapshot.h"

#include <QAction>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

const QString kExamples = QStringLiteral(TOLVAR_EXAMPLES_DIR "/");

// The utility without a gateway, every dialog answered.
class FileMenu : public ::testing::Test {
protected:
    void SetUp() override {
        app.show();
        ASSERT_TRUE(app.openConfiguration(kExamples + "multi.json"));
    }
    QString file(const QString &name) const { return dir.filePath(name); }

    UtilityApp app{closedLoopbackPort()};
    DialogAnswerer answerer;
    QTemporaryDir dir;
};

// The loader's messages are tested with the file format; here the box that shows one.
TEST_F(FileMenu, AFileThatCannotBeUsedIsRefusedByPlaceAndChangesNothing) {
    EXPECT_EQ(app.main().OpenConfigurationAction->text(), "Open Configuration\u2026");
    EXPECT_EQ(app.main().VerifyGatewayAction->objectName(), "VerifyGatewayAction");
    const GatewayConfig model = app.config();
    const WindowSnapshot controls = snapshotOf(app.network());
    const QString path = file(QStringLiteral("bad.json"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write("{\"devices\": [") > 0);
    out.close();
    EXPECT_FALSE(app.openConfiguration(path));
    EXPECT_EQ(answerer.names.takeLast(), "OpenRefusedBox");
    EXPECT_TRUE(answerer.texts.takeLast().startsWith(path + ": line 1, column 14"));
    EXPECT_TRUE(app.config() == model);
    EXPECT_EQ(snapshotOf(app.network()), controls);
}

// Every CSV record is a filled cell of the view (area, row label, column header and tag), and
// every filled cell of the view is a record; its origin columns lead back to the model's cell.
// The address and register-byte columns are tested with the map's logic.
TEST_F(FileMenu, ModbusMapOfMultiMatchesTheMappingViewCellByCell) {
    ASSERT_TRUE(app.exportModbusMap(file("multi.csv")));
    ShowMapping &view = app.mappingView();
    view.ShowDOMapping();
    view.ShowDIMapping();
    view.ShowAIMapping();
    view.ShowAOMapping();
    QMap<QString, QString> shown;
    for (const auto &[area, grid] : {std::pair{"DO", view.MappingDOMSFlexGrid},
                                     {"DI", view.MappingDIMSFlexGrid},
                                     {"AI", view.MappingAIMSFlexGrid},
                                     {"AO", view.MappingAOMSFlexGrid}})
        for (int row = 1; row < grid->rowCount(); ++row)
            for (int column = 1; column < grid->columnCount(); ++column)
                if (grid->item(row, column) && !grid->item(row, column)->text().isEmpty())
                    shown[QStringList{area, grid->item(row, 0)->text().trimmed(),
                                      grid->item(0, column)->text()}
                              .join(u',')] = grid->item(row, column)->text();
    QMap<QString, QString> exported;
    const GatewayConfig &model = app.config();
    QFile csv(file("multi.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    QList<QByteArray> records = csv.readAll().split('\n');
    ASSERT_EQ(records.takeLast(), "");
    for (const QByteArray &record : records.mid(1)) {
        const QStringList f = QString::fromUtf8(record.chopped(1)).split(u',');
        ASSERT_EQ(f.size(), 14) << record.toStdString();
        exported[f.mid(0, 3).join(u',')] = f[5];
        const bool pdo = f[8].endsWith("PDO");
        const CellTable &table = f[8] == "TxPDO"      ? model.TxPDOTable
                                 : f[8] == "RxPDO"    ? model.RxPDOTable
                                 : f[8] == "Read SDO" ? model.ReadSDOTable
                                                      : model.WriteSDOTable;
        const int column = (pdo ? kFirstPdoByteColumn : 3) + f[13].mid(4).toInt();
        EXPECT_EQ(table.cell(f[6].toInt(), f[9].toInt(), column), f[5]);
        // An opened file lists device d at position d - 1.
        EXPECT_EQ(f[7].toInt(), model.NodeID[std::size_t(f[6].toInt() - 1)]);
    }
    EXPECT_EQ(exported, shown);
    EXPECT_EQ(exported.size(), 55); // 15 DO bytes, 8 DI bytes, 9 AI and 7 AO words
    EXPECT_TRUE(app.checkConfiguration().empty());
    EXPECT_EQ(answerer.names, QStringList{"CheckBox"});
}

} // namespace
} // namespace tolvar
