#pragma once

#include "model/GatewayConfig.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <vector>

namespace tolvar {

inline constexpr int kStreamPieceSize = 250; // stream bytes of every #SD frame but the last
inline constexpr int kFirstSequenceByte = 9;

// The area code of a tag, chosen by its first four characters; 0 for anything else.
quint8 AreaCode(QStringView tag);

// The first four characters of a text, filled up with NUL characters when it is shorter.
QString TagPrefix(QStringView text);

// The number of bytes buildTableStream gives for list positions 0..deviceAmount-1.
qint32 TableStreamLength(const GatewayConfig &config, int deviceAmount);

// The device table stream: for each list position, the node ID and the four tables reduced to
// their CAN fields and one area code per data byte; the same bytes as the table reply.
// A position without a device gives its node ID and four empty tables.
QByteArray buildTableStream(const GatewayConfig &config, int deviceAmount);

// How many #SD frames carry a stream of this length: one more than its full pieces.
int tableFrameCount(qint32 streamLength);

// The #SD frames of a stream. Every frame's register count covers the four command bytes and
// its stream bytes; a last piece of odd length gets one zero byte so the count is whole.
std::vector<QByteArray> tableFrames(QByteArrayView stream, quint8 unitId);

} // namespace tolvar
