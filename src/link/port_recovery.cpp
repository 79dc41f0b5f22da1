#include "link/port_recovery.h"

#include <algorithm>

#include <QFileInfo>

#include "link/dev_directory_port_events.h"
#include "link/intervals.h"
#include "link/port_names.h"
#include "link/port_reopen.h"
#include "link/port_watch.h"
#include "link/transport.h"

namespace q51 {

namespace {

const QString ByIdDirectory = QStringLiteral("/dev/serial/by-id/");

// A returning adapter is opened again this often, this far apart, before it
// is left to the next event: its node may not yet be ours to open.
constexpr int OpenAttempts = 8;
constexpr std::chrono::milliseconds RetryPause{150};

bool DeviceExistsNow(const QString &path)
{
    return QFileInfo::exists(path);
}

bool UnderDev(const QString &device)
{
    return QFileInfo(device).absolutePath().startsWith(QStringLiteral("/dev"));
}

} // namespace

AdapterIdentity IdentifyAdapter(const QString &device, const QList<DetectedPort> &detected)
{
    AdapterIdentity adapter{device, {}};
    if (device.startsWith(ByIdDirectory)) {
        adapter.byIdName = device;
        return adapter;
    }
    const auto found = std::find_if(detected.begin(), detected.end(), [&](const DetectedPort &port) {
        return port.device == device && !port.byIdName.isEmpty();
    });
    if (found != detected.end())
        adapter.byIdName = found->byIdName;
    return adapter;
}

bool AdapterPresent(const AdapterIdentity &adapter, const QList<DetectedPort> &detected,
                    const std::function<bool(const QString &)> &deviceExists)
{
    if (adapter.byIdName.isEmpty())
        return deviceExists(adapter.device);
    return std::any_of(detected.begin(), detected.end(),
                       [&](const DetectedPort &port) { return port.byIdName == adapter.byIdName; });
}

PortRecovery::PortRecovery(Transport &port, PortWatch &watch, QObject *parent)
    : QObject(parent), port_(port), watch_(watch), deviceExists_(DeviceExistsNow)
{
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &PortRecovery::tryToReturn);
    connect(&port_, &Transport::portLost, this, [this] {
        if (adapter_)
            markLost();
    });
}

PortRecovery::~PortRecovery()
{
    stop();
}

void PortRecovery::setDeviceExists(std::function<bool(const QString &)> deviceExists)
{
    deviceExists_ = std::move(deviceExists);
}

void PortRecovery::follow(const SerialSettings &settings, int portNumber, bool keepOpen)
{
    // An exchange of its own may find the adapter back before any event did.
    const bool wasLost = lost_ && portNumber == portNumber_;
    stop();
    const QString device = deviceNameForPort(portNumber);
    if (device.isEmpty())
        return;
    adapter_ = IdentifyAdapter(device, CurrentPortCatalogue().detect());
    settings_ = settings;
    portNumber_ = portNumber;
    keepOpen_ = keepOpen;
    subscription_ = std::make_unique<PortWatchSubscription>(watch_, this, [this] { onPortsChanged(); });
    if (!UnderDev(device)) {
        std::vector<std::unique_ptr<PortEventSource>> sources;
        sources.push_back(std::make_unique<DevDirectoryPortEvents>(QStringList{QFileInfo(device).absolutePath()}));
        ownWatch_ = std::make_unique<PortWatch>(std::move(sources));
        ownSubscription_ = std::make_unique<PortWatchSubscription>(*ownWatch_, this, [this] { onPortsChanged(); });
    }
    if (wasLost)
        emit back();
}

void PortRecovery::stop()
{
    retry_.stop();
    ownSubscription_.reset();
    ownWatch_.reset();
    subscription_.reset();
    adapter_.reset();
    lost_ = false;
}

bool PortRecovery::present() const
{
    return adapter_ && AdapterPresent(*adapter_, CurrentPortCatalogue().detect(), deviceExists_);
}

void PortRecovery::onPortsChanged()
{
    if (!adapter_)
        return;
    if (!lost_) {
        // An open port says so itself when its device goes; a closed one
        // (between exchanges) has only the watch to tell.
        if (!present())
            markLost();
        return;
    }
    attemptsLeft_ = OpenAttempts;
    tryToReturn();
}

void PortRecovery::markLost()
{
    if (lost_)
        return;
    lost_ = true;
    retry_.stop();
    emit lost();
}

void PortRecovery::tryToReturn()
{
    if (!lost_ || !present())
        return;
    if (keepOpen_ && !reopenPort(port_, settings_, portNumber_, nullptr)) {
        if (--attemptsLeft_ > 0)
            retry_.start(scaledDuration(RetryPause));
        return;
    }
    lost_ = false;
    emit back();
}

} // namespace q51
