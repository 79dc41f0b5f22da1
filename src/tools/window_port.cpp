#include "tools/window_port.h"

#include <QEvent>
#include <QWidget>

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
    return haveOrTell(config.PortNumber) && reopenPort(*port_, config, dialogs_);
}

bool WindowPort::open(const SerialSettings &settings, int portNumber)
{
    return haveOrTell(portNumber) && reopenPort(*port_, settings, portNumber, dialogs_);
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
