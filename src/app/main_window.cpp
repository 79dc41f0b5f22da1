#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDockWidget>
#include <QMdiSubWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QUndoStack>

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/hosted_sub_window.h"
#include "app/menu_table.h"
#include "app/shell_texts.h"
#include "app/toolbar_icons.h"
#include "document/edit_history.h"
#include "editor/changed_settings_panel.h"
#include "editor/find_setting_dialog.h"
#include "link/portio/port_io.h"
#include "model/factory_defaults.h"
#include "ui/user_dialogs.h"

namespace q51 {

namespace {

// A closed subwindow lingers until its deferred deletion: it no longer counts.
bool isShown(const QPointer<QMdiSubWindow> &window)
{
    return window && window->isVisible();
}

Command commandOf(const char *menuItemName)
{
    for (const auto &item : MenuItems) {
        if (QByteArray(item.name) == menuItemName)
            return item.command;
    }
    return Command::None;
}

} // namespace

MainWindow::MainWindow(Configuration &config, ShellServices services, QWidget *parent)
    : QMainWindow(parent),
      config_(config),
      ownDocument_(services.document ? nullptr : std::make_unique<ConfigDocument>(config)),
      document_(services.document ? *services.document : *ownDocument_),
      services_(std::move(services)),
      area_(new QMdiArea(this)),
      switcher_(*area_, config, services_.childWindowFactory, this),
      documents_(config, document_, services_.dialogs,
                 DocumentCommands::Hooks{[this](const QString &title) { setWindowTitle(title); },
                                         [this] { switcher_.closeParameterPages(); }, services_.today})
{
    setObjectName(QStringLiteral("MDIForm"));
    area_->setObjectName(QStringLiteral("mdiArea"));
    // A page larger than the area (a small screen, a large font) scrolls
    // rather than being cut.
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    buildMenus();
    buildToolBar();
    buildEditing();
    connect(&switcher_, &ChildWindowSwitcher::activePageChanged, this, &MainWindow::onActivePageChanged);
    resize(openingSize());
}

// Room for the largest page and the bars above it at the current font (the
// pages grow with it), but never more than the screen offers.
QSize MainWindow::openingSize() const
{
    const QFontMetrics metrics(font());
    const QSize wanted(metrics.averageCharWidth() * 150, metrics.lineSpacing() * 50);
    const QScreen *where = screen();
    return where ? wanted.boundedTo(where->availableSize() - OpeningFrameAllowance) : wanted;
}

MainWindow::~MainWindow()
{
    // Children first, while the switcher and configuration are still alive.
    delete area_;
}

QAction *MainWindow::action(const QString &objectName) const
{
    return actions_.value(objectName);
}

void MainWindow::buildMenus()
{
    QHash<QString, QMenu *> menus;
    for (const auto &m : Menus) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(m.caption));
        menu->setObjectName(QString::fromUtf8(m.name));
        menus.insert(menu->objectName(), menu);
    }
    for (const auto &item : MenuItems) {
        QMenu *menu = menus.value(QString::fromUtf8(item.menu));
        QAction *a = item.caption ? menu->addAction(QString::fromUtf8(item.caption)) : menu->addSeparator();
        a->setObjectName(QString::fromUtf8(item.name));
        actions_.insert(a->objectName(), a);
        if (!item.caption)
            continue;
        if (item.shortcut)
            a->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(item.shortcut)));
        a->setCheckable(item.checkable);
        a->setEnabled(item.available || toolAvailable(item.command));
        const Command command = item.command;
        connect(a, &QAction::triggered, this, [this, command] { run(command); });
    }
}

void MainWindow::run(Command command)
{
    // A message box or modal window is up: mouse and keys cannot reach the
    // menus now, and neither may assistive technology, whose actions bypass
    // modality. Opening or closing a window here could delete one whose
    // message box is still running its loop.
    if (QApplication::activeModalWidget())
        return;
    switch (command) {
    case Command::FileNew: documents_.New(); break;
    case Command::FileOpen: documents_.Open(); break;
    case Command::FileSave: documents_.Save(); break;
    case Command::FileSaveAs: documents_.SaveAs(); break;
    case Command::FileExportReport: documents_.ExportReport(); break;
    case Command::FileExit: exitRequested(); break;
    case Command::SetAllDefaults: documents_.SetAllDefaults(); break;
    case Command::EditUndo: history_->stack().undo(); break;
    case Command::EditRedo: history_->stack().redo(); break;
    case Command::EditFind: findSetting().present(); break;
    case Command::EditChanged: changedDock_->setVisible(!changedDock_->isVisible()); break;
    case Command::ToolIsp: openFirmwareUpdate(); break;
    case Command::ToolCommand:
        if (arbiter_.makeWayFor(PortUser::CommandConsole)) {
            runModal(services_.toolWindows.commandConsole);
            config_.ActivePage = Page::None;
        }
        break;
    case Command::ToolKrTest:
        if (arbiter_.makeWayFor(PortUser::TestWindow))
            runModal(services_.toolWindows.keyboardTest);
        break;
    case Command::ToolMemory: showStoredData(); break;
    case Command::ToolFindDecoder:
        if (arbiter_.makeWayFor(PortUser::FindDecoder))
            runModal(services_.toolWindows.findDecoder);
        break;
    case Command::ToolCompare:
        if (arbiter_.makeWayFor(PortUser::Compare))
            runModal(services_.toolWindows.compare);
        break;
    case Command::ToolStation: showStation(); break;
    case Command::HelpContents: showHelp(); break;
    case Command::HelpAbout: showAbout(); break;
    default:
        if (int page = PageOf(command))
            TogglePage(page);
        break;
    }
    changed_->refresh(); // a save or a file read moves the saved copy unannounced
}

void MainWindow::buildToolBar()
{
    auto *bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    for (const auto &button : ToolButtons) {
        // Its own action, named by the key, whose text is the tooltip so the
        // button reads the same to a screen reader as it does on hover.
        const QString tooltip = QString::fromUtf8(button.tooltip);
        // "&&" so that "Keyboard & RS232 Test" is not read as an access key.
        auto *a = bar->addAction(ToolbarIcon(button.key), QString(tooltip).replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setObjectName(QString::fromUtf8(button.key));
        a->setToolTip(tooltip);
        QAction *menuItem = actions_.value(QString::fromUtf8(button.menuItem));
        a->setEnabled(menuItem->isEnabled());
        connect(menuItem, &QAction::enabledChanged, a, &QAction::setEnabled);
        const Command command = commandOf(button.menuItem);
        connect(a, &QAction::triggered, this, [this, command] { run(command); });
        actions_.insert(a->objectName(), a);
    }
}

void MainWindow::startUp()
{
    keyboardPortAvailable_ = InitializePortIo(services_.portIo);
    if (!keyboardPortAvailable_)
        services_.dialogs.tell(QString::fromUtf8(text::ConfigurationSetup),
                               QString::fromUtf8(text::KeyboardPortWarning), MessageIcon::Warning);
    config_.ActivePage = Page::None;
    const std::string today = services_.today ? services_.today().toStdString() : std::string();
    // Through the document, so that the history and the pages start from
    // here rather than from an empty block.
    document_.replace([&today](Configuration &config) {
        LoadFactoryDefaults(config);
        ResetHeaderStrings(config, HeaderPreset::StartUp, today);
        config.PortNumber = 1;
        config.TransferMode = TransferModes::ByRs232;
    });
    documents_.setTitle(text::StartUpTitlePrefix);
    config_.FramingText = "N,8,1";
    config_.BaudText = "9600";
    config_.KeyDelay = 5;
    config_.TakeSavedCopy(); // what a fresh start holds is nobody's unsaved work
    changed_->refresh();
}

void MainWindow::TogglePage(int page)
{
    if (page == Page::Transmit && config_.ActivePage != Page::Transmit && !arbiter_.makeWayFor(PortUser::Transfer))
        return;
    switcher_.toggle(page);
    // A click flips a check mark by itself; the marks follow ActivePage only.
    onActivePageChanged(config_.ActivePage);
}

void MainWindow::onActivePageChanged(int page)
{
    for (const auto &item : MenuItems) {
        if (item.checkable && PageOf(item.command))
            actions_.value(QString::fromUtf8(item.name))->setChecked(PageOf(item.command) == page);
    }
    actions_.value(QStringLiteral("mnuConfigDefault"))->setEnabled(page == Page::None);
}

void MainWindow::exitRequested()
{
    if (!documents_.ConfirmExit())
        return;
    close(); // the close guard below asks again if the block still differs
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!documents_.SaveIfChanged(text::SetupTitle)) {
        event->ignore();
        return;
    }
    // Let open windows end their exchanges before the program goes.
    for (const PortUser window : {PortUser::Transfer, PortUser::FirmwareUpdate, PortUser::StoredData})
        closeWindow(window); // the transfer window's place holds a page as well
    if (about_)
        about_->close();
    if (station_)
        station_->close(); // stops the station, recording the units in hand
    if (!shutDown_) {
        services_.portIo.ShutdownWinIo();
        shutDown_ = true;
    }
    event->accept();
}

void MainWindow::showHelp()
{
    const QString program = QString::fromUtf8(text::HelpProgram);
    const QStringList arguments{QString::fromUtf8(text::HelpFile)};
    if (services_.startDetached && services_.startDetached(program, arguments))
        return;
    // No viewer for the help file on this system: the program's own page.
    auto *help = findChild<HelpWindow *>(QStringLiteral("helpWindow"), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(this);
    help->show();
    help->raise();
    help->activateWindow();
}

bool MainWindow::toolAvailable(Command command) const
{
    const ToolWindowFactories &tools = services_.toolWindows;
    switch (command) {
    case Command::ToolIsp: return bool(tools.firmwareUpdate);
    case Command::ToolCommand: return bool(tools.commandConsole);
    case Command::ToolKrTest: return bool(tools.keyboardTest);
    case Command::ToolMemory: return bool(tools.storedData);
    case Command::ToolFindDecoder: return bool(tools.findDecoder);
    case Command::ToolCompare: return bool(tools.compare);
    case Command::ToolStation: return bool(tools.station);
    default: return false;
    }
}

QWidget *MainWindow::firmwareUpdateWindow() const
{
    return isShown(firmwareUpdate_) ? firmwareUpdate_->widget() : nullptr;
}

QWidget *MainWindow::storedDataWindow() const
{
    return isShown(storedData_) ? storedData_->widget() : nullptr;
}

void MainWindow::openFirmwareUpdate()
{
    if (!services_.toolWindows.firmwareUpdate || !arbiter_.makeWayFor(PortUser::FirmwareUpdate))
        return;
    if (!isShown(firmwareUpdate_)) {
        QWidget *content = services_.toolWindows.firmwareUpdate();
        if (!content)
            return;
        firmwareUpdate_ = HostInArea(*area_, content);
    }
    firmwareUpdate_->showMaximized();
    firmwareUpdate_->widget()->setFocus();
}

bool MainWindow::isWindowOpen(PortUser window) const
{
    switch (window) {
    case PortUser::Page: return config_.ActivePage >= Page::Interface && config_.ActivePage <= Page::Miscellaneous;
    case PortUser::Transfer: return config_.ActivePage == Page::Transmit;
    case PortUser::FirmwareUpdate: return isShown(firmwareUpdate_);
    case PortUser::StoredData: return isShown(storedData_);
    case PortUser::CommandConsole:
    case PortUser::TestWindow:
    case PortUser::FindDecoder:
    case PortUser::Compare: break; // modal: nothing else opens while they run
    }
    return false;
}

void MainWindow::openWindow(PortUser window)
{
    // The rules open only the transfer window, so that its steps run.
    if (window == PortUser::Transfer && !isWindowOpen(window))
        TogglePage(Page::Transmit);
}

bool MainWindow::closeWindow(PortUser window)
{
    switch (window) {
    case PortUser::Page:
    case PortUser::Transfer: return switcher_.closeActive();
    case PortUser::FirmwareUpdate: return !isShown(firmwareUpdate_) || firmwareUpdate_->close();
    case PortUser::StoredData: return !isShown(storedData_) || storedData_->close();
    case PortUser::CommandConsole:
    case PortUser::TestWindow:
    case PortUser::FindDecoder:
    case PortUser::Compare: break;
    }
    return true;
}

void MainWindow::runModal(const std::function<QDialog *(QWidget *parent)> &factory)
{
    if (!factory)
        return;
    QPointer<QDialog> dialog = factory(this);
    if (!dialog)
        return;
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->exec();
    delete dialog; // a closed console or test window has let go of its port
}

void MainWindow::showStoredData()
{
    if (!services_.toolWindows.storedData)
        return;
    const bool fresh = !isShown(storedData_);
    if (fresh) {
        QWidget *content = services_.toolWindows.storedData();
        if (!content)
            return;
        storedData_ = HostInArea(*area_, content);
    }
    storedData_->show();
    // Once it is up, as its own opening step; shown again, it has made way already.
    if (fresh)
        arbiter_.makeWayFor(PortUser::StoredData);
    if (!storedData_)
        return;
    storedData_->raise();
    storedData_->widget()->setFocus();
}

void MainWindow::showStation()
{
    if (!station_ && services_.toolWindows.station)
        station_ = services_.toolWindows.station(this);
    if (!station_)
        return;
    station_->show();
    station_->raise();
    station_->activateWindow();
}

void MainWindow::showAbout()
{
    if (!about_) {
        about_ = new AboutBox(services_.dialogs, services_.startDetached, this);
        about_->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

} // namespace q51
