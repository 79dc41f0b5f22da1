#pragma once
// One connection to a decoder for one port of a q51ctl run: the port opened
// with the port reopen procedure every window uses, and exchanges awaited
// by the port's task (the process waits on the port and a timer, never
// spinning, and other ports' tasks run meanwhile).

#include <functional>
#include <memory>

#include <QString>

#include "cli/command_line.h"
#include "cli/port_voice.h"
#include "link/exchange.h"
#include "link/serial_port_transport.h"
#include "link/task.h"

namespace q51::cli {

class DeviceSession {
public:
    DeviceSession(PortChoice port, const SerialSettings &settings);
    ~DeviceSession();
    DeviceSession(const DeviceSession &) = delete;
    DeviceSession &operator=(const DeviceSession &) = delete;

    // The not-available message to voice when the port cannot be opened.
    bool open(PortVoice &voice);
    void close();
    [[nodiscard]] Transport &port() { return *transport_; }
    [[nodiscard]] int portNumber() const { return port_.number; }

    // One exchange to its end. onProgress sees the reply bytes gathered.
    Task<ExchangeResult> exchange(Exchange::Request request, std::function<void(qsizetype)> onProgress = {});

private:
    PortChoice port_;
    SerialSettings settings_;
    std::unique_ptr<SerialPortTransport> transport_;
};

} // namespace q51::cli
