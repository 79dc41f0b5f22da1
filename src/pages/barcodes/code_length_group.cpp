#include "pages/barcodes/code_length_group.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include "pages/barcodes/barcode_texts.h"
#include "pages/binding/setting_mark.h"
#include "schema/setting_catalog.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

QLineEdit *lengthBox(const char *name, int slot, QWidget *parent)
{
    auto *box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(slot));
    return box;
}

std::uint8_t asByte(std::int64_t n)
{
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(n, 0, 255));
}

} // namespace

CodeLengthGroup::CodeLengthGroup(const LengthSlot &slot, const QString &caption, ConfigDocument &document,
                                 UserDialogs &dialogs, QWidget *parent)
    : QGroupBox(caption, parent), slot_(slot), document_(document),
      minimumSetting_(*SettingAt(SettingKind::Number, MinimumLengthByte(slot.slot))),
      fixedSetting_(*SettingAt(SettingKind::FixedLengths, FixedLengthByte(slot.slot, 0))), dialogs_(dialogs),
      minimum_(lengthBox("TxtMin", slot.slot, this)), variable_(new QCheckBox(QStringLiteral("Variable"), this)),
      fixed_{lengthBox("txtFix1", slot.slot, this), lengthBox("txtFix2", slot.slot, this)}
{
    setObjectName(QStringLiteral("fraCodeLength_%1").arg(slot.slot));
    announceByTitle(this);
    variable_->setObjectName(QStringLiteral("chkvariable_%1").arg(slot.slot));
    variable_->setChecked(true);
    variable_->setEnabled(!slot.variableGreyed);
    for (QLineEdit *box : fixed_)
        box->setEnabled(false);
    new SettingMark(minimum_, minimumSetting_, document_);
    new SettingMark(variable_, fixedSetting_, document_);
    for (QLineEdit *box : fixed_) // named by their labels, "1st Fix Length"
        new SettingMark(box, fixedSetting_, document_, SettingMark::Naming::Own);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Minimum"), minimum_);
    form->addRow(variable_);
    form->addRow(QStringLiteral("1st Fix Length"), fixed_[0]);
    form->addRow(QStringLiteral("2nd Fix Length"), fixed_[1]);

    // Text the page sets itself is applied explicitly, with these signals
    // blocked, so every edit is applied exactly once.
    connect(minimum_, &QLineEdit::textChanged, this, &CodeLengthGroup::applyMinimum);
    for (int which = 0; which < 2; ++which)
        connect(fixed_[which], &QLineEdit::textChanged, this, [this, which](const QString &t) { applyFixed(which, t); });
    // Every route that ticks the box, the accessibility action included;
    // showVariable() sets it quietly.
    connect(variable_, &QCheckBox::toggled, this, &CodeLengthGroup::setVariable);
    connect(&document_, &ConfigDocument::settingsChanged, this, [this] {
        if (!writing_)
            refresh();
    });
}

void CodeLengthGroup::load()
{
    const SlotLengths lengths = ReadSlotLengths(document_.config(), slot_.slot);
    setMinimumText(QString::number(lengths.minimum));
    if (lengths.variable()) {
        showVariable(true);
        return;
    }
    showVariable(false);
    setFixedText(0, QString::number(lengths.fixed[0]));
    setFixedText(1, QString::number(lengths.fixed[1]));
}

void CodeLengthGroup::refresh()
{
    const SlotLengths lengths = ReadSlotLengths(document_.config(), slot_.slot);
    const QSignalBlocker quiet(minimum_);
    if (LeadingNumber(minimum_->text().toStdString()) != lengths.minimum)
        minimum_->setText(QString::number(lengths.minimum));
    showVariable(lengths.variable());
    for (int which = 0; which < 2 && !lengths.variable(); ++which) {
        const QSignalBlocker quietFixed(fixed_[which]);
        fixed_[which]->setText(QString::number(lengths.fixed[which]));
    }
}

void CodeLengthGroup::writeMinimum(int length)
{
    const QScopedValueRollback own(writing_, true);
    document_.setValue(minimumSetting_, std::to_string(length));
}

void CodeLengthGroup::writeFixed(const std::string &text)
{
    const QScopedValueRollback own(writing_, true);
    document_.setValue(fixedSetting_, text);
}

void CodeLengthGroup::resetDefaults()
{
    setVariable(true);
    setMinimumText(QString::number(slot_.defaultMinimum));
}

void CodeLengthGroup::setMinimumText(const QString &text)
{
    {
        const QSignalBlocker quiet(minimum_);
        minimum_->setText(text);
    }
    applyMinimum(text);
}

void CodeLengthGroup::applyMinimum(const QString &text)
{
    const std::int64_t n = LeadingNumber(text.toStdString());
    if (n < 0 || n > MaxMinimumLength) {
        dialogs_.tell(QString::fromUtf8(BarCodeMessageTitle), QString::fromUtf8(MinimumLengthMessage),
                      MessageIcon::Information);
        setMinimumText(QStringLiteral("0"));
        return;
    }
    writeMinimum(static_cast<int>(n));
}

void CodeLengthGroup::setFixedText(int which, const QString &text)
{
    {
        const QSignalBlocker quiet(fixed_[which]);
        fixed_[which]->setText(text);
    }
    applyFixed(which, text);
}

// A fixed length is one byte: typed numbers outside 0 to 255 are limited to
// it, and the box shows what was stored.
void CodeLengthGroup::applyFixed(int which, const QString &text)
{
    const std::uint8_t length = asByte(LeadingNumber(text.toStdString()));
    SlotLengths lengths = ReadSlotLengths(document_.config(), slot_.slot);
    lengths.fixed[which] = length;
    writeFixed(std::to_string(lengths.fixed[0]) + ", " + std::to_string(lengths.fixed[1]));
    const QString shown = QString::number(length);
    if (fixed_[which]->text() != shown) {
        const QSignalBlocker quiet(fixed_[which]);
        fixed_[which]->setText(shown);
    }
}

void CodeLengthGroup::setVariable(bool ticked)
{
    if (ticked)
        writeFixed("Variable");
    showVariable(ticked);
}

// The boxes show "0" under "Variable" without storing it: the bytes keep 255.
void CodeLengthGroup::showVariable(bool ticked)
{
    {
        const QSignalBlocker quiet(variable_);
        variable_->setChecked(ticked);
    }
    for (QLineEdit *box : fixed_) {
        box->setEnabled(!ticked);
        if (ticked) {
            const QSignalBlocker quiet(box);
            box->setText(QStringLiteral("0"));
        }
    }
}

} // namespace q51
