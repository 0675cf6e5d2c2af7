#include "fleet/CliRequest.h"

#include "files/JsonScan.h"
#include "fleet/Targets.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <iterator>

namespace tolvar {
namespace {

const QString kProgram = QStringLiteral("tolvar-cli");

enum Option : unsigned {
    Hosts = 1U << 0,
    Jobs = 1U << 1,
    Json = 1U << 2,
    ConnectTimeout = 1U << 3,
    Unit = 1U << 4,
    Output = 1U << 5,
    Force = 1U << 6,
    NoVerify = 1U << 7,
    Ethernet = 1U << 8,
    CheckOnly = 1U << 9,
};

struct OptionSpec {
    Option id;
    const char *name;
    const char *shortName; // or empty
    const char *value;     // the value's name in messages; empty for a flag
};

constexpr OptionSpec kOptions[] = {
    {Hosts, "--hosts", "", "FILE"},   {Jobs, "--jobs", "", "N"},
    {Json, "--json", "", ""},         {ConnectTimeout, "--connect-timeout", "", "S"},
    {Unit, "--unit", "", "ID"},       {Output, "--output", "-o", "PATH"},
    {Force, "--force", "", ""},       {NoVerify, "--no-verify", "", ""},
    {Ethernet, "--ethernet", "", ""}, {CheckOnly, "--check", "", ""},
};

constexpr unsigned kGatewayOptions = Hosts | Jobs | Json | ConnectTimeout | Unit;

const char *const kGatewaysHelp = R"(Gateways:
  HOST[:PORT]            a gateway; the port defaults to 502; an IPv6 address goes in
                         brackets: [::1]:502
  --hosts FILE           the gateways FILE lists, one "HOST[:PORT] [FILE]" a line; "#" starts
                         a comment; a relative FILE is relative to the hosts file's folder
)";

const char *const kWriteOptionsHelp =
    R"(  --force                send even when the checks find faults a CANopen network cannot run
  --no-verify            do not read the configuration back after sending it
  --ethernet             send the Ethernet rows the file marks ("write" in "ethernet"); without
                         it no Ethernet row is sent
)";

const char *const kGatewayOptionsHelp =
    R"(  --jobs N               work on at most N gateways at a time, 1 to 256 (default 16)
  --json                 one JSON object a line instead of the line for people
  --connect-timeout S    seconds to wait for each connection, 1 to 9 (default 1)
  --unit ID              Modbus unit identifier, 0 to 255 (default 1)
)";

const char *const kGatewayExitHelp =
    R"(One line a gateway as it finishes: HOST:PORT  RESULT  SENT/TOTAL frames  SECONDS s  MESSAGE
Exit status: 0 every gateway done, 1 one failed, differs or was stopped, 2 nothing was tried.
)";

struct CommandInfo {
    CliCommand command;
    const char *name;
    unsigned options;
    const char *usage;       // the line after "Usage: tolvar-cli"
    const char *summary;     // one line in the list of commands
    const char *description; // what it does
    const char *ownOptions;  // options of this command alone, one a line
    const char *exitStatus;  // for a command without gateways
};

const CommandInfo kCommands[] = {
    {CliCommand::Read, "read", kGatewayOptions | Output,
     "read HOST[:PORT]... [--hosts FILE] -o PATH", "read each gateway's configuration into a file",
     "Reads each gateway's configuration into a configuration file (JSON).",
     R"(  -o, --output PATH      with one gateway the file; with several a folder, created when
                         missing, that gets "<host>_<port>.json" for each; a FILE on a hosts
                         line goes first
)",
     ""},
    {CliCommand::Write, "write", kGatewayOptions | Force | NoVerify | Ethernet,
     "write FILE HOST[:PORT]... [--hosts FILE] [--force] [--no-verify] [--ethernet]",
     "send a configuration file to each gateway and verify it",
     R"(Checks FILE as "Save All Setting" does (a fault refuses unless --force; information is
printed), sends it to each gateway and reads it back: the gateway must hold FILE. With
--hosts, FILE may be left out when every line names its own file.)",
     "", ""},
    {CliCommand::Apply, "apply", kGatewayOptions | Force | NoVerify | Ethernet | CheckOnly,
     "apply FILE HOST[:PORT]... [--hosts FILE] [--check] [--force] [--no-verify] [--ethernet]",
     "send a configuration file only to the gateways that hold another",
     R"(Reads each gateway first: one that holds FILE already is "unchanged" and nothing is sent;
to the others FILE goes as with write ("changed"). With --hosts, FILE may be left out when
every line names its own file.)",
     R"(  --check                send nothing: tell "would-change" or "unchanged"
)",
     ""},
    {CliCommand::Verify, "verify", kGatewayOptions, "verify FILE HOST[:PORT]... [--hosts FILE]",
     "compare each gateway's configuration with a file",
     R"(Reads each gateway and lists where it differs from FILE ("same" or "differs") in what
a download sends: not the Ethernet rows and not SYNC, which stay as the gateway holds them.
With --hosts, FILE may be left out when every line names its own file.)",
     "", ""},
    {CliCommand::Diff, "diff", 0, "diff FILE FILE",
     "list the differences of two configuration files",
     "Lists every field in which the second file differs from the first.", "",
     "Exit status: 0 the same, 1 they differ, 2 a file cannot be read.\n"},
    {CliCommand::Check, "check", 0, "check FILE",
     "check a configuration file for what a CANopen network cannot run",
     R"(Prints every finding of the checks "Save All Setting" runs before sending, and what a
download would refuse.)",
     "", "Exit status: 0 no fault (information only), 1 a fault, 2 the file cannot be read.\n"},
    {CliCommand::Map, "map", Output, "map FILE [-o CSV]",
     "write the Modbus map of a configuration file as CSV",
     R"(Writes the Modbus map of FILE as CSV, as "Export Modbus Map..." does.)",
     R"(  -o, --output CSV       the file to write (atomically); without it the map goes to stdout
)",
     "Exit status: 0 written, 2 a file cannot be read or written.\n"},
};

QString overview() {
    QString text = QStringLiteral("Usage: %1 COMMAND [OPTIONS] [ARGUMENTS]\n\n"
                                  "Configures Tolvar gateways over Ethernet without windows, "
                                  "many at a time.\n\nCommands:\n")
                       .arg(kProgram);
    for (const CommandInfo &info : kCommands)
        text += QStringLiteral("  %1 %2\n")
                    .arg(QLatin1String(info.name), -8)
                    .arg(QLatin1String(info.summary));
    return text + QStringLiteral("\n%1 COMMAND --help describes a command; %1 --version shows "
                                 "the version.\n")
                      .arg(kProgram);
}

QString helpOf(const CommandInfo &info) {
    const bool gateways = info.options & Hosts;
    QString text = QStringLiteral("Usage: %1 %2\n\n%3\n\n")
                       .arg(kProgram, QLatin1String(info.usage), QLatin1String(info.description));
    if (gateways)
        text += QLatin1String(kGatewaysHelp) + u'\n';
    text += QLatin1String("Options:\n") + QLatin1String(info.ownOptions);
    if (info.options & Force)
        text += QLatin1String(kWriteOptionsHelp);
    if (gateways)
        text += QLatin1String(kGatewayOptionsHelp);
    text += QLatin1String("  -h, --help             this text\n\n");
    return text + QLatin1String(gateways ? kGatewayExitHelp : info.exitStatus);
}

// Thrown inside the parser only; parseCliArguments turns it into the usage refusal.
struct Refusal {
    QString message;
};

[[noreturn]] void refuse(QString message) {
    throw Refusal{std::move(message)};
}

const OptionSpec *optionNamed(const QString &name) {
    const auto found = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const auto &o) {
        return name == QLatin1String(o.name) ||
               (*o.shortName != '\0' && name == QLatin1String(o.shortName));
    });
    return found == std::end(kOptions) ? nullptr : found;
}

int numberOption(const OptionSpec &option, const QString &value, int lo, int hi) {
    const auto number = decimalNumber(value, lo, hi);
    if (!number)
        refuse(QStringLiteral("%1 \"%2\": write a whole number from %3 to %4")
                   .arg(QLatin1String(option.name), shownText(value))
                   .arg(lo)
                   .arg(hi));
    return *number;
}

class Parser {
public:
    explicit Parser(const CommandInfo &info) : info_(info) { request_.command = info.command; }

    CliRequest run(const QStringList &arguments) {
        takeArguments(arguments);
        switch (info_.command) {
        case CliCommand::Diff:
            takeFiles(
                2, QStringLiteral("name two configuration files: %1 diff FILE FILE").arg(kProgram));
            break;
        case CliCommand::Check:
        case CliCommand::Map:
            takeFiles(1, QStringLiteral("name one configuration file: %1 %2 FILE")
                             .arg(kProgram, QLatin1String(info_.name)));
            break;
        case CliCommand::Read:
            takeTargets(positionals_, QString(), false);
            placeReadFiles();
            break;
        case CliCommand::Write:
        case CliCommand::Apply:
        case CliCommand::Verify:
            takeFileAndTargets();
            break;
        }
        return request_;
    }

private:
    QString name() const { return QLatin1String(info_.name); }

    void takeArguments(const QStringList &arguments) {
        bool optionsEnded = false;
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString &argument = arguments[i];
            if (optionsEnded || argument == u'-' || !argument.startsWith(u'-')) {
                positionals_ << argument;
                continue;
            }
            if (argument == QLatin1String("--")) {
                optionsEnded = true;
                continue;
            }
            const qsizetype equals =
                argument.startsWith(QLatin1String("--")) ? argument.indexOf(u'=') : qsizetype(-1);
            const QString given = equals < 0 ? argument : argument.left(equals);
            const OptionSpec *option = optionNamed(given);
            if (!option)
                refuse(QStringLiteral("unknown option %1; %2 %3 --help lists the options")
                           .arg(shownText(given), kProgram, name()));
            if (!(info_.options & option->id))
                refuse(QStringLiteral("%1 is not an option of %3; %2 %3 --help lists the options")
                           .arg(given, kProgram, name()));
            if (*option->value == '\0') {
                if (equals >= 0)
                    refuse(QStringLiteral("%1 takes no value; write %1 alone").arg(given));
                takeFlag(option->id);
                continue;
            }
            if (equals < 0 && i + 1 >= arguments.size())
                refuse(QStringLiteral("%1 needs a value: %1 %2")
                           .arg(given, QLatin1String(option->value)));
            const QString value = equals < 0 ? arguments[++i] : argument.mid(equals + 1);
            if (seen_ & option->id)
                refuse(QStringLiteral("%1 is given twice; give it once")
                           .arg(QLatin1String(option->name)));
            seen_ |= option->id;
            takeValue(*option, value);
        }
    }

    void takeFlag(Option id) {
        switch (id) {
        case Json:
            request_.json = true;
            break;
        case Force:
            request_.force = true;
            break;
        case NoVerify:
            request_.verify = false;
            break;
        case Ethernet:
            request_.ethernet = true;
            break;
        default:
            request_.check = true;
            break;
        }
    }

    void takeValue(const OptionSpec &option, const QString &value) {
        switch (option.id) {
        case Hosts:
            hosts_ = value;
            break;
        case Jobs:
            request_.jobs = numberOption(option, value, 1, kMaxJobs);
            break;
        case ConnectTimeout:
            request_.connectTimeoutS = numberOption(option, value, 1, 9);
            break;
        case Unit:
            request_.unitId = quint8(numberOption(option, value, 0, 255));
            break;
        default:
            if (value.isEmpty())
                refuse(QStringLiteral("%1 names no path; write %1 %2")
                           .arg(QLatin1String(option.name), QLatin1String(option.value)));
            request_.output = value;
            break;
        }
    }

    void takeFiles(qsizetype count, const QString &refusal) {
        if (positionals_.size() != count)
            refuse(refusal);
        request_.files = positionals_;
    }

    void takeFileAndTargets() {
        const QString file = positionals_.value(0);
        if (seen_ & Hosts) {
            if (!file.isEmpty())
                request_.files << file;
        } else if (file.isEmpty()) {
            refuse(QStringLiteral("no configuration file given: write %1 %2 FILE HOST[:PORT]... "
                                  "or --hosts FILE")
                       .arg(kProgram, name()));
        } else {
            request_.files << file;
        }
        takeTargets(positionals_.mid(1), file, true);
    }

    // The command line's gateways, then the hosts file's; each gateway once.
    void takeTargets(const QStringList &texts, const QString &file, bool fileRequired) {
        for (const QString &text : texts) {
            auto parsed = parseTarget(text);
            if (const auto *problem = std::get_if<QString>(&parsed))
                refuse(*problem);
            request_.targets.push_back(std::get<GatewayTarget>(std::move(parsed)));
            request_.targets.back().file = file;
        }
        if (seen_ & Hosts) {
            auto listed = loadHostsFile(hosts_, file, fileRequired);
            if (const auto *problem = std::get_if<QString>(&listed))
                refuse(*problem);
            for (GatewayTarget &target : std::get<std::vector<GatewayTarget>>(listed))
                request_.targets.push_back(std::move(target));
        }
        if (request_.targets.empty())
            refuse(QStringLiteral("no gateway given: name HOST[:PORT] or --hosts FILE"));
        QHash<QString, bool> named;
        for (const GatewayTarget &target : request_.targets) {
            if (named.contains(targetKey(target)))
                refuse(QStringLiteral("%1 is named twice; name each gateway once (two jobs on "
                                      "one gateway would fight)")
                           .arg(targetText(target)));
            named.insert(targetKey(target), true);
        }
    }

    // Every gateway without a file of its own is read into -o, or into the folder -o names.
    void placeReadFiles() {
        const bool several = request_.targets.size() > 1;
        const QString &output = request_.output;
        for (GatewayTarget &target : request_.targets) {
            if (!target.file.isEmpty())
                continue;
            if (output.isEmpty())
                refuse(QStringLiteral("no output given: add -o FILE for one gateway, -o FOLDER "
                                      "for several"));
            request_.outputFolder = several;
            target.file = several ? QDir(output).filePath(readFileName(target)) : output;
        }
        const QFileInfo info(output);
        if (request_.outputFolder && info.exists() && !info.isDir())
            refuse(QStringLiteral("-o %1 is a file; with several gateways -o names a folder "
                                  "(created when missing)")
                       .arg(shownText(output, 200)));
        QHash<QString, const GatewayTarget *> readers;
        for (const GatewayTarget &target : request_.targets) {
            const QString path = QFileInfo(target.file).absoluteFilePath();
            if (const auto *other = readers.value(path))
                refuse(
                    QStringLiteral("%1 and %2 would both be read into %3; give each gateway "
                                   "its own file")
                        .arg(targetText(*other), targetText(target), shownText(target.file, 200)));
            readers.insert(path, &target);
        }
    }

    const CommandInfo &info_;
    CliRequest request_;
    QStringList positionals_;
    QString hosts_;
    unsigned seen_ = 0;
};

bool asksForHelp(const QStringList &arguments) {
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return true;
    }
    return false;
}

} // namespace

std::variant<CliRequest, CliUsage> parseCliArguments(const QStringList &arguments,
                                                     const QString &version) {
    if (arguments.isEmpty())
        return CliUsage{overview(), 2};
    const QString &first = arguments.front();
    if (first == QLatin1String("--help") || first == QLatin1String("-h"))
        return CliUsage{overview(), 0};
    if (first == QLatin1String("--version"))
        return CliUsage{QStringLiteral("%1 %2\n").arg(kProgram, version), 0};
    const auto info = std::find_if(std::begin(kCommands), std::end(kCommands),
                                   [&](const auto &s) { return first == QLatin1String(s.name); });
    if (info == std::end(kCommands))
        return CliUsage{QStringLiteral("%1: \"%2\" is no command; name one of read, write, apply, "
                                       "verify, diff, check, map first (%1 --help)\n")
                            .arg(kProgram, shownText(first)),
                        2};
    const QStringList rest = arguments.mid(1);
    if (asksForHelp(rest))
        return CliUsage{helpOf(*info), 0};
    try {
        return Parser(*info).run(rest);
    } catch (const Refusal &refusal) {
        return CliUsage{
            QStringLiteral("%1 %2: %3\n").arg(kProgram, QLatin1String(info->name), refusal.message),
            2};
    }
}

std::optional<GatewayCommand> gatewayCommandOf(CliCommand command) {
    switch (command) {
    case CliCommand::Read:
        return GatewayCommand::Read;
    case CliCommand::Write:
        return GatewayCommand::Write;
    case CliCommand::Apply:
        return GatewayCommand::Apply;
    case CliCommand::Verify:
        return GatewayCommand::Verify;
    default:
        return std::nullopt;
    }
}

QString readFileName(const GatewayTarget &target) {
    QString host = target.host;
    for (QChar &c : host) {
        if (!(c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_')))
            c = u'-';
    }
    return QStringLiteral("%1_%2.json").arg(host).arg(target.port);
}

} // namespace tolvar
