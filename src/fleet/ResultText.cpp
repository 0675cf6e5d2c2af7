#include "fleet/ResultText.h"

#include "files/JsonScan.h"
#include "fleet/Targets.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tolvar {
namespace {

const QString kGatewaySide = QStringLiteral("gateway");
const QString kFileSide = QStringLiteral("file");

// Seconds as a number: milliseconds at most, no trailing zeros ("8.1", "12").
QString secondsNumber(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    QString text = QString::number(seconds, 'f', 3);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString jsonString(const QString &text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

// `"key": value` pairs joined into one compact object.
class JsonObject {
public:
    JsonObject &text(const char *key, const QString &value) { return raw(key, jsonString(value)); }
    JsonObject &number(const char *key, qint64 value) { return raw(key, QString::number(value)); }
    JsonObject &raw(const char *key, const QString &value) {
        m_members << QStringLiteral("\"%1\":%2").arg(QLatin1String(key), value);
        return *this;
    }
    QString toString() const { return u'{' + m_members.join(u',') + u'}'; }

private:
    QStringList m_members;
};

QString differenceJson(const ConfigDifference &difference) {
    return JsonObject()
        .number("device", difference.device)
        .text("table", difference.table)
        .number("row", difference.row)
        .text("field", difference.field)
        .text("gateway", difference.gatewayValue)
        .text("file", difference.utilityValue)
        .text("text", differenceText(difference, kGatewaySide, kFileSide))
        .toString();
}

} // namespace

QString outcomeName(GatewayOutcome outcome) {
    switch (outcome) {
    case GatewayOutcome::Read:
        return QStringLiteral("read");
    case GatewayOutcome::Written:
        return QStringLiteral("written");
    case GatewayOutcome::Changed:
        return QStringLiteral("changed");
    case GatewayOutcome::Unchanged:
        return QStringLiteral("unchanged");
    case GatewayOutcome::WouldChange:
        return QStringLiteral("would-change");
    case GatewayOutcome::Same:
        return QStringLiteral("same");
    case GatewayOutcome::Differs:
        return QStringLiteral("differs");
    case GatewayOutcome::Failed:
        return QStringLiteral("failed");
    case GatewayOutcome::Stopped:
        break;
    }
    return QStringLiteral("stopped");
}

QString commandName(GatewayCommand command) {
    switch (command) {
    case GatewayCommand::Read:
        return QStringLiteral("read");
    case GatewayCommand::Write:
        return QStringLiteral("write");
    case GatewayCommand::Apply:
        return QStringLiteral("apply");
    case GatewayCommand::Verify:
        break;
    }
    return QStringLiteral("verify");
}

QString resultLine(const GatewayResult &result) {
    return QStringLiteral("%1  %2  %3/%4 frames  %5 s  %6")
        .arg(targetText(result.target), outcomeName(result.outcome))
        .arg(result.framesSent)
        .arg(result.framesTotal)
        .arg(std::isfinite(result.seconds) ? std::max(result.seconds, 0.0) : 0.0, 0, 'f', 1)
        .arg(shownText(result.message, std::numeric_limits<qsizetype>::max()));
}

QStringList differenceLines(const GatewayResult &result) {
    QStringList lines;
    for (const ConfigDifference &difference : result.differences)
        lines << QStringLiteral("    ") +
                     shownText(differenceText(difference, kGatewaySide, kFileSide),
                               std::numeric_limits<qsizetype>::max());
    return lines;
}

QString resultJson(const GatewayResult &result) {
    QStringList differences;
    for (const ConfigDifference &difference : result.differences)
        differences << differenceJson(difference);
    return JsonObject()
        .text("host", result.target.host)
        .number("port", result.target.port)
        .text("command", commandName(result.command))
        .text("file", result.target.file)
        .text("result", outcomeName(result.outcome))
        .number("frames", result.framesSent)
        .number("framesTotal", result.framesTotal)
        .raw("seconds", secondsNumber(result.seconds))
        .text("message", result.message)
        .raw("differences", u'[' + differences.join(u',') + u']')
        .toString();
}

int exitStatus(const std::vector<GatewayResult> &results) {
    const bool allDone = std::all_of(results.begin(), results.end(), [](const auto &result) {
        switch (result.outcome) {
        case GatewayOutcome::Differs:
        case GatewayOutcome::Failed:
        case GatewayOutcome::Stopped:
            return false;
        default:
            return true;
        }
    });
    return allDone ? 0 : 1;
}

QString progressLine(int done, int total, int framesSent) {
    return QStringLiteral("%1/%2 gateways done, %3 frames sent")
        .arg(done)
        .arg(total)
        .arg(framesSent);
}

} // namespace tolvar
