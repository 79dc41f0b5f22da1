#pragma once
// Beside a window's port choice: what device each Com n stands for right
// now, and a box to point the chosen Com n at a detected port or a typed
// path for the rest of the run. While shown it subscribes to the port
// watch and reads the port catalogue again when ports came or went, so
// adapters plugged in or out appear and go while an idle window costs nothing.

#include <functional>
#include <memory>

#include <QGroupBox>
#include <QList>

#include "link/port_catalogue.h"
#include "link/port_watch.h"

class QComboBox;
class QLabel;

namespace q51 {

struct Configuration;

class PortDevicePicker final : public QGroupBox {
    Q_OBJECT
public:
    // Edits the device of config.PortNumber. Follows portChoice's enabled
    // state, so it is off whenever the port choice is.
    PortDevicePicker(const Configuration &config, QWidget *portChoice, QWidget *parent = nullptr);

    // Reads the catalogue and the current port number anew. The port watch
    // calls it; windows call it after their port choice changes.
    void refresh();

    // Whether ports coming and going are being followed.
    [[nodiscard]] bool watching() const { return watch_ != nullptr; }

    // After the user pointed the chosen Com n at another device.
    std::function<void()> onPicked;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillDeviceBox();
    void pick(const QString &device);
    void pickTyped();

    const Configuration &config_;
    QWidget *portChoice_;
    QList<QLabel *> comLabels_;
    QLabel *boxLabel_ = nullptr;
    QComboBox *device_ = nullptr;
    std::unique_ptr<PortWatchSubscription> watch_; // while shown
    QList<DetectedPort> detected_;
    int filledFor_ = 0; // the port number the box was filled for
};

} // namespace q51
