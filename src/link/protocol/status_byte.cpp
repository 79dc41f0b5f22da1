#include "link/protocol/status_byte.h"

#include <cstdio>

namespace q51::protocol {

namespace {

constexpr const char *ReadingModes[8] = {
    "Trigger On/Off", "Good Read Off", "Continuous/Trigger Off", "Continuous/Auto Power",
    "Flash",          "Testing",       "Flash/Auto Power On",    "Reserved 1",
};

constexpr std::uint8_t ReadingModeMask = 0x07;
constexpr std::uint8_t PeBit = 0x08;
constexpr std::uint8_t TgBit = 0x10;
constexpr std::uint8_t DecodeBit = 0x20;

} // namespace

std::vector<std::string> DescribeStatusByte(std::uint8_t status)
{
    char hex[4];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(status));
    return {
        std::string("Status_Byte is: ") + hex,
        std::string("Reading Mode: ") + ReadingModes[status & ReadingModeMask],
        (status & PeBit) ? "PE On" : "PE Off",
        (status & TgBit) ? "TG On" : "TG Off",
        (status & DecodeBit) ? "Decode OK" : "Decode Err",
    };
}

} // namespace q51::protocol
