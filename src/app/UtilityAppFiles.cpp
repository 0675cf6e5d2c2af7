// The "File" menu of UtilityApp: configuration files, the Modbus map, the checks and the
// verify. The menu actions ask for a path; the work is in methods that take one.

#include "app/UtilityApp.h"

#include "common/ReportDialog.h"
#include "devices/CANopenDeviceSetting.h"
#include "files/AtomicFile.h"
#include "files/ConfigurationFile.h"
#include "files/ModbusMap.h"
#include "files/ModelFile.h"
#include "mapping/MappingLayout.h"
#include "network/MappingModules.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace tolvar {
namespace {

const QString kConfigurationFilter = QStringLiteral("Configuration (*.json);;All files (*)");
const QString kCsvFilter = QStringLiteral("Modbus map (*.csv);;All files (*)");

// A save dialog adds the suffix to a name typed without one and asks before overwriting.
QString askPath(QWidget &parent, const QString &title, const QString &filter, const QString &suffix,
                bool save) {
    QFileDialog dialog(&parent, title, QString(), filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void showNativePath(InitialScreen &main, const QString &text, const QString &path) {
    main.showStatus(text.arg(QDir::toNativeSeparators(path)));
}

} // namespace

void UtilityApp::wireFileMenu() {
    connect(m_main.OpenConfigurationAction, &QAction::triggered, this, [this] {
        if (!mayDiscardChanges())
            return;
        const QString path = askPath(m_main, QStringLiteral("Open Configuration"),
                                     kConfigurationFilter, QStringLiteral("json"), false);
        if (!path.isEmpty())
            openConfiguration(path);
    });
    connect(m_main.SaveConfigurationAsAction, &QAction::triggered, this, [this] {
        const QString path = askPath(m_main, QStringLiteral("Save Configuration As"),
                                     kConfigurationFilter, QStringLiteral("json"), true);
        if (!path.isEmpty())
            saveConfigurationAs(path);
    });
    connect(m_main.ExportModbusMapAction, &QAction::triggered, this, [this] {
        const QString path = askPath(m_main, QStringLiteral("Export Modbus Map"), kCsvFilter,
                                     QStringLiteral("csv"), true);
        if (!path.isEmpty())
            exportModbusMap(path);
    });
    connect(m_main.CheckConfigurationAction, &QAction::triggered, this,
            &UtilityApp::checkConfiguration);
    connect(m_main.VerifyGatewayAction, &QAction::triggered, this, &UtilityApp::verifyGateway);
}

// Changes neither saved nor sent are not dropped without the user's word: saved to a file
// first, discarded, or kept by cancelling what would drop them.
bool UtilityApp::mayDiscardChanges() {
    if (m_history.isClean())
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Unsaved changes"),
                    QStringLiteral("The configuration has changes that were neither saved to a "
                                   "file nor sent to the gateway."),
                    QMessageBox::Discard | QMessageBox::Cancel, &m_main);
    box.setObjectName(QStringLiteral("UnsavedChangesBox"));
    box.setInformativeText(QStringLiteral("Save them to a file first?"));
    QPushButton *save =
        box.addButton(QStringLiteral("Save to file\u2026"), QMessageBox::AcceptRole);
    save->setObjectName(QStringLiteral("SaveToFileButton"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    if (box.clickedButton() == save) {
        const QString path = askPath(m_main, QStringLiteral("Save Configuration As"),
                                     kConfigurationFilter, QStringLiteral("json"), true);
        return !path.isEmpty() && saveConfigurationAs(path);
    }
    return box.clickedButton() == box.button(QMessageBox::Discard);
}

void UtilityApp::refuse(const QString &title, const QString &name, const QString &message) {
    QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::Ok, &m_main);
    box.setObjectName(name);
    box.setInformativeText(QStringLiteral("Nothing was changed."));
    box.exec();
}

// The replies of the configuration go the way a read-back's go, without a connection.
bool UtilityApp::openConfiguration(const QString &path) {
    const auto loaded = loadConfigurationFile(path);
    if (const auto *problem = std::get_if<QString>(&loaded)) {
        refuse(QStringLiteral("Open Configuration"), QStringLiteral("OpenRefusedBox"), *problem);
        return false;
    }
    const StoredConfiguration &config = std::get<StoredConfiguration>(loaded);
    if (m_deviceSettings)
        m_deviceSettings->hide();
    network().show();
    showReply(ethernetReplyOf(config));
    showReply(generalReplyOf(config));
    showReply(tableReplyOf(config));
    showNativePath(m_main, QStringLiteral("Opened %1."), path);
    // An opened file can be undone; what it holds counts as unmodified.
    m_readGap.clear();
    m_origin = QFileInfo(path).fileName();
    m_history.commit(QStringLiteral("Open %1").arg(m_origin));
    m_history.markClean();
    showEditState();
    return true;
}

NetworkTexts UtilityApp::networkTexts() {
    const MappingModules &net = network();
    NetworkTexts texts;
    for (std::size_t i = 0; i < texts.ip.size(); ++i) {
        texts.ip[i] = net.IPText[i]->text();
        texts.mask[i] = net.MaskText[i]->text();
        texts.gateway[i] = net.GatewayText[i]->text();
    }
    texts.deviceAmount = net.DevicesNumCombo->currentText();
    texts.serialId = net.KestoCombo->currentText();
    texts.canBitRateCode = net.CANopenBaudRate;
    texts.sync = net.SyncCombo->currentText();
    texts.syncTime = net.SYCNTimeText->text();
    return texts;
}

bool UtilityApp::saveConfigurationAs(const QString &path) {
    const QString title = QStringLiteral("Save Configuration As");
    const auto config = configurationOf(m_config, networkTexts());
    if (const auto *problem = std::get_if<QString>(&config)) {
        refuse(title, QStringLiteral("SaveAsRefusedBox"), *problem);
        return false;
    }
    if (const auto problem = saveConfigurationFile(std::get<StoredConfiguration>(config), path)) {
        refuse(title, QStringLiteral("SaveAsRefusedBox"), *problem);
        return false;
    }
    showNativePath(m_main, QStringLiteral("Saved the configuration to %1."), path);
    m_origin = QFileInfo(path).fileName();
    m_history.settle();
    m_history.markClean();
    showEditState();
    return true;
}

// From the layout the mapping view shows, so the two never disagree.
bool UtilityApp::exportModbusMap(const QString &path) {
    const int amount = mappingDeviceAmount(network().DevicesNumCombo->currentText());
    const QByteArray csv = modbusMapCsv(modbusMap(m_config, mappingLayout(m_config, amount)));
    if (const auto problem = writeFileAtomically(path, csv)) {
        refuse(QStringLiteral("Export Modbus Map"), QStringLiteral("ExportRefusedBox"), *problem);
        return false;
    }
    showNativePath(m_main, QStringLiteral("Exported the Modbus map to %1."), path);
    return true;
}

std::vector<Finding> UtilityApp::checkConfiguration() {
    const int amount = mappingDeviceAmount(network().DevicesNumCombo->currentText());
    const std::vector<Finding> findings = checkNetwork(m_config, amount);
    QStringList lines;
    for (const Finding &finding : findings)
        lines << findingText(finding);
    const QString heading =
        findings.empty() ? QStringLiteral("The checks found nothing to fix.")
        : hasFault(findings)
            ? QStringLiteral("The configuration has faults a CANopen network cannot run:")
            : QStringLiteral("No faults; worth knowing:");
    ReportDialog dialog(QStringLiteral("Check Configuration"), heading, lines, {}, &m_main);
    dialog.setObjectName(QStringLiteral("CheckBox"));
    dialog.exec();
    return findings;
}

// The three read commands and their waits, as the connect sends them.
Comparison UtilityApp::readBackAndCompare() {
    if (!m_link.isConnected())
        return QStringLiteral("Not connected: connect to the gateway first, then verify.");
    if (m_verifyCopy)
        return QStringLiteral("A verify is reading the gateway already.");
    ReadBackCopy copy;
    m_verifyCopy = &copy;
    m_main.VerifyGatewayAction->setEnabled(false);
    readStoredConfiguration();
    m_main.VerifyGatewayAction->setEnabled(true);
    m_verifyCopy = nullptr;
    // A late answer to the verify's reads must not reach the windows.
    m_expected.clear();
    return compareWithGateway(copy, m_config, networkTexts());
}

Comparison UtilityApp::verifyGateway() {
    const Comparison outcome = readBackAndCompare();
    const QString title = QStringLiteral("Verify Gateway");
    const auto *differences = std::get_if<std::vector<ConfigDifference>>(&outcome);
    if (differences && !differences->empty()) {
        QStringList lines;
        for (const ConfigDifference &difference : *differences)
            lines << differenceText(difference);
        ReportDialog dialog(
            title,
            QStringLiteral("The gateway holds another configuration: %1 difference(s).")
                .arg(differences->size()),
            lines, {}, &m_main);
        dialog.setObjectName(QStringLiteral("VerifyBox"));
        dialog.exec();
        return outcome;
    }
    const QString text = differences ? QStringLiteral("The gateway holds this configuration.")
                                     : std::get<QString>(outcome);
    QMessageBox box(differences ? QMessageBox::Information : QMessageBox::Warning, title, text,
                    QMessageBox::Ok, &m_main);
    box.setObjectName(QStringLiteral("VerifyBox"));
    box.exec();
    return outcome;
}

} // namespace tolvar
