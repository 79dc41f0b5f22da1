#pragma once
// One connection to a decoder for one q51ctl run: the port opened with the
// port reopen procedure every window uses, and exchanges run on the event
// loop until they end (the process waits on the port and a timer, never
// spinning).

#include <functional>
#include <memory>

#include <QString>

#include "cli/command_line.h"
#include "cli/console_output.h"
#include "link/exchange.h"
#include "link/serial_port_transport.h"

namespace q51::cli {

class DeviceSession {
public:
    DeviceSession(PortChoice port, QString settings);
    ~DeviceSession();

    // The not-available message (on stderr) when the port cannot be opened.
    bool open();
    [[nodiscard]] Transport &port() { return *transport_; }
    [[nodiscard]] int portNumber() const { return port_.number; }

    // Runs one exchange to its end. onProgress sees the reply bytes gathered.
    ExchangeResult run(Exchange::Request request, const std::function<void(qsizetype)> &onProgress = {});

    // Runs the event loop until start's callback is called.
    static void waitFor(const std::function<void(std::function<void()> done)> &start);

private:
    PortChoice port_;
    QString settings_;
    std::unique_ptr<SerialPortTransport> transport_;
};

} // namespace q51::cli
