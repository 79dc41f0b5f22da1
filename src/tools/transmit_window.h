#pragma once
// The transfer window: the serial link settings (mode, port, baud rate,
// data bits, stop bits, parity) and the buttons that download the
// configuration block to the decoder, upload it back and ask for the
// firmware version, over RS232 or by keyboard. Each transfer is an Exchange
// (serial) or a KeyboardTransfer driven by the event loop, so the window
// keeps painting while it waits; closing the window ends a running transfer
// silently. The port is open only while a transfer runs.

#include <functional>
#include <memory>

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "link/link_settings_choices.h"
#include "link/transmit_exchanges.h"
#include "tools/window_port.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace q51 {

struct Configuration;
class ChoicesGroup;
class Exchange;
class PortDevicePicker;
class KeyboardTransfer;
class PortIo;
class Transport;
class UserDialogs;

class TransmitWindow final : public QWidget {
    Q_OBJECT
public:
    using TransportFactory = std::function<std::unique_ptr<Transport>()>;

    // The window owns the port makePort builds, for as long as it lives.
    // Keyboard transfers write to the keyboard controller through portIo.
    TransmitWindow(Configuration &config, UserDialogs &dialogs, PortIo &portIo, const TransportFactory &makePort,
                   QWidget *parent = nullptr);
    ~TransmitWindow() override;

    [[nodiscard]] bool transferRunning() const { return !exchange_.isNull() || !keyboard_.isNull(); }

signals:
    // A transfer ended, before its message: an upload may have replaced the
    // block, a download rewrote its checksum bytes.
    void transferEnded(q51::TransferKind kind);

private:
    void buildControls();
    ChoicesGroup *group(LinkSetting setting) const;

    void runOpeningSteps();
    void choose(LinkSetting setting, int index);
    void applyModeRule();
    void setReplyButtonsEnabled(bool enabled);
    bool checkPort();

    void startTransfer(TransferKind kind);
    void startKeyboardTransfer(TransferKind kind);
    void onTransferFinished(TransferKind kind, const ExchangeResult &result);
    void onKeyboardTransferFinished(const TransferReport &report, bool hideProgress);
    void showProgress(int value, int maximum);
    void applyProgress(bool show = true);
    void setTransferBusy(TransferKind kind, bool busy);
    void abortTransfer();

    Configuration &config_;
    UserDialogs &dialogs_;
    PortIo &portIo_;
    WindowPort port_;

    ChoicesGroup *groups_[6] = {};
    QWidget *settingsPanel_ = nullptr;
    PortDevicePicker *portDevices_ = nullptr;
    QPushButton *transmit_ = nullptr;
    QPushButton *receive_ = nullptr;
    QPushButton *version_ = nullptr;
    QPushButton *close_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QLineEdit *replyBox_ = nullptr; // Text1: where the decoder types its answers
    // The last progress reported and the one on the bar; the bar takes a
    // new value at most once per progressPacer_ interval.
    struct Progress {
        int value = 0, maximum = 0;
        bool operator==(const Progress &) const = default;
    } reported_, shown_;
    QTimer progressPacer_;

    QPointer<Exchange> exchange_;
    QPointer<KeyboardTransfer> keyboard_;
    TransferKind runningKind_ = TransferKind::Download;
    bool portChoiceFailed_ = false; // set by the port choice, read by the opening steps
};

} // namespace q51
