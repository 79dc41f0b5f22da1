#include "tools/choices_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace q51 {

ChoicesGroup::ChoicesGroup(const QString &caption, const QString &controlName, const QStringList &options,
                           int initial, QWidget *parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this))
{
    group_->setObjectName(controlName);
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < options.size(); ++i) {
        auto *button = new QRadioButton(options.at(i), this);
        button->setObjectName(controlName + QLatin1Char('_') + QString::number(i));
        group_->addButton(button, i);
        layout->addWidget(button);
    }
    layout->addStretch();
    check(initial);
    // toggled() covers clicks, arrow keys and setChecked() alike; it fires for
    // the button that lost the selection too, which onToggled ignores.
    connect(group_, &QButtonGroup::idToggled, this, &ChoicesGroup::onToggled);
}

QRadioButton *ChoicesGroup::option(int index) const
{
    return qobject_cast<QRadioButton *>(group_->button(index));
}

void ChoicesGroup::select(int index)
{
    if (index == current_ || !option(index))
        return;
    check(index);
    if (onChosen)
        onChosen(index);
}

void ChoicesGroup::clearSelection()
{
    if (QAbstractButton *checked = group_->checkedButton()) {
        const QSignalBlocker blocker(group_);
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
    current_ = -1;
}

void ChoicesGroup::check(int index)
{
    QRadioButton *button = option(index);
    if (!button)
        return;
    current_ = index; // first, so that the toggled() this causes is no change
    button->setChecked(true);
}

void ChoicesGroup::onToggled(int id, bool checked)
{
    if (!checked || id == current_)
        return;
    current_ = id;
    if (onChosen)
        onChosen(id);
}

} // namespace q51
