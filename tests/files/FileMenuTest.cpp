#include "app/UtilityApp.h"
#include "common/ReportDialog.h"
#include "link/ConnectSet.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"

#include "GatewaySimServer.h"
#include "SimConsole.h"
#include "support/DialogAnswerer.h"
#include "support/ScriptedPeer.h"
#include "support/WindowSnapshot.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace tolvar {
namespace {

QString examplePath(const QString &name) {
    return QStringLiteral(TOLVAR_EXAMPLES_DIR "/") + name;
}

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonDocument jsonOf(const QString &path) {
    return QJsonDocument::fromJson(contentsOf(path));
}

class FileMenu : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.listen(0));
        app = std::make_unique<UtilityApp>(sim.serverPort(), 10);
        app->show();
        QObject::connect(&app->link(), &GatewayLink::replyReceived, [this] { ++replies; });
    }

    void connectWithReadBack() {
        QTest::mouseClick(app->main().ConnectButt, Qt::LeftButton);
        ConnectSet &window = *app->connectSet();
        window.IPText->setText(QStringLiteral("127.0.0.1"));
        QTest::mouseClick(window.StartConnButt, Qt::LeftButton);
        ASSERT_TRUE(pumpUntil([this] { return replies >= 3; }));
    }

    QString file(const QString &name) const { return dir.filePath(name); }

    GatewaySimServer sim;
    std::unique_ptr<UtilityApp> app;
    int replies = 0;
    DialogAnswerer answerer;
    QTemporaryDir dir;
};

TEST_F(FileMenu, EachExampleOpensAndSavesBackEqual) {
    EXPECT_EQ(app->main().OpenConfigurationAction->text(), "Open Configuration\u2026");
    EXPECT_EQ(app->main().VerifyGatewayAction->objectName(), "VerifyGatewayAction");
    for (const QString name : {"small.json", "multi.json", "maximal.json"}) {
        ASSERT_TRUE(app->openConfiguration(examplePath(name)));
        ASSERT_TRUE(app->saveConfigurationAs(file(name)));
        EXPECT_EQ(jsonOf(file(name)), jsonOf(examplePath(name))) << name.toStdString();
    }
    EXPECT_TRUE(answerer.names.isEmpty()) << answerer.texts.join(u'\n').toStdString();
}

TEST_F(FileMenu, OpeningShowsWhatAReadBackOfTheSameConfigurationShows) {
    sim.setConfig(std::get<SimConfig>(loadSimConfigFile(examplePath("multi.json"))));
    connectWithReadBack();
    UtilityApp offline(closedLoopbackPort());
    offline.show();
    ASSERT_TRUE(offline.openConfiguration(examplePath("multi.json")));
    EXPECT_TRUE(offline.config() == app->config());
    EXPECT_EQ(offline.counters(), app->counters());
    EXPECT_EQ(snapshotOf(offline.network()), snapshotOf(app->network()));
}

TEST_F(FileMenu, AFileThatCannotBeUsedIsRefusedByPlaceAndChangesNothing) {
    const QByteArray one = R"({"nodeId": 1})";
    const auto devices = [](const QByteArray &list) { return "{\"devices\": [" + list + "]}"; };
    const auto tx = [&](const QByteArray &rows) {
        return devices(R"({"nodeId": 1, "txPdo": [)" + rows + "]}");
    };
    const std::vector<std::pair<QByteArray, QString>> cases{
        {"{\"devices\": [", "line 1, column 14 (offset 13): not valid JSON"},
        {"[1]", "top level: expected an object, found an array"},
        {R"({"format": 2, "devices": [{"nodeId": 1}]})", "format: format 2 is not known"},
        {devices((one + ",").repeated(10) + one), "devices: 11 devices; 1 to 10"},
        {"{}", "devices: missing"},
        {devices(R"({"guardTime": 5})"), "devices[0].nodeId: missing"},
        {devices(one + R"(, {"nodeId": -1})"), "devices[1].nodeId: -1 is out of range 0..255"},
        {devices(R"({"nodeId": 256})"), "devices[0].nodeId: 256 is out of range 0..255"},
        {devices(R"({"nodeId": 1, "guardTime": 65536})"),
         "devices[0].guardTime: 65536 is out of range 0..65535"},
        {devices(R"({"nodeId": 1, "txPDO": []})"), "devices[0].txPDO: unknown key"},
        {tx(QByteArray(R"({"cobId": 1},)").repeated(200) + R"({"cobId": 1})"),
         "devices[0].txPdo: 201 rows; at most 200"},
        {devices(R"({"nodeId": 1, "writeSdo": [)" +
                 QByteArray(R"({"index": 1, "subIndex": 0, "area": 0},)").repeated(30) +
                 R"({"index": 1, "subIndex": 0, "area": 0}]})"),
         "devices[0].writeSdo: 31 rows; at most 30"},
        {tx(R"({"cobId": 1, "areas": [1,1,1,1,1,1,1,1,1]})"),
         "devices[0].txPdo[0].areas: 9 data bytes; at most 8"},
        {tx(R"({"cobId": 1, "areas": [1, 4]})"), "devices[0].txPdo[0].areas[1]: code 4; codes"},
        {tx(R"({"cobId": 1, "areas": [1,1,1,1,1,1,1,2]})"),
         "devices[0].txPdo[0].areas[7]: a word (2 2) cannot start at Byte7"},
        {tx(R"({"cobId": 1, "areas": [2, 1]})"), "devices[0].txPdo[0].areas[0]: word not complete"},
        {tx(R"({"cobId": 65536})"), "devices[0].txPdo[0].cobId: 65536 is out of range 0..65535"},
        {tx(R"({"rtr": 0})"), "devices[0].txPdo[0].cobId: missing"},
        {devices(R"({"nodeId": 1, "readSdo": [{"index": 1, "subIndex": 0, "area": 5}]})"),
         "devices[0].readSdo[0].area: 5 is out of range 0..3"},
        {devices(R"({"nodeId": 1, "readSdo": [{"subIndex": 0, "area": 1}]})"),
         "devices[0].readSdo[0].index: missing"},
        {R"({"ethernet": {"ip": [10, 0, 0]}, "devices": [{"nodeId": 1}]})",
         "ethernet.ip: 3 octets; exactly 4"},
        {R"({"serial": {"parity": 300}, "devices": [{"nodeId": 1}]})",
         "serial.parity: 300 is out of range 0..255"},
    };
    ASSERT_TRUE(app->openConfiguration(examplePath("multi.json")));
    const GatewayConfig model = app->config();
    const WindowSnapshot controls = snapshotOf(app->network());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const QString path = file(QStringLiteral("bad%1.json").arg(i));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(cases[i].first) > 0);
        out.close();
        EXPECT_FALSE(app->openConfiguration(path));
        EXPECT_EQ(answerer.names.value(qsizetype(i)), "OpenRefusedBox");
        EXPECT_EQ(answerer.texts.value(qsizetype(i)).left(path.size() + 2 + cases[i].second.size()),
                  path + ": " + cases[i].second);
        EXPECT_TRUE(app->config() == model) << cases[i].second.toStdString();
        EXPECT_EQ(snapshotOf(app->network()), controls) << cases[i].second.toStdString();
    }
}

// Every CSV record is a cell of the view (area, row label, column header and tag), and every
// filled cell of the view is a record; the origin columns lead back to the model's cell.
TEST_F(FileMenu, ModbusMapOfMultiMatchesTheMappingViewCellByCell) {
    ASSERT_TRUE(app->openConfiguration(examplePath("multi.json")));
    ASSERT_TRUE(app->exportModbusMap(file("multi.csv")));
    ShowMapping &view = app->mappingView();
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
    const GatewayConfig &model = app->config();
    QList<QByteArray> records = contentsOf(file("multi.csv")).split('\n');
    ASSERT_EQ(records.takeLast(), "");
    for (const QByteArray &record : records.mid(1)) {
        const QStringList f = QString::fromUtf8(record.chopped(1)).split(u',');
        ASSERT_EQ(f.size(), 14) << record.toStdString();
        exported[f.mid(0, 3).join(u',')] = f[5];
        const int inRow = f[2].mid(4).toInt();
        const bool digital = f[0] == "DO" || f[0] == "DI";
        EXPECT_EQ(f[3].toInt(), f[1].toInt() + (digital ? 8 * inRow : inRow / 2));
        EXPECT_EQ(f[4], digital ? "" : f[5][4] == u'L' ? "low" : "high");
        const bool pdo = f[8].endsWith("PDO");
        const CellTable &table = f[8] == "TxPDO"      ? model.TxPDOTable
                                 : f[8] == "RxPDO"    ? model.RxPDOTable
                                 : f[8] == "Read SDO" ? model.ReadSDOTable
                                                      : model.WriteSDOTable;
        const auto cell = [&](int column) {
            return table.cell(f[6].toInt(), f[9].toInt(), column);
        };
        EXPECT_EQ(cell((pdo ? kFirstPdoByteColumn : 3) + f[13].mid(4).toInt()), f[5]);
        EXPECT_EQ(cell(f[8] == "RxPDO" ? 2 : 1), "&H" + (pdo ? f[10] : f[11]).mid(2));
        // An opened file lists device d at position d - 1.
        EXPECT_EQ(f[7].toInt(), model.NodeID[std::size_t(f[6].toInt() - 1)]);
    }
    EXPECT_EQ(exported, shown);
    EXPECT_EQ(exported.size(), 55); // 15 DO bytes, 8 DI bytes, 9 AI and 7 AO words
    EXPECT_TRUE(app->checkConfiguration().empty());
    EXPECT_EQ(answerer.names, QStringList{"CheckBox"});
}

// The simulator starts with the SYNC values of multi.json, which a download does not write.
TEST_F(FileMenu, SaveOfAnOpenedFileThenVerifyAgainstTheSimulator) {
    EXPECT_EQ(std::get<QString>(app->verifyGateway()),
              "Not connected: connect to the gateway first, then verify.");
    SimConfig start;
    start.sync = 1;
    start.syncTime = 100;
    sim.setConfig(start);
    QString held;
    QTextStream log(&held);
    saveEveryDownload(sim, file("held.json"), log);
    connectWithReadBack();
    ASSERT_TRUE(app->openConfiguration(examplePath("multi.json")));
    MappingModules &network = app->network();
    for (QCheckBox *check : {network.IPCheck, network.MaskCheck, network.GatewayCheck})
        check->setChecked(true);
    QTest::mouseClick(network.SaveCommand, Qt::LeftButton);
    const SimConfig opened = std::get<SimConfig>(loadSimConfigFile(examplePath("multi.json")));
    ASSERT_TRUE(pumpUntil([&] { return sim.config() == opened; }));
    EXPECT_EQ(jsonOf(file("held.json")), jsonOf(examplePath("multi.json")));
    EXPECT_EQ(app->verifyGateway(), Comparison(std::vector<ConfigDifference>{}));
    EXPECT_EQ(answerer.texts.takeLast(), "The gateway holds this configuration.");

    sim.setConfig(std::get<SimConfig>(loadSimConfigFile(examplePath("small.json"))));
    const auto differences = std::get<std::vector<ConfigDifference>>(app->verifyGateway());
    EXPECT_EQ(differenceText(differences.at(0)), "IP: gateway 192.168.255.3, utility 192.168.1.20");
    EXPECT_TRUE(answerer.texts.takeLast().contains("Device Amount: gateway 1, utility 4"));

    // A fault stops the save until the user sends anyway.
    app->config().NodeID[1] = app->config().NodeID[0];
    answerer.proceed = false;
    sim.clearReceivedFrames();
    QTest::mouseClick(network.SaveCommand, Qt::LeftButton);
    EXPECT_EQ(answerer.names.last(), "SaveFindingsBox");
    EXPECT_TRUE(answerer.texts.last().contains(
        "Fault: device 2: Node ID 2 is also the node ID of device 1."));
    QTest::qWait(100);
    EXPECT_TRUE(sim.receivedFrames().isEmpty());
    answerer.proceed = true;
    QTest::mouseClick(network.SaveCommand, Qt::LeftButton);
    EXPECT_TRUE(pumpUntil([&] { return sim.config().devices.size() == 4; }));
    EXPECT_EQ(sim.config().devices[1].nodeId, 2);
}

} // namespace
} // namespace tolvar
