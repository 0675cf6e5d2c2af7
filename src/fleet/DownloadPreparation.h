#pragma once

#include "files/ReadBackCopy.h"
#include "gateway/StoredConfiguration.h"
#include "mapping/DownloadFrames.h"
#include "model/GatewayConfig.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <variant>

namespace tolvar {

struct DownloadOptions {
    bool ethernet = false; // send the Ethernet rows the file marks
    bool force = false;    // send despite faults of the checks
    quint8 unitId = 1;     // as the connection settings' unit identifier
};

// A configuration file made ready to send.
struct PreparedDownload {
    SaveValues values;
    DownloadPlan plan;
    // What to tell before sending: every finding of the checks (faults only when forced), and
    // an --ethernet that sends no row.
    QStringList notes;
    // What the read-back after the download must equal, as compareWithGateway takes it.
    GatewayConfig model;
    NetworkTexts network;
};

// Takes the file as the utility takes an opened one and checks it as "Save All Setting" does:
// the save checks with the Ethernet rows ticked that the file marks (only with
// options.ethernet), then the network checks, whose faults refuse unless options.force. A file
// the utility would send differently (a CAN bit-rate code it does not know) is refused too.
// Refusals are one line that ends with what to do.
std::variant<PreparedDownload, QString> prepareDownload(const StoredConfiguration &file,
                                                        const DownloadOptions &options);

// The network texts the gateway must show after the download, for compareWithGateway with
// `prepared.model`: the file's, except what a download does not write (the SYNC values and the
// Ethernet rows not sent), which stay as the gateway shows them in `gateway`. Without this a
// gateway whose own address differs from the file's could never be found to hold the file.
NetworkTexts expectedAfterDownload(const PreparedDownload &prepared, const NetworkTexts &gateway);

} // namespace tolvar
