#include "pages/misc/edit_group_frame.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QValidator>
#include <QVBoxLayout>

#include "pages/binding/setting_mark.h"
#include "pages/misc/misc_texts.h"
#include "schema/number_box_rule.h"
#include "schema/setting_catalog.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

// A minus sign in front of a number is refused as it is typed: no record
// byte holds a negative position or count.
class NonNegativeNumberValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        return ReadNumberBox(input.toStdString()).verdict == NumberBoxReading::Verdict::Negative ? Invalid
                                                                                                : Acceptable;
    }
};

// A list on its own row under a caption. A list reads out its current
// entry unless it has a name of its own, so the caption is its name too.
QComboBox *captionedList(QFormLayout *form, const char *name, const QString &caption, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->setAccessibleName(caption);
    form->addRow(caption, list);
    return list;
}

} // namespace

EditGroupFrame::EditGroupFrame(const EditFrameSpec &spec, ConfigDocument &document, UserDialogs &dialogs,
                               QWidget *parent)
    : QGroupBox(QString::fromLatin1(spec.caption), parent), spec_(spec), document_(document), dialogs_(dialogs),
      recordStart_(spec.firstRecord)
{
    setObjectName(QString::fromLatin1(spec.objectName));
    announceByTitle(this);
    auto *layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    layout->addLayout(form_);

    groupList_ = captionedList(form_, spec.groupList, QStringLiteral("Select Group"), this);
    for (const char *group : spec.groups)
        groupList_->addItem(QString::fromLatin1(group));
    connect(groupList_, &QComboBox::currentIndexChanged, this, &EditGroupFrame::showGroup);
    connect(groupList_, &QComboBox::activated, this, &EditGroupFrame::showGroup); // the same group again

    symbologyList_ = captionedList(form_, spec.symbologyList, QStringLiteral("Symboligy Selection"), this);
    for (const EditSymbology &s : EditSymbologies())
        symbologyList_->addItem(QString::fromLatin1(s.caption), s.number);
    // Both signals: the second also catches the user choosing the entry
    // already shown, e.g. "None" over a stored number no entry stands for.
    connect(symbologyList_, &QComboBox::currentIndexChanged, this, &EditGroupFrame::writeSymbology);
    connect(symbologyList_, &QComboBox::activated, this, &EditGroupFrame::writeSymbology);
    markRecordControl(symbologyList_, SettingKind::Field, 0);

    for (const NumberBoxSpec &n : spec.numbers) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(n.control));
        box->setValidator(new NonNegativeNumberValidator(box));
        form_->addRow(QString::fromLatin1(n.label), box);
        numbers_.emplace_back(box, n.offset);
        connect(box, &QLineEdit::textChanged, this, [this, box, offset = n.offset] { applyNumber(box, offset); });
        markRecordControl(box, SettingKind::Number, n.offset);
    }

    auto *clear = new QPushButton(QString::fromLatin1(spec.clearCaption), this);
    clear->setObjectName(QString::fromLatin1(spec.clearButton));
    connect(clear, &QPushButton::clicked, this, &EditGroupFrame::clearAll);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(clear);
    layout->addStretch();
    layout->addLayout(row);
    // A change made elsewhere (defaults, a file) is shown on the group in view.
    connect(&document_, &ConfigDocument::settingsChanged, this, [this] {
        if (!writing_)
            showGroup(groupList_->currentIndex());
    });
}

void EditGroupFrame::writeRecord(SettingKind kind, int offset, const std::string &text)
{
    const QScopedValueRollback own(writing_, true);
    document_.setValue(*SettingAt(kind, recordStart_ + offset), text);
}

void EditGroupFrame::markRecordControl(QWidget *control, SettingKind kind, int offset)
{
    auto *mark = new SettingMark(control, *SettingAt(kind, recordStart_ + offset), document_);
    for (int group = 0; group < static_cast<int>(spec_.groups.size()); ++group)
        mark->addShowable(*SettingAt(kind, RecordStart(spec_, group) + offset), [this, group] { showGroup(group); });
    connect(this, &EditGroupFrame::groupShown, mark,
            [mark, kind, offset](int start) { mark->show(*SettingAt(kind, start + offset)); });
}

void EditGroupFrame::showGroup(int group)
{
    if (group < 0 || group >= static_cast<int>(spec_.groups.size()))
        return;
    recordStart_ = RecordStart(spec_, group);
    {
        const QSignalBlocker groups(groupList_);
        groupList_->setCurrentIndex(group);
    }
    {
        // A number no entry stands for shows "None" and stays in the block
        // until the user chooses.
        const QSignalBlocker symbologies(symbologyList_);
        symbologyList_->setCurrentIndex(EditSymbologyIndex(config().block[static_cast<std::size_t>(recordStart_)]));
    }
    for (const auto &[box, offset] : numbers_)
        showNumber(box, offset);
    emit groupShown(recordStart_);
}

void EditGroupFrame::writeSymbology(int entry)
{
    if (entry < 0)
        return;
    const Setting &symbology = *SettingAt(SettingKind::Field, recordStart_);
    const QScopedValueRollback own(writing_, true);
    document_.selectField(symbology.field, symbologyList_->itemData(entry).toInt());
}

void EditGroupFrame::applyNumber(QLineEdit *box, int offset)
{
    const NumberBoxReading reading = ReadNumberBox(box->text().toStdString());
    if (reading.verdict == NumberBoxReading::Verdict::Store) {
        writeRecord(SettingKind::Number, offset, std::to_string(reading.value));
        return;
    }
    if (reading.verdict == NumberBoxReading::Verdict::TooLarge)
        dialogs_.tell(QString::fromLatin1(misc_text::MessageTitle), QString::fromLatin1(misc_text::NumberTooLarge),
                      MessageIcon::Information);
    showNumber(box, offset); // the value the record keeps
}

void EditGroupFrame::showNumber(QLineEdit *box, int offset)
{
    const QSignalBlocker blocker(box);
    box->setText(QString::fromStdString(NumberBoxText(config().block[static_cast<std::size_t>(recordStart_ + offset)])));
}

void EditGroupFrame::clearAll()
{
    {
        const QScopedValueRollback own(writing_, true);
        document_.change([this](Configuration &config) { ClearAllRecords(config, spec_); });
    }
    showGroup(0);
}

} // namespace q51
