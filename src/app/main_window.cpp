#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>

#include "app/about_box.h"
#include "app/menu_table.h"
#include "app/shell_texts.h"
#include "app/toolbar_icons.h"
#include "link/portio/port_io.h"
#include "model/factory_defaults.h"
#include "ui/user_dialogs.h"

namespace q51 {

namespace {

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
      services_(std::move(services)),
      area_(new QMdiArea(this)),
      switcher_(*area_, config, services_.childWindowFactory, this),
      documents_(config, services_.dialogs,
                 DocumentCommands::Hooks{[this](const QString &title) { setWindowTitle(title); },
                                         [this] { switcher_.closeParameterPages(); }, services_.today})
{
    setObjectName(QStringLiteral("MDIForm"));
    area_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(area_);
    buildMenus();
    buildToolBar();
    connect(&switcher_, &ChildWindowSwitcher::activePageChanged, this, &MainWindow::onActivePageChanged);
    resize(900, 680);
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
            a->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
        a->setCheckable(item.checkable);
        a->setEnabled(item.available);
        const Command command = item.command;
        connect(a, &QAction::triggered, this, [this, command] { run(command); });
    }
}

void MainWindow::run(Command command)
{
    switch (command) {
    case Command::FileNew: documents_.New(); break;
    case Command::FileOpen: documents_.Open(); break;
    case Command::FileSave: documents_.Save(); break;
    case Command::FileSaveAs: documents_.SaveAs(); break;
    case Command::FileExit: exitRequested(); break;
    case Command::SetAllDefaults: documents_.SetAllDefaults(); break;
    case Command::HelpContents: showHelp(); break;
    case Command::HelpAbout: showAbout(); break;
    default:
        if (int page = PageOf(command))
            TogglePage(page);
        break;
    }
}

void MainWindow::buildToolBar()
{
    auto *bar = addToolBar(QStringLiteral("Toolbar1"));
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
    LoadFactoryDefaults(config_);
    config_.TakeSavedCopy();
    ResetHeaderStrings(config_, HeaderPreset::StartUp,
                       services_.today ? services_.today().toStdString() : std::string());
    documents_.setTitle(text::StartUpTitlePrefix);
    config_.PortNumber = 1;
    config_.TransferMode = TransferModes::ByRs232;
    config_.FramingText = "N,8,1";
    config_.BaudText = "9600";
    config_.KeyDelay = 5;
}

void MainWindow::TogglePage(int page)
{
    switcher_.toggle(page);
    // A click flips a check mark by itself; the marks follow ActivePage only.
    onActivePageChanged(config_.ActivePage);
}

void MainWindow::onActivePageChanged(int page)
{
    for (const auto &item : MenuItems) {
        if (item.checkable)
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
    // Let an open window end its exchange before the program goes.
    switcher_.closeActive();
    if (about_)
        about_->close();
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
    services_.dialogs.tell(QString::fromUtf8(DefaultCaption),
                           QStringLiteral("The help viewer could not be started (%1 %2).")
                               .arg(program, arguments.constFirst()),
                           MessageIcon::Warning);
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
