#include "cli/device_session.h"

#include <QFileInfo>

#include "link/awaited_exchange.h"
#include "link/open_failure_cause.h"
#include "link/port_names.h"
#include "link/port_reopen.h"

namespace q51::cli {

DeviceSession::DeviceSession(PortChoice port, const SerialSettings &settings)
    : port_(std::move(port)), settings_(settings), transport_(std::make_unique<SerialPortTransport>())
{
    // A named device stands in for its Com number for this port alone, so
    // every port of the run opens its own.
    transport_->setDevice(port_.device);
}

DeviceSession::~DeviceSession()
{
    close();
}

void DeviceSession::close()
{
    transport_->close();
}

bool DeviceSession::open(PortVoice &voice)
{
    // A device named with --port is what the user knows it by; the windows'
    // advice to point Q51_COMn at a device does not apply to it.
    if (!port_.device.isEmpty() && !QFileInfo::exists(port_.device)) {
        voice.failure(port_.device + QStringLiteral(": not available."),
                      port_.device + QStringLiteral(": No such file or directory"));
        return false;
    }
    const QString what = port_.device.isEmpty() ? portNotAvailableText(port_.number)
                                                : port_.device + QStringLiteral(": not available.");
    // A missing or forbidden device is told here, in the command line's
    // terms; what only opening finds out is told in the windows' words.
    const QString device = port_.device.isEmpty() ? deviceNameForPort(port_.number) : port_.device;
    if (const DeviceAccess access = CheckDeviceAccess(device); !access.exists || !access.mayReadAndWrite) {
        const OpenFailureKind kind = access.exists ? OpenFailureKind::PermissionDenied : OpenFailureKind::NoSuchDevice;
        const QString group = access.exists ? DeviceGroupName(device) : QString();
        voice.failure(what, describeOpenFailureForCommandLine({kind, port_.number, device, {}, group, {}}));
        return false;
    }
    QString problem;
    if (reopenPort(*transport_, settings_, port_.number, &problem))
        return true;
    voice.failure(what, problem);
    return false;
}

Task<ExchangeResult> DeviceSession::exchange(Exchange::Request request, std::function<void(qsizetype)> onProgress)
{
    return Exchanged(*transport_, std::move(request), std::move(onProgress));
}

} // namespace q51::cli
