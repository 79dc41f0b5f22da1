// A stand-in for the keyboard-port helper that records each write it would
// make instead of making it: "PP VV microseconds" per line in the file named
// by its first argument. It runs the real request loop, so it refuses and
// paces exactly as the helper does. With "--unavailable" it declines to
// start, as the helper does without the capability.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "keyboard_helper/request_loop.h"
#include "link/portio/keyboard_helper_protocol.h"

namespace {

using namespace q51::keyboard_helper;

class RecordingWriter final : public PortWriter {
public:
    explicit RecordingWriter(std::FILE *log) : log_(log) {}
    void write(std::uint16_t port, std::uint8_t value) override
    {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        std::fprintf(log_, "%02x %02x %lld\n", unsigned(port), unsigned(value),
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()));
        std::fflush(log_);
    }

private:
    std::FILE *log_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[2], "--unavailable") == 0) {
        const std::string line = std::string(UnavailablePrefix) + "no access to the keyboard controller";
        SendLine(STDOUT_FILENO, line.data(), line.size());
        return 1;
    }
    std::FILE *log = argc > 1 ? std::fopen(argv[1], "w") : nullptr;
    if (!log)
        return 2;
    SendLine(STDOUT_FILENO, ReadyLine.data(), ReadyLine.size());
    RecordingWriter writer(log);
    const int status = ServeRequests(STDIN_FILENO, STDOUT_FILENO, writer);
    std::fclose(log);
    return status;
}
