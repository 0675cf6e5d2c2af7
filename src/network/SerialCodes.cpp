#include "network/SerialCodes.h"

#include <span>

namespace tolvar {
namespace {

struct CodeRow {
    quint8 code;
    const char *text;
};

constexpr CodeRow kComPorts[] = {{1, "COM1"}, {2, "COM2"}};
constexpr CodeRow kBaudRates[] = {{0, "1200"},  {1, "2400"},  {2, "4800"},  {3, "9600"},
                                  {4, "19200"}, {5, "38400"}, {6, "57600"}, {7, "115200"}};
constexpr CodeRow kDataBits[] = {{1, "7"}, {2, "8"}};
constexpr CodeRow kParities[] = {{1, "None"}, {2, "Even"}, {3, "Odd"}};
constexpr CodeRow kStopBits[] = {{1, "1"}, {2, "2"}};

std::span<const CodeRow> tableOf(SerialSetting setting) {
    switch (setting) {
    case SerialSetting::ComPort:
        return kComPorts;
    case SerialSetting::Baud:
        return kBaudRates;
    case SerialSetting::DataBits:
        return kDataBits;
    case SerialSetting::Parity:
        return kParities;
    case SerialSetting::StopBits:
        break;
    }
    return kStopBits;
}

} // namespace

std::optional<quint8> serialCode(SerialSetting setting, QStringView text) {
    for (const CodeRow &row : tableOf(setting)) {
        if (text == QLatin1String(row.text))
            return row.code;
    }
    return std::nullopt;
}

std::optional<QString> serialText(SerialSetting setting, int code) {
    for (const CodeRow &row : tableOf(setting)) {
        if (row.code == code)
            return QString::fromLatin1(row.text);
    }
    return std::nullopt;
}

} // namespace tolvar
