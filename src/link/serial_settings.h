#pragma once
// The serial link settings as one typed value, and their text form
// "9600,N,8,1" (baud, parity letter, data bits, stop bits): users and the
// configuration spell them so, and this is the one place that reads and
// writes that text.

#include <optional>

#include <QString>

class QSerialPort;

namespace q51 {

struct SerialSettings {
    int baudRate = 9600;
    char parity = 'N'; // N none, E even, O odd, M mark, S space
    int dataBits = 8;  // 7 or 8
    int stopBits = 1;  // 1 or 2

    bool operator==(const SerialSettings &) const = default;
};

// Empty when the text is not exactly four comma-separated fields with a
// decimal baud rate, a known parity letter, 7 or 8 data bits and 1 or 2 stop
// bits; *problem then says which field is wrong, in words for the user.
[[nodiscard]] std::optional<SerialSettings> parseSerialSettings(const QString &text,
                                                                QString *problem = nullptr);

// "9600,N,8,1": what parseSerialSettings reads back as the same value.
[[nodiscard]] QString serialSettingsText(const SerialSettings &settings);

// Hands the settings to the port, with no flow control. False when the port
// refuses one of them (a baud rate the driver cannot do).
bool applySerialSettings(const SerialSettings &settings, QSerialPort &port);

} // namespace q51
