#include "app/child_window_switcher.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QProxyStyle>

namespace q51 {

namespace {

// Tells the switcher the moment a close is accepted (the window itself is
// deleted later), so ActivePage never names a window that is going away.
class ChildSubWindow final : public QMdiSubWindow {
public:
    std::function<void()> onClosed;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        QMdiSubWindow::closeEvent(event);
        if (event->isAccepted() && onClosed) {
            auto notify = std::move(onClosed);
            onClosed = nullptr;
            notify();
        }
    }
};

// A maximised child normally gives up its title bar and writes "- [caption]"
// into the main window's title. The main title must only ever be prefix and
// file name, so the child keeps its own title bar when maximised.
class OwnTitleBarStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Workspace_FillSpaceOnMaximize)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The child's own window menu binds Ctrl+F4 to "close", which would make the
// main menu's Ctrl+F4 (Communication page) ambiguous whenever a page has focus.
void releaseMenuShortcuts(QMdiSubWindow &window)
{
    const QKeySequence taken(Qt::CTRL | Qt::Key_F4);
    if (!window.systemMenu())
        return;
    for (QAction *a : window.systemMenu()->actions()) {
        QList<QKeySequence> keys = a->shortcuts();
        if (keys.removeAll(taken) > 0)
            a->setShortcuts(keys);
    }
}

} // namespace

ChildWindowSwitcher::ChildWindowSwitcher(QMdiArea &area, Configuration &config, Factory factory, QObject *parent)
    : QObject(parent), area_(area), config_(config), factory_(std::move(factory))
{
}

QWidget *ChildWindowSwitcher::activeWidget() const
{
    return active_ ? active_->widget() : nullptr;
}

void ChildWindowSwitcher::toggle(int page)
{
    if (page < Page::Interface || page > Page::Transmit)
        return;
    if (config_.ActivePage == page && active_) {
        closeActive();
        return;
    }
    if (!closeActive())
        return;
    open(page);
}

bool ChildWindowSwitcher::closeActive()
{
    if (!active_)
        return true;
    return active_->close();
}

void ChildWindowSwitcher::closeParameterPages()
{
    if (config_.ActivePage >= Page::Interface && config_.ActivePage <= Page::Miscellaneous)
        closeActive();
}

void ChildWindowSwitcher::open(int page)
{
    QWidget *content = factory_ ? factory_(page) : nullptr;
    if (!content)
        return;
    auto *window = new ChildSubWindow;
    static QPointer<OwnTitleBarStyle> style;
    if (!style)
        style = new OwnTitleBarStyle; // lives as long as the application style it wraps
    window->setStyle(style);
    window->setWidget(content);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(content->objectName() + QStringLiteral("Frame"));
    window->setWindowTitle(content->windowTitle());
    window->onClosed = [this, window] { onClosed(window); };
    area_.addSubWindow(window);
    releaseMenuShortcuts(*window);
    active_ = window;
    config_.ActivePage = static_cast<std::int16_t>(page);
    if (page == Page::Transmit)
        window->showMaximized();
    else
        window->show();
    content->setFocus();
    emit activePageChanged(page);
}

void ChildWindowSwitcher::onClosed(QMdiSubWindow *window)
{
    if (active_ != window)
        return;
    active_ = nullptr;
    config_.ActivePage = Page::None;
    emit activePageChanged(Page::None);
}

} // namespace q51
