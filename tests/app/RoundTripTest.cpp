#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "link/ConnectSet.h"
#include "mapping/DownloadFrames.h"
#include "mapping/ShowMapping.h"
#include "mapping/TableStream.h"
#include "network/MappingModules.h"
#include "network/WindowControls.h"

#include "GatewaySimServer.h"
#include "files/SimConfig.h"
#include "SimConsole.h"
#include "support/DialogAnswerer.h"
#include "support/ScriptedPeer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

SimConfig example(const QString &name) {
    auto loaded = loadSimConfigFile(QStringLiteral(TOLVAR_EXAMPLES_DIR "/") + name);
    if (const auto *problem = std::get_if<QString>(&loaded))
        ADD_FAILURE() << problem->toStdString();
    return std::get<SimConfig>(loaded);
}

// The whole program against the simulator on loopback, driven through its named controls.
// Download seconds last 5 ms; the connect's read-back waits its real three seconds.
class RoundTrip : public ::testing::Test {
protected:
    void serve(const SimConfig &config) {
        ASSERT_TRUE(sim.listen(0));
        sim.setConfig(config);
        QObject::connect(&sim, &GatewaySimServer::frameReceived, [this](const QString &command) {
            writeFrames += command == u"#ID" || command == u"#RD" || command == u"#SD";
        });
        QObject::connect(&sim, &GatewaySimServer::configWritten, [this] { ++downloads; });
        app = std::make_unique<UtilityApp>(sim.serverPort(), 5);
        QObject::connect(&app->link(), &GatewayLink::replyReceived, [this] { ++replies; });
        app->show();
    }
    void connectAndRead() {
        const int before = replies;
        if (!app->connectSet())
            QTest::mouseClick(app->main().ConnectButt, Qt::LeftButton);
        else
            app->main().ConnectButt->click();
        app->connectSet()->IPText->setText(QStringLiteral("127.0.0.1"));
        QTest::mouseClick(app->connectSet()->StartConnButt, Qt::LeftButton);
        ASSERT_TRUE(pumpUntil([&] { return replies >= before + 3; }, 5000));
    }
    void reconnect() {
        QTest::mouseClick(app->main().DisconnectButt, Qt::LeftButton);
        connectAndRead();
    }
    void save() {
        const int before = downloads;
        network().SaveCommand->click();
        ASSERT_TRUE(pumpUntil([&] { return downloads > before; }, 5000));
    }
    MappingModules &network() { return app->network(); }
    CANopenDeviceSetting &openDevice(int device) {
        control<QPushButton>(network(), QStringLiteral("CommButt%1").arg(device))->click();
        return app->deviceSettings();
    }
    static void clickCell(QTableWidget *grid, int row, int column) {
        const QModelIndex cell = grid->model()->index(row, column);
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    }
    static void pick(CANopenDeviceSetting &window, QTableWidget *grid, int row, int column,
                     const char *editor, const char *item) {
        clickCell(grid, row, column);
        choose(*control<QComboBox>(window, QLatin1String(editor)), QLatin1String(item));
    }
    // The model as a later read-back must show it; which device window was open last is not
    // the gateway's.
    static GatewayConfig gatewayPart(GatewayConfig config) {
        config.ModuleID = {};
        config.CurrentDevice = 0;
        return config;
    }

    GatewaySimServer sim;
    std::unique_ptr<UtilityApp> app;
    int replies = 0;
    int writeFrames = 0;
    int downloads = 0;
};

class ExampleRoundTrip : public RoundTrip, public ::testing::WithParamInterface<const char *> {};

// What the gateway served comes back to it unchanged, whatever its size.
TEST_P(ExampleRoundTrip, SavingWithoutEditsGivesTheGatewayWhatItHad) {
    const SimConfig served = example(QLatin1String(GetParam()));
    serve(served);
    connectAndRead();
    save();
    EXPECT_TRUE(sim.config() == served);
    EXPECT_EQ(app->mappingView().DownloadLabel->text().left(20),
              QStringLiteral("Configuration sent: "));
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleRoundTrip,
                         ::testing::Values("small.json", "multi.json", "maximal.json"),
                         [](const auto &name) {
                             return QString::fromLatin1(name.param).section(u'.', 0, 0).toStdString();
                         });

// A word typed into device 2 and an RxPDO row of device 1 deleted reach the gateway, which
// then serves exactly the edited configuration; its file differs from the example just there.
TEST_F(RoundTrip, EditsReachTheGatewayAndComeBack) {
    QTemporaryDir dir;
    const QString savedFile = dir.filePath(QStringLiteral("saved.json"));
    QString console;
    QTextStream out(&console);
    saveEveryDownload(sim, savedFile, out);
    const SimConfig multi = example(QStringLiteral("multi.json"));
    serve(multi);
    connectAndRead();

    CANopenDeviceSetting &device2 = openDevice(2);
    pick(device2, device2.MSFlexGrid, 1, 10, "TypeCombo", "Word"); // Byte6: two bytes become a word
    device2.ExitCommand->click();
    CANopenDeviceSetting &device1 = openDevice(1);
    device1.SSTab->setCurrentIndex(1);
    clickCell(device1.RxPDOMSFlexGrid, 2, 0);
    device1.DeleteCommand->click();
    device1.ExitCommand->click();
    const GatewayConfig edited = gatewayPart(app->config());
    save();

    SimConfig expected = multi;
    expected.devices[1].txPdo[0].typeBytes = QByteArray(8, 2);
    expected.devices[0].rxPdo.erase(expected.devices[0].rxPdo.begin() + 1);
    EXPECT_TRUE(sim.config() == expected);
    const auto written = loadSimConfigFile(savedFile);
    ASSERT_TRUE(std::holds_alternative<SimConfig>(written)) << console.toStdString();
    EXPECT_TRUE(std::get<SimConfig>(written) == expected);

    reconnect();
    EXPECT_TRUE(gatewayPart(app->config()) == edited);
    EXPECT_EQ(app->config().TxPDOTable.cell(2, 1, 10), QStringLiteral("P_AIL 7"));
}

// A new device amount empties the tables but keeps the entry counts, node IDs and guarding
// times: the gateway then lists the new amount of devices, each as the utility sent it.
TEST_F(RoundTrip, NewDeviceAmountReachesTheGateway) {
    serve(example(QStringLiteral("multi.json")));
    connectAndRead();
    choose(*network().DevicesNumCombo, QStringLiteral("2"));
    const GatewayConfig edited = app->config();
    DialogAnswerer answerer; // the emptied entries share COB-ID 0: sent anyway
    save();
    EXPECT_EQ(answerer.names.value(0), QStringLiteral("SaveFindingsBox"));
    reconnect();
    EXPECT_EQ(network().DevicesNumCombo->currentText(), QStringLiteral("2"));
    for (int position : {0, 1}) {
        DeviceRecord sent = deviceRecordAt(edited, position);
        DeviceRecord shown = deviceRecordAt(app->config(), position);
        sent.counts = shown.counts = {}; // the counts of emptied tables are not kept, by design
        EXPECT_EQ(shown, sent) << position;
    }
}

// A save that cannot be sent says why and sends nothing.
TEST_F(RoundTrip, RefusedSavesSendNothing) {
    serve(example(QStringLiteral("small.json")));
    connectAndRead();
    const struct {
        const char *says;
        std::function<void()> spoil;
        std::function<void()> mend;
    } cases[] = {
        {"IP octet 2 is \"300\"",
         [this] {
             network().IPCheck->setChecked(true);
             network().IPText[1]->setText(QStringLiteral("300"));
         },
         [this] { network().IPCheck->setChecked(false); }},
        {"ID (Tolvar Parameters)",
         [this] { network().KestoCombo->setEditText(QStringLiteral("abc")); },
         [this] { network().KestoCombo->setEditText(QStringLiteral("1")); }},
        {"Tolvar ID (connection settings)",
         [this] { app->connectSet()->TolvarCombo->setEditText(QStringLiteral("x")); },
         [this] { app->connectSet()->TolvarCombo->setEditText(QStringLiteral("1")); }},
        {"Device 1, TxPDO row 1: data length 3 covers Byte2, which has no type.",
         [this] {
             CANopenDeviceSetting &window = openDevice(1);
             pick(window, window.MSFlexGrid, 1, 3, "DLenCombo", "3");
             window.ExitCommand->click();
         },
         [this] { app->config().TxPDOTable.cell(1, 1, 3) = QStringLiteral("2"); }}};
    for (const auto &c : cases) {
        c.spoil();
        DialogAnswerer answerer;
        network().SaveCommand->click();
        EXPECT_TRUE(answerer.text().contains(QLatin1String(c.says))) << answerer.text().toStdString();
        EXPECT_EQ(answerer.titles.value(0), QStringLiteral("Save All Setting"));
        EXPECT_TRUE(network().SaveCommand->isEnabled());
        c.mend();
    }
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(writeFrames, 0);
}

} // namespace
} // namespace tolvar
