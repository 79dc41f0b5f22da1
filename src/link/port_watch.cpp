#include "link/port_watch.h"

#include "link/dev_directory_port_events.h"
#include "link/uevent_port_events.h"

namespace q51 {

namespace {

// What readers did before there were events, and still do where nothing else works.
constexpr std::chrono::milliseconds PollInterval{1000};

std::shared_ptr<PortWatch> &currentWatch()
{
    static std::shared_ptr<PortWatch> watch;
    return watch;
}

} // namespace

PortWatch::PortWatch(std::vector<std::unique_ptr<PortEventSource>> sources, std::chrono::milliseconds settle,
                     QObject *parent)
    : QObject(parent), sources_(std::move(sources))
{
    settle_.setSingleShot(true);
    settle_.setInterval(settle);
    connect(&settle_, &QTimer::timeout, this, &PortWatch::changed);
    for (const auto &source : sources_) {
        // Not restarted by later events: a steady stream still reports every settle period.
        connect(source.get(), &PortEventSource::portsMayHaveChanged, this, [this] {
            if (!settle_.isActive())
                settle_.start();
        });
    }
}

std::vector<std::unique_ptr<PortEventSource>> PortWatch::SystemSources()
{
    std::vector<std::unique_ptr<PortEventSource>> sources;
    sources.push_back(std::make_unique<UeventPortEvents>());
    sources.push_back(std::make_unique<DevDirectoryPortEvents>());
    sources.push_back(std::make_unique<PolledPortEvents>(PollInterval));
    return sources;
}

void PortWatch::hold()
{
    if (holders_++ == 0)
        startSource();
}

void PortWatch::release()
{
    if (holders_ == 0 || --holders_ > 0)
        return;
    settle_.stop();
    if (active_)
        active_->stop();
    active_ = nullptr;
}

void PortWatch::startSource()
{
    for (const auto &source : sources_) {
        if (source->start()) {
            active_ = source.get();
            qCDebug(portWatchLog) << "hearing of serial ports through" << active_->name();
            return;
        }
        qCDebug(portWatchLog) << source->name() << "not available, falling back";
    }
    qCDebug(portWatchLog) << "no way to hear of serial ports";
}

PortWatchSubscription::PortWatchSubscription(PortWatch &watch, QObject *context, std::function<void()> onChange)
    : watch_(&watch), connection_(QObject::connect(&watch, &PortWatch::changed, context, std::move(onChange)))
{
    watch.hold();
}

PortWatchSubscription::~PortWatchSubscription()
{
    QObject::disconnect(connection_);
    if (watch_)
        watch_->release();
}

PortWatch &CurrentPortWatch()
{
    std::shared_ptr<PortWatch> &watch = currentWatch();
    if (!watch)
        watch = std::make_shared<PortWatch>(PortWatch::SystemSources());
    return *watch;
}

void SetPortWatch(std::shared_ptr<PortWatch> watch)
{
    currentWatch() = std::move(watch);
}

} // namespace q51
