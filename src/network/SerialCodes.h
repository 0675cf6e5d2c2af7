#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace tolvar {

// The gateway serial-port settings whose choices travel as small codes.
enum class SerialSetting { ComPort, Baud, DataBits, Parity, StopBits };

// The code of a shown value, compared exactly; a value outside the table has none.
std::optional<quint8> serialCode(SerialSetting setting, QStringView text);

// The shown value of a code; a code outside the table has none.
std::optional<QString> serialText(SerialSetting setting, int code);

} // namespace tolvar
