#include "gateway/ReplyEncoder.h"

#include "link/DeviceRecordBytes.h"

namespace tolvar {

namespace {

// Appends bytes to a reply under construction; two-byte values go low byte first.
class ByteWriter {
public:
    void byte(quint8 value) { m_bytes.append(static_cast<char>(value)); }
    void word(quint16 value) {
        byte(static_cast<quint8>(value & 0xFF));
        byte(static_cast<quint8>(value >> 8));
    }
    void raw(const QByteArray &bytes) { m_bytes.append(bytes); }
    template <std::size_t N> void bytes(const std::array<quint8, N> &values) {
        for (quint8 value : values)
            byte(value);
    }
    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

void writeEnvelope(ByteWriter &out, char kind) {
    out.bytes(std::array<quint8, 6>{0x01, 0x02, 0x00, 0x00, 0x00, 0x06});
    out.bytes(reply::kSignatureBytes);
    out.byte(static_cast<quint8>(kind));
    out.byte(0);
}

void writeContents(ByteWriter &out, const EthernetReply &ethernet) {
    out.bytes(ethernet.ip);
    out.bytes(ethernet.mask);
    out.bytes(ethernet.gateway);
}

void writeSerial(ByteWriter &out, const SerialSettings &serial) {
    out.byte(serial.comPort);
    out.byte(serial.baudRate);
    out.byte(serial.dataBits);
    out.byte(serial.parity);
    out.byte(serial.stopBits);
    out.byte(serial.listen);
}

void writeContents(ByteWriter &out, const GeneralReply &general) {
    out.byte(general.deviceCount);
    out.byte(general.serialId);
    out.byte(general.canBitRateCode);
    out.byte(general.sync);
    out.byte(general.syncTimeHigh);
    out.byte(general.syncTime);
    out.byte(0);
    for (const DeviceRecord &record : general.devices)
        out.raw(encodeDeviceRecord(record));
    writeSerial(out, general.serial);
}

void writePdoTable(ByteWriter &out, const std::vector<PdoEntry> &entries) {
    out.byte(static_cast<quint8>(entries.size()));
    for (const PdoEntry &entry : entries) {
        out.word(entry.cobId);
        out.byte(entry.flag);
        out.byte(entry.dataLength);
        out.raw(entry.typeBytes);
    }
}

void writeSdoTable(ByteWriter &out, const std::vector<SdoEntry> &entries) {
    out.byte(static_cast<quint8>(entries.size()));
    for (const SdoEntry &entry : entries) {
        out.word(entry.index);
        out.byte(entry.subIndex);
        out.byte(entry.type);
        // A word carries its area code twice.
        if (entry.word)
            out.byte(entry.type);
    }
}

void writeContents(ByteWriter &out, const TableReply &tables) {
    for (const DeviceTables &device : tables.devices) {
        out.byte(device.nodeId);
        writePdoTable(out, device.txPdo);
        writePdoTable(out, device.rxPdo);
        writeSdoTable(out, device.readSdo);
        writeSdoTable(out, device.writeSdo);
    }
}

char kindOf(const EthernetReply &) {
    return reply::kEthernet;
}
char kindOf(const GeneralReply &) {
    return reply::kGeneral;
}
char kindOf(const TableReply &) {
    return reply::kTables;
}

template <typename Contents> void writeReply(ByteWriter &out, const Contents &contents) {
    writeEnvelope(out, kindOf(contents));
    writeContents(out, contents);
}

// A Modbus exception response has no envelope of its own kind: MBAP header with length 3, the
// unit, the function code with its high bit set and the exception code.
void writeReply(ByteWriter &out, const ExceptionReply &exception) {
    out.bytes(std::array<quint8, 6>{0x01, 0x02, 0x00, 0x00, 0x00, 0x03});
    out.byte(0x01);
    out.byte(exception.function | reply::kExceptionBit);
    out.byte(exception.code);
}

} // namespace

QByteArray encodeReply(const Reply &reply) {
    ByteWriter out;
    std::visit([&out](const auto &contents) { writeReply(out, contents); }, reply);
    return out.take();
}

} // namespace tolvar
