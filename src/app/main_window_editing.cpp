// The main window's Edit menu: undo and redo following the history, Find
// Setting, the Changed Settings dock and its count in the status bar.

#include <QAction>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QUndoStack>

#include "app/main_window.h"
#include "app/setting_navigation.h"
#include "document/edit_history.h"
#include "editor/changed_settings_panel.h"
#include "editor/find_setting_dialog.h"
#include "schema/page_catalog.h"

namespace q51 {

namespace {

// The dock's own title bar: its caption and a close button as large as any
// other, where the style's title buttons are smaller than a finger's aim.
QWidget *dockTitle(QDockWidget *dock)
{
    auto *bar = new QWidget(dock);
    auto *caption = new QLabel(dock->windowTitle(), bar);
    auto *close = new QToolButton(bar);
    close->setObjectName(QStringLiteral("changedSettingsClose"));
    close->setIcon(dock->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setAccessibleName(QStringLiteral("Close Changed Settings"));
    close->setToolTip(QStringLiteral("Close (Ctrl+D)"));
    close->setAutoRaise(true);
    QObject::connect(close, &QToolButton::clicked, dock, &QDockWidget::close);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 2, 2);
    row->addWidget(caption, 1);
    row->addWidget(close);
    return bar;
}

} // namespace

void MainWindow::buildEditing()
{
    history_ = new EditHistory(document_, this);
    changed_ = new ChangedSettingsPanel(document_);
    changedDock_ = new QDockWidget(QStringLiteral("Changed Settings"), this);
    changedDock_->setObjectName(QStringLiteral("changedSettingsDock"));
    changedDock_->setWidget(changed_);
    changedDock_->setTitleBarWidget(dockTitle(changedDock_));
    changedDock_->hide();
    addDockWidget(Qt::RightDockWidgetArea, changedDock_);
    QAction *shown = actions_.value(QStringLiteral("mnuEditChanged"));
    // Not through this window: the dock hides once more while it is destroyed.
    connect(changedDock_, &QDockWidget::visibilityChanged, shown,
            [dock = changedDock_, shown](bool) { shown->setChecked(dock->isVisible()); });

    changedCount_ = new QLabel(changed_->summary(), this);
    changedCount_->setObjectName(QStringLiteral("changedSettingsCount"));
    statusBar()->addPermanentWidget(changedCount_);
    connect(changed_, &ChangedSettingsPanel::summaryChanged, changedCount_, &QLabel::setText);
    connect(changed_, &ChangedSettingsPanel::settingChosen, this, [this](const Setting *setting) {
        if (setting)
            goToSetting(*setting);
    });
    followHistory();
}

// "&Undo Set Baud Rate to 19200": the item names the step it takes back.
void MainWindow::followHistory()
{
    QUndoStack &stack = history_->stack();
    const auto follow = [](QAction *action, const QString &caption, const QString &step, bool can) {
        action->setText(step.isEmpty() ? caption : caption + QLatin1Char(' ') + step);
        action->setEnabled(can);
    };
    QAction *undo = actions_.value(QStringLiteral("mnuEditUndo"));
    QAction *redo = actions_.value(QStringLiteral("mnuEditRedo"));
    const auto update = [&stack, undo, redo, follow] {
        follow(undo, QStringLiteral("&Undo"), stack.undoText(), stack.canUndo());
        follow(redo, QStringLiteral("&Redo"), stack.redoText(), stack.canRedo());
    };
    connect(&stack, &QUndoStack::indexChanged, this, update);
    connect(&stack, &QUndoStack::cleanChanged, this, update);
    update();
}

FindSettingDialog &MainWindow::findSetting()
{
    if (!find_) {
        find_ = new FindSettingDialog(document_, this);
        connect(find_, &FindSettingDialog::settingChosen, this, [this](const Setting *setting) {
            if (setting)
                goToSetting(*setting);
        });
    }
    return *find_;
}

bool MainWindow::goToSetting(const Setting &setting)
{
    const ChildWindowInfo *info = FindChildWindow(SettingPage(setting));
    if (!info) {
        statusBar()->showMessage(
            QStringLiteral("No page shows %1: it keeps what the block holds.").arg(QString::fromStdString(setting.Name())),
            5000);
        return false;
    }
    if (config_.ActivePage != info->page)
        TogglePage(info->page);
    for (QMdiSubWindow *window : area_->subWindowList()) {
        QWidget *page = window->widget();
        if (!page || page->objectName() != QLatin1String(info->objectName))
            continue;
        area_->setActiveSubWindow(window);
        if (FocusSettingControl(page, setting))
            return true;
    }
    statusBar()->showMessage(QStringLiteral("%1 is not shown where it can be changed now.")
                                 .arg(QString::fromStdString(setting.Name())),
                             5000);
    return false;
}

} // namespace q51
