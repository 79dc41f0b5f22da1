#include "tools/window_port.h"

#include <QEvent>
#include <QWidget>

#include "link/link_settings_choices.h"
#include "link/port_recovery.h"
#include "link/port_watch.h"
#include "model/configuration.h"
#include "tools/port_reopen_dialog.h"
#include "ui/widget_helpers.h"

namespace q51 {

WindowPort::WindowPort(QWidget &window, UserDialogs &dialogs, const TransportFactory &makePort)
    : window_(window), dialogs_(dialogs), port_(makePort ? makePort() : nullptr)
{
    window_.installEventFilter(this);
}

WindowPort::~WindowPort()
{
    recovery_.reset(); // before the port it follows
    release();
}

bool WindowPort::isOpen() const
{
    return port_ && port_->isOpen();
}

bool WindowPort::haveOrTell(int portNumber)
{
    if (port_) {
        // Named when another window finds the device busy.
        port_->setHolderName(window_.windowTitle());
        return true;
    }
    tellPortNotAvailable(dialogs_, portNumber);
    return false;
}

bool WindowPort::open(const Configuration &config)
{
    if (!haveOrTell(config.PortNumber) || !reopenPort(*port_, config, dialogs_))
        return false;
    if (const auto settings = SerialSettingsOf(config))
        return opened(*settings, config.PortNumber);
    return true;
}

bool WindowPort::open(const SerialSettings &settings, int portNumber)
{
    return haveOrTell(portNumber) && reopenPort(*port_, settings, portNumber, dialogs_)
           && opened(settings, portNumber);
}

bool WindowPort::opened(const SerialSettings &settings, int portNumber)
{
    if (recovery_)
        recovery_->follow(settings, portNumber, keepOpen_);
    return true;
}

void WindowPort::followAdapter(bool keepOpen, std::function<void(const QString &line)> say)
{
    if (!port_)
        return;
    keepOpen_ = keepOpen;
    recovery_ = std::make_unique<PortRecovery>(*port_, CurrentPortWatch());
    connect(recovery_.get(), &PortRecovery::lost, this, [say] { say(QString::fromUtf8(PortLostLine)); });
    connect(recovery_.get(), &PortRecovery::back, this, [say] { say(QString::fromUtf8(PortBackLine)); });
}

void WindowPort::release()
{
    if (isOpen())
        port_->close();
}

void WindowPort::end()
{
    if (onEnd)
        onEnd();
    // A port coming back must not be opened for a window that has ended.
    if (recovery_)
        recovery_->stop();
    release();
}

void WindowPort::closeWindow()
{
    release();
    closeHostingWindow(&window_);
}

bool WindowPort::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &window_) {
        if (event->type() == QEvent::Show && !shown_) {
            // Shown again after being minimised or hidden: nothing to set up.
            shown_ = true;
            if (onFirstShow)
                onFirstShow();
        } else if (event->type() == QEvent::Close) {
            end();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace q51
