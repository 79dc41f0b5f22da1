#include "link/watched_descriptor.h"

#include <QSocketNotifier>

#include <unistd.h>

namespace q51 {

WatchedDescriptor::WatchedDescriptor() = default;

WatchedDescriptor::~WatchedDescriptor()
{
    close();
}

void WatchedDescriptor::watch(int fd, QObject *context, std::function<void()> onReadable)
{
    close();
    fd_ = fd;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, context, std::move(onReadable));
}

void WatchedDescriptor::close()
{
    notifier_.reset(); // before the descriptor it watches
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace q51
