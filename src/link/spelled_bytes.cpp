#include "link/spelled_bytes.h"

#include <array>
#include <string>

#include "model/windows1252.h"

namespace q51 {

namespace {

constexpr std::array<const char *, 32> ControlNames{
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",  "VT",  "FF", "CR",  "SO",  "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS", "GS",  "RS",  "US",
};

} // namespace

QString SpellOutBytes(const QByteArray &bytes)
{
    // Printable bytes are gathered and converted in runs: the code page
    // conversion works on whole strings.
    QString shown;
    std::string run;
    auto flush = [&] {
        if (!run.empty())
            shown += QString::fromStdString(Windows1252ToUtf8(run));
        run.clear();
    };
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < ControlNames.size()) {
            flush();
            shown += QLatin1Char('<') + QLatin1String(ControlNames[b]) + QLatin1Char('>');
        } else {
            run.push_back(c);
        }
    }
    flush();
    return shown;
}

} // namespace q51
