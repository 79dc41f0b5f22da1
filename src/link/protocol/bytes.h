#pragma once
// Byte buffers as the protocol code passes them around. Callers holding
// char-based buffers (QByteArray, std::string) wrap them with AsBytes.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace q51::protocol {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline ByteView AsBytes(std::string_view chars)
{
    return {reinterpret_cast<const std::uint8_t *>(chars.data()), chars.size()};
}

} // namespace q51::protocol
