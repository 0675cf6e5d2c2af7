#include "link/DeviceRecordBytes.h"

namespace tolvar {

QByteArray encodeDeviceRecord(const DeviceRecord &record) {
    QByteArray bytes;
    const auto byte = [&bytes](quint8 value) { bytes.append(static_cast<char>(value)); };
    const auto word = [&byte](quint16 value) {
        byte(static_cast<quint8>(value & 0xFF));
        byte(static_cast<quint8>(value >> 8));
    };
    byte(record.nodeId);
    word(record.guardTime);
    for (quint16 count : record.counts)
        word(count);
    byte(record.txPdoRows);
    byte(record.rxPdoRows);
    byte(record.readSdoRows);
    byte(record.writeSdoRows);
    return bytes;
}

} // namespace tolvar
