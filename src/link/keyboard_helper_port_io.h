#pragma once
// The window's keyboard-controller access: every write goes as a request to
// the keyboard-port helper, a separate small program that alone holds the
// raw-I/O right. A helper runs only while an exchange does: each exchange
// starts its own (so a helper that died is simply replaced) and ends it with
// its result, killing it when the exchange failed or was abandoned, so no
// queued write reaches the port after the window has told the outcome.
// The window watches its helper; a helper that cannot start or that ends
// mid-exchange is named in the exchange's trouble text and in the log.

#include <memory>

#include <QString>
#include <QStringList>

#include "link/portio/port_io.h"

namespace q51 {

class KeyboardHelperPortIo final : public PortIo {
public:
    explicit KeyboardHelperPortIo(QString program, QStringList arguments = {});

    // Starts a helper to see that it gets hold of the port, and ends it. A
    // helper that finds the line busy reached the port too: that counts.
    bool InitializeWinIo() override;
    // Nothing is written outside an exchange.
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override;
    // Nothing is held between exchanges.
    void ShutdownWinIo() override {}
    std::unique_ptr<PortExchange> BeginExchange() override;

    // Why the start-up check failed (it is not tried again at once).
    [[nodiscard]] QString unavailableReason() const { return unavailable_; }
    // Every request a helper of this object refused, in order.
    [[nodiscard]] QStringList refusals() const;
    // The process id of the running exchange's helper; 0 when none runs.
    [[nodiscard]] qint64 helperProcessId() const;

    struct Record;

private:
    QString program_;
    QStringList arguments_;
    QString unavailable_;
    std::shared_ptr<Record> record_; // shared with the exchanges, which may outlive this
};

// Where the helper is: $Q51_KEYBOARD_HELPER, else ../libexec/q51setup beside
// the running program (the installed layout), else the build tree's folder.
QString KeyboardHelperProgram();

} // namespace q51
