#pragma once

#include "link/Replies.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tolvar {

// What the envelope bytes present so far say about a block; bytes 0..5 are not looked at.
enum class Envelope {
    Partial, // every signature and kind byte present matches; some have not arrived
    Foreign, // a signature or kind byte present is wrong: no reply begins here
    Known,   // the signature and one of the three kinds
};
Envelope envelopeOf(QByteArrayView bytes);

// The same for a Modbus exception response (bytes 2..5 are 0, 0, 0, 3 and byte 7 has its high
// bit set); once Known, the exception it reports.
Envelope exceptionEnvelopeOf(QByteArrayView bytes);
ExceptionReply exceptionOf(QByteArrayView bytes);

// Reads one reply whose envelope is known, as its bytes arrive. Every call continues where
// the previous one stopped, so a reply delivered in many pieces is walked once. A count or
// length the model cannot hold refuses the reply as soon as its bytes are present.
class ReplyReader {
public:
    enum class Status { NeedMore, Complete, Refused };

    // `kind` is byte 10 of the envelope; `deviceCount` the number of device blocks a table
    // reply holds (the device amount shown when the reply began).
    ReplyReader(char kind, int deviceCount);

    // `bytes` holds the reply from its first byte, as far as it has arrived.
    Status read(QByteArrayView bytes);

    // Bytes taken so far: the whole reply once it is complete.
    qsizetype length() const { return m_position; }
    // The full length, when the bytes taken so far tell it.
    std::optional<qsizetype> expectedLength() const;
    // "general reply", for messages.
    QString kindName() const;
    // For a user: why the reply was refused.
    const QString &problem() const { return m_problem; }
    // The reply read, once complete.
    Reply takeReply() { return std::move(m_reply); }

private:
    enum class Stage {
        Ethernet,
        GeneralCount,
        GeneralHeader,
        DeviceRecord,
        Serial,
        NodeId,
        RowCount,
        PdoHead,
        PdoType,
        SdoEntry,
        Done
    };

    qsizetype bytesForStage(QByteArrayView ahead) const;
    void take(QByteArrayView field);
    void takeGeneral(QByteArrayView field);
    void takeTables(QByteArrayView field);
    void takeRowCount(quint8 rows);
    void takePdoHead(QByteArrayView field);
    void takePdoType(QByteArrayView field);
    void takeSdoEntry(QByteArrayView field);
    void finishRow();
    void nextTable();
    void refuse(QString problem);

    char m_kind;
    int m_deviceCount;
    Stage m_stage = Stage::Done;
    qsizetype m_position;
    Reply m_reply;
    int m_table = 0;    // 0 TxPDO, 1 RxPDO, 2 Read SDO, 3 Write SDO of the last device begun
    int m_rowsLeft = 0; // entries of that table not yet read
    int m_dataByte = 0; // next data byte of the PDO entry being read
    QString m_problem;
};

} // namespace tolvar
