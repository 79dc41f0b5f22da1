#include "pages/misc/selection_keeping_line_edit.h"

namespace q51 {

void SelectionKeepingLineEdit::focusInEvent(QFocusEvent *event)
{
    kept_.reset();
    QLineEdit::focusInEvent(event);
}

void SelectionKeepingLineEdit::focusOutEvent(QFocusEvent *event)
{
    const int caret = cursorPosition();
    int anchor = caret;
    if (hasSelectedText())
        anchor = caret == selectionStart() ? selectionEnd() : selectionStart();
    kept_ = Kept{text(), anchor, caret};
    QLineEdit::focusOutEvent(event);
}

void SelectionKeepingLineEdit::insertAtCaret(const QString &text)
{
    if (!hasFocus() && kept_ && kept_->text == this->text())
        setSelection(kept_->anchor, kept_->caret - kept_->anchor);
    insert(text);
    if (!hasFocus())
        kept_ = Kept{this->text(), cursorPosition(), cursorPosition()};
}

} // namespace q51
