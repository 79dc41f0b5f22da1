#pragma once
// An in-memory port for tests and in-process simulations: it records what
// was written and delivers replies the way a real port does, one chunk per
// pass of the event loop, never inside the call that caused them.

#include <optional>
#include <utility>

#include <QList>

#include "link/transport.h"

namespace q51 {

class FakeTransport final : public Transport {
    Q_OBJECT
public:
    using Transport::Transport;

    bool open(const SerialSettings &settings, int portNumber, OpenFailure *failure = nullptr) override;
    [[nodiscard]] bool isOpen() const override { return open_; }
    void close() override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    bool discardTransmit() override;
    bool discardReceive() override;

    // --- the device side ---

    // Every later open fails with this reason, until allowOpen().
    void refuseOpen(OpenFailureKind kind);
    void allowOpen() { refusal_.reset(); }

    // The device sends a chunk; it arrives on a later pass of the event loop,
    // unless the port is closed by then.
    void pushReply(const QByteArray &chunk);

    // The device goes away: the port closes now, portLost follows from the
    // event loop.
    void loseConnection();

    // Everything written while open, all writes joined, and each write alone.
    [[nodiscard]] QByteArray written() const { return writes_.join(); }
    [[nodiscard]] const QList<QByteArray> &writes() const { return writes_; }
    void clearWritten() { writes_.clear(); }

    [[nodiscard]] int openCount() const { return openCount_; }
    [[nodiscard]] const SerialSettings &lastSettings() const { return lastSettings_; }
    [[nodiscard]] int lastPortNumber() const { return lastPortNumber_; }
    [[nodiscard]] int transmitDiscards() const { return transmitDiscards_; }
    [[nodiscard]] int receiveDiscards() const { return receiveDiscards_; }

signals:
    // Emitted for each write, so a simulated device can answer it.
    void requestWritten(const QByteArray &bytes);

private:
    bool open_ = false;
    std::optional<OpenFailureKind> refusal_;
    quint64 session_ = 0; // bumped on open and close: in-flight bytes die with their session
    QByteArray received_;
    QList<QByteArray> writes_;
    int openCount_ = 0;
    SerialSettings lastSettings_;
    int lastPortNumber_ = 0;
    int transmitDiscards_ = 0;
    int receiveDiscards_ = 0;
};

} // namespace q51
