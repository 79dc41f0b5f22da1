#pragma once
// The helper's work once it holds the port: read requests, carry out the
// allowed ones no faster than the keyboard line's shortest pause, and say
// why about every other. Ends at end of input.

#include <cstdint>

namespace q51::keyboard_helper {

// Performs one write the request loop has allowed.
class PortWriter {
public:
    virtual ~PortWriter() = default;
    virtual void write(std::uint16_t port, std::uint8_t value) = 0;
};

// Serves requests from inFd, answers on outFd. Returns the exit status.
int ServeRequests(int inFd, int outFd, PortWriter &writer);

// Writes a whole line (a newline is added) to fd; false when it cannot.
bool SendLine(int fd, const char *text, std::size_t length);

} // namespace q51::keyboard_helper
