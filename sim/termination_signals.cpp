#include "sim/termination_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace q51::sim {

namespace {

int pipeFds[2] = {-1, -1};
constexpr int Handled[] = {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2};
constexpr char StopByte = 1;
constexpr char VanishByte = 2;
constexpr char NewUnitByte = 3;

extern "C" void OnTerminationSignal(int signal)
{
    const int saved = errno;
    const char byte = signal == SIGUSR1 ? VanishByte : signal == SIGUSR2 ? NewUnitByte : StopByte;
    [[maybe_unused]] const auto n = write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals()
{
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "cannot create the signal pipe");
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : Handled)
        sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int signal : Handled)
        std::signal(signal, SIG_DFL);
    close(pipeFds[0]);
    close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

int TerminationSignals::fd() const
{
    return pipeFds[0];
}

TerminationSignals::Arrived TerminationSignals::Take() const
{
    Arrived arrived;
    char bytes[64];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR)) {
        for (ssize_t i = 0; i < n; ++i) {
            arrived.stop |= bytes[i] == StopByte;
            arrived.vanishToggles += bytes[i] == VanishByte ? 1 : 0;
            arrived.newUnits += bytes[i] == NewUnitByte ? 1 : 0;
        }
    }
    return arrived;
}

} // namespace q51::sim
