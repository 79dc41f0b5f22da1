#pragma once
// The command console: sends Status or Trigger to the decoder over RS232 or
// by keyboard and shows the decoder's status byte in words. Modal, opened
// from the Tools menu. Over RS232 it opens its port for each command and
// closes it after; it holds no port between commands. Closing it in the
// middle of a command ends the command silently. When the adapter it used
// is unplugged and plugged in again, its log says "Port lost" and "Port back".

#include <functional>
#include <memory>

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include "link/console_command.h"
#include "tools/window_port.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace q51 {

struct Configuration;
class ChoicesGroup;
class PortIo;
class Transport;
class UserDialogs;

class CommandConsole final : public QDialog {
    Q_OBJECT
public:
    using TransportFactory = std::function<std::unique_ptr<Transport>()>;

    // The console owns the port makePort builds.
    CommandConsole(Configuration &config, UserDialogs &dialogs, PortIo &portIo, const TransportFactory &makePort,
                   QWidget *parent = nullptr);
    ~CommandConsole() override;

    [[nodiscard]] bool commandRunning() const { return !command_.isNull(); }

    void done(int result) override;

private:
    void buildControls();
    void CmdSend_Click();
    void onFinished(ConsoleItem item, const ConsoleOutcome &outcome);
    void appendStatusLines(const protocol::StatusBytes &status);
    void setControlsEnabled(bool enabled);
    void endCommand();
    void sayAboutPort(const QString &line);
    void flushWaitingLines();

    Configuration &config_;
    UserDialogs &dialogs_;
    PortIo &portIo_;
    WindowPort port_;

    QComboBox *commands_ = nullptr;
    ChoicesGroup *path_ = nullptr;
    QPushButton *send_ = nullptr;
    QPushButton *exit_ = nullptr;
    QPlainTextEdit *log_ = nullptr;
    QLineEdit *replyBox_ = nullptr;

    QPointer<ConsoleCommand> command_;
    // The last status reply accepted; kept from one command to the next.
    protocol::StatusBytes d_{};
    QStringList waitingLines_; // about the port, held while a reply is typed into the log
};

} // namespace q51
