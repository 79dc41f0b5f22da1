#include "sim/decoder_family.h"

#include <cerrno>
#include <csignal>
#include <iostream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "sim/pseudo_terminal.h"
#include "sim/termination_signals.h"

namespace q51::sim {

namespace {

// How often the parent looks for children that ended on their own.
constexpr int ReapEveryMs = 500;

void StopAll(const std::vector<pid_t> &children)
{
    for (pid_t child : children)
        kill(child, SIGTERM);
    for (pid_t child : children)
        waitpid(child, nullptr, 0);
}

// Drops the children that have ended.
void Reap(std::vector<pid_t> &children)
{
    std::erase_if(children, [](pid_t child) { return waitpid(child, nullptr, WNOHANG) == child; });
}

} // namespace

int RunDecoderFamily(const SimOptions &options, const std::function<int(const SimOptions &, PseudoTerminal &)> &serve)
{
    std::vector<pid_t> children;
    std::vector<std::string> devices;
    for (int n = 1; n <= options.count; ++n) {
        // Made here, so the device is known before the child runs; the
        // parent's copy is closed at once, so only the child holds the line
        // and its hang-up reaches the client.
        PseudoTerminal pty;
        devices.push_back(pty.devicePath());
        std::cout.flush();
        std::cerr.flush();
        const pid_t child = fork();
        if (child < 0) {
            std::cerr << "q51sim: cannot start decoder " << n << '\n';
            StopAll(children);
            return 1;
        }
        if (child == 0)
            _exit(serve(ForDecoder(options, n), pty));
        children.push_back(child);
    }
    // Whoever started us reads these lines to learn the devices.
    for (const std::string &device : devices)
        std::cout << "q51sim: " << device << '\n';
    std::cout.flush();

    TerminationSignals signals;
    while (!children.empty()) {
        pollfd fd{signals.fd(), POLLIN, 0};
        if (poll(&fd, 1, ReapEveryMs) < 0 && errno != EINTR)
            break;
        // Only a stop is for the whole family; the unplugging signals are
        // for each decoder's own process.
        if ((fd.revents & POLLIN) && signals.Take().stop)
            break;
        Reap(children);
    }
    StopAll(children);
    return 0;
}

} // namespace q51::sim
