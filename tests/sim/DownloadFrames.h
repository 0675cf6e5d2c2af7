#pragma once

#include "files/ConfigurationFile.h"
#include "gateway/ReplyEncoder.h"
#include "link/CommandFrame.h"

#include <QList>

#include <array>

// Frames as the utility sends them. The write frames are built from the simulator's own reply
// encoder: the #RD frame from offset 16 and the table stream share the layouts of the "G" and
// "H" replies.
namespace tolvar::test {

inline QByteArray readFrame(char letter) {
    return readCommandFrame(static_cast<ReadCommand>(letter), 1);
}

inline StoredConfiguration example(const char *name) {
    return std::get<StoredConfiguration>(
        loadConfigurationFile(QStringLiteral(TOLVAR_EXAMPLES_DIR "/") + QLatin1String(name)));
}

// The #ID frame: octets only where the flag (IP, mask, gateway) is 1.
inline QByteArray ethernetFrame(const EthernetReply &values, const std::array<quint8, 3> &flags) {
    QByteArray frame = CommandFrame{1, 'I', 15, 30, 31}.encode();
    const std::array<std::array<quint8, 4>, 3> octets{values.ip, values.mask, values.gateway};
    for (int i = 0; i < 3; ++i) {
        frame[16 + i] = static_cast<char>(flags[i]);
        for (int j = 0; j < 4 && flags[i] == 1; ++j) {
            frame[19 + 4 * i + j] = static_cast<char>(octets[i][j]);
        }
    }
    return frame;
}

// The #RD frame announcing `frameCount` #SD frames, zeros in the SYNC places.
inline QByteArray settingsFrame(const StoredConfiguration &config, int frameCount) {
    const int devices = static_cast<int>(config.devices.size());
    const auto registers = static_cast<quint16>((23 * devices + 16) / 2 + 1);
    QByteArray frame =
        CommandFrame{1, 'R', registers, quint8(2 * registers), 23 * devices + 30}.encode();
    const QByteArray general = encodeReply(generalReplyOf(config)).mid(reply::kContents);
    frame.replace(16, general.size(), general)
        .replace(19, 4, QByteArray(3, '\0') + char(frameCount));
    return frame;
}

// #SD frames of 250 stream bytes; the last one carries the rest, padded with a zero when odd.
inline QList<QByteArray> tableFrames(const QByteArray &stream) {
    QList<QByteArray> frames;
    for (int i = 0; i <= stream.size() / 250; ++i) {
        QByteArray piece = stream.mid(250 * i, 250);
        piece.append(QByteArray(piece.size() % 2, '\0'));
        const auto registers = static_cast<quint16>(2 + piece.size() / 2);
        QByteArray frame =
            CommandFrame{1, 'S', registers, quint8(2 * registers), 16}.encode() + char(9 + i);
        frames << frame + piece;
    }
    return frames;
}

inline QList<QByteArray> downloadFrames(const StoredConfiguration &config) {
    const QList<QByteArray> tables =
        tableFrames(encodeReply(tableReplyOf(config)).mid(reply::kContents));
    return QList{settingsFrame(config, int(tables.size()))} + tables;
}

} // namespace tolvar::test
