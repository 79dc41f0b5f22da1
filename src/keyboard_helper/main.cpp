// q51-keyboard-helper: the one process that may write to the PC keyboard
// controller. The window starts it over a pipe when it needs the keyboard
// line, one helper per exchange; the package gives it the raw-I/O capability
// and lets only members of the keyboard group run it. It takes the data
// port, drops every capability at once (the port stays granted), records in
// the system log who started it, takes the line's lock so that no other
// helper writes at the same time, and then writes only what the request loop
// allows.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "keyboard_helper/line_lock.h"
#include "keyboard_helper/request_loop.h"
#include "keyboard_helper/start_log.h"
#include "link/portio/keyboard_helper_protocol.h"
#include "link/portio/port_io.h"

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#define Q51_HAVE_IOPERM 1
#include <linux/capability.h>
#include <sys/io.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#endif

namespace {

using namespace q51::keyboard_helper;

// Says why this start goes no further, to the window and to the log.
int Decline(std::string_view prefix, const std::string &why)
{
    LogDeclined(why);
    const std::string line = std::string(prefix) + why;
    SendLine(STDOUT_FILENO, line.data(), line.size());
    return 1;
}

int Unavailable(const std::string &why)
{
    return Decline(UnavailablePrefix, why);
}

#ifdef Q51_HAVE_IOPERM
class KeyboardControllerWriter final : public PortWriter {
public:
    void write(std::uint16_t port, std::uint8_t value) override { outb(value, port); }
};

// Empties all three capability sets and forbids gaining new privileges; the
// I/O permission already granted is kept by the kernel.
bool DropPrivileges()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    return syscall(SYS_capset, &header, data) == 0 && prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
}
#endif

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1) {
        std::fprintf(stderr,
                     "usage: %s\n"
                     "Writes keyboard-line bytes to the keyboard controller's data port for q51setup.\n"
                     "It reads requests on standard input; it is not meant to be run by hand.\n",
                     argv[0]);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
#ifdef Q51_HAVE_IOPERM
    const bool granted = ioperm(q51::KeyboardDataPort, 1, 1) == 0;
    const int refusal = errno;
    if (!DropPrivileges())
        return Unavailable(std::string("cannot drop privileges: ") + std::strerror(errno));
    // Only now: naming the user may load name-service modules, which must
    // not run with the capability.
    LogStart();
    if (!granted)
        return Unavailable(std::string("no access to the keyboard controller (") + std::strerror(refusal) +
                           "); check that you are in the q51keyboard group and that the helper has the "
                           "cap_sys_rawio capability");
    if (const LineLock lock = TakeLineLock(LineLockPath); lock.state != LineLock::State::Held)
        return Decline(lock.state == LineLock::State::Busy ? BusyPrefix : UnavailablePrefix, lock.why);
    if (!SendLine(STDOUT_FILENO, ReadyLine.data(), ReadyLine.size()))
        return 1;
    KeyboardControllerWriter writer;
    return ServeRequests(STDIN_FILENO, STDOUT_FILENO, writer);
#else
    LogStart();
    return Unavailable("this machine has no keyboard controller ports");
#endif
}
