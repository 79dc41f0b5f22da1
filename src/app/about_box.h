#pragma once
// Help > About: the product line and a launcher for the system-information
// program. Modeless, created on first use.

#include <QDialog>
#include <functional>

#include "app/system_info.h"

namespace q51 {

class UserDialogs;

inline constexpr const char *ProductLine = "Q51 && V51 Decoder Configuration Setup V1.08.03";
inline constexpr const char *MakerNotice = "Configuration tool for Q51 and V51 bar-code decoders.";

class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(UserDialogs &dialogs,
             std::function<bool(const QString &program, const QStringList &arguments)> startDetached,
             QWidget *parent = nullptr);
    // Tests replace the registry and the launcher.
    void setPlatform(SystemInfoPlatform platform) { platform_ = std::move(platform); }

private:
    UserDialogs &dialogs_;
    SystemInfoPlatform platform_;
};

} // namespace q51
