#pragma once
// "Characters to be Inserted": the text of the insertion record shown in
// the insertion frame, encoded into the record on every change, with the
// buttons that open the key-insertion dialogs.

#include <QString>
#include <QWidget>

#include "document/config_document.h"

namespace q51 {

class EditGroupFrame;
class SelectionKeepingLineEdit;
struct KeyDialogSpec;

class InsertionTextBox final : public QWidget {
    Q_OBJECT
public:
    // Places itself in the frame's form and follows the group it shows.
    explicit InsertionTextBox(EditGroupFrame &frame);

    [[nodiscard]] SelectionKeepingLineEdit *edit() const { return edit_; }

private:
    void show(int recordStart);
    void encode(const QString &text);
    void openDialog(const KeyDialogSpec &spec);

    EditGroupFrame &frame_;
    SelectionKeepingLineEdit *edit_ = nullptr;
    QString accepted_; // the text the record was last encoded from or shown as
};

} // namespace q51
