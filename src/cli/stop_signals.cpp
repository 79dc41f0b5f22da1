#include "cli/stop_signals.h"

#include <signal.h>
#include <fcntl.h>
#include <unistd.h>

namespace q51::cli {

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int Caught[] = {SIGINT, SIGTERM};

void handleWith(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int signal : Caught)
        sigaction(signal, &action, nullptr);
}

void restoreDefaults()
{
    handleWith(SIG_DFL);
}

extern "C" void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(pipeEnds[1], &byte, 1);
    restoreDefaults(); // the next one ends the process
}

} // namespace

StopSignals::StopSignals()
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // no clean stop; the default handling stays
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(pipeEnds[0], &byte, 1) > 0) {
        }
        emit stopRequested();
    });
    handleWith(onStopSignal);
}

StopSignals::~StopSignals()
{
    restoreDefaults();
    notifier_.reset();
    for (int &end : pipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

} // namespace q51::cli
