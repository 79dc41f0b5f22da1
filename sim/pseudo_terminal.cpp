#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace q51::sim {

namespace {

[[noreturn]] void Fail(const char *what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

PseudoTerminal::PseudoTerminal()
{
    Open();
}

void PseudoTerminal::Open()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0)
        Fail("cannot open a pseudo-terminal");
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        const int saved = errno;
        close(master_);
        master_ = -1;
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
        master_ = device_ = -1;
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
    Vanish();
}

void PseudoTerminal::Vanish()
{
    if (device_ >= 0)
        close(device_);
    if (master_ >= 0)
        close(master_);
    master_ = device_ = -1;
    devicePath_.clear();
}

void PseudoTerminal::Reappear()
{
    Vanish();
    Open();
}

int PseudoTerminal::LineSpeed() const
{
    static constexpr std::pair<speed_t, int> Speeds[] = {
        {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
        {B200, 200},       {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
        {B2400, 2400},     {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
        {B57600, 57600},   {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B500000, 500000},
        {B576000, 576000}, {B921600, 921600}, {B1000000, 1000000}, {B1152000, 1152000},
        {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000},
        {B3500000, 3500000}, {B4000000, 4000000},
    };
    termios line{};
    if (tcgetattr(device_, &line) != 0)
        return 0;
    const speed_t speed = cfgetospeed(&line);
    for (const auto &[constant, baud] : Speeds) {
        if (constant == speed)
            return baud;
    }
    return 0;
}

std::size_t PseudoTerminal::UnreadByClient() const
{
    int count = 0;
    if (ioctl(device_, FIONREAD, &count) != 0 || count < 0)
        return 0;
    return static_cast<std::size_t>(count);
}

} // namespace q51::sim
