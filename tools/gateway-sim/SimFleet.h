#pragma once

#include "SimConsole.h"
#include "gateway/StoredConfiguration.h"

#include <QList>
#include <QString>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tolvar {

class GatewaySimServer;

// What tolvar-gateway-sim runs: options.count simulated gateways on 127.0.0.1, each a
// GatewaySimServer with its own copy of the configuration, its own client and, with a save
// path, its own file.
class SimFleet {
public:
    SimFleet(const StoredConfiguration &config, const SimOptions &options);
    ~SimFleet();
    SimFleet(const SimFleet &) = delete;
    SimFleet &operator=(const SimFleet &) = delete;

    // Listens: with port 0 each gateway on a free port, otherwise on port, port + 1, ... in
    // order. All or none: when one cannot listen, none does and the line that says why is
    // returned. Once all listen, prints a listening line per gateway, then one "port P" line
    // per gateway, and from then on their events; with several gateways every event line starts
    // with "[P] ".
    std::optional<QString> start(QTextStream &out,
                                 const std::function<qint64()> &clockMs = steadyClockMs);

    int size() const { return static_cast<int>(servers_.size()); }
    GatewaySimServer &server(int index) const { return *servers_.at(index); }
    // The listening ports, in order.
    QList<quint16> ports() const;
    // Where the gateway on `port` writes its downloads; empty when they are not saved.
    QString savePath(quint16 port) const;

private:
    std::optional<QString> listenAll();
    void close();
    QString listeningLine(const GatewaySimServer &server) const;
    QString eventPrefix(const GatewaySimServer &server) const;

    SimOptions options_;
    std::vector<std::unique_ptr<GatewaySimServer>> servers_;
};

} // namespace tolvar
