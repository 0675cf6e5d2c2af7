#include "app/UtilityApp.h"
#include "devices/CANopenDeviceSetting.h"
#include "files/ConfigurationFile.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"
#include "network/WindowControls.h"

#include "GatewaySimServer.h"
#include "files/ConfigDifferences.h"
#include "support/ConnectByClicks.h"
#include "support/DialogAnswerer.h"
#include "support/ScriptedPeer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using testing::choose;
using testing::control;

const QString kExamples = QStringLiteral(TOLVAR_EXAMPLES_DIR "/");

StoredConfiguration example(const QString &name) {
    return std::get<StoredConfiguration>(loadConfigurationFile(kExamples + name));
}

// The whole program against the simulator on loopback, driven through its named controls.
// Download seconds last 5 ms; the connect's read-back waits its real three seconds.
class RoundTrip : public ::testing::Test {
protected:
    // The gateway serves multi.json; the utility has connected and read it back.
    void SetUp() override {
        ASSERT_TRUE(sim.listen(0));
        sim.setConfig(multi);
        QObject::connect(&sim, &GatewaySimServer::configWritten, [this] { ++downloads; });
        app = std::make_unique<UtilityApp>(sim.serverPort(), 5);
        QObject::connect(&app->link(), &GatewayLink::replyReceived, [this] { ++replies; });
        app->show();
        connectAndRead();
    }
    void connectAndRead() {
        const int before = replies;
        connectByClicks(*app);
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
    static void clickRowNumber(QTableWidget *grid, int row) {
        QHeaderView *numbers = grid->verticalHeader();
        const int middle = numbers->sectionViewportPosition(row) + numbers->sectionSize(row) / 2;
        QTest::mouseClick(numbers->viewport(), Qt::LeftButton, {},
                          QPoint(numbers->width() / 2, middle));
    }
    // The model as a later read-back must show it; which device window was open last is not
    // the gateway's.
    static GatewayConfig gatewayPart(GatewayConfig config) {
        config.ModuleID = {};
        config.CurrentDevice = 0;
        return config;
    }

    const StoredConfiguration multi = example("multi.json");
    GatewaySimServer sim;
    std::unique_ptr<UtilityApp> app;
    int replies = 0;
    int downloads = 0;
};

// A word typed into device 2 and an RxPDO row of device 1 deleted reach the gateway, which
// then serves exactly the edited configuration.
TEST_F(RoundTrip, EditsReachTheGatewayAndComeBack) {
    CANopenDeviceSetting &device2 = openDevice(2);
    clickCell(device2.MSFlexGrid, 1, 10); // Byte6: two bytes become a word
    choose(*control<QComboBox>(device2, QStringLiteral("TypeCombo")), QStringLiteral("Word"));
    device2.ExitCommand->click();
    CANopenDeviceSetting &device1 = openDevice(1);
    device1.SSTab->setCurrentIndex(1);
    clickRowNumber(device1.RxPDOMSFlexGrid, 2);
    device1.DeleteCommand->click();
    device1.ExitCommand->click();
    const GatewayConfig edited = gatewayPart(app->config());
    EXPECT_TRUE(app->main().windowTitle().endsWith(QStringLiteral("127.0.0.1 *")));
    save();
    // Sent in full: nothing is left unsaved, and only the mapping view is in front until it
    // closes.
    EXPECT_TRUE(app->main().windowTitle().endsWith(QStringLiteral("127.0.0.1")));
    EXPECT_FALSE(network().isVisible());
    EXPECT_TRUE(app->mappingView().isVisible());
    app->mappingView().close();
    EXPECT_TRUE(network().isVisible());

    StoredConfiguration expected = multi;
    expected.devices[1].txPdo[0].typeBytes = QByteArray(8, 2);
    expected.devices[0].rxPdo.erase(expected.devices[0].rxPdo.begin() + 1);
    EXPECT_TRUE(sim.config() == expected);

    reconnect();
    EXPECT_TRUE(gatewayPart(app->config()) == edited);
}

// The largest example, opened, goes to the gateway with its Ethernet rows (the Ethernet frame
// counts among those sent) and is saved back to a file as it was; a verify compares the gateway
// with what the utility holds. A download does not write the SYNC values: the simulator starts
// with the example's.
TEST_F(RoundTrip, AnOpenedFileReachesTheGatewayAndIsVerified) {
    DialogAnswerer answerer;
    const StoredConfiguration maximal = example("maximal.json");
    sim.setConfig(StoredConfiguration{.sync = maximal.sync, .syncTime = maximal.syncTime});
    ASSERT_TRUE(app->openConfiguration(kExamples + "maximal.json"));
    for (QCheckBox *check : {network().IPCheck, network().MaskCheck, network().GatewayCheck})
        check->setChecked(true);
    save();
    EXPECT_TRUE(sim.config() == maximal);
    EXPECT_EQ(app->mappingView().DownloadLabel->text(),
              "Configuration sent and verified: the gateway holds it.");
    QTemporaryDir dir;
    ASSERT_TRUE(app->saveConfigurationAs(dir.filePath("saved.json")));
    EXPECT_EQ(loadConfigurationFile(dir.filePath("saved.json")),
              (std::variant<StoredConfiguration, QString>(maximal)));
    EXPECT_EQ(app->verifyGateway(), Comparison(std::vector<ConfigDifference>{}));
    EXPECT_EQ(answerer.texts.takeLast(), "The gateway holds this configuration.");
}

// A save with a value the form refuses sends nothing; one case proves the wiring, the
// messages are tested with the save form. A new device amount, once confirmed, empties the
// tables with their counts but keeps node IDs and guarding times: nothing emptied is sent.
TEST_F(RoundTrip, ARefusedSaveSendsNothingAndEmptiedTablesSendNoEntries) {
    sim.clearReceivedFrames();
    DialogAnswerer answerer;
    answerer.reply = QMessageBox::Yes;
    QLineEdit *id = network().KestoCombo->lineEdit();
    const QString valid = id->text();
    id->setText(QStringLiteral("abc"));
    network().SaveCommand->click();
    id->setText(valid);
    EXPECT_TRUE(answerer.texts.value(0).startsWith(QLatin1String("ID (Tolvar Parameters)")));
    pumpUntil([] { return false; }, 100);
    EXPECT_TRUE(sim.receivedFrames().isEmpty());

    choose(*network().DevicesNumCombo, QStringLiteral("2"));
    EXPECT_EQ(answerer.names.value(1), QStringLiteral("DeviceAmountBox"));
    const GatewayConfig edited = app->config();
    save();
    EXPECT_EQ(answerer.names.size(), 2); // no finding: no emptied entry is left to send
    reconnect();
    EXPECT_EQ(network().DevicesNumCombo->currentText(), QStringLiteral("2"));
    for (int position : {0, 1})
        EXPECT_EQ(deviceRecordAt(app->config(), position), deviceRecordAt(edited, position))
            << position;
}

} // namespace
} // namespace tolvar
