#include "link/port_event_source.h"

namespace q51 {

Q_LOGGING_CATEGORY(portWatchLog, "q51.link.portwatch", QtInfoMsg)

PolledPortEvents::PolledPortEvents(std::chrono::milliseconds interval, QObject *parent) : PortEventSource(parent)
{
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, &PortEventSource::portsMayHaveChanged);
}

bool PolledPortEvents::start()
{
    timer_.start();
    return true;
}

} // namespace q51
