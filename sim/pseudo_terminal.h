#pragma once
// The pseudo-terminal the simulated decoder talks through. The program keeps
// the device side open itself, so a client closing and reopening the device
// leaves the line (and its raw settings) as it was, the way a real port
// stays put when a program lets go of it.

#include <cstddef>
#include <string>

namespace q51::sim {

class PseudoTerminal {
public:
    // Throws std::system_error when no pseudo-terminal can be had.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Closes both ends: the client's device hangs up and its node goes away,
    // as an unplugged adapter's does.
    void Vanish();
    // A new pseudo-terminal (under a new name) after Vanish. Throws as the
    // constructor does.
    void Reappear();
    [[nodiscard]] bool Present() const { return master_ >= 0; }

    // Non-blocking; our end of the line; -1 while vanished.
    [[nodiscard]] int master() const { return master_; }
    // The device a client opens, e.g. /dev/pts/7.
    [[nodiscard]] const std::string &devicePath() const { return devicePath_; }
    // Bytes written to the line that no client has read yet.
    [[nodiscard]] std::size_t UnreadByClient() const;
    // The speed the client set the line to, in baud; 0 when it is none of
    // the standard ones.
    [[nodiscard]] int LineSpeed() const;

private:
    void Open();

    int master_ = -1;
    int device_ = -1;
    std::string devicePath_;
};

} // namespace q51::sim
