#pragma once
// The keyboard and RS232 test window: what the decoder types as a keyboard
// lands in the keyboard box; what it sends over the serial port is shown in
// the RS232 box, control bytes spelled out, one batch per line. The port is
// opened when the window opens and closed when it closes; without it the
// keyboard box still works. When its adapter is unplugged the RS232 box
// says "Port lost", and "Port back" once the port is open again by itself.

#include <memory>

#include <QDialog>
#include <QTimer>

#include "link/transport_factory.h"
#include "tools/window_port.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;

namespace q51 {

struct Configuration;
class UserDialogs;

class TestWindow final : public QDialog {
    Q_OBJECT
public:
    // The window owns the port makePort builds, for as long as it lives.
    TestWindow(Configuration &config, UserDialogs &dialogs, const TransportFactory &makePort,
               QWidget *parent = nullptr);
    ~TestWindow() override;

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void runOpeningSteps();
    void onBytesArrived();
    void showBatch();
    void onPortLost();
    void focusKeyboardBox();

    Configuration &config_;
    WindowPort port_;

    QLabel *portLabel_ = nullptr;
    QPlainTextEdit *keyboard_ = nullptr;
    QPlainTextEdit *rs232_ = nullptr;
    QCheckBox *lineBreaks_ = nullptr;

    QTimer batch_; // gathers what arrives until the rest of a scan is in
    // Enter keys in the keyboard box, batches shown in the RS232 box; each
    // box is emptied once its count passes the limit.
    int keyboardLines_ = 0;
    int rs232Lines_ = 0;
};

} // namespace q51
