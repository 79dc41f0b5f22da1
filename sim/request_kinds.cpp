#include "sim/request_kinds.h"

#include <array>
#include <initializer_list>

#include "link/protocol/commands.h"
#include "link/protocol/console_requests.h"

namespace q51::sim {

namespace {

namespace Command = protocol::Command;

struct KindEntry {
    RequestKind kind;
    std::string_view name;
    std::initializer_list<std::uint8_t> commands;
};

const std::array<KindEntry, 8> &Kinds()
{
    static const std::array<KindEntry, 8> kinds{{
        {RequestKind::Download, "download", {Command::WriteConfiguration}},
        {RequestKind::Upload, "upload", {Command::ReadConfiguration}},
        {RequestKind::Version, "version", {Command::ReadVersion}},
        {RequestKind::Status, "status", {Command::Status}},
        {RequestKind::Trigger, "trigger", {Command::Trigger}},
        {RequestKind::Groups, "groups",
         {Command::ReadAllGroups, Command::ReadGroupRange, Command::ReadGroupSizes, Command::ReadFreeSpace}},
        {RequestKind::Clear, "clear", {Command::ClearAllGroups, Command::ClearGroupRange}},
        {RequestKind::Update, "update", {Command::IspAccess}},
    }};
    return kinds;
}

} // namespace

std::optional<RequestKind> KindOfCommand(std::uint8_t command)
{
    for (const KindEntry &entry : Kinds()) {
        for (std::uint8_t c : entry.commands) {
            if (c == command)
                return entry.kind;
        }
    }
    return std::nullopt;
}

std::string_view KindName(RequestKind kind)
{
    return Kinds()[static_cast<std::size_t>(kind)].name;
}

std::optional<RequestKind> ParseRequestKind(std::string_view name)
{
    for (const KindEntry &entry : Kinds()) {
        if (entry.name == name)
            return entry.kind;
    }
    return std::nullopt;
}

std::optional<RequestKinds> ParseRequestKinds(std::string_view names)
{
    RequestKinds kinds = 0;
    for (;;) {
        const std::size_t comma = names.find(',');
        const std::optional<RequestKind> kind = ParseRequestKind(names.substr(0, comma));
        if (!kind)
            return std::nullopt;
        kinds |= KindBit(*kind);
        if (comma == std::string_view::npos)
            return kinds;
        names.remove_prefix(comma + 1);
    }
}

std::string RequestKindNames()
{
    std::string names;
    for (const KindEntry &entry : Kinds())
        names += (names.empty() ? "" : ", ") + std::string(entry.name);
    return names;
}

} // namespace q51::sim
