#include "cli/device_session.h"

#include <QEventLoop>
#include <QFileInfo>

#include "link/port_reopen.h"

namespace q51::cli {

DeviceSession::DeviceSession(PortChoice port, QString settings)
    : port_(std::move(port)), settings_(std::move(settings)), transport_(std::make_unique<SerialPortTransport>())
{
    // A named device stands in for its Com number through the same mapping
    // the windows use, for this process only.
    if (!port_.device.isEmpty())
        qputenv(QStringLiteral("Q51_COM%1").arg(port_.number).toLatin1().constData(), port_.device.toLocal8Bit());
}

DeviceSession::~DeviceSession()
{
    transport_->close();
}

bool DeviceSession::open()
{
    // A device named with --port is what the user knows it by; the windows'
    // advice to point Q51_COMn at a device does not apply to it.
    if (!port_.device.isEmpty() && !QFileInfo::exists(port_.device)) {
        PrintFailure(port_.device + QStringLiteral(": not available."),
                     port_.device + QStringLiteral(": No such file or directory"));
        return false;
    }
    QString problem;
    if (reopenPort(*transport_, settings_, port_.number, &problem))
        return true;
    const QString what = port_.device.isEmpty() ? portNotAvailableText(port_.number)
                                                : port_.device + QStringLiteral(": not available.");
    PrintFailure(what, problem);
    return false;
}

ExchangeResult DeviceSession::run(Exchange::Request request, const std::function<void(qsizetype)> &onProgress)
{
    ExchangeResult result;
    Exchange exchange(*transport_, std::move(request));
    if (onProgress)
        QObject::connect(&exchange, &Exchange::progressed, onProgress);
    waitFor([&](std::function<void()> done) {
        QObject::connect(&exchange, &Exchange::finished, [&result, done](const ExchangeResult &r) {
            result = r;
            done();
        });
        exchange.start();
    });
    return result;
}

void DeviceSession::waitFor(const std::function<void(std::function<void()> done)> &start)
{
    QEventLoop loop;
    bool finished = false;
    start([&] {
        finished = true;
        loop.quit();
    });
    if (!finished)
        loop.exec();
}

} // namespace q51::cli
