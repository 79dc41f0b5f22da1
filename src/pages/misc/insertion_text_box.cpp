#include "pages/misc/insertion_text_box.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <span>

#include "pages/misc/edit_group_frame.h"
#include "pages/misc/key_insertion_dialog.h"
#include "pages/misc/selection_keeping_line_edit.h"
#include "pages/misc/single_byte_text.h"
#include "schema/insertion_text.h"

namespace q51 {

InsertionTextBox::InsertionTextBox(EditGroupFrame &frame) : QWidget(&frame), frame_(frame)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    edit_ = new SelectionKeepingLineEdit(this);
    edit_->setObjectName(QStringLiteral("txt694"));
    edit_->setValidator(new SingleByteValidator(&IsInsertableText, edit_));
    frame_.markRecordControl(edit_, SettingKind::InsertionCodes, InsertionTextOffset);
    layout->addWidget(edit_);
    auto *row = new QHBoxLayout;
    const struct {
        const char *name;
        const char *caption;
        const KeyDialogSpec &dialog;
    } buttons[] = {{"Command1", "Function Keys", FunctionKeyDialog()},
                   {"Command3", "Control Keys", ControlKeyDialog()}};
    for (const auto &b : buttons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), &frame);
        button->setObjectName(QString::fromLatin1(b.name));
        connect(button, &QPushButton::clicked, this, [this, &dialog = b.dialog] { openDialog(dialog); });
        row->addWidget(button);
    }
    const QString caption = QStringLiteral("Characters to be Inserted");
    // The row's label sits in the frame, not beside the box: name it directly.
    edit_->setAccessibleName(caption);
    frame.form()->addRow(caption, this);
    frame.form()->addRow(row);

    connect(edit_, &QLineEdit::textChanged, this, &InsertionTextBox::encode);
    connect(&frame, &EditGroupFrame::groupShown, this, &InsertionTextBox::show);
}

void InsertionTextBox::show(int recordStart)
{
    const auto first = static_cast<std::size_t>(recordStart + InsertionTextOffset);
    accepted_ = FromSingleByte(DecodeInsertionText(std::span(frame_.config().block).subspan(first, InsertionCodeCount)));
    // Showing writes nothing: a record the text cannot reproduce (codes
    // above the keys, codes after a 0) stays as it is until the user edits.
    const QSignalBlocker blocker(edit_);
    edit_->setText(accepted_);
}

void InsertionTextBox::encode(const QString &text)
{
    const auto bytes = ToSingleByte(text);
    if (!bytes || !IsInsertableText(*bytes)) {
        // Only text set from code gets here; typing is refused earlier.
        const QSignalBlocker blocker(edit_);
        edit_->setText(accepted_);
        return;
    }
    accepted_ = text;
    // An emptied box leaves the stored characters alone: deleting the text
    // to retype it must not lose the group, and "Clear All Insertion" is
    // the way to clear them.
    if (text.isEmpty())
        return;
    std::string list;
    for (const std::uint8_t code : EncodeInsertionText(*bytes))
        list += std::to_string(code) + " ";
    frame_.writeRecord(SettingKind::InsertionCodes, InsertionTextOffset, list);
}

void InsertionTextBox::openDialog(const KeyDialogSpec &spec)
{
    auto *dialog = new KeyInsertionDialog(spec, *edit_, this);
    dialog->open(); // modal over the page; returns at once
}

} // namespace q51
