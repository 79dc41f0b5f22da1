#pragma once
// Which ports the production station watches: Com 1 to Com 4 (each with the
// device it stands for now) and every adapter the port catalogue detects,
// each ticked on its own, or all detected adapters at once. While shown it
// follows adapters being plugged in and out, as the port pickers do.

#include <memory>
#include <vector>

#include <QGroupBox>

#include "link/port_catalogue.h"
#include "link/port_watch.h"
#include "link/station_engine.h"

class QCheckBox;
class QListWidget;

namespace q51 {

class StationPortChoice final : public QGroupBox {
    Q_OBJECT
public:
    explicit StationPortChoice(QWidget *parent = nullptr);

    // The ticked ports, in list order, each device once: a Com n that
    // stands for a ticked adapter is that adapter.
    [[nodiscard]] std::vector<StationPortTarget> targets() const;

    // Reads the catalogue again, keeping what was ticked.
    void refresh();

signals:
    void changed();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fill();

    QListWidget *list_ = nullptr;
    QCheckBox *allDetected_ = nullptr;
    QList<DetectedPort> detected_;
    std::unique_ptr<PortWatchSubscription> watch_; // while shown
};

} // namespace q51
