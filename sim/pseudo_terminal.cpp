#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace q51::sim {

namespace {

[[noreturn]] void Fail(const char *what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

PseudoTerminal::PseudoTerminal()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0)
        Fail("cannot open a pseudo-terminal");
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        const int saved = errno;
        close(master_);
        errno = saved;
        Fail("cannot set up the pseudo-terminal");
    }
    devicePath_ = name;
    device_ = open(name, O_RDWR | O_NOCTTY);
    termios raw{};
    if (device_ < 0 || tcgetattr(device_, &raw) != 0) {
        const int saved = errno;
        if (device_ >= 0)
            close(device_);
        close(master_);
        errno = saved;
        Fail("cannot open the pseudo-terminal device");
    }
    // Bytes pass unchanged both ways: no echo, no line editing, no CR/LF
    // translation, whatever the client sets up.
    cfmakeraw(&raw);
    tcsetattr(device_, TCSANOW, &raw);
}

PseudoTerminal::~PseudoTerminal()
{
    close(device_);
    close(master_);
}

std::size_t PseudoTerminal::UnreadByClient() const
{
    int count = 0;
    if (ioctl(device_, FIONREAD, &count) != 0 || count < 0)
        return 0;
    return static_cast<std::size_t>(count);
}

} // namespace q51::sim
