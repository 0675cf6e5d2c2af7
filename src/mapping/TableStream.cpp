#include "mapping/TableStream.h"

#include "link/CommandFrame.h"
#include "link/Replies.h"
#include "mapping/CellNumber.h"
#include "mapping/ListedDevices.h"

#include <algorithm>

namespace tolvar {
namespace {

constexpr int kCobIdColumnTx = 1;
constexpr int kRtrColumn = 2;
constexpr int kCycleColumn = 1;
constexpr int kCobIdColumnRx = 2;
constexpr int kDataLengthColumn = 3;
constexpr int kSdoIndexColumn = 1;
constexpr int kSdoSubIndexColumn = 2;
constexpr int kSdoFirstByteColumn = 3;
constexpr int kSdoEntrySize = 4;
constexpr int kPdoEntryHeader = 4;
constexpr int kPieceOffset = frame::kCommandData + 1; // after the sequence byte

// Writes stream bytes into a buffer of the length TableStreamLength gives; two-byte values
// go low byte first. Writing through a pointer keeps the largest stream well under a
// millisecond.
class StreamWriter {
public:
    explicit StreamWriter(qint32 length)
        : m_bytes(length, Qt::Uninitialized), m_pos(m_bytes.data()), m_end(m_pos + m_bytes.size()) {
    }
    void byte(quint8 value) {
        Q_ASSERT(m_pos < m_end);
        if (m_pos < m_end)
            *m_pos++ = static_cast<char>(value);
    }
    void word(quint16 value) {
        byte(static_cast<quint8>(value & 0xFF));
        byte(static_cast<quint8>(value >> 8));
    }
    QByteArray take() {
        m_bytes.truncate(m_pos - m_bytes.data());
        return std::move(m_bytes);
    }

private:
    QByteArray m_bytes;
    char *m_pos;
    char *m_end;
};

quint8 dataLengthOf(const CellTable &table, int device, int row) {
    return lowByte(cellNumber(table.cell(device, row, kDataLengthColumn)));
}

// Byte columns past Byte7 do not exist; a data length that reaches them gets code 0 there.
quint8 byteAreaCode(const CellTable &table, int device, int row, int byte) {
    const int column = kFirstPdoByteColumn + byte;
    return column < kPdoColumns ? AreaCode(table.cell(device, row, column)) : 0;
}

void writePdoTable(const CellTable &table, int device, int rows, bool receive, StreamWriter &out) {
    out.byte(static_cast<quint8>(rows));
    for (int row = 1; row <= rows; ++row) {
        const int cobIdColumn = receive ? kCobIdColumnRx : kCobIdColumnTx;
        out.word(lowWord(cellNumber(table.cell(device, row, cobIdColumn))));
        if (receive)
            out.byte(table.cell(device, row, kCycleColumn) == u"Yes" ? 1 : 0);
        else
            out.byte(lowByte(cellNumber(table.cell(device, row, kRtrColumn))));
        const quint8 length = dataLengthOf(table, device, row);
        out.byte(length);
        for (int byte = 0; byte < length; ++byte)
            out.byte(byteAreaCode(table, device, row, byte));
    }
}

// A word SDO carries its area code twice; `wordPrefix` tells it ("S_AI" or "S_AO").
void writeSdoTable(const CellTable &table, int device, int rows, QStringView wordPrefix,
                   StreamWriter &out) {
    out.byte(static_cast<quint8>(rows));
    for (int row = 1; row <= rows; ++row) {
        out.word(lowWord(cellNumber(table.cell(device, row, kSdoIndexColumn))));
        out.byte(lowByte(cellNumber(table.cell(device, row, kSdoSubIndexColumn))));
        const QString &tag = table.cell(device, row, kSdoFirstByteColumn);
        const quint8 code = AreaCode(tag);
        out.byte(code);
        if (tag.startsWith(wordPrefix))
            out.byte(code);
    }
}

qint32 pdoTableLength(const CellTable &table, int device, int rows) {
    qint32 length = 1;
    for (int row = 1; row <= rows; ++row)
        length += kPdoEntryHeader + dataLengthOf(table, device, row);
    return length;
}

qint32 sdoTableLength(const CellTable &table, int device, int rows, QStringView wordPrefix) {
    qint32 length = 1;
    for (int row = 1; row <= rows; ++row)
        length += kSdoEntrySize +
                  (table.cell(device, row, kSdoFirstByteColumn).startsWith(wordPrefix) ? 1 : 0);
    return length;
}

bool isArea(QStringView pair, char16_t first, char16_t second) {
    return pair[0] == first && pair[1] == second;
}

} // namespace

quint8 AreaCode(QStringView tag) {
    if (tag.size() < 4 || (tag[0] != u'P' && tag[0] != u'S') || tag[1] != u'_')
        return 0;
    const QStringView kind = tag.mid(2, 2);
    if (isArea(kind, u'D', u'I'))
        return quint8(Area::DigitalInput);
    if (isArea(kind, u'A', u'I'))
        return quint8(Area::AnalogInput);
    if (isArea(kind, u'A', u'O'))
        return quint8(Area::AnalogOutput);
    return quint8(Area::DigitalOutput); // "P_DO", "S_DO" and every other text alike
}

QString TagPrefix(QStringView text) {
    QString prefix = text.left(4).toString();
    while (prefix.size() < 4)
        prefix.append(QChar(u'\0'));
    return prefix;
}

qint32 TableStreamLength(const GatewayConfig &config, int deviceAmount) {
    qint32 length = 0;
    for (int position = 0; position < listedCount(deviceAmount); ++position) {
        const ListedDevice d = listedDevice(config, position);
        length += 1 + pdoTableLength(config.TxPDOTable, d.number, d.txPdoRows) +
                  pdoTableLength(config.RxPDOTable, d.number, d.rxPdoRows) +
                  sdoTableLength(config.ReadSDOTable, d.number, d.readSdoRows, u"S_AI") +
                  sdoTableLength(config.WriteSDOTable, d.number, d.writeSdoRows, u"S_AO");
    }
    return length;
}

QByteArray buildTableStream(const GatewayConfig &config, int deviceAmount) {
    StreamWriter out(TableStreamLength(config, deviceAmount));
    for (int position = 0; position < listedCount(deviceAmount); ++position) {
        const ListedDevice d = listedDevice(config, position);
        out.byte(config.NodeID[std::size_t(position)]);
        writePdoTable(config.TxPDOTable, d.number, d.txPdoRows, false, out);
        writePdoTable(config.RxPDOTable, d.number, d.rxPdoRows, true, out);
        writeSdoTable(config.ReadSDOTable, d.number, d.readSdoRows, u"S_AI", out);
        writeSdoTable(config.WriteSDOTable, d.number, d.writeSdoRows, u"S_AO", out);
    }
    return out.take();
}

int tableFrameCount(qint32 streamLength) {
    return streamLength / kStreamPieceSize + 1;
}

std::vector<QByteArray> tableFrames(QByteArrayView stream, quint8 unitId) {
    const int count = tableFrameCount(qint32(stream.size()));
    std::vector<QByteArray> frames;
    frames.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const qsizetype start = qsizetype(i) * kStreamPieceSize;
        const QByteArrayView piece =
            stream.sliced(start, std::min<qsizetype>(kStreamPieceSize, stream.size() - start));
        const int padded = int(piece.size() + piece.size() % 2);
        const auto registers = static_cast<quint16>((4 + padded) / 2);
        QByteArray bytes = CommandFrame{unitId, 'S', registers, static_cast<quint8>(2 * registers),
                                        kPieceOffset + padded}
                               .encode();
        bytes[frame::kCommandData] = static_cast<char>(kFirstSequenceByte + i);
        std::copy(piece.begin(), piece.end(), bytes.begin() + kPieceOffset);
        frames.push_back(std::move(bytes));
    }
    return frames;
}

} // namespace tolvar
