#pragma once
// The Station window's setup: the golden configuration file, the firmware
// image the units must run (optional) with the version text it brings, the
// operator and the settings the station talks to every unit at. It turns
// them into the station's plan, refusing with a message what cannot be used.

#include <optional>

#include <QGroupBox>

#include "link/station_plan.h"

class QLineEdit;
class QPushButton;

namespace q51 {

class UserDialogs;

class StationSetup final : public QGroupBox {
    Q_OBJECT
public:
    StationSetup(UserDialogs &dialogs, QWidget *parent = nullptr);

    // The plan from what is filled in, every file read now; nothing (after
    // telling the user why) when something cannot be used.
    [[nodiscard]] std::optional<StationPlan> plan();
    // Where the records go, as q51ctl's --records names it; empty: the default.
    [[nodiscard]] QString records() const;

signals:
    // A golden file was read: its name and its block's digest as sent.
    void goldenRead(const QString &name, const QString &digest);

private:
    [[nodiscard]] std::optional<Configuration> readGolden();
    [[nodiscard]] bool readFirmware(StationPlan &plan);
    void browseGolden();
    void browseFirmware();
    void refuse(const QString &text, const QString &detail = {});

    UserDialogs &dialogs_;
    QLineEdit *golden_ = nullptr;
    QLineEdit *firmware_ = nullptr;
    QLineEdit *firmwareVersion_ = nullptr;
    QLineEdit *operator_ = nullptr;
    QLineEdit *settings_ = nullptr;
    QLineEdit *records_ = nullptr;
};

} // namespace q51
