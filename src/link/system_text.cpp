#include "link/system_text.h"

#include <algorithm>
#include <charconv>

namespace q51 {

namespace {

// The next piece of text up to the separator (or its end); text moves past it.
std::string_view takeUntil(std::string_view &text, char separator)
{
    const auto end = text.find(separator);
    const std::string_view piece = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return piece;
}

std::optional<unsigned> decimal(std::string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<GroupEntry> parseGroupLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.empty() || line.front() == '#' || line.front() == '+' || line.front() == '-')
        return std::nullopt;
    if (std::count(line.begin(), line.end(), ':') != 3)
        return std::nullopt;
    const std::string_view name = takeUntil(line, ':');
    takeUntil(line, ':'); // the password field says nothing about membership
    const auto gid = decimal(takeUntil(line, ':'), 10);
    if (name.empty() || !gid)
        return std::nullopt;
    GroupEntry entry{std::string(name), *gid, {}};
    while (!line.empty()) {
        const std::string_view member = takeUntil(line, ',');
        if (!member.empty())
            entry.members.emplace_back(member);
    }
    return entry;
}

} // namespace

std::vector<GroupEntry> ParseGroupFile(std::string_view text)
{
    std::vector<GroupEntry> groups;
    while (!text.empty()) {
        if (auto entry = parseGroupLine(takeUntil(text, '\n')))
            groups.push_back(std::move(*entry));
    }
    return groups;
}

const GroupEntry *FindGroup(const std::vector<GroupEntry> &groups, unsigned gid)
{
    const auto found = std::find_if(groups.begin(), groups.end(), [gid](const GroupEntry &g) { return g.gid == gid; });
    return found == groups.end() ? nullptr : &*found;
}

const GroupEntry *FindGroup(const std::vector<GroupEntry> &groups, std::string_view name)
{
    const auto found =
        std::find_if(groups.begin(), groups.end(), [name](const GroupEntry &g) { return g.name == name; });
    return found == groups.end() ? nullptr : &*found;
}

std::string FirstLine(std::string_view text)
{
    std::string_view line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return std::string(line);
}

std::optional<unsigned> ProcessIdOf(std::string_view name)
{
    if (name.empty() || name.front() == '0')
        return std::nullopt;
    return decimal(name, 10);
}

std::optional<std::string> UsbIdOf(std::string_view text)
{
    const std::string line = FirstLine(text);
    if (line.size() != 4)
        return std::nullopt;
    std::string id;
    for (const char c : line) {
        if (c >= '0' && c <= '9')
            id += c;
        else if (c >= 'a' && c <= 'f')
            id += c;
        else if (c >= 'A' && c <= 'F')
            id += char(c - 'A' + 'a');
        else
            return std::nullopt;
    }
    return id;
}

std::string_view BaseName(std::string_view path)
{
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace q51
