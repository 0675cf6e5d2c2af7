#pragma once

#include "link/Replies.h"

#include <QByteArray>

namespace tolvar {

// The 23 bytes of a device record, as the general reply and the download both carry it: node
// ID, guarding time, the sixteen-bit counts and the four row counts, words low byte first.
QByteArray encodeDeviceRecord(const DeviceRecord &record);

} // namespace tolvar
