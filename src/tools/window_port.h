#pragma once
// A service window's own port and the window's life around it, the same
// for every service window: the opening steps run on the first show only;
// an exchange opens the port with the reopen procedure, or is told the port
// is not available; and any end of the window (a close, a dialog's done,
// its destruction) first ends the running exchange silently, then lets go
// of the port.

#include <functional>
#include <memory>

#include <QObject>

#include "link/transport_factory.h"

class QWidget;

namespace q51 {

struct Configuration;
struct SerialSettings;
class PortRecovery;
class UserDialogs;

class WindowPort final : public QObject {
public:
    // window: the service window this belongs to; makePort builds its port
    // once (none, and every opening says the port is not available).
    WindowPort(QWidget &window, UserDialogs &dialogs, const TransportFactory &makePort);
    ~WindowPort() override;

    std::function<void()> onFirstShow; // the window's opening steps
    std::function<void()> onEnd;       // ends a running exchange silently

    [[nodiscard]] Transport *transport() const { return port_.get(); }
    [[nodiscard]] bool isOpen() const;

    // The reopen procedure with the configuration's link settings, or with
    // the given ones on Com portNumber. False after the user has been told.
    bool open(const Configuration &config);
    bool open(const SerialSettings &settings, int portNumber);
    void release(); // closes the port if open

    // From the next successful opening on, follows the port's adapter: say
    // gets "Port lost" when it goes and "Port back" when it returns, within
    // moments of being plugged in again. keepOpen: the window holds its
    // port, which is then opened again by itself. Ends with the window.
    void followAdapter(bool keepOpen, std::function<void(const QString &line)> say);

    // onEnd, then release: what every end of the window does.
    void end();
    // Ends the window the way its own close box would.
    void closeWindow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool haveOrTell(int portNumber);
    bool opened(const SerialSettings &settings, int portNumber);

    QWidget &window_;
    UserDialogs &dialogs_;
    std::unique_ptr<Transport> port_;
    std::unique_ptr<PortRecovery> recovery_;
    bool keepOpen_ = false;
    bool shown_ = false;
};

} // namespace q51
