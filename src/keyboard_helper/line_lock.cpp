#include "keyboard_helper/line_lock.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q51::keyboard_helper {

namespace {

// The lock folder is writable by everyone: never follow a link planted
// there, never wait on a FIFO.
constexpr int OpenFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

int OpenOrCreate(const std::string &path)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Opened as it is first: creating a file another user owns in a
        // sticky folder is refused by the kernel's protected_regular rule.
        const int fd = ::open(path.c_str(), OpenFlags);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        const int created = ::open(path.c_str(), OpenFlags | O_CREAT | O_EXCL, 0644);
        if (created >= 0) {
            // Readable by the helpers of other users whatever the umask.
            ::fchmod(created, 0644);
            return created;
        }
        if (errno != EEXIST)
            return -1;
        // Another helper created it meanwhile: open that one.
    }
    return -1;
}

LineLock Unusable(const std::string &path, const char *what, int error)
{
    // Missing: its folder is. Otherwise the file is not one a helper made.
    const char *remedy = error == ENOENT ? "; ask the administrator to create its folder"
                                         : "; ask the administrator to remove it";
    return {LineLock::State::Unusable,
            std::string(what) + " the lock file " + path + ": " + std::strerror(error) + remedy};
}

} // namespace

LineLock TakeLineLock(const std::string &path)
{
    const int fd = OpenOrCreate(path);
    if (fd < 0)
        return Unusable(path, "cannot open", errno);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Unusable(path, "cannot use", ENOTSUP);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return {LineLock::State::Busy, "another keyboard transfer is using the keyboard line (lock " + path +
                                               "); try again when it has ended"};
        return Unusable(path, "cannot lock", error);
    }
    return {LineLock::State::Held, {}};
}

} // namespace q51::keyboard_helper
