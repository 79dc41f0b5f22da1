#pragma once
// The program's one top-level window: menus, toolbar, the area that hosts
// the pages and tool windows, start-up and the unsaved-changes guard.

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "app/child_window_switcher.h"
#include "app/document_commands.h"
#include "app/menu_table.h"
#include "link/port_arbiter.h"
#include "model/configuration.h"

class QAction;
class QDialog;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace q51 {

class PortIo;
class UserDialogs;
class AboutBox;
class ChangedSettingsPanel;
class EditHistory;
class FindSettingDialog;
struct Setting;

// The service windows of the Tools menu. An item stays disabled while its
// window is not supplied.
struct ToolWindowFactories {
    std::function<QWidget *()> firmwareUpdate;                 // non-modal, maximised in the area
    std::function<QDialog *(QWidget *parent)> commandConsole;  // modal
    std::function<QDialog *(QWidget *parent)> keyboardTest;    // modal
    std::function<QWidget *()> storedData;                     // non-modal, created on first use
    std::function<QDialog *(QWidget *parent)> findDecoder;     // modal
    std::function<QDialog *(QWidget *parent)> compare;         // modal
    std::function<QWidget *(QWidget *parent)> station;         // non-modal top-level, one at a time
};

// What the main window needs from the outside world; tests substitute each.
struct ShellServices {
    UserDialogs &dialogs;
    PortIo &portIo;
    // Starts a program without waiting for it; false when it cannot start.
    std::function<bool(const QString &program, const QStringList &arguments)> startDetached;
    std::function<QString()> today;
    ChildWindowSwitcher::Factory childWindowFactory;
    ToolWindowFactories toolWindows;
    // The document the pages change the configuration through; without
    // one (a window with no pages) the main window keeps its own.
    ConfigDocument *document = nullptr;
};

class MainWindow : public QMainWindow, private PortWindows {
    Q_OBJECT
public:
    MainWindow(Configuration &config, ShellServices services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence: port-I/O library, factory block, header strings,
    // link settings, title. Call once before show().
    void startUp();
    [[nodiscard]] bool keyboardPortAvailable() const { return keyboardPortAvailable_; }

    void TogglePage(int page);
    [[nodiscard]] QAction *action(const QString &objectName) const;
    [[nodiscard]] QMdiArea *mdiArea() const { return area_; }
    [[nodiscard]] DocumentCommands &documents() { return documents_; }
    [[nodiscard]] QWidget *firmwareUpdateWindow() const;
    [[nodiscard]] QWidget *storedDataWindow() const;
    [[nodiscard]] EditHistory &history() const { return *history_; }
    [[nodiscard]] FindSettingDialog &findSetting();
    [[nodiscard]] ChangedSettingsPanel &changedSettings() const { return *changed_; }
    // Opens the page and tab that show the setting and focuses its control;
    // false (and a word in the status bar) when no page shows it.
    bool goToSetting(const Setting &setting);

    // Before the first show the frame is not known: what a title bar and
    // borders take at most.
    static constexpr QSize OpeningFrameAllowance{16, 40};

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    [[nodiscard]] QSize openingSize() const;
    void buildMenus();
    void buildToolBar();
    void buildEditing();
    void followHistory();
    void run(Command command);
    void onActivePageChanged(int page);
    void exitRequested();
    void showHelp();
    void openFirmwareUpdate();
    void runModal(const std::function<QDialog *(QWidget *parent)> &factory);
    void showStoredData();
    void showStation();
    // The windows as the port arbiter sees them.
    [[nodiscard]] bool isWindowOpen(PortUser window) const override;
    void openWindow(PortUser window) override;
    bool closeWindow(PortUser window) override;
    [[nodiscard]] bool toolAvailable(Command command) const;
    void showAbout();

    Configuration &config_;
    std::unique_ptr<ConfigDocument> ownDocument_;
    ConfigDocument &document_;
    ShellServices services_;
    QMdiArea *area_;
    ChildWindowSwitcher switcher_;
    DocumentCommands documents_;
    QHash<QString, QAction *> actions_;
    EditHistory *history_ = nullptr;
    FindSettingDialog *find_ = nullptr; // made on first use
    QDockWidget *changedDock_ = nullptr;
    ChangedSettingsPanel *changed_ = nullptr;
    QLabel *changedCount_ = nullptr;
    QPointer<AboutBox> about_;
    QPointer<QMdiSubWindow> firmwareUpdate_;
    QPointer<QMdiSubWindow> storedData_;
    QPointer<QWidget> station_;
    PortArbiter arbiter_{*this};
    bool keyboardPortAvailable_ = false;
    bool shutDown_ = false;
};

} // namespace q51
