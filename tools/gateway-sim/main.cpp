#include "GatewaySimServer.h"
#include "SimConsole.h"
#include "files/ConfigurationFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <variant>

using namespace tolvar;

namespace {

std::variant<StoredConfiguration, QString> configFor(const SimOptions &options) {
    if (!options.configPath) {
        return StoredConfiguration{};
    }
    auto loaded = loadConfigurationFile(*options.configPath);
    if (auto *message = std::get_if<QString>(&loaded)) {
        return QStringLiteral("tolvar-gateway-sim: ") + *message;
    }
    return loaded;
}

QString listeningLine(const GatewaySimServer &server, const SimOptions &options) {
    QString line = QStringLiteral("tolvar-gateway-sim: listening on 127.0.0.1:%1, %2 device(s)")
                       .arg(server.serverPort())
                       .arg(server.config().devices.size());
    if (!options.savePath.isEmpty()) {
        line += QStringLiteral(", saving downloads to %1").arg(options.savePath);
    }
    if (options.chunkBytes > 0) {
        line += QStringLiteral(", replies in %1-byte pieces %2 ms apart")
                    .arg(options.chunkBytes)
                    .arg(options.chunkDelayMs);
    }
    return line;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tolvar-gateway-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOLVAR_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    addSimOptions(parser);
    parser.process(app);
    const auto options = readSimOptions(parser);
    if (const auto *message = std::get_if<QString>(&options)) {
        err << *message << Qt::endl;
        return 2;
    }
    const SimOptions &settings = std::get<SimOptions>(options);
    const auto config = configFor(settings);
    if (const auto *message = std::get_if<QString>(&config)) {
        err << *message << Qt::endl;
        return 1;
    }

    GatewaySimServer server;
    server.setConfig(std::get<StoredConfiguration>(config));
    server.setChunking(settings.chunkBytes, settings.chunkDelayMs);
    server.setIdleTimeout(settings.idleTimeoutS * 1000);
    reportServerEvents(server, out);
    if (!settings.savePath.isEmpty()) {
        saveEveryDownload(server, settings.savePath, out);
    }
    if (!server.listen(settings.port)) {
        err << listenFailureLine(settings.port, server.serverError(), server.errorString())
            << Qt::endl;
        return 1;
    }
    out << listeningLine(server, settings) << Qt::endl;
    return QCoreApplication::exec();
}
