#include "RequestSplitter.h"

#include "link/CommandFrame.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tolvar {

namespace {

constexpr int kEthernetFrameLength = 31;
constexpr int kGeneralDeviceCount = frame::kCommandData; // N of an #RD frame
constexpr int kGeneralFixedLength = 30;
constexpr int kDeviceRecordLength = 23;
constexpr int kByteCountOverhead = 13; // bytes before and including the byte count

quint8 byteAt(const QByteArray &bytes, int offset) {
    return static_cast<quint8>(bytes.at(offset));
}

// True as soon as a byte that every request carries is present and wrong.
bool isGarbage(const QByteArray &bytes) {
    if (bytes.size() > frame::kFunction &&
        byteAt(bytes, frame::kFunction) != frame::kWriteMultipleRegisters) {
        return true;
    }
    return bytes.size() > frame::kCommandMark && bytes.at(frame::kCommandMark) != '#';
}

bool isCommand(const QByteArray &bytes, char letter) {
    return bytes.at(frame::kCommandLetter) == letter && bytes.at(frame::kCommandSuffix) == 'D';
}

// The frame length, or nothing while the bytes that give it have not arrived.
std::optional<int> frameLength(const QByteArray &bytes) {
    if (bytes.size() < frame::kHeaderSize) {
        return std::nullopt;
    }
    if (isCommand(bytes, 'I')) {
        return kEthernetFrameLength;
    }
    if (isCommand(bytes, 'R')) {
        if (bytes.size() <= kGeneralDeviceCount) {
            return std::nullopt;
        }
        return kDeviceRecordLength * byteAt(bytes, kGeneralDeviceCount) + kGeneralFixedLength;
    }
    // A byte count too small to cover the command still takes the whole header.
    return std::max<int>(kByteCountOverhead + byteAt(bytes, frame::kByteCount), frame::kHeaderSize);
}

} // namespace

QList<ReceivedFrame> RequestSplitter::feed(const QByteArray &bytes) {
    buffer_.append(bytes);
    QList<ReceivedFrame> blocks;
    while (!buffer_.isEmpty()) {
        if (isGarbage(buffer_)) {
            blocks.append({QStringLiteral("unknown"), std::exchange(buffer_, {})});
            break;
        }
        const std::optional<int> length = frameLength(buffer_);
        if (!length || buffer_.size() < *length) {
            break;
        }
        const QByteArray frameBytes = buffer_.left(*length);
        buffer_.remove(0, *length);
        blocks.append({commandName(frameBytes), frameBytes});
    }
    return blocks;
}

QByteArray RequestSplitter::takePending() {
    return std::exchange(buffer_, {});
}

QString RequestSplitter::commandName(const QByteArray &bytes) {
    static const QList<char> kKnownLetters{'P', 'G', 'H', 'I', 'R', 'S'};
    if (bytes.size() < frame::kHeaderSize || bytes.at(frame::kCommandMark) != '#' ||
        bytes.at(frame::kCommandSuffix) != 'D' ||
        !kKnownLetters.contains(bytes.at(frame::kCommandLetter))) {
        return QStringLiteral("unknown");
    }
    return QString::fromLatin1(bytes.mid(frame::kCommandMark, 3));
}

} // namespace tolvar
