#pragma once
// The kinds of request a decoder takes, by the short names the command line
// uses for them (--faults-on, --drop-during).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q51::sim {

enum class RequestKind { Download, Upload, Version, Status, Trigger, Groups, Clear, Update };

// A set of kinds, one bit each.
using RequestKinds = std::uint32_t;
inline constexpr RequestKinds AllRequestKinds = ~RequestKinds(0);
constexpr RequestKinds KindBit(RequestKind kind)
{
    return RequestKinds(1) << static_cast<int>(kind);
}

// The kind of a framed request by its command byte; nothing for a command
// the decoder does not know. The bare frames of a firmware update are of
// kind Update.
std::optional<RequestKind> KindOfCommand(std::uint8_t command);

std::string_view KindName(RequestKind kind);
std::optional<RequestKind> ParseRequestKind(std::string_view name);
// Names separated by commas, e.g. "download,version"; nothing when one of
// them is not a kind (or none is given).
std::optional<RequestKinds> ParseRequestKinds(std::string_view names);
// "download, upload, ...", for help and error texts.
std::string RequestKindNames();

} // namespace q51::sim
