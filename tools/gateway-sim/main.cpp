#include "SimConsole.h"
#include "SimFleet.h"
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

    SimFleet fleet(std::get<StoredConfiguration>(config), settings);
    if (const auto failure = fleet.start(out)) {
        err << *failure << Qt::endl;
        return 1;
    }
    return QCoreApplication::exec();
}
