#pragma once
// The stored-data window: reads the groups of scan data a decoder keeps
// (all, or a range), lists their sizes, shows the free group space and
// clears them. Each request asks first, then runs one exchange on this
// window's own port while the window keeps painting. Closing the window
// mid-request ends the request silently and closes the port.

#include <functional>
#include <memory>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "link/exchange.h"
#include "link/stored_data_exchanges.h"
#include "link/transport_factory.h"
#include "tools/window_port.h"

class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace q51 {

struct Configuration;
class UserDialogs;

class StoredDataWindow final : public QWidget {
    Q_OBJECT
public:
    // The window owns the port makePort builds, for as long as it lives.
    StoredDataWindow(Configuration &config, UserDialogs &dialogs, const TransportFactory &makePort,
                     QWidget *parent = nullptr);
    ~StoredDataWindow() override;

    [[nodiscard]] bool requestRunning() const { return !exchange_.isNull(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void chooseRange(bool range);
    void checkGroupNumber(const QString &text);
    void run(StoredDataRequest kind);
    bool readRange(const StoredDataRequestInfo &info, std::optional<protocol::GroupRange> &range);
    GroupReadHandlers readHandlers();
    void onFinished(StoredDataRequest kind, const ExchangeResult &result);
    void setBusy(bool busy);
    void abortRequest();

    Configuration &config_;
    UserDialogs &dialogs_;
    WindowPort port_;

    QRadioButton *allOption_ = nullptr;
    QRadioButton *rangeOption_ = nullptr;
    QWidget *startLabel_ = nullptr;
    QWidget *endLabel_ = nullptr;
    QLineEdit *start_ = nullptr;
    QLineEdit *end_ = nullptr;
    std::vector<QPushButton *> buttons_; // the five: read, sizes, free space, clear, close
    QPlainTextEdit *memory_ = nullptr;
    QProgressBar *progress_ = nullptr;

    QPointer<Exchange> exchange_;
    std::shared_ptr<protocol::StoredReadParser> parser_;
};

} // namespace q51
