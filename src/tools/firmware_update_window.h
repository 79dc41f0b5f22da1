#pragma once
// The firmware-update window: choose a *.bin image and write it into the
// decoder page by page. Its option groups edit the shared link settings
// without touching a port; the update opens this window's own port at
// 19200,N,8,1 and closes it when it ends. Closing the window mid-update
// ends the update silently and closes the port.

#include <memory>

#include <QPointer>
#include <QWidget>

#include "link/firmware_update.h"
#include "link/link_settings_choices.h"
#include "link/transport_factory.h"
#include "tools/window_port.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace q51 {

struct Configuration;
class ChoicesGroup;
class PortDevicePicker;
class UserDialogs;

class FirmwareUpdateWindow final : public QWidget {
    Q_OBJECT
public:
    // The window owns the port makePort builds, for as long as it lives.
    FirmwareUpdateWindow(Configuration &config, UserDialogs &dialogs, const TransportFactory &makePort,
                         QWidget *parent = nullptr);
    ~FirmwareUpdateWindow() override;

    [[nodiscard]] bool updateRunning() const { return !update_.isNull(); }

private:
    void buildControls();
    void runOpeningSteps();
    void browse();
    void startUpdate();
    void onFinished(FirmwareUpdateEnd end, bool portLost);
    void setBusy(bool busy);
    void tell(const QString &text, const QString &detail = {});
    void abortUpdate();

    Configuration &config_;
    UserDialogs &dialogs_;
    WindowPort port_;

    ChoicesGroup *groups_[4] = {};
    PortDevicePicker *portDevices_ = nullptr;
    QLineEdit *fileName_ = nullptr;
    QLabel *status_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPushButton *transmit_ = nullptr;
    QPushButton *close_ = nullptr;

    QString ispFileName_;
    QPointer<FirmwareUpdate> update_;
};

} // namespace q51
