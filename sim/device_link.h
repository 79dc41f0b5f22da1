#pragma once
// A stable path for the simulator's device (the pseudo-terminal's own name
// changes from run to run): a symbolic link, removed again on exit.

#include <string>

namespace q51::sim {

class DeviceLink {
public:
    // Replaces an existing symbolic link at path; refuses to replace
    // anything else. Throws std::runtime_error.
    DeviceLink(std::string path, const std::string &target);
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

private:
    std::string path_;
    std::string target_;
};

} // namespace q51::sim
