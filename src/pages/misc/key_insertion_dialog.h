#pragma once
// A small dialog that puts a key name in braces into a text box, at its
// caret or over its selection. The box's own change rule turns the name
// into the stored code; the dialog writes nothing itself.

#include <QDialog>
#include <QPointer>

#include "pages/misc/selection_keeping_line_edit.h"

#include "schema/key_dialog_tables.h"

namespace q51 {

class KeyInsertionDialog final : public QDialog {
    Q_OBJECT
public:
    // Discards itself when closed and gives the focus back to the target.
    KeyInsertionDialog(const KeyDialogSpec &spec, SelectionKeepingLineEdit &target, QWidget *parent);

private:
    void insertChosenKey();

    QLineEdit *display_ = nullptr;
    QPointer<SelectionKeepingLineEdit> target_;
};

} // namespace q51
