#pragma once
// The window's keyboard-controller access: every write goes as a request to
// the keyboard-port helper, a separate small program that alone holds the
// raw-I/O right. "Initialise" starts the helper and waits for it to say it
// holds the port; a missing helper, or one that is refused the port, leaves
// the keyboard line unavailable exactly as a failed initialisation does.

#include <memory>

#include <QProcess>
#include <QString>
#include <QStringList>

#include "link/portio/port_io.h"

namespace q51 {

class KeyboardHelperPortIo final : public PortIo {
public:
    explicit KeyboardHelperPortIo(QString program, QStringList arguments = {});
    ~KeyboardHelperPortIo() override;

    bool InitializeWinIo() override;
    // Queues the write for the helper; false when the helper is not running.
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override;
    // Lets the helper finish the writes already asked for, then ends it.
    void ShutdownWinIo() override;

    // Why the helper declined to start (it is not tried again), and every
    // request it refused.
    [[nodiscard]] QString unavailableReason() const { return unavailable_; }
    [[nodiscard]] QStringList refusals();

private:
    void takeAnswers();

    QString program_;
    QStringList arguments_;
    std::unique_ptr<QProcess> helper_;
    QString unavailable_;
    QStringList refusals_;
};

// Where the helper is: $Q51_KEYBOARD_HELPER, else ../libexec/q51setup beside
// the running program (the installed layout), else the build tree's folder.
QString KeyboardHelperProgram();

} // namespace q51
