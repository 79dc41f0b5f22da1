// A stand-in for the keyboard-port helper that records each write it would
// make instead of making it: "PP VV microseconds pid" per line, appended to the
// file named by its first argument, so that the helpers of several exchanges
// share one record. It runs the real request loop and line lock, so it
// refuses, paces and excludes exactly as the helper does.
//
//   recording_keyboard_helper FILE [--lock PATH] [--unavailable]
//
// With "--lock PATH" it holds the line's lock on PATH (the real helper's
// path is fixed); with "--unavailable" it declines to start, as the helper
// does without the capability.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "keyboard_helper/line_lock.h"
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
        std::fprintf(log_, "%02x %02x %lld %ld\n", unsigned(port), unsigned(value),
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()),
                     static_cast<long>(getpid()));
        std::fflush(log_);
    }

private:
    std::FILE *log_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

int Decline(std::string_view prefix, const std::string &why)
{
    const std::string line = std::string(prefix) + why;
    SendLine(STDOUT_FILENO, line.data(), line.size());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    const char *lockPath = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unavailable") == 0)
            return Decline(UnavailablePrefix, "no access to the keyboard controller");
        if (std::strcmp(argv[i], "--lock") == 0 && i + 1 < argc)
            lockPath = argv[++i];
        else
            return 2;
    }
    if (lockPath) {
        if (const LineLock lock = TakeLineLock(lockPath); lock.state != LineLock::State::Held)
            return Decline(lock.state == LineLock::State::Busy ? BusyPrefix : UnavailablePrefix, lock.why);
    }
    std::FILE *log = argc > 1 ? std::fopen(argv[1], "a") : nullptr;
    if (!log)
        return 2;
    SendLine(STDOUT_FILENO, ReadyLine.data(), ReadyLine.size());
    RecordingWriter writer(log);
    const int status = ServeRequests(STDIN_FILENO, STDOUT_FILENO, writer);
    std::fclose(log);
    return status;
}
