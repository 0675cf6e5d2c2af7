// tolvar-cli: the utility's reads, downloads and checks for scripts and many gateways at once.

#include "fleet/CliRunner.h"
#include "fleet/Console.h"
#include "fleet/FileCommands.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

using namespace tolvar;

namespace {

void writeLine(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// The live line on a terminal: drawn over itself, wiped before a result line.
void drawProgress(const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fprintf(stderr, "\r\033[K%s", bytes.constData());
    std::fflush(stderr);
}

int runFileCommand(const CliRequest &request) {
    CommandOutput output;
    if (request.command == CliCommand::Diff)
        output = diffFiles(request.files.value(0), request.files.value(1));
    else if (request.command == CliCommand::Check)
        output = checkFile(request.files.value(0));
    else
        output = mapFile(request.files.value(0), request.output);
    std::fputs(output.out.toUtf8().constData(), stdout);
    std::fputs(output.err.toUtf8().constData(), stderr);
    return output.exitCode;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tolvar-cli"));
    const auto parsed =
        parseCliArguments(QCoreApplication::arguments().mid(1), QStringLiteral(TOLVAR_VERSION));
    if (const auto *usage = std::get_if<CliUsage>(&parsed)) {
        writeLine(usage->exitCode == 0 ? stdout : stderr, usage->text.trimmed());
        return usage->exitCode;
    }
    const CliRequest &request = std::get<CliRequest>(parsed);
    if (!gatewayCommandOf(request.command))
        return runFileCommand(request);

    CliStreams streams{[](const QString &line) { writeLine(stdout, line); },
                       [](const QString &line) { writeLine(stderr, line); }, nullptr};
    if (isTerminal(stderr))
        streams.progress = drawProgress;
    CliRunner runner(request, streams);
    QObject::connect(&runner, &CliRunner::finished, &app, [](int status) {
        QCoreApplication::exit(status);
    });
    catchInterrupts();
    QTimer interrupts;
    QObject::connect(&interrupts, &QTimer::timeout, &runner, [&runner, &interrupts] {
        if (!interruptRequested())
            return;
        interrupts.stop();
        runner.stop();
    });
    interrupts.start(100);
    QTimer::singleShot(0, &runner, &CliRunner::start);
    return QCoreApplication::exec();
}
