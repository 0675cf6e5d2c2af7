#pragma once

#include "link/Replies.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace tolvar {

// Blocks the gateway link must not take into the model.
//
// Every case assumes that a complete read-back has already been shown: the Ethernet reply
// kMalformedBaselineEthernet, a general reply listing kMalformedDeviceCount devices (so the
// device list holds 1, 2) and a table reply for them; malformedBaselineStream() is exactly those
// three replies. Table cases are measured against that device amount.
//
// Sent as one answer window of its own, each case leaves the model as it was and is reported
// once, or not at all, as its fate says. A case may therefore hold a complete reply only when
// applying it changes nothing: an Ethernet reply whose contents equal
// kMalformedBaselineEthernet, or a reply that is refused.
struct MalformedReply {
    enum class Fate {
        Refused, // a reply the model cannot hold: reported at once
        Dropped, // ends in an incomplete reply: reported when its window or deadline ends
        Ignored, // no reply begins in it: nothing is reported
    };
    QString name;
    QByteArray bytes;
    Fate fate = Fate::Refused;
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
