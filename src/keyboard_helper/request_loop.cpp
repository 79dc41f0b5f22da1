#include "keyboard_helper/request_loop.h"

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include <unistd.h>

#include "link/portio/keyboard_helper_protocol.h"

namespace q51::keyboard_helper {

namespace {

using Clock = std::chrono::steady_clock;

// Keeps consecutive writes at least the minimum gap apart, counted from
// the end of the last write: a helper descheduled between reading the
// clock and writing would otherwise write the next byte too soon.
class WritePacer {
public:
    void waitForTurn()
    {
        if (last_) {
            const auto due = *last_ + std::chrono::microseconds(MinimumWriteGapMicroseconds);
            std::this_thread::sleep_until(due);
        }
    }
    void wrote() { last_ = Clock::now(); }

private:
    std::optional<Clock::time_point> last_;
};

bool Refuse(int outFd, const std::string &why)
{
    const std::string line = std::string(RefusedPrefix) + why;
    return SendLine(outFd, line.data(), line.size());
}

} // namespace

bool SendLine(int fd, const char *text, std::size_t length)
{
    std::string line(text, length);
    line.push_back('\n');
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::write(fd, line.data() + sent, line.size() - sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += std::size_t(n);
    }
    return true;
}

int ServeRequests(int inFd, int outFd, PortWriter &writer)
{
    RequestLineReader reader;
    WritePacer pacer;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(inFd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return 1;
        if (n == 0)
            return 0;
        for (ssize_t i = 0; i < n; ++i) {
            const auto line = reader.feed(buffer[i]);
            if (!line)
                continue;
            if (line->overlong) {
                Refuse(outFd, "request longer than " + std::to_string(MaxRequestLength) + " characters");
                continue;
            }
            const Verdict verdict = JudgeRequest(line->text);
            if (!verdict.write) {
                Refuse(outFd, verdict.refusal);
                continue;
            }
            pacer.waitForTurn();
            writer.write(verdict.write->port, verdict.write->value);
            pacer.wrote();
        }
    }
}

} // namespace q51::keyboard_helper
