#pragma once
// A line edit that remembers its caret and selection while the focus is
// elsewhere, so a key chosen in another window can still go where the user
// left the caret or replace the text the user selected (a plain QLineEdit
// drops the selection once a button takes the focus).

#include <QLineEdit>
#include <optional>

namespace q51 {

class SelectionKeepingLineEdit final : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    // Replaces the selection the user made, or inserts at the caret when
    // nothing was selected; the caret then follows the inserted text. The
    // result is validated as typing is.
    void insertAtCaret(const QString &text);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct Kept {
        QString text; // the text they belong to; other text set since voids them
        int anchor;
        int caret;
    };
    std::optional<Kept> kept_; // while the focus is elsewhere
};

} // namespace q51
