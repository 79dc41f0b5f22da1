#include "app/setting_navigation.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QStackedWidget>
#include <QTabWidget>

#include "pages/binding/setting_mark.h"

namespace q51 {

namespace {

// Every tab between the page and the control shows the control's side.
void ShowTabsOf(QWidget *control, const QWidget *page)
{
    for (QWidget *w = control; w && w != page; w = w->parentWidget()) {
        auto *stack = qobject_cast<QStackedWidget *>(w->parentWidget());
        if (auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr)
            tabs->setCurrentWidget(w);
    }
}

// An option group is entered at its selected choice, as Tab would.
QWidget *FocusTarget(QWidget *control)
{
    auto *group = qobject_cast<QGroupBox *>(control);
    if (!group)
        return control;
    QWidget *first = nullptr;
    for (QAbstractButton *button : group->findChildren<QAbstractButton *>()) {
        if (!button->isEnabled() || button->isHidden())
            continue;
        if (button->isChecked())
            return button;
        if (!first)
            first = button;
    }
    return first ? first : control;
}

} // namespace

bool FocusSettingControl(QWidget *page, const Setting &setting)
{
    for (SettingMark *mark : page->findChildren<SettingMark *>()) {
        QWidget *control = mark->control();
        if (!mark->covers(setting) || !control->isEnabled() || control->isHidden())
            continue;
        mark->reveal(setting);
        ShowTabsOf(control, page);
        FocusTarget(control)->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return false;
}

} // namespace q51
