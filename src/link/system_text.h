#pragma once
// The small text files the port doctor reads from the system: /etc/group,
// a process's comm, sysfs attributes. Any of them may be cut short, huge or
// garbled, so every field is taken by its checked bounds. Plain C++, so the
// fuzzer can build it without Qt.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q51 {

struct GroupEntry {
    std::string name;
    unsigned gid = 0;
    std::vector<std::string> members; // the user names listed, in order

    bool operator==(const GroupEntry &) const = default;
};

// Every well-formed line "name:password:gid:member,member": four fields, a
// non-empty name and a decimal gid. Comments, "+"/"-" NIS lines and broken
// lines are skipped; empty member names are dropped.
[[nodiscard]] std::vector<GroupEntry> ParseGroupFile(std::string_view text);

// The entry with that gid, or with that name; nullptr when none.
[[nodiscard]] const GroupEntry *FindGroup(const std::vector<GroupEntry> &groups, unsigned gid);
[[nodiscard]] const GroupEntry *FindGroup(const std::vector<GroupEntry> &groups, std::string_view name);

// The first line of a one-value file (comm, idVendor, type), without its
// line end and trailing blanks.
[[nodiscard]] std::string FirstLine(std::string_view text);

// A /proc entry that is a process: 1 to 10 decimal digits.
[[nodiscard]] std::optional<unsigned> ProcessIdOf(std::string_view name);

// A USB vendor or product id as sysfs writes it: exactly four hex digits,
// returned in lower case.
[[nodiscard]] std::optional<std::string> UsbIdOf(std::string_view text);

// The last part of a path ("ftdi_sio" of "../../bus/usb-serial/drivers/ftdi_sio").
[[nodiscard]] std::string_view BaseName(std::string_view path);

} // namespace q51
