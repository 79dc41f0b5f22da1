#pragma once
// Tools > "Find Decoder...": asks for the firmware version at every speed a
// decoder can be set to on the chosen port, shows what each speed heard and
// what that means, and offers to take the settings a decoder answered at as the transfer
// window's. Modal, opened from the Tools menu. A thin view over the search
// in the link; closing it mid-search ends the search silently.

#include <optional>

#include <QDialog>

#include "link/decoder_detect.h"
#include "tools/window_port.h"

class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace q51 {

struct Configuration;
class ChoicesGroup;
class PortDevicePicker;
class UserDialogs;

class FindDecoderWindow final : public QDialog {
    Q_OBJECT
public:
    // The window owns the port makePort builds. Its port choice is the
    // transfer window's (PortNumber); "Use These Settings" writes the rest.
    FindDecoderWindow(Configuration &config, UserDialogs &dialogs, const TransportFactory &makePort,
                      QWidget *parent = nullptr);
    ~FindDecoderWindow() override;

    [[nodiscard]] bool searching() const { return search_.has_value(); }

    void done(int result) override;

signals:
    // A search ended (not when it was stopped by closing the window).
    void searchEnded();

private:
    void buildControls();
    void find();
    void onProbe(const ProbeResult &probe, std::size_t done, std::size_t count);
    void onSearchEnded();
    void useSettings();
    void stopSearch();
    void setSearching(bool searching);

    Configuration &config_;
    UserDialogs &dialogs_;
    WindowPort port_;

    ChoicesGroup *portChoice_ = nullptr;
    PortDevicePicker *devices_ = nullptr;
    QPushButton *find_ = nullptr;
    QPushButton *use_ = nullptr;
    QPushButton *close_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPlainTextEdit *probes_ = nullptr;

    std::optional<Task<DetectResult>> search_;
    std::optional<SerialSettings> found_; // what "Use These Settings" takes
    int searchedPort_ = 0;
};

} // namespace q51
