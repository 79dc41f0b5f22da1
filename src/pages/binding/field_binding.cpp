#include "pages/binding/field_binding.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QScopedValueRollback>

#include "pages/binding/setting_mark.h"
#include "schema/field_access.h"
#include "schema/setting_catalog.h"

namespace q51 {

FieldBinding::FieldBinding(FieldSpec spec, ConfigDocument &document, QWidget *parent)
    : QObject(parent), spec_(std::move(spec)), document_(document)
{
    connect(&document_, &ConfigDocument::settingsChanged, this, &FieldBinding::refresh);
    if (spec_.kind == FieldKind::Check)
        buildCheck(parent);
    else
        buildOptions(parent);
    QWidget *w = widget();
    w->setVisible(spec_.visible);
    w->setEnabled(spec_.enabled);
    if (const Setting *setting = SettingOfField(spec_.control))
        new SettingMark(w, *setting, document_);
}

QWidget *FieldBinding::widget() const
{
    return box_ ? static_cast<QWidget *>(box_) : static_cast<QWidget *>(check_);
}

void FieldBinding::buildOptions(QWidget *parent)
{
    box_ = new QGroupBox(QString::fromStdString(spec_.caption), parent);
    box_->setObjectName(QString::fromStdString(spec_.control));
    group_ = new QButtonGroup(box_);
    group_->setExclusive(true);
    auto *grid = new QGridLayout(box_);
    const int columns = std::max(1, spec_.columns);
    const int rows = (static_cast<int>(spec_.choices.size()) + columns - 1) / columns;
    for (std::size_t i = 0; i < spec_.choices.size(); ++i) {
        const Choice &choice = spec_.choices[i];
        auto *button = new QRadioButton(QString::fromStdString(choice.caption), box_);
        button->setObjectName(QStringLiteral("%1_%2").arg(QString::fromStdString(spec_.control)).arg(i));
        button->setVisible(choice.visible);
        button->setEnabled(choice.enabled);
        group_->addButton(button);
        grid->addWidget(button, static_cast<int>(i) % rows, static_cast<int>(i) / rows);
        buttons_.emplace_back(choice.value, button);
        // toggled() comes from every route: mouse, keys, the accessibility
        // action and setChecked(). show() is quiet, so a choice the binding
        // shows itself is not written twice.
        connect(button, &QAbstractButton::toggled, this, [this, value = choice.value](bool on) {
            if (on && !showing_)
                select(value);
        });
    }
    other_ = new QRadioButton(box_);
    other_->setObjectName(QString::fromStdString(spec_.control) + QStringLiteral("_other"));
    other_->setEnabled(false);
    other_->setVisible(false);
    group_->addButton(other_);
    grid->addWidget(other_, rows, 0, 1, columns);
}

void FieldBinding::buildCheck(QWidget *parent)
{
    check_ = new QCheckBox(QString::fromStdString(spec_.caption), parent);
    check_->setObjectName(QString::fromStdString(spec_.control));
    connect(check_, &QAbstractButton::toggled, this, [this](bool ticked) {
        if (!showing_)
            select(ticked ? spec_.mask : 0);
    });
}

QAbstractButton *FieldBinding::button(int value) const
{
    if (check_)
        return check_;
    for (const auto &[v, b] : buttons_) {
        if (v == value)
            return b;
    }
    return nullptr;
}

std::optional<int> FieldBinding::shownValue() const
{
    return shown_;
}

void FieldBinding::load()
{
    if (const auto value = ReadField(spec_, document_.config())) {
        if (spec_.loadShowsOnly) {
            show(*value);
            emit selected(*value); // rules that follow the field still run
        } else {
            select(*value);
        }
    } else
        showOther(StoredCode(spec_, document_.config()));
}

void FieldBinding::refresh()
{
    const auto value = ReadField(spec_, document_.config());
    if (value == shown_ && (value || !other_ || other_->isChecked()))
        return;
    if (value)
        show(*value);
    else
        showOther(StoredCode(spec_, document_.config()));
}

void FieldBinding::select(int value)
{
    document_.selectField(spec_, value);
    show(value);
    emit selected(value);
}

void FieldBinding::show(int value)
{
    const QScopedValueRollback quiet(showing_, true);
    shown_ = value;
    if (check_) {
        check_->setChecked(value != 0);
        return;
    }
    other_->setVisible(false);
    if (QAbstractButton *b = button(value))
        b->setChecked(true);
}

void FieldBinding::showOther(int code)
{
    const QScopedValueRollback quiet(showing_, true);
    shown_.reset();
    if (check_)
        return; // a single bit always has a choice
    other_->setText(QStringLiteral("Other (0x%1)").arg(QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'))));
    other_->setVisible(spec_.visible);
    other_->setChecked(true);
}

} // namespace q51
