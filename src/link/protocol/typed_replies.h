#pragma once
// The decoder's answers on the keyboard line, read from the text it typed.
// Every reader takes any text, of any length and content, and either
// returns what it stands for or nothing; none reads past the text.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/configuration.h"

namespace q51::protocol {

// The configuration block typed as 512 hex characters. Good only when every
// character is a hex digit and bytes 254 and 255 hold the checksum of bytes
// 0..253 (block_checksum.h).
std::optional<Block> DecodeTypedBlock(std::string_view typed);

// The version reply typed as 40 characters: "02061D" (STX, command, length
// as hex pairs), the 30 text characters as themselves, "03" and the BCC as a
// hex pair. The fixed header is compared exactly, in upper case; the BCC is
// the XOR of the frame with the text bytes as typed. Gives the 30 characters.
std::optional<std::string> DecodeTypedVersion(std::string_view typed);

// The typed header and ETX of a version reply, the first 6 and the 7th and
// 8th characters once the text is cut out.
inline constexpr std::string_view TypedVersionHeader = "02061D03";

using StatusBytes = std::array<std::uint8_t, 6>;

// The status reply typed as 12 hex characters; good when the XOR of the six
// bytes is 0.
std::optional<StatusBytes> DecodeTypedStatus(std::string_view typed);

} // namespace q51::protocol
