#include "app/UtilityApp.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"

#include "support/DialogAnswerer.h"
#include "support/ScriptedPeer.h"

#include <QFile>
#include <QLabel>
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
    const GatewayConfig model = app.config();
    const QString path = file(QStringLiteral("bad.json"));
    const std::pair<QByteArray, QString> cases[] = {
        {"{\"devices\": [", ": line 1, column 14"},
        {QByteArray("{\"devices\": [{\"nodeId\": \"0x1\0", 29),
         ": line 1, column 29 (offset 28): control character \\u0000 in a string"},
    };
    for (const auto &[content, message] : cases) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(content) > 0);
        out.close();
        EXPECT_FALSE(app.openConfiguration(path));
        EXPECT_EQ(answerer.names.takeLast(), "OpenRefusedBox");
        EXPECT_TRUE(answerer.texts.takeLast().startsWith(path + message));
        EXPECT_TRUE(app.config() == model);
    }
}

// Every CSV record is a filled cell of the view (area, row label, column header and tag), and
// every filled cell of the view is a record. The address, register-byte and origin columns are
// tested with the map's logic. The view also tells how a download goes.
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
    QFile csv(file("multi.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    for (const QString &record : QString::fromUtf8(csv.readAll()).split("\r\n").mid(1, 55)) {
        const QStringList f = record.split(u',');
        exported[f.mid(0, 3).join(u',')] = f.value(5);
    }
    EXPECT_EQ(exported, shown);
    EXPECT_EQ(exported.size(), 55); // 15 DO bytes, 8 DI bytes, 9 AI and 7 AO words
    EXPECT_TRUE(app.checkConfiguration().empty());
    EXPECT_EQ(answerer.names, QStringList{"CheckBox"});
    view.showProgress(1, 4, 3);
    EXPECT_EQ(view.DownloadLabel->text(),
              "Sending the configuration: 1 of 4 frames sent, about 3 s left.");
    view.showOutcome(DownloadOutcome{}, downloadOutcomeText(DownloadOutcome{}, true));
    EXPECT_EQ(view.DownloadLabel->text(), "Not connected to the gateway: nothing was sent.");
}

} // namespace
} // namespace tolvar
