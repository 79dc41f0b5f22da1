#include "app/child_window_switcher.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "app/hosted_sub_window.h"

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
    window->onClosed = [this, window] { onClosed(window); };
    HostInArea(area_, content, window);
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
