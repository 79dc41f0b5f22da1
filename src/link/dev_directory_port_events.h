#pragma once
// Hears of serial ports by watching the directories their nodes and names
// appear in (/dev, /dev/serial/by-id) through inotify, for where device
// events are refused. Every entry made or removed there counts: /dev
// changes seldom, and the ports are detected again at most once a burst.

#include <QStringList>

#include "link/port_event_source.h"
#include "link/watched_descriptor.h"

namespace q51 {

class DevDirectoryPortEvents final : public PortEventSource {
    Q_OBJECT
public:
    // Directories that do not exist yet are watched once they do: the first
    // adapter plugged in makes /dev/serial/by-id.
    explicit DevDirectoryPortEvents(QStringList directories = {QStringLiteral("/dev"), QStringLiteral("/dev/serial"),
                                                               QStringLiteral("/dev/serial/by-id")},
                                    QObject *parent = nullptr);

    bool start() override;
    void stop() override;
    [[nodiscard]] const char *name() const override { return "watching /dev"; }

private:
    // Watches those of the directories that exist now.
    void watchDirectories();
    void readEvents();

    QStringList directories_;
    QList<int> watches_; // one per directory, -1 while it does not exist
    WatchedDescriptor inotify_; // closing it ends its watches
};

} // namespace q51
