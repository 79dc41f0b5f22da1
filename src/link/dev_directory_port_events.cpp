#include "link/dev_directory_port_events.h"

#include <array>
#include <cerrno>
#include <cstring>

#include <QFile>

#include <sys/inotify.h>
#include <unistd.h>

namespace q51 {

namespace {

constexpr std::uint32_t EntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

} // namespace

DevDirectoryPortEvents::DevDirectoryPortEvents(QStringList directories, QObject *parent)
    : PortEventSource(parent), directories_(std::move(directories))
{
}

bool DevDirectoryPortEvents::start()
{
    if (inotify_.isOpen())
        return true;
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        qCDebug(portWatchLog) << "no inotify:" << std::strerror(errno);
        return false;
    }
    inotify_.watch(fd, this, [this] { readEvents(); });
    watches_ = QList<int>(directories_.size(), -1);
    watchDirectories();
    if (watches_.value(0) < 0) { // the first directory is the one that must be there
        qCDebug(portWatchLog) << "cannot watch" << directories_.value(0) << std::strerror(errno);
        stop();
        return false;
    }
    return true;
}

void DevDirectoryPortEvents::stop()
{
    inotify_.close();
    watches_.clear();
}

void DevDirectoryPortEvents::watchDirectories()
{
    // A removed directory's watch ends by itself; adding one again is harmless.
    for (qsizetype i = 0; i < directories_.size(); ++i)
        watches_[i] = ::inotify_add_watch(inotify_.fd(), QFile::encodeName(directories_[i]).constData(), EntryEvents);
}

void DevDirectoryPortEvents::readEvents()
{
    // What changed does not matter, only that something did: drain the queue.
    alignas(inotify_event) std::array<char, 4096> buffer{};
    bool any = false;
    for (;;) {
        const ssize_t got = ::read(inotify_.fd(), buffer.data(), buffer.size());
        if (got > 0) {
            any = true;
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        break;
    }
    if (!any)
        return;
    watchDirectories();
    emit portsMayHaveChanged();
}

} // namespace q51
