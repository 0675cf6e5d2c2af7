// "Save All Setting" of UtilityApp: the checks, the download and the verify that follows it.

#include "app/UtilityApp.h"

#include "common/ReportDialog.h"
#include "devices/CANopenDeviceSetting.h"
#include "link/ConnectSet.h"
#include "mapping/ConfigurationDownload.h"
#include "mapping/SaveCheck.h"
#include "mapping/ShowMapping.h"
#include "network/MappingModules.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace tolvar {
namespace {

EthernetTexts ethernetTexts(const QCheckBox &check, const std::array<QLineEdit *, 4> &boxes) {
    EthernetTexts texts{check.isChecked(), {}};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        texts.octets[i] = boxes[i]->text();
    return texts;
}

// What a download reads from the windows.
SaveForm saveFormOf(const MappingModules &network, const QString &unitId) {
    return {ethernetTexts(*network.IPCheck, network.IPText),
            ethernetTexts(*network.MaskCheck, network.MaskText),
            ethernetTexts(*network.GatewayCheck, network.GatewayText),
            network.DevicesNumCombo->currentText(),
            network.KestoCombo->currentText(),
            unitId,
            network.CANopenBaudRate};
}

} // namespace

// "Save All Setting": checked first, so that a refused save sends nothing; then the mapping
// view shows where everything lands while the configuration goes to the gateway.
void UtilityApp::save() {
    if (m_readBacks > 0 || m_downloading)
        return;
    MappingModules &net = network();
    const QString unitId =
        m_connectSet ? m_connectSet->unitIdText() : QString::number(unitIdentifier());
    const SaveCheck check = checkSave(saveFormOf(net, unitId), m_config);
    if (!check.values) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Save All Setting"), check.refusal,
                        QMessageBox::Ok, &net);
        box.setObjectName(QStringLiteral("SaveRefusedBox"));
        box.exec();
        return;
    }
    if (!confirmFindings(check.values->deviceAmount) || !confirmIncompleteRead())
        return;
    m_downloading = true;
    updateSaveCommand();
    download(*check.values);
    m_downloading = false;
    updateSaveCommand();
}

// Only the mapping view is in front while the configuration goes out; closing it brings the
// network window back.
ShowMapping &UtilityApp::showMappingAlone() {
    if (m_deviceSettings)
        m_deviceSettings->hide();
    network().hide();
    ShowMapping &view = mappingView();
    view.show();
    view.ShowDOMapping();
    view.ShowDIMapping();
    view.ShowAIMapping();
    view.ShowAOMapping();
    QCoreApplication::processEvents();
    return view;
}

void UtilityApp::download(const SaveValues &values) {
    ShowMapping &view = showMappingAlone();
    // Replies the reads before asked for are no longer awaited: nothing read changes the model
    // while the configuration goes out.
    m_expected.clear();
    ConfigurationDownload sender(m_link, m_downloadSecondMs);
    connect(&sender, &ConfigurationDownload::progressed, &view, &ShowMapping::showProgress);
    const int ignoredBefore = m_ignoredReplies;
    const DownloadOutcome outcome = sender.run(planDownload(values, m_config));
    const bool verifying = m_main.VerifyAfterSavingAction->isChecked();
    const QString text = downloadOutcomeText(outcome, verifying);
    view.showOutcome(outcome, text);
    m_main.showStatus(text);
    const bool held = outcome.complete && (!verifying || verifySent(view));
    // What the gateway sent unasked meanwhile is told too.
    if (m_ignoredReplies > ignoredBefore)
        m_main.showStatus(m_main.statusText() +
                          QStringLiteral(" Ignored %1 reply(s) nobody asked for.")
                              .arg(m_ignoredReplies - ignoredBefore));
    if (!held)
        return;
    m_readGap.clear();
    startHistory(m_origin);
}

// Reads the gateway back into a copy of its own and tells whether it holds what was sent;
// answers whether it does.
bool UtilityApp::verifySent(ShowMapping &view) {
    const Comparison comparison = readBackAndCompare();
    QStringList lines;
    if (const auto *differences = std::get_if<std::vector<ConfigDifference>>(&comparison)) {
        for (const ConfigDifference &difference : *differences)
            lines << differenceText(difference);
    }
    const QString text = sentAndVerifiedText(comparison);
    view.showVerified(text, lines);
    m_main.showStatus(text);
    return std::holds_alternative<std::vector<ConfigDifference>>(comparison) && lines.isEmpty();
}

// Faults stop the save unless the user sends anyway; information alone does not.
bool UtilityApp::confirmFindings(int deviceAmount) {
    const std::vector<Finding> findings = checkNetwork(m_config, deviceAmount);
    if (!hasFault(findings))
        return true;
    QStringList lines;
    for (const Finding &finding : findings)
        lines << findingText(finding);
    ReportDialog dialog(QStringLiteral("Save All Setting"),
                        QStringLiteral("The configuration has faults a CANopen network cannot "
                                       "run. Cancel to fix them, or send it anyway."),
                        lines, QStringLiteral("Send Anyway"), &network());
    dialog.setObjectName(QStringLiteral("SaveFindingsBox"));
    return dialog.exec() == QDialog::Accepted;
}

// The windows may show defaults or half a configuration: sending them replaces what the
// gateway holds, so the user says so first.
bool UtilityApp::confirmIncompleteRead() {
    if (m_readGap.isEmpty())
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Save All Setting"),
                    QStringLiteral("The configuration was not read completely from the gateway "
                                   "(%1). Sending now replaces the gateway's tables with what the "
                                   "windows show. Send anyway?")
                        .arg(m_readGap),
                    QMessageBox::Yes | QMessageBox::Cancel, &network());
    box.setObjectName(QStringLiteral("IncompleteReadBox"));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Send Anyway"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

} // namespace tolvar
