#pragma once
// A file descriptor the event loop reads from when it has something, and
// closes when done: the kernel's event sockets cost nothing while quiet.

#include <functional>
#include <memory>

class QObject;
class QSocketNotifier;

namespace q51 {

class WatchedDescriptor final {
public:
    WatchedDescriptor();
    ~WatchedDescriptor();
    WatchedDescriptor(const WatchedDescriptor &) = delete;
    WatchedDescriptor &operator=(const WatchedDescriptor &) = delete;

    // Takes fd over (a descriptor already held is closed first) and calls
    // onReadable, in context's thread, whenever there is something to read.
    void watch(int fd, QObject *context, std::function<void()> onReadable);
    void close();
    [[nodiscard]] int fd() const { return fd_; }
    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace q51
