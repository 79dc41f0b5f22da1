#include "tools/transmit_window.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/exchange.h"
#include "link/keyboard_transfers.h"
#include "link/transmit_texts.h"
#include "link/transport.h"
#include "model/configuration.h"
#include "tools/choices_group.h"
#include "tools/port_device_picker.h"
#include "tools/reply_line.h"
#include "ui/user_dialogs.h"

namespace q51 {

namespace {

namespace t = transmit_text;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The groups the keyboard path has no use for.
constexpr LinkSetting SerialOnlySettings[] = {LinkSetting::Port, LinkSetting::DataBits, LinkSetting::StopBits,
                                              LinkSetting::Baud, LinkSetting::Parity};

QLabel *addLabel(QLayout *layout, const char *name, const char *caption, QWidget *parent, bool bold = false)
{
    auto *label = new QLabel(text(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    layout->addWidget(label);
    return label;
}

QPushButton *addButton(QLayout *layout, const char *name, const char *caption, QWidget *parent)
{
    auto *button = new QPushButton(text(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    layout->addWidget(button);
    return button;
}

} // namespace

TransmitWindow::TransmitWindow(Configuration &config, UserDialogs &dialogs, PortIo &portIo,
                               const TransportFactory &makePort, QWidget *parent)
    : QWidget(parent), config_(config), dialogs_(dialogs), portIo_(portIo), port_(*this, dialogs, makePort)
{
    setObjectName(QStringLiteral("frmTransmit"));
    setWindowTitle(text(t::WindowCaption));
    port_.onFirstShow = [this] { runOpeningSteps(); };
    port_.onEnd = [this] { abortTransfer(); };
    buildControls();
    // A repaint of the bar costs over a millisecond, and a download reports
    // progress every other key delay (10 ms): four new values a second read
    // the same and keep the host's share of the pacing small.
    progressPacer_.setSingleShot(true);
    progressPacer_.setInterval(250);
    connect(&progressPacer_, &QTimer::timeout, this, [this] {
        if (reported_ != shown_) {
            applyProgress();
            progressPacer_.start();
        }
    });
}

TransmitWindow::~TransmitWindow()
{
    port_.end();
}

void TransmitWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);

    addLabel(layout, "lblHeading", t::Heading, this, true);

    settingsPanel_ = new QWidget(this);
    auto *settingsLayout = new QHBoxLayout(settingsPanel_);
    settingsLayout->setContentsMargins(0, 0, 0, 0);
    for (const LinkChoiceGroup &row : LinkChoiceGroups()) {
        QStringList options;
        for (const char *option : row.options)
            options << text(option);
        auto *box = new ChoicesGroup(text(row.caption), QString::fromLatin1(row.controlName), options,
                                     row.initialIndex, settingsPanel_);
        box->setObjectName(QString::fromLatin1(row.frameName));
        box->onChosen = [this, setting = row.setting](int index) { choose(setting, index); };
        groups_[static_cast<int>(row.setting)] = box;
        settingsLayout->addWidget(box);
    }
    layout->addWidget(settingsPanel_);
    // The devices and the notes side by side, so that the transfer buttons
    // stay in view on a screen of 720 lines or a larger font.
    auto *devicesAndNotes = new QHBoxLayout;
    layout->addLayout(devicesAndNotes);
    portDevices_ = new PortDevicePicker(config_, group(LinkSetting::Port), this);
    // A new device for the chosen Com n is tried at once, as a port choice is.
    portDevices_->onPicked = [this] { portChoiceFailed_ = !checkPort(); };
    devicesAndNotes->addWidget(portDevices_, 1);

    auto *warn = new QFrame(this);
    warn->setObjectName(QStringLiteral("FraWarn"));
    warn->setFrameShape(QFrame::StyledPanel);
    auto *warnLayout = new QVBoxLayout(warn);
    addLabel(warnLayout, "Label2", t::WarnHeading, warn, true);
    addLabel(warnLayout, "Label4", t::WarnLight, warn);
    addLabel(warnLayout, "Label3", t::WarnButton, warn);
    addLabel(warnLayout, "Label5", t::WarnDefaultsFirst, warn);
    addLabel(warnLayout, "Label6", t::WarnDefaultsSecond, warn);
    warnLayout->addStretch();
    devicesAndNotes->addWidget(warn);

    // Shown only by keyboard transfers.
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    // Its place is kept while hidden: showing it repaints the bar alone, not
    // the whole window laid out anew (milliseconds a short upload cannot spare).
    QSizePolicy keepPlace = progress_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    progress_->setSizePolicy(keepPlace);
    progress_->setVisible(false);
    layout->addWidget(progress_);

    auto *buttons = new QHBoxLayout;
    transmit_ = addButton(buttons, "cmdTransmit", t::DownloadButton, this);
    receive_ = addButton(buttons, "cmdReceive", t::UploadButton, this);
    version_ = addButton(buttons, "CmdVersion", t::VersionButton, this);
    close_ = addButton(buttons, "cmdClose", t::CloseButton, this);
    replyBox_ = NewReplyLine(this);
    buttons->addWidget(replyBox_);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(transmit_, &QPushButton::clicked, this, [this] { startTransfer(TransferKind::Download); });
    connect(receive_, &QPushButton::clicked, this, [this] { startTransfer(TransferKind::Upload); });
    connect(version_, &QPushButton::clicked, this, [this] { startTransfer(TransferKind::Version); });
    connect(close_, &QPushButton::clicked, &port_, &WindowPort::closeWindow);
}

ChoicesGroup *TransmitWindow::group(LinkSetting setting) const
{
    return groups_[static_cast<int>(setting)];
}

// ---- link settings ----

void TransmitWindow::runOpeningSteps()
{
    // Closing the firmware-update window, ActivePage, the maximised frame and
    // the "Set All Defaults" command are the main window's part of opening.

    portChoiceFailed_ = false;
    if (const auto port = StoredLinkChoice(config_, LinkSetting::Port))
        group(LinkSetting::Port)->select(*port);
    else
        group(LinkSetting::Port)->clearSelection(); // a port outside 1..4 from a file

    if (!IsKeyboardMode(config_)) {
        group(LinkSetting::Port)->setEnabled(true);
        group(LinkSetting::TransferMode)->select(1);
        // A port choice that just failed has said so; one message is enough.
        if (portChoiceFailed_ || !checkPort())
            return;
        setReplyButtonsEnabled(ParityAllowsReplies(config_));
    } else {
        group(LinkSetting::Port)->setEnabled(false);
        group(LinkSetting::TransferMode)->select(0);
    }

    for (const LinkSetting setting : {LinkSetting::Baud, LinkSetting::DataBits, LinkSetting::StopBits,
                                      LinkSetting::Parity}) {
        if (const auto index = StoredLinkChoice(config_, setting))
            group(setting)->select(*index);
    }

    if (IsKeyboardMode(config_)) {
        setReplyButtonsEnabled(true);
        // The choices above reopen the port; the keyboard path holds none.
        port_.release();
    }
}

void TransmitWindow::choose(LinkSetting setting, int index)
{
    ApplyLinkChoice(config_, setting, index);
    if (setting == LinkSetting::TransferMode) {
        applyModeRule();
        return;
    }
    if (setting == LinkSetting::Port)
        portDevices_->refresh();
    const bool opened = checkPort();
    if (setting == LinkSetting::Port)
        portChoiceFailed_ = !opened;
    if (opened && setting == LinkSetting::Parity)
        setReplyButtonsEnabled(ParityAllowsReplies(config_));
}

void TransmitWindow::applyModeRule()
{
    const bool keyboard = IsKeyboardMode(config_);
    for (const LinkSetting setting : SerialOnlySettings)
        group(setting)->setEnabled(!keyboard);
    if (keyboard) {
        port_.release();
        setReplyButtonsEnabled(true);
        return;
    }
    if (checkPort() && !ParityAllowsReplies(config_))
        setReplyButtonsEnabled(false);
}

void TransmitWindow::setReplyButtonsEnabled(bool enabled)
{
    receive_->setEnabled(enabled);
    version_->setEnabled(enabled);
}

// A choice is tried on the port at once, so a missing device is told when
// it is chosen; the port is then let go until an exchange needs it, so that
// other windows and programs can use it meanwhile.
bool TransmitWindow::checkPort()
{
    const bool opened = port_.open(config_);
    port_.release();
    return opened;
}

// ---- transfers ----

void TransmitWindow::startTransfer(TransferKind kind)
{
    // Buttons a download leaves enabled must not start a second exchange
    // on the same port while the first waits.
    if (transferRunning())
        return;
    if (IsKeyboardMode(config_)) {
        startKeyboardTransfer(kind);
        return;
    }
    // A failed reopen or a lost device leaves the port closed: try again
    // rather than write to nothing.
    if (!port_.isOpen() && !port_.open(config_))
        return;

    Exchange::Request request = PrepareTransfer(kind, config_);
    runningKind_ = kind;
    setTransferBusy(kind, true);
    exchange_ = new Exchange(*port_.transport(), std::move(request), this);
    connect(exchange_, &Exchange::finished, this,
            [this, kind](const ExchangeResult &result) { onTransferFinished(kind, result); });
    exchange_->start();
}

void TransmitWindow::onTransferFinished(TransferKind kind, const ExchangeResult &result)
{
    if (exchange_) {
        exchange_->deleteLater();
        exchange_ = nullptr;
    }
    const TransferReport report = CompleteTransfer(kind, result, config_);
    port_.release(); // the exchange is over: only a running one holds the port
    setTransferBusy(kind, false);
    if (kind == TransferKind::Version && !report.stoppedEarly)
        progress_->setVisible(false);
    emit transferEnded(kind);
    // Last: the box runs its own event loop, and nothing here may depend on
    // this window surviving it.
    dialogs_.tell(report.caption, report.text, MessageIcon::None, report.detail);
}

void TransmitWindow::startKeyboardTransfer(TransferKind kind)
{
    runningKind_ = kind;
    setTransferBusy(kind, true); // all four buttons: the keyboard path disables them all
    keyboard_ = new KeyboardTransfer(kind, config_, portIo_, ReplyBoxOf(replyBox_), this);
    keyboard_->onProgress = [this](int value, int maximum) { showProgress(value, maximum); };
    keyboard_->onFinished = [this](const TransferReport &report, bool hideProgress) {
        onKeyboardTransferFinished(report, hideProgress);
    };
    keyboard_->start();
}

void TransmitWindow::showProgress(int value, int maximum)
{
    reported_ = {value, maximum};
    if (progressPacer_.isActive())
        return; // shown when the interval is over
    applyProgress();
    progressPacer_.start();
}

void TransmitWindow::applyProgress(bool show)
{
    shown_ = reported_;
    if (show)
        progress_->setVisible(true);
    progress_->setMaximum(shown_.maximum);
    progress_->setValue(shown_.value);
}

void TransmitWindow::onKeyboardTransferFinished(const TransferReport &report, bool hideProgress)
{
    if (keyboard_) {
        keyboard_->deleteLater();
        keyboard_ = nullptr;
    }
    // The bar ends on the last value reported; hidden first when it goes, so
    // that the value costs no repaint.
    progressPacer_.stop();
    if (hideProgress)
        progress_->setVisible(false);
    if (reported_ != shown_)
        applyProgress(!hideProgress);
    setTransferBusy(runningKind_, false);
    emit transferEnded(runningKind_);
    // Last, as for the serial transfers.
    dialogs_.tell(report.caption, report.text, MessageIcon::None, report.detail);
}

void TransmitWindow::setTransferBusy(TransferKind kind, bool busy)
{
    transmit_->setEnabled(!busy);
    close_->setEnabled(!busy);
    if (kind != TransferKind::Download || IsKeyboardMode(config_))
        setReplyButtonsEnabled(!busy);
    // Changing the port or its settings mid-exchange would cut the reply off.
    settingsPanel_->setEnabled(!busy);
}

void TransmitWindow::abortTransfer()
{
    if (keyboard_) {
        keyboard_->abort();
        keyboard_->deleteLater();
        keyboard_ = nullptr;
        progressPacer_.stop();
        progress_->setVisible(false);
        setTransferBusy(runningKind_, false);
    }
    if (!exchange_)
        return;
    exchange_->abort();
    exchange_->deleteLater();
    exchange_ = nullptr;
    setTransferBusy(runningKind_, false);
}

} // namespace q51
