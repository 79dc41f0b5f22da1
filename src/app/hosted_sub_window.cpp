#include "app/hosted_sub_window.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QProxyStyle>

namespace q51 {

namespace {

// A maximised child normally gives up its title bar and writes "- [caption]"
// into the main window's title, so the child keeps its own title bar.
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
// main menu's Ctrl+F4 ambiguous whenever a child has focus.
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

QMdiSubWindow *HostInArea(QMdiArea &area, QWidget *content, QMdiSubWindow *window)
{
    if (!window)
        window = new QMdiSubWindow;
    static QPointer<OwnTitleBarStyle> style;
    if (!style)
        style = new OwnTitleBarStyle; // lives as long as the application style it wraps
    window->setStyle(style);
    window->setWidget(content);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(content->objectName() + QStringLiteral("Frame"));
    window->setWindowTitle(content->windowTitle());
    area.addSubWindow(window);
    releaseMenuShortcuts(*window);
    // A sub window starts at a size of the area's choosing, which may cut
    // its content; the area scrolls to what does not fit.
    window->resize(window->sizeHint().expandedTo(window->minimumSizeHint()));
    return window;
}

} // namespace q51
