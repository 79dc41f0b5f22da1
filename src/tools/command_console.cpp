#include "tools/command_console.h"

#include <utility>

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/console_texts.h"
#include "link/protocol/status_byte.h"
#include "link/protocol/status_reply.h"
#include "link/transport.h"
#include "tools/choices_group.h"
#include "tools/reply_line.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

namespace c = console_text;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

enum PathIndex { Rs232Path = 0, KeyboardPath = 1 };

QString resultText(ConsoleItem item, bool succeeded)
{
    return text(c::SendPrefix) + text(item == ConsoleItem::Status ? c::StatusWord : c::TriggerWord)
           + text(succeeded ? c::CommandOk : c::CommandFailed);
}

} // namespace

CommandConsole::CommandConsole(Configuration &config, UserDialogs &dialogs, PortIo &portIo,
                               const TransportFactory &makePort, QWidget *parent)
    : QDialog(parent), config_(config), dialogs_(dialogs), portIo_(portIo), port_(*this, dialogs, makePort)
{
    setObjectName(QStringLiteral("frmCMD"));
    setWindowTitle(text(c::WindowCaption));
    port_.onEnd = [this] { endCommand(); };
    buildControls();
    port_.followAdapter(false, [this](const QString &line) { sayAboutPort(line); });
}

CommandConsole::~CommandConsole()
{
    port_.end();
}

void CommandConsole::buildControls()
{
    auto *layout = new QVBoxLayout(this);

    auto *heading = new QLabel(text(c::Heading), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);

    auto *row = new QHBoxLayout;
    commands_ = new QComboBox(this);
    commands_->setObjectName(QStringLiteral("cboCMD"));
    commands_->setAccessibleName(text(c::CommandListName));
    commands_->addItems({text(c::StatusItem), text(c::TriggerItem)});
    commands_->setCurrentIndex(int(ConsoleItem::Status));
    row->addWidget(commands_);
    path_ = new ChoicesGroup(text(c::PathCaption), QStringLiteral("Option1"),
                             {text(c::Rs232Option), text(c::KeyboardOption)}, KeyboardPath, this);
    path_->setObjectName(QStringLiteral("FraOption1"));
    row->addWidget(path_);
    layout->addLayout(row);

    log_ = new QPlainTextEdit(this);
    log_->setObjectName(QStringLiteral("txtMsg"));
    log_->setAccessibleName(text(c::LogName));
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(log_);

    auto *buttons = new QHBoxLayout;
    send_ = new QPushButton(text(c::SendButton), this);
    send_->setObjectName(QStringLiteral("CmdSend"));
    exit_ = new QPushButton(text(c::ExitButton), this);
    exit_->setObjectName(QStringLiteral("CmdClose"));
    replyBox_ = NewReplyLine(this, text(c::ReplyBoxText));
    buttons->addWidget(send_);
    buttons->addWidget(exit_);
    buttons->addWidget(replyBox_);
    layout->addLayout(buttons);

    // Enter typed by a decoder must not press a button.
    send_->setAutoDefault(false);
    exit_->setAutoDefault(false);
    connect(send_, &QPushButton::clicked, this, &CommandConsole::CmdSend_Click);
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
}

void CommandConsole::CmdSend_Click()
{
    const int index = commands_->currentIndex();
    if (index < 0 || commandRunning())
        return;
    setControlsEnabled(false);
    if (index != int(ConsoleItem::Status) && index != int(ConsoleItem::Trigger)) {
        setControlsEnabled(true);
        return;
    }
    const auto item = ConsoleItem(index);

    if (path_->current() == KeyboardPath) {
        command_ = new ConsoleCommand(item, portIo_, ReplyBoxOf(replyBox_), ReplyBoxOf(log_), this);
    } else {
        if (!port_.open(config_)) {
            setControlsEnabled(true);
            return;
        }
        command_ = new ConsoleCommand(item, *port_.transport(), this);
    }
    command_->onFinished = [this, item](const ConsoleOutcome &outcome) { onFinished(item, outcome); };
    command_->start();
}

void CommandConsole::sayAboutPort(const QString &line)
{
    // A keyboard Status reply is being typed into the log: the line waits.
    if (command_ && path_->current() == KeyboardPath)
        waitingLines_ << line;
    else
        appendLine(log_, line);
}

void CommandConsole::flushWaitingLines()
{
    for (const QString &line : std::exchange(waitingLines_, {}))
        appendLine(log_, line);
}

void CommandConsole::onFinished(ConsoleItem item, const ConsoleOutcome &outcome)
{
    if (command_) {
        command_->deleteLater();
        command_ = nullptr;
    }
    port_.release();
    if (outcome.handshakeTimedOut) {
        setControlsEnabled(true);
        dialogs_.tell(text(c::MessageCaption), text(c::TimesOutError), MessageIcon::None, outcome.detail);
        return;
    }
    bool succeeded = outcome.succeeded;
    if (item == ConsoleItem::Status && succeeded) {
        // A reply that checks out but is no status reply changes nothing.
        succeeded = outcome.status && protocol::CarriesStatus(*outcome.status);
        if (succeeded) {
            d_ = *outcome.status;
            appendStatusLines(d_);
        }
    }
    flushWaitingLines();
    setControlsEnabled(true);
    // Last: the box runs its own event loop.
    dialogs_.tell(text(c::MessageCaption), resultText(item, succeeded), MessageIcon::None, outcome.detail);
}

void CommandConsole::appendStatusLines(const protocol::StatusBytes &status)
{
    QString lines;
    for (const std::string &line : protocol::DescribeStatusByte(status[protocol::StatusByteIndex]))
        lines += QLatin1Char('\n') + QString::fromStdString(line);
    log_->moveCursor(QTextCursor::End);
    log_->insertPlainText(lines);
}

void CommandConsole::setControlsEnabled(bool enabled)
{
    exit_->setEnabled(enabled);
    send_->setEnabled(enabled);
    commands_->setEnabled(enabled);
    // Switching the path mid-command would leave the command on the other one.
    path_->setEnabled(enabled);
}

void CommandConsole::endCommand()
{
    if (!command_)
        return;
    command_->abort();
    command_->deleteLater();
    command_ = nullptr;
    flushWaitingLines();
    setControlsEnabled(true);
}

void CommandConsole::done(int result)
{
    port_.end();
    QDialog::done(result);
}

} // namespace q51
