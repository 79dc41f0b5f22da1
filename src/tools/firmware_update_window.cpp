#include "tools/firmware_update_window.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/firmware_image.h"
#include "link/firmware_update_choices.h"
#include "link/firmware_update_texts.h"
#include "link/protocol/isp_frames.h"
#include "model/configuration.h"
#include "tools/choices_group.h"
#include "tools/port_device_picker.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

namespace t = firmware_update_text;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

FirmwareUpdateWindow::FirmwareUpdateWindow(Configuration &config, UserDialogs &dialogs,
                                           const TransportFactory &makePort, QWidget *parent)
    : QWidget(parent), config_(config), dialogs_(dialogs), port_(*this, dialogs, makePort)
{
    setObjectName(QStringLiteral("frmISP"));
    setWindowTitle(text(t::WindowCaption));
    port_.onFirstShow = [this] { runOpeningSteps(); };
    port_.onEnd = [this] { abortUpdate(); };
    buildControls();
}

FirmwareUpdateWindow::~FirmwareUpdateWindow()
{
    port_.end();
}

void FirmwareUpdateWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);

    auto *heading = named(new QLabel(text(t::Heading), this), "Label1");
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    heading->setFont(font);
    layout->addWidget(heading);

    auto *fileRow = new QHBoxLayout;
    auto *fileLabel = named(new QLabel(text(t::FileNameLabel), this), "Label2");
    fileRow->addWidget(fileLabel);
    fileName_ = named(new QLineEdit(this), "TxtBinFile");
    fileLabel->setBuddy(fileName_);
    fileRow->addWidget(fileName_, 1);
    auto *find = named(new QPushButton(text(t::BrowseButton), this), "CmdFind");
    fileRow->addWidget(find);
    layout->addLayout(fileRow);

    auto *settingsRow = new QHBoxLayout;
    for (std::size_t i = 0; i < FirmwareUpdateSettings.size(); ++i) {
        const LinkSetting setting = FirmwareUpdateSettings[i];
        const LinkChoiceGroup &row = LinkChoiceGroupFor(setting);
        QStringList options;
        for (const char *option : row.options)
            options << text(option);
        auto *box = new ChoicesGroup(text(row.caption), QString::fromLatin1(row.controlName), options,
                                     row.initialIndex, this);
        box->setObjectName(QString::fromLatin1(row.frameName));
        // Settings only: the port is opened by the update, with its own.
        box->onChosen = [this, setting](int index) {
            ApplyFirmwareUpdateChoice(config_, setting, index);
            if (setting == LinkSetting::Port && portDevices_)
                portDevices_->refresh();
        };
        groups_[i] = box;
        settingsRow->addWidget(box);
    }
    layout->addLayout(settingsRow);
    // The update opens the port itself: a new device waits for it.
    static_assert(FirmwareUpdateSettings[0] == LinkSetting::Port);
    portDevices_ = new PortDevicePicker(config_, groups_[0], this);
    layout->addWidget(portDevices_);

    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(named(new QLabel(text(t::StatusLabel), this), "Label3"));
    status_ = named(new QLabel(this), "lblStatus");
    statusRow->addWidget(status_, 1);
    layout->addLayout(statusRow);

    progress_ = named(new QProgressBar(this), "ProgressBar1");
    progress_->setValue(0);
    layout->addWidget(progress_);

    auto *buttons = new QHBoxLayout;
    transmit_ = named(new QPushButton(text(t::TransmitButton), this), "cmdTransmit");
    close_ = named(new QPushButton(text(t::CloseButton), this), "cmdClose");
    buttons->addWidget(transmit_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(find, &QPushButton::clicked, this, &FirmwareUpdateWindow::browse);
    connect(transmit_, &QPushButton::clicked, this, &FirmwareUpdateWindow::startUpdate);
    connect(close_, &QPushButton::clicked, &port_, &WindowPort::closeWindow);
}

void FirmwareUpdateWindow::runOpeningSteps()
{
    // Selecting an option runs its choice only when the selection changes.
    for (std::size_t i = 0; i < FirmwareUpdateSettings.size(); ++i) {
        if (const auto index = FirmwareUpdateOpeningChoice(config_, FirmwareUpdateSettings[i]))
            groups_[i]->select(*index);
        else
            groups_[i]->clearSelection(); // a port outside 1..4 from a file
    }
}

void FirmwareUpdateWindow::browse()
{
    const QString path = dialogs_.openFileName(FileDialogRequest{{}, text(t::FileFilter), QStringLiteral("bin"), {}});
    if (path.isEmpty())
        return;
    ispFileName_ = path;
    fileName_->setText(path);
}

void FirmwareUpdateWindow::startUpdate()
{
    if (updateRunning())
        return;
    status_->clear();
    progress_->setValue(0);
    if (fileName_->text().isEmpty()) {
        tell(text(t::NoFileName));
        return;
    }
    ispFileName_ = fileName_->text();
    const FirmwareImage image = LoadFirmwareImage(ispFileName_);
    switch (image.problem) {
    case FirmwareImage::Problem::None: break;
    case FirmwareImage::Problem::CannotOpen:
        tell(text(t::CannotOpenBefore) + ispFileName_ + text(t::CannotOpenAfter));
        return;
    case FirmwareImage::Problem::TooLarge: tell(text(t::FileTooLarge)); return;
    }
    progress_->setRange(0, static_cast<int>(protocol::IspProgressMaximum(image.bytes.size())));
    progress_->setValue(0);

    if (!port_.open(FirmwareUpdateLink, config_.PortNumber))
        return;

    update_ = new FirmwareUpdate(*port_.transport(), image.bytes, this);
    connect(update_, &FirmwareUpdate::statusChanged, status_, &QLabel::setText);
    connect(update_, &FirmwareUpdate::pagesAccepted, progress_, &QProgressBar::setValue);
    connect(update_, &FirmwareUpdate::finished, this, &FirmwareUpdateWindow::onFinished);
    setBusy(true);
    update_->start();
}

void FirmwareUpdateWindow::onFinished(FirmwareUpdateEnd end, bool portLost)
{
    if (update_) {
        update_->deleteLater();
        update_ = nullptr;
    }
    if (end == FirmwareUpdateEnd::Succeeded)
        progress_->setValue(progress_->maximum());
    port_.release();
    setBusy(false);
    // Last: the box runs its own event loop, and nothing here may depend on
    // this window surviving it.
    tell(text(FirmwareUpdateEndText(end)), portLost ? text(transmit_text::PortLostDetail) : QString());
}

void FirmwareUpdateWindow::setBusy(bool busy)
{
    transmit_->setEnabled(!busy);
    close_->setEnabled(!busy);
}

void FirmwareUpdateWindow::tell(const QString &message, const QString &detail)
{
    dialogs_.tell(text(t::IspMessage), message, MessageIcon::None, detail);
}

void FirmwareUpdateWindow::abortUpdate()
{
    if (!update_)
        return;
    update_->abort();
    update_->deleteLater();
    update_ = nullptr;
    setBusy(false);
}

} // namespace q51
