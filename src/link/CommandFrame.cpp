#include "link/CommandFrame.h"

namespace tolvar {

QByteArray CommandFrame::encode() const {
    QByteArray bytes(length, '\0');
    // Transaction 0x0102, protocol 0, and a length field that always reads 6.
    bytes[0] = 0x01;
    bytes[1] = 0x02;
    bytes[5] = 0x06;
    bytes[frame::kUnitId] = static_cast<char>(unitId);
    bytes[frame::kFunction] = static_cast<char>(frame::kWriteMultipleRegisters);
    bytes[frame::kRegisterCount] = static_cast<char>(registerCount >> 8);
    bytes[frame::kRegisterCount + 1] = static_cast<char>(registerCount & 0xFF);
    bytes[frame::kByteCount] = static_cast<char>(byteCount);
    bytes[frame::kCommandMark] = '#';
    bytes[frame::kCommandLetter] = letter;
    bytes[frame::kCommandSuffix] = 'D';
    return bytes;
}

CommandFrame CommandFrame::withRegisters(quint8 unitId, char letter, quint16 registers) {
    return CommandFrame{unitId, letter, registers, static_cast<quint8>(2 * registers),
                        13 + 2 * registers};
}

QByteArray readCommandFrame(ReadCommand command, quint8 unitId) {
    return CommandFrame::withRegisters(unitId, static_cast<char>(command), 2).encode();
}

} // namespace tolvar
