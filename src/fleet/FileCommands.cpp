#include "fleet/FileCommands.h"

#include "files/AtomicFile.h"
#include "files/ConfigDifferences.h"
#include "files/ConfigurationFile.h"
#include "files/ModbusMap.h"
#include "files/ModelFile.h"
#include "fleet/DownloadPreparation.h"
#include "mapping/MappingLayout.h"
#include "mapping/NetworkChecks.h"

#include <variant>

namespace tolvar {
namespace {

constexpr int kFileError = 2;

CommandOutput fileError(const QString &message) {
    return {{}, message + u'\n', kFileError};
}

} // namespace

CommandOutput diffFiles(const QString &first, const QString &second) {
    const auto a = loadConfigurationFile(first);
    if (const auto *problem = std::get_if<QString>(&a))
        return fileError(*problem);
    const auto b = loadConfigurationFile(second);
    if (const auto *problem = std::get_if<QString>(&b))
        return fileError(*problem);
    const auto differences =
        compareConfigurations(std::get<StoredConfiguration>(a), std::get<StoredConfiguration>(b));
    CommandOutput output;
    for (const ConfigDifference &difference : differences)
        output.out +=
            differenceText(difference, QStringLiteral("first"), QStringLiteral("second")) + u'\n';
    output.out +=
        differences.empty()
            ? QStringLiteral("%1 and %2 hold the same configuration.\n").arg(first, second)
            : QStringLiteral("%1 difference(s) between %2 (first) and %3 (second).\n")
                  .arg(differences.size())
                  .arg(first, second);
    output.exitCode = differences.empty() ? 0 : 1;
    return output;
}

CommandOutput checkFile(const QString &path) {
    const auto loaded = loadConfigurationFile(path);
    if (const auto *problem = std::get_if<QString>(&loaded))
        return fileError(*problem);
    const StoredConfiguration &config = std::get<StoredConfiguration>(loaded);
    CommandOutput output;
    // What a download refuses before the network checks is a fault here too.
    const auto prepared = prepareDownload(config, {false, true, 1});
    if (const auto *refusal = std::get_if<QString>(&prepared)) {
        output.out = QStringLiteral("Fault: %1\n%2: a download refuses it.\n").arg(*refusal, path);
        output.exitCode = 1;
        return output;
    }
    const ReadBackCopy copy = readBackOf(config);
    const std::vector<Finding> findings =
        checkNetwork(copy.model, mappingDeviceAmount(copy.network.deviceAmount));
    for (const Finding &finding : findings)
        output.out += findingText(finding) + u'\n';
    output.exitCode = hasFault(findings) ? 1 : 0;
    const QString summary =
        findings.empty() ? QStringLiteral("%1: the checks found nothing to fix.\n")
        : hasFault(findings)
            ? QStringLiteral("%1: faults a CANopen network cannot run.\n")
            : QStringLiteral("%1: no faults; the lines above are worth knowing.\n");
    output.out += summary.arg(path);
    return output;
}

CommandOutput mapFile(const QString &path, const QString &output) {
    const auto loaded = loadConfigurationFile(path);
    if (const auto *problem = std::get_if<QString>(&loaded))
        return fileError(*problem);
    const ReadBackCopy copy = readBackOf(std::get<StoredConfiguration>(loaded));
    const int amount = mappingDeviceAmount(copy.network.deviceAmount);
    const QByteArray csv = modbusMapCsv(modbusMap(copy.model, mappingLayout(copy.model, amount)));
    if (output.isEmpty())
        return {QString::fromUtf8(csv), {}, 0};
    if (const auto problem = writeFileAtomically(output, csv))
        return fileError(*problem);
    return {QStringLiteral("Wrote the Modbus map of %1 to %2.\n").arg(path, output), {}, 0};
}

} // namespace tolvar
