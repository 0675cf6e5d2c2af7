#pragma once

#include "link/ReadBackCounters.h"
#include "link/Replies.h"
#include "link/ReplyAssembler.h"
#include "model/GatewayConfig.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace tolvar::fixtures {

QByteArray hexBytes(const char *hex);

// A general reply listing devices 1..n with node IDs 1..n and nothing else set.
GeneralReply generalListing(int devices);

// The largest table reply the model holds: ten devices, every table full, every data byte
// typed (per device 800 DI, 400 AI, 800 DO, 400 AO and 15 of each SDO kind).
TableReply maximalTableReply();

// Takes replies the way the link does (everything that can be taken after each event) and
// applies them the way the windows do, keeping what the windows would show as plain values.
class ReadBackHarness {
public:
    void feed(QByteArrayView block);
    // A request went out: what is fed next belongs to its answer window.
    void requestSent();

    GatewayConfig config;
    ReadBackCounters counters;
    EthernetReply shownEthernet;
    int shownDeviceCount = 1;
    std::vector<Reply> replies;
    QStringList refusals;

private:
    void takeAll();
    void apply(const Reply &reply);

    ReplyAssembler m_assembler;
};

} // namespace tolvar::fixtures
