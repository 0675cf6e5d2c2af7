#include "fleet/CliRequest.h"
#include "fleet/Targets.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

template <typename T> std::string refusalOf(const std::variant<T, QString> &parsed) {
    const auto *message = std::get_if<QString>(&parsed);
    return message ? message->toStdString() : "(accepted)";
}

QString targetsText(const std::vector<GatewayTarget> &targets) {
    QStringList texts;
    for (const GatewayTarget &target : targets)
        texts << targetText(target) + (target.file.isEmpty() ? QString() : u'>' + target.file);
    return texts.join(u',');
}

TEST(Targets, AddressesAndTheirRefusals) {
    const std::pair<QString, std::string> cases[] = {
        // clang-format off
        {"127.0.0.1", "127.0.0.1:502"},
        {"gw-01.plant_a.example:1502", "gw-01.plant_a.example:1502"},
        {"h:1", "h:1"},
        {"h:65535", "h:65535"},
        {"[::1]:1502", "[::1]:1502"},
        {"[fe80::1%eth0]", "[fe80::1%eth0]:502"},
        {"", "an empty gateway address; write HOST, HOST:PORT or [IPv6]:PORT"},
        {"h:0", "\"h:0\": the port \"0\" is no number from 1 to 65535; write HOST:PORT, e.g. HOST:502"},
        {"h:65536", "\"h:65536\": the port \"65536\" is no number"},
        {"h:+5", "\"h:+5\": the port \"+5\" is no number"},
        {"h:", "\"h:\": the port \"\" is no number"},
        {"h:0000000000502", "\"h:0000000000502\": the port"},
        {"::1", "\"::1\": an IPv6 address goes in brackets: write [ADDRESS]:PORT, e.g. [::1]:502"},
        {"[::1", "\"[::1\": no closing bracket; write [IPv6]:PORT"},
        {"[::1]502", "\"[::1]502\": only \":PORT\" may follow the bracket; write [IPv6]:PORT, e.g. [::1]:502"},
        {"[10.0.0.1]:5", "\"[10.0.0.1]:5\": no IPv6 address in the brackets; write HOST"},
        {"-h", "\"-h\": not a host name or address; write HOST, HOST:PORT or [IPv6]:PORT"},
        {".h", "\".h\": not a host name"},
        {"a b", "\"a b\": not a host name"},
        {"h\x1b[2J", "\"h\\u001b[2J\": not a host name"},
        {"h\u00f6st", "\"h\u00f6st\": not a host name"},
        {QString(254, u'h'), "\"hhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhh\u2026\": not a host name"},
        // clang-format on
    };
    for (const auto &[text, expected] : cases) {
        const auto parsed = parseTarget(text);
        const std::string outcome = std::holds_alternative<GatewayTarget>(parsed)
                                        ? targetText(std::get<GatewayTarget>(parsed)).toStdString()
                                        : refusalOf(parsed);
        EXPECT_EQ(outcome.substr(0, expected.size()), expected) << text.toStdString();
    }
    const auto key = [](const char *text) {
        return targetKey(std::get<GatewayTarget>(parseTarget(QString::fromUtf8(text))));
    };
    EXPECT_EQ(key("[0:0::1]"), key("[::1]:502"));
    EXPECT_EQ(key("GW.example"), key("gw.example:502"));
    EXPECT_NE(key("gw:502"), key("gw:503"));
}

TEST(Targets, HostsFileLinesAndTheirRefusalsByLine) {
    const std::tuple<QByteArray, QString, std::string> cases[] = {
        // clang-format off
        {"# plant A\n\n  gw1:1502   one.json  # left\r\n[::1] /abs/two.json\ngw3\n", "cmd.json",
         "[gw1:1502>cfg/one.json,[::1]:502>/abs/two.json,gw3:502>cmd.json]"},
        {"gw1 ../up.json\n", "", "[gw1:502>up.json]"},
        {"gw1\ngw2 a.json\n", "", "cfg/hosts.txt, line 1: no configuration file for gw1:502; name one after the address, or name FILE on the command line"},
        {"gw1 a.json\ngw2 a.json b.json\n", "", "cfg/hosts.txt, line 2: 3 words; write HOST[:PORT] [FILE], a file name without blanks"},
        {"gw1\n#\n gw2:99999\n", "c", "cfg/hosts.txt, line 3: \"gw2:99999\": the port \"99999\" is no number"},
        {"127.0.0.1\n\n127.0.0.1:502 x\n", "c", "cfg/hosts.txt, line 3: 127.0.0.1:502 is listed on line 1 already; list each gateway once (two jobs on one gateway would fight)"},
        {"GW\ngw:502\n", "c", "cfg/hosts.txt, line 2: gw:502 is listed on line 1 already"},
        {"gw1\n", "", "cfg/hosts.txt, line 1: no configuration file"},
        {"# none\n\n", "c", "cfg/hosts.txt: no gateway listed; write one HOST[:PORT] [FILE] a line"},
        {"gw\x01\n", "c", "cfg/hosts.txt, line 1: \"gw\\u0001\": not a host name"},
        // clang-format on
    };
    for (const auto &[text, commandFile, expected] : cases) {
        const auto parsed = parseHostsFile(text, "cfg/hosts.txt", commandFile);
        const std::string outcome =
            std::holds_alternative<std::vector<GatewayTarget>>(parsed)
                ? '[' + targetsText(std::get<std::vector<GatewayTarget>>(parsed)).toStdString() +
                      ']'
                : refusalOf(parsed);
        EXPECT_EQ(outcome.substr(0, expected.size()), expected) << text.toStdString();
    }
    // For read a line may go without a file: -o gives it one.
    EXPECT_EQ(targetsText(std::get<0>(parseHostsFile("gw1\n", "h", "", false))), "gw1:502");
}

TEST(Targets, OnlyRegularHostsFilesOfAtMost1MiBAreRead) {
    QTemporaryDir dir;
    const QString large = dir.filePath("large.txt");
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(QByteArray(kMaxHostsFileBytes + 1, '#')), kMaxHostsFileBytes + 1);
    file.close();
    const std::pair<QString, QString> cases[] = {
        {"", "no hosts file name given; write --hosts FILE"},
        {"/dev/zero", "/dev/zero: not a regular file"},
        {dir.path(), dir.path() + ": not a regular file"},
        {large, large + ": larger than 1 MiB"},
        {dir.filePath("none"), dir.filePath("none") + ": cannot read: No such file"},
    };
    for (const auto &[path, expected] : cases)
        EXPECT_TRUE(
            QString::fromStdString(refusalOf(loadHostsFile(path, "c"))).startsWith(expected))
            << refusalOf(loadHostsFile(path, "c"));
    ASSERT_TRUE(file.resize(kMaxHostsFileBytes));
    EXPECT_EQ(refusalOf(loadHostsFile(large, "c")), (large + ": no gateway listed; write one "
                                                             "HOST[:PORT] [FILE] a line")
                                                        .toStdString());
}

// The request in a few words: only what differs from the defaults.
QString describe(const CliRequest &r) {
    static const char *const names[] = {"read", "write", "apply", "verify", "diff", "check", "map"};
    QStringList parts{QLatin1String(names[int(r.command)])};
    if (!r.files.isEmpty())
        parts << "files=" + r.files.join(u',');
    if (!r.targets.empty())
        parts << "targets=" + targetsText(r.targets);
    const std::pair<bool, QString> optional[] = {
        {r.jobs != kDefaultJobs, QStringLiteral("jobs=%1").arg(r.jobs)},
        {r.json, "json"},
        {r.check, "check"},
        {r.force, "force"},
        {!r.verify, "no-verify"},
        {r.ethernet, "ethernet"},
        {!r.output.isEmpty(), "out=" + r.output},
        {r.outputFolder, "folder"},
        {r.connectTimeoutS != 1, QStringLiteral("timeout=%1").arg(r.connectTimeoutS)},
        {r.unitId != 1, QStringLiteral("unit=%1").arg(r.unitId)},
    };
    for (const auto &[given, text] : optional)
        if (given)
            parts << text;
    return parts.join(u' ');
}

TEST(CliRequest, EachCommandsFormsAndRefusals) {
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const auto &[name, text] : {std::pair{"all.txt", "gw1:1502 one.json\ngw2 /abs/two.json\n"},
                                     std::pair{"some.txt", "gw1:1502 one.json\ngw2\n"},
                                     std::pair{"same.txt", "gw1 x.json\ngw2 x.json\n"}}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) > 0);
    }
    const std::pair<QStringList, QString> cases[] = {
        // clang-format off
        {{"read", "127.0.0.1", "-o", "a.json"}, "read targets=127.0.0.1:502>a.json out=a.json"},
        {{"read", "h1", "[::1]:1502", "--output=out", "--json"}, "read targets=h1:502>out/h1_502.json,[::1]:1502>out/--1_1502.json json out=out folder"},
        {{"read", "--hosts", "$D/all.txt", "--jobs=2"}, "read targets=gw1:1502>$D/one.json,gw2:502>/abs/two.json jobs=2"},
        {{"read", "--hosts", "$D/some.txt", "-o", "o"}, "read targets=gw1:1502>$D/one.json,gw2:502>o/gw2_502.json out=o folder"},
        {{"write", "a.json", "h1", "h2:1502", "--force", "--no-verify", "--ethernet", "--jobs", "256", "--connect-timeout", "9", "--unit", "0"},
         "write files=a.json targets=h1:502>a.json,h2:1502>a.json jobs=256 force no-verify ethernet timeout=9 unit=0"},
        {{"apply", "a.json", "h", "--check", "--unit=255"}, "apply files=a.json targets=h:502>a.json check unit=255"},
        {{"apply", "--hosts", "$D/all.txt"}, "apply targets=gw1:1502>$D/one.json,gw2:502>/abs/two.json"},
        {{"apply", "a.json", "h", "--hosts", "$D/some.txt"}, "apply files=a.json targets=h:502>a.json,gw1:1502>$D/one.json,gw2:502>a.json"},
        {{"verify", "--", "-a.json", "h"}, "verify files=-a.json targets=h:502>-a.json"},
        {{"diff", "a.json", "b.json"}, "diff files=a.json,b.json"},
        {{"check", "a.json"}, "check files=a.json"},
        {{"check", "--", "--help"}, "check files=--help"},
        {{"map", "a.json", "-o", "m.csv"}, "map files=a.json out=m.csv"},
        {{"apply", "--help", "--bogus"}, "(0) Usage: tolvar-cli apply FILE HOST[:PORT]... [--hosts FILE] [--check]"},
        {{"-h"}, "(0) Usage: tolvar-cli COMMAND [OPTIONS] [ARGUMENTS]"},
        {{}, "(2) Usage: tolvar-cli COMMAND"},
        {{"--version"}, "(0) tolvar-cli 9.8.7\n"},
        {{"frob"}, "(2) tolvar-cli: \"frob\" is no command; name one of read, write, apply, verify, diff, check, map first (tolvar-cli --help)\n"},
        {{"--json", "read"}, "(2) tolvar-cli: \"--json\" is no command"},
        {{"apply"}, "(2) tolvar-cli apply: no configuration file given: write tolvar-cli apply FILE HOST[:PORT]... or --hosts FILE\n"},
        {{"apply", "a.json"}, "(2) tolvar-cli apply: no gateway given: name HOST[:PORT] or --hosts FILE\n"},
        {{"read", "-o", "x"}, "(2) tolvar-cli read: no gateway given"},
        {{"read", "h"}, "(2) tolvar-cli read: no output given: add -o FILE for one gateway, -o FOLDER for several\n"},
        {{"read", "h1", "h2", "-o", "$D/all.txt"}, "(2) tolvar-cli read: -o $D/all.txt is a file; with several gateways -o names a folder (created when missing)\n"},
        {{"read", "--hosts", "$D/same.txt"}, "(2) tolvar-cli read: gw1:502 and gw2:502 would both be read into $D/x.json; give each gateway its own file\n"},
        {{"read", "h", "-o", "x", "--ethernet"}, "(2) tolvar-cli read: --ethernet is not an option of read; tolvar-cli read --help lists the options\n"},
        {{"verify", "a.json", "h", "--force"}, "(2) tolvar-cli verify: --force is not an option of verify"},
        {{"write", "a.json", "h", "--check"}, "(2) tolvar-cli write: --check is not an option of write"},
        {{"diff", "a", "b", "--json"}, "(2) tolvar-cli diff: --json is not an option of diff"},
        {{"apply", "a.json", "h", "--bogus\n"}, "(2) tolvar-cli apply: unknown option --bogus\\n; tolvar-cli apply --help lists the options\n"},
        {{"apply", "a.json", "h", "--jobs", "0"}, "(2) tolvar-cli apply: --jobs \"0\": write a whole number from 1 to 256\n"},
        {{"apply", "a.json", "h", "--jobs=257"}, "(2) tolvar-cli apply: --jobs \"257\": write a whole number from 1 to 256"},
        {{"apply", "a.json", "h", "--jobs"}, "(2) tolvar-cli apply: --jobs needs a value: --jobs N\n"},
        {{"apply", "a.json", "h", "--connect-timeout", "10"}, "(2) tolvar-cli apply: --connect-timeout \"10\": write a whole number from 1 to 9"},
        {{"apply", "a.json", "h", "--unit", "256"}, "(2) tolvar-cli apply: --unit \"256\": write a whole number from 0 to 255"},
        {{"apply", "a.json", "h", "--json=1"}, "(2) tolvar-cli apply: --json takes no value; write --json alone\n"},
        {{"apply", "a.json", "h", "--jobs", "2", "--jobs", "2"}, "(2) tolvar-cli apply: --jobs is given twice; give it once\n"},
        {{"apply", "a.json", "h", "h:502"}, "(2) tolvar-cli apply: h:502 is named twice; name each gateway once (two jobs on one gateway would fight)\n"},
        {{"apply", "a.json", "gw1:1502", "--hosts", "$D/all.txt"}, "(2) tolvar-cli apply: gw1:1502 is named twice"},
        {{"apply", "a.json", "h:70000"}, "(2) tolvar-cli apply: \"h:70000\": the port \"70000\" is no number"},
        {{"apply", "--hosts", "$D/some.txt"}, "(2) tolvar-cli apply: $D/some.txt, line 2: no configuration file for gw2:502"},
        {{"diff", "a.json"}, "(2) tolvar-cli diff: name two configuration files: tolvar-cli diff FILE FILE\n"},
        {{"check"}, "(2) tolvar-cli check: name one configuration file: tolvar-cli check FILE\n"},
        {{"map", "a", "b"}, "(2) tolvar-cli map: name one configuration file: tolvar-cli map FILE\n"},
        {{"map", "a", "-o", ""}, "(2) tolvar-cli map: --output names no path; write --output PATH\n"},
        // clang-format on
    };
    for (const auto &[arguments, expected] : cases) {
        QStringList args = arguments;
        args.replaceInStrings("$D", d);
        const auto parsed = parseCliArguments(args, "9.8.7");
        const auto *usage = std::get_if<CliUsage>(&parsed);
        const QString outcome =
            usage ? QStringLiteral("(%1) %2").arg(usage->exitCode).arg(usage->text)
                  : describe(std::get<CliRequest>(parsed));
        const QString wanted = QString(expected).replace("$D", d);
        EXPECT_EQ(outcome.left(wanted.size()), wanted) << args.join(u' ').toStdString();
    }
}

// Every command has help of its own, and every option the help names is taken.
TEST(CliRequest, EveryCommandHasHelpNamingItsOptions) {
    for (const char *command : {"read", "write", "apply", "verify", "diff", "check", "map"}) {
        const auto help = std::get<CliUsage>(parseCliArguments({command, "-h"}, "1"));
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.text.startsWith(QStringLiteral("Usage: tolvar-cli %1").arg(command)));
        const QStringList words = help.text.split(QRegularExpression("[\\s,]+"));
        for (const QString &word : words) {
            if (!word.startsWith("--") || word == "--help")
                continue;
            QStringList args{command, "--", "x", word};
            args.move(3, 1); // before the "--"
            const auto parsed = parseCliArguments(args, "1");
            const auto *usage = std::get_if<CliUsage>(&parsed);
            EXPECT_FALSE(usage && usage->text.contains("not an option"))
                << command << " " << word.toStdString();
        }
    }
    EXPECT_EQ(gatewayCommandOf(CliCommand::Apply), GatewayCommand::Apply);
    EXPECT_EQ(gatewayCommandOf(CliCommand::Map), std::nullopt);
}

} // namespace
} // namespace tolvar
