#pragma once
// Test helpers for the service windows: the simulated decoder answering on
// a fake port in-process.

#include <QObject>
#include <QPointer>

#include <memory>

#include "link/fake_transport.h"
#include "link/transport_factory.h"
#include "sim/decoder_simulator.h"
#include "support/scaled_intervals.h"

namespace q51::test {

// Builds a window's port the way the application does, keeping hold of it.
inline TransportFactory fakePortInto(QPointer<FakeTransport> &port)
{
    return [&port] {
        auto made = std::make_unique<FakeTransport>();
        port = made.get();
        return made;
    };
}

// Whatever is written to the port goes to the simulator; each chunk of its
// replies arrives as a chunk of its own. Pauses between chunks are not
// kept: the fake port delivers one chunk per pass of the event loop.
inline void answerWith(FakeTransport &port, sim::DecoderSimulator &simulator)
{
    QObject::connect(&port, &FakeTransport::requestWritten, &port, [&port, &simulator](const QByteArray &bytes) {
        const auto view = protocol::AsBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        for (const sim::SimulatorEvent &event : simulator.Feed(view)) {
            for (const sim::ReplyChunk &chunk : event.reply.chunks)
                port.pushReply(QByteArray(reinterpret_cast<const char *>(chunk.bytes.data()),
                                          qsizetype(chunk.bytes.size())));
        }
    });
}

} // namespace q51::test
