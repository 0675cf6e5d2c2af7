#pragma once

#include "link/Replies.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace tolvar {

// Blocks the gateway link must refuse without touching the model.
//
// Every case assumes that a complete read-back has already been shown: the Ethernet reply
// kMalformedBaselineEthernet, a general reply listing kMalformedDeviceCount devices (so the
// device list holds 1, 2) and a table reply for them; malformedBaselineStream() is exactly those
// three replies. Table cases are measured against that device amount.
//
// Fed on its own to a fresh assembler and processed like the link does (every complete reply
// applied, dropPending() called when `needsTimeout`), each case leaves the model as it was and
// causes at least one refusal. A case may therefore hold a complete reply only when applying it
// changes nothing: the trailing-bytes cases put their garbage after an Ethernet reply whose
// contents equal kMalformedBaselineEthernet, or after a reply that is refused or incomplete.
struct MalformedReply {
    QString name;
    QByteArray bytes;
    // The block is (or ends in) an incomplete reply, dropped only when the wait for its rest
    // runs out: the caller must call dropPending() or let the link's timer run.
    bool needsTimeout = false;
};

inline constexpr int kMalformedDeviceCount = 2;
inline const EthernetReply kMalformedBaselineEthernet{
    {192, 168, 255, 3}, {255, 255, 255, 0}, {192, 168, 255, 1}};

// The Ethernet, general and table replies the cases assume, as one block.
QByteArray malformedBaselineStream();

std::vector<MalformedReply> malformedReplies();

// The case's name as a test name: letters and digits, the rest as underscores.
std::string malformedCaseName(const MalformedReply &reply);

} // namespace tolvar
