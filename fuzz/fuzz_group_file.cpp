// /etc/group of any content and length, as a damaged or hostile system may
// hold it: no read outside the text, and every entry taken has a name, no
// empty member, and appears in the text as its own line's start.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/system_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto groups = q51::ParseGroupFile(text);
    for (const q51::GroupEntry &group : groups) {
        if (group.name.empty() || group.name.find(':') != std::string::npos
            || text.find(group.name + ":") == std::string_view::npos)
            __builtin_trap();
        for (const std::string &member : group.members)
            if (member.empty() || member.find(',') != std::string::npos || member.find('\n') != std::string::npos)
                __builtin_trap();
        if (q51::FindGroup(groups, group.gid) == nullptr || q51::FindGroup(groups, group.name) == nullptr)
            __builtin_trap();
    }
    // The one-value readers take the same bytes.
    const std::string line = q51::FirstLine(text);
    if (line.size() > size || line.find('\n') != std::string::npos)
        __builtin_trap();
    if (const auto id = q51::UsbIdOf(text); id && id->size() != 4)
        __builtin_trap();
    (void)q51::ProcessIdOf(text);
    (void)q51::BaseName(text);
    return 0;
}
