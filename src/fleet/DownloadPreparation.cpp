#include "fleet/DownloadPreparation.h"

#include "files/ConfigDifferences.h"
#include "files/ModelFile.h"
#include "mapping/NetworkChecks.h"
#include "mapping/SaveCheck.h"

#include <algorithm>
#include <optional>

namespace tolvar {
namespace {

// A message that goes on after a semicolon loses its full stop.
QString clause(QString text) {
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

// The network window's texts with the rows the file marks ticked, as a download reads them.
SaveForm saveFormOf(const NetworkTexts &texts, const std::array<bool, 3> &marks,
                    const DownloadOptions &options) {
    const auto row = [&](std::size_t i, const std::array<QString, 4> &octets) {
        return EthernetTexts{options.ethernet && marks[i], octets};
    };
    return {row(0, texts.ip),    row(1, texts.mask), row(2, texts.gateway),
            texts.deviceAmount,  texts.serialId,     QString::number(options.unitId),
            texts.canBitRateCode};
}

// What the windows would send must be what the file says.
std::optional<QString> sendsAsWritten(const StoredConfiguration &file, const ReadBackCopy &copy) {
    if (!copy.complete())
        return QStringLiteral("the file's tables do not fit its devices: %1; fix the file")
            .arg(copy.refusal().value_or(QString()));
    const auto sent = configurationOf(copy.model, copy.network);
    if (const auto *problem = std::get_if<QString>(&sent))
        return QStringLiteral("%1; fix the file").arg(clause(*problem));
    const auto differences = compareConfigurations(file, std::get<StoredConfiguration>(sent));
    if (!differences.empty())
        return QStringLiteral("a download cannot send this file as it is: %1; fix the file")
            .arg(differenceText(differences.front(), QStringLiteral("file"),
                                QStringLiteral("sent")));
    return std::nullopt;
}

} // namespace

std::variant<PreparedDownload, QString> prepareDownload(const StoredConfiguration &file,
                                                        const DownloadOptions &options) {
    const ReadBackCopy copy = readBackOf(file);
    if (auto problem = sendsAsWritten(file, copy))
        return *problem;
    const SaveCheck check =
        checkSave(saveFormOf(copy.network, file.ethernetWrite, options), copy.model);
    if (!check.values)
        return QStringLiteral("the configuration cannot be sent: %1 Fix the file.")
            .arg(check.refusal);
    const std::vector<Finding> findings = checkNetwork(copy.model, check.values->deviceAmount);
    if (hasFault(findings) && !options.force) {
        const auto fault = std::find_if(findings.begin(), findings.end(), [](const Finding &f) {
            return f.severity == Severity::Fault;
        });
        const auto faults = std::count_if(findings.begin(), findings.end(), [](const Finding &f) {
            return f.severity == Severity::Fault;
        });
        return QStringLiteral("%1 fault(s) a CANopen network cannot run, the first: %2; fix the "
                              "file or add --force")
            .arg(faults)
            .arg(clause(findingText(*fault)));
    }
    PreparedDownload prepared{
        *check.values, planDownload(*check.values, copy.model), {}, copy.model, copy.network};
    for (const Finding &finding : findings)
        prepared.notes << findingText(finding);
    if (options.ethernet && !prepared.plan.ethernetFrame)
        prepared.notes << QStringLiteral("--ethernet sends no row: the file marks none (\"write\" "
                                         "in \"ethernet\")");
    return prepared;
}

NetworkTexts expectedAfterDownload(const PreparedDownload &prepared, const NetworkTexts &gateway) {
    NetworkTexts expected = prepared.network;
    expected.sync = gateway.sync;
    expected.syncTime = gateway.syncTime;
    if (!prepared.values.ip.write)
        expected.ip = gateway.ip;
    if (!prepared.values.mask.write)
        expected.mask = gateway.mask;
    if (!prepared.values.gateway.write)
        expected.gateway = gateway.gateway;
    return expected;
}

} // namespace tolvar
