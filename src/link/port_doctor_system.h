#pragma once
// What the port doctor asks of the operating system: device nodes, links
// and small files under /dev, /sys, /proc and /etc, and who this process
// is. The real one reads the system; tests answer from tables, so every
// diagnosis can be checked without the device, group or process it names.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace q51 {

struct NodeFacts {
    bool characterDevice = true;
    unsigned owner = 0; // uid
    unsigned group = 0; // gid
    unsigned mode = 0;  // the permission bits, e.g. 0660
};

struct ProcessIdentity {
    unsigned pid = 0;
    unsigned uid = 0;
    std::string userName;        // empty when the user has no name
    std::vector<unsigned> groups; // this login's groups: the effective gid and getgroups()
};

class PortDoctorSystem {
public:
    virtual ~PortDoctorSystem() = default;

    // What stat() says of the path, links followed; nothing when nothing is there.
    [[nodiscard]] virtual std::optional<NodeFacts> node(const std::string &path) const = 0;
    // Whether this process may open it for reading and writing, as the
    // system judges it (access lists included).
    [[nodiscard]] virtual bool mayReadWrite(const std::string &path) const = 0;
    // The path with every link resolved; empty when it does not resolve.
    [[nodiscard]] virtual std::string resolve(const std::string &path) const = 0;
    // Where a link points, as written; empty when it is no link or cannot be read.
    [[nodiscard]] virtual std::string linkTarget(const std::string &path) const = 0;
    // Up to limit names in a directory (without "." and ".."); none when it cannot be read.
    [[nodiscard]] virtual std::vector<std::string> list(const std::string &directory, std::size_t limit) const = 0;
    // Up to limit bytes of a file; nothing when it cannot be read.
    [[nodiscard]] virtual std::optional<std::string> read(const std::string &path, std::size_t limit) const = 0;
    // Who this process is, and the name of any user id.
    [[nodiscard]] virtual ProcessIdentity identity() const = 0;
    [[nodiscard]] virtual std::string userName(unsigned uid) const = 0;
    // A clock in milliseconds, so a scan of /proc can stop in time.
    [[nodiscard]] virtual long long milliseconds() const = 0;
};

// The running system, through POSIX calls.
class LivePortDoctorSystem final : public PortDoctorSystem {
public:
    [[nodiscard]] std::optional<NodeFacts> node(const std::string &path) const override;
    [[nodiscard]] bool mayReadWrite(const std::string &path) const override;
    [[nodiscard]] std::string resolve(const std::string &path) const override;
    [[nodiscard]] std::string linkTarget(const std::string &path) const override;
    [[nodiscard]] std::vector<std::string> list(const std::string &directory, std::size_t limit) const override;
    [[nodiscard]] std::optional<std::string> read(const std::string &path, std::size_t limit) const override;
    [[nodiscard]] ProcessIdentity identity() const override;
    [[nodiscard]] std::string userName(unsigned uid) const override;
    [[nodiscard]] long long milliseconds() const override;
};

} // namespace q51
