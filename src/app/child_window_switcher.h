#pragma once
// Keeps at most one of the four parameter pages or the transfer window open
// inside the main window, and ActivePage in step with what is shown.

#include <QObject>
#include <QPointer>
#include <functional>

#include "model/configuration.h"

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace q51 {

class ChildWindowSwitcher : public QObject {
    Q_OBJECT
public:
    // Builds the window for ActivePage number 1 to 5.
    using Factory = std::function<QWidget *(int page)>;

    ChildWindowSwitcher(QMdiArea &area, Configuration &config, Factory factory, QObject *parent = nullptr);

    // A second toggle of the open window closes it; another number closes
    // the open one first.
    void toggle(int page);
    // Returns false when the open window refused to close.
    bool closeActive();
    void closeParameterPages(); // leaves the transfer window open
    [[nodiscard]] QWidget *activeWidget() const;

signals:
    void activePageChanged(int page);

private:
    void open(int page);
    void onClosed(QMdiSubWindow *window);

    QMdiArea &area_;
    Configuration &config_;
    Factory factory_;
    QPointer<QMdiSubWindow> active_;
};

} // namespace q51
