#pragma once
// The decoder's status byte in words, as the command console shows it:
// reading mode (bits 0-2), PE (bit 3), TG (bit 4) and the last decode
// (bit 5). Bits 6 and 7 are not shown.

#include <cstdint>
#include <string>
#include <vector>

namespace q51::protocol {

// "Status_Byte is: 2B", "Reading Mode: Continuous/Auto Power", "PE On",
// "TG Off", "Decode OK": the byte in upper-case hex without leading zeros,
// then one line per field.
std::vector<std::string> DescribeStatusByte(std::uint8_t status);

} // namespace q51::protocol
