#include "tools/reply_line.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace q51 {

namespace {

// A decoder may type a whole block in one go. A stock line edit spends about
// 20 us on each key looking it up among the platform's editing shortcuts, and
// lays out its whole text again after each one; at 512 characters that cost
// more than the exchange's own pauses. This box takes a plain character
// straight in, exactly as the stock handling would, and draws no text (too
// small to read, it has none to lay out). Every other key goes the usual way.
class ReplyLine final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    bool event(QEvent *event) override
    {
        // A plain character overrides any shortcut in a line edit that takes input.
        if (event->type() == QEvent::ShortcutOverride && takesAsTyped(static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        return QLineEdit::event(event);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!takesAsTyped(event)) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        insert(event->text());
        event->accept();
    }

private:
    // A printable character with no modifier but Shift or the keypad's: no
    // editing shortcut is bound to one.
    bool takesAsTyped(const QKeyEvent *event) const
    {
        const Qt::KeyboardModifiers modifiers = event->modifiers();
        return !isReadOnly() && event->key() < Qt::Key_Escape && !event->text().isEmpty() &&
               event->text().at(0).isPrint() &&
               (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier || modifiers == Qt::KeypadModifier);
    }
};

QString textOf(const QLineEdit *edit)
{
    return edit->text();
}
QString textOf(const QPlainTextEdit *edit)
{
    return edit->toPlainText();
}

// Lives as the box's child, so the link's handle sees it go with the box.
template <typename Edit>
class EditReplySource final : public TypedReplySource {
public:
    explicit EditReplySource(Edit *edit) : TypedReplySource(edit), edit_(edit)
    {
        connect(edit, &Edit::textChanged, this, &TypedReplySource::textChanged);
    }
    QString text() const override { return textOf(edit_); }
    void clear() override { edit_->clear(); }
    void takeFocus() override { edit_->setFocus(Qt::OtherFocusReason); }

private:
    Edit *edit_;
};

template <typename Edit>
ReplyBox replyBoxOf(Edit *edit)
{
    if (!edit)
        return {};
    auto *source = edit->template findChild<TypedReplySource *>(QString(), Qt::FindDirectChildrenOnly);
    return ReplyBox(source ? source : new EditReplySource<Edit>(edit));
}

} // namespace

ReplyBox ReplyBoxOf(QLineEdit *edit)
{
    return replyBoxOf(edit);
}

ReplyBox ReplyBoxOf(QPlainTextEdit *edit)
{
    return replyBoxOf(edit);
}

QLineEdit *NewReplyLine(QWidget *parent, const QString &initialText)
{
    auto *box = new ReplyLine(initialText, parent);
    box->setObjectName(QStringLiteral("Text1"));
    // Drawn nowhere and no Tab stop: it only takes the focus the link gives it.
    box->setFixedSize(0, 0);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAccessibleName(QStringLiteral("Decoder reply"));
    box->setFrame(false);
    box->setEchoMode(QLineEdit::NoEcho); // holds the text, draws none
    return box;
}

} // namespace q51
