#pragma once
// Tools > "Station...": the production station's window. Every ticked port
// gets a tile that shows, large enough to read from across the room, what
// the station is doing there; beside them the counts, the golden file's
// digest and the latest records. A view of the station engine
// (link/station_engine.h): the engine does the work, the window starts and
// stops it and shows what it reports. Non-modal, for hours at a time;
// closing it stops the station, whose unit in hand is recorded as failed.

#include <functional>
#include <vector>

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "link/station_engine.h"

class QLabel;
class QGridLayout;
class QListWidget;
class QPushButton;

namespace q51 {

class StationPortChoice;
class StationSetup;
class StationTile;
class UserDialogs;

struct StationServices {
    // Where records go (the setup's records location, empty for the
    // default), asked at every start; nothing (with *problem) when they
    // cannot be kept, and the station does not start.
    std::function<RecordKeeper(const QString &records, QString *problem)> openRecords;
    // "Records...", for the same location; hidden when not given.
    std::function<void(QWidget *window, const QString &records)> showRecords;
    // How each port is reached; empty: the serial ports.
    StationTransportFactory transports;
    // Where units' backups go; empty: the user's data folder.
    QString backupFolder;
};

class StationWindow final : public QWidget {
    Q_OBJECT
public:
    StationWindow(UserDialogs &dialogs, StationServices services, QWidget *parent = nullptr);
    ~StationWindow() override;

    // As "Start" and "Stop" do. start() is false when something was refused.
    bool start();
    void stop();
    [[nodiscard]] bool running() const { return engine_ && engine_->running(); }
    [[nodiscard]] const StationEngine *engine() const { return engine_; }
    [[nodiscard]] const std::vector<StationTile *> &tiles() const { return tiles_; }

    // The latest records shown at most.
    static constexpr int LatestRecords = 20;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void showChosenPorts();
    void makeTiles(std::size_t count);
    void onPortChanged(int index);
    void onUnitFinished(const StationRecord &record, const RecordKept &kept);
    void showGolden(const QString &name, const QString &digest);
    void showCounts();
    void setRunning(bool running);

    UserDialogs &dialogs_;
    StationServices services_;
    QPointer<StationEngine> engine_;

    StationSetup *setup_ = nullptr;
    StationPortChoice *ports_ = nullptr;
    QWidget *tileArea_ = nullptr;
    QGridLayout *tileGrid_ = nullptr;
    QLabel *noPorts_ = nullptr;
    std::vector<StationTile *> tiles_;
    QLabel *golden_ = nullptr;
    QLabel *digest_ = nullptr;
    QLabel *passed_ = nullptr;
    QLabel *failed_ = nullptr;
    QLabel *perHour_ = nullptr;
    QLabel *warning_ = nullptr;
    QListWidget *records_ = nullptr;
    QPushButton *start_ = nullptr;
    QPushButton *stop_ = nullptr;
    QPushButton *showRecords_ = nullptr;
    QTimer countsTimer_; // the rate moves on with the clock
};

} // namespace q51
