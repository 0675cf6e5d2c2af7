#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tolvar {

// Offsets of the request envelope every frame to the gateway shares.
namespace frame {
inline constexpr int kUnitId = 6;
inline constexpr int kFunction = 7;
inline constexpr int kRegisterCount = 10; // two bytes, high byte first
inline constexpr int kByteCount = 12;
inline constexpr int kCommandMark = 13;
inline constexpr int kCommandLetter = 14;
inline constexpr int kCommandSuffix = 15;
inline constexpr int kCommandData = 16;
inline constexpr int kHeaderSize = 16;
inline constexpr quint8 kWriteMultipleRegisters = 0x10;
} // namespace frame

// A Write Multiple Registers request carrying the three-letter command "#<letter>D".
// Write commands fix their own lengths, so the length and counts are given, not derived.
struct CommandFrame {
    quint8 unitId = 1;
    char letter = 'P';
    quint16 registerCount = 2;
    quint8 byteCount = 4;
    int length = 17;

    // The zero-filled frame with offsets 0..15 set; command data goes from offset 16 on.
    QByteArray encode() const;

    // The envelope of a command with Q registers laid out as 13 + 2Q bytes.
    static CommandFrame withRegisters(quint8 unitId, char letter, quint16 registers);
};

enum class ReadCommand : char { ReadParams = 'P', ReadGeneral = 'G', ReadTables = 'H' };

// The 17-byte read request for one of the three read commands.
QByteArray readCommandFrame(ReadCommand command, quint8 unitId);

} // namespace tolvar
