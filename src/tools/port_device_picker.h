#pragma once
// Beside a window's port choice: what device each Com n stands for right
// now, and a box to point the chosen Com n at a detected port or a typed
// path for the rest of the run. While shown it reads the port catalogue
// again every second, so adapters plugged in or out appear and go.

#include <functional>

#include <QGroupBox>
#include <QList>
#include <QTimer>

#include "link/port_catalogue.h"

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

    // Reads the catalogue and the current port number anew. The timer calls
    // it; windows call it after their port choice changes.
    void refresh();

    // Whether the catalogue is being read again on the timer.
    [[nodiscard]] bool watching() const { return poll_.isActive(); }

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
    QTimer poll_;
    QList<DetectedPort> detected_;
    int filledFor_ = 0; // the port number the box was filled for
};

} // namespace q51
