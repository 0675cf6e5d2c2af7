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

// Takes replies the way the link does (append, then next until nothing more) and applies them
// the way the windows do, keeping what the windows would show as plain values.
class ReadBackHarness {
public:
    void feed(QByteArrayView block);
    // The wait for the rest of a begun reply ran out.
    void waitOut();

    GatewayConfig config;
    ReadBackCounters counters;
    EthernetReply shownEthernet;
    int shownDeviceCount = 1;
    std::vector<Reply> replies;
    QStringList refusals;

private:
    void apply(const Reply &reply);

    ReplyAssembler m_assembler;
};

} // namespace tolvar::fixtures
