#include "fleet/Targets.h"

#include "files/JsonScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHostAddress>

#include <algorithm>

namespace tolvar {
namespace {

const QString kTargetForms = QStringLiteral("write HOST, HOST:PORT or [IPv6]:PORT");
constexpr qsizetype kMaxHostName = 253;
constexpr qsizetype kMaxShownPath = 200;

QString refusal(const QString &text, const QString &problem) {
    return QStringLiteral("\"%1\": %2").arg(shownText(text), problem);
}

bool isLetterOrDigit(QChar c) {
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

bool isHostCharacter(QChar c) {
    return isLetterOrDigit(c) || c == u'.' || c == u'-' || c == u'_';
}

// ASCII letters, digits, dots, hyphens and underscores, starting with a letter or digit.
bool isHostName(const QString &host) {
    return !host.isEmpty() && host.size() <= kMaxHostName && isLetterOrDigit(host.front()) &&
           std::all_of(host.begin(), host.end(), isHostCharacter);
}

bool isIpv6(const QString &host) {
    QHostAddress address;
    return address.setAddress(host) && address.protocol() == QAbstractSocket::IPv6Protocol;
}

QString shownPath(const QString &path) {
    return shownText(path, kMaxShownPath);
}

} // namespace

std::optional<int> decimalNumber(const QString &text, int lo, int hi) {
    // More digits than any int has are out of range anyway.
    if (text.isEmpty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int value = text.toInt();
    if (value < lo || value > hi)
        return std::nullopt;
    return value;
}

std::variant<GatewayTarget, QString> parseTarget(const QString &text) {
    if (text.isEmpty())
        return QStringLiteral("an empty gateway address; ") + kTargetForms;
    GatewayTarget target;
    QString port;
    bool hasPort = false;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return refusal(text, QStringLiteral("no closing bracket; write [IPv6]:PORT, e.g. "
                                                "[::1]:502"));
        target.host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return refusal(text, QStringLiteral("only \":PORT\" may follow the bracket; write "
                                                "[IPv6]:PORT, e.g. [::1]:502"));
        hasPort = !rest.isEmpty();
        port = rest.mid(1);
        if (!isIpv6(target.host))
            return refusal(text,
                           QStringLiteral("no IPv6 address in the brackets; ") + kTargetForms);
    } else {
        const qsizetype colons = text.count(u':');
        if (colons > 1)
            return refusal(text, QStringLiteral("an IPv6 address goes in brackets: write "
                                                "[ADDRESS]:PORT, e.g. [::1]:502"));
        const qsizetype colon = text.indexOf(u':');
        hasPort = colon >= 0;
        target.host = hasPort ? text.left(colon) : text;
        port = hasPort ? text.mid(colon + 1) : QString();
        if (!isHostName(target.host))
            return refusal(text, QStringLiteral("not a host name or address; ") + kTargetForms);
    }
    if (hasPort) {
        const auto number = decimalNumber(port, 1, 65535);
        if (!number)
            return refusal(text, QStringLiteral("the port \"%1\" is no number from 1 to 65535; "
                                                "write HOST:PORT, e.g. HOST:502")
                                     .arg(shownText(port)));
        target.port = quint16(*number);
    }
    return target;
}

QString targetText(const GatewayTarget &target) {
    const QString host =
        target.host.contains(u':') ? QStringLiteral("[%1]").arg(target.host) : target.host;
    return QStringLiteral("%1:%2").arg(host).arg(target.port);
}

QString targetKey(const GatewayTarget &target) {
    QHostAddress address;
    const QString host =
        address.setAddress(target.host) ? address.toString() : target.host.toLower();
    return targetText({host, target.port, {}});
}

std::variant<std::vector<GatewayTarget>, QString> parseHostsFile(const QByteArray &text,
                                                                 const QString &hostsPath,
                                                                 const QString &commandFile,
                                                                 bool fileRequired) {
    const QString folder = QFileInfo(hostsPath).path();
    const QStringList lines = QString::fromUtf8(text).split(u'\n');
    std::vector<GatewayTarget> targets;
    QHash<QString, qsizetype> listedOn;
    for (qsizetype n = 1; n <= lines.size(); ++n) {
        const QString line = lines[n - 1].section(u'#', 0, 0).simplified();
        if (line.isEmpty())
            continue;
        const auto refuse = [&](const QString &problem) {
            return QStringLiteral("%1, line %2: %3").arg(shownPath(hostsPath)).arg(n).arg(problem);
        };
        const QStringList fields = line.split(u' ');
        if (fields.size() > 2)
            return refuse(QStringLiteral("%1 words; write HOST[:PORT] [FILE], a file name "
                                         "without blanks")
                              .arg(fields.size()));
        auto parsed = parseTarget(fields[0]);
        if (const auto *problem = std::get_if<QString>(&parsed))
            return refuse(*problem);
        GatewayTarget target = std::get<GatewayTarget>(std::move(parsed));
        target.file =
            fields.size() == 2 ? QDir::cleanPath(QDir(folder).filePath(fields[1])) : commandFile;
        if (target.file.isEmpty() && fileRequired)
            return refuse(QStringLiteral("no configuration file for %1; name one after the "
                                         "address, or name FILE on the command line")
                              .arg(targetText(target)));
        const QString key = targetKey(target);
        if (const auto before = listedOn.constFind(key); before != listedOn.cend())
            return refuse(QStringLiteral("%1 is listed on line %2 already; list each gateway "
                                         "once (two jobs on one gateway would fight)")
                              .arg(targetText(target))
                              .arg(*before));
        listedOn.insert(key, n);
        targets.push_back(std::move(target));
    }
    if (targets.empty())
        return QStringLiteral("%1: no gateway listed; write one HOST[:PORT] [FILE] a line")
            .arg(shownPath(hostsPath));
    return targets;
}

std::variant<std::vector<GatewayTarget>, QString>
loadHostsFile(const QString &path, const QString &commandFile, bool fileRequired) {
    if (path.isEmpty())
        return QStringLiteral("no hosts file name given; write --hosts FILE");
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1: not a regular file (a device, a pipe or a folder); name a "
                              "hosts file")
            .arg(shownPath(path));
    const QString tooLarge = QStringLiteral("%1: larger than 1 MiB; a hosts file lists one "
                                            "gateway a line")
                                 .arg(shownPath(path));
    if (info.size() > kMaxHostsFileBytes)
        return tooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: cannot read: %2").arg(shownPath(path), file.errorString());
    const QByteArray text = file.read(kMaxHostsFileBytes + 1);
    if (text.size() > kMaxHostsFileBytes)
        return tooLarge;
    return parseHostsFile(text, path, commandFile, fileRequired);
}

} // namespace tolvar
