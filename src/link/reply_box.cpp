#include "link/reply_box.h"

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

} // namespace

ReplyBox::ReplyBox(QLineEdit *edit) : line_(edit) {}

ReplyBox::ReplyBox(QPlainTextEdit *edit) : log_(edit) {}

QString ReplyBox::text() const
{
    if (line_)
        return line_->text();
    if (log_)
        return log_->toPlainText();
    return {};
}

void ReplyBox::clearAndFocus() const
{
    if (QWidget *box = widget()) {
        box->setFocus(Qt::OtherFocusReason);
        if (line_)
            line_->clear();
        else
            log_->clear();
    }
}

QMetaObject::Connection ReplyBox::watch(QObject *context, std::function<void()> changed) const
{
    if (line_)
        return QObject::connect(line_, &QLineEdit::textChanged, context, [changed] { changed(); });
    if (log_)
        return QObject::connect(log_, &QPlainTextEdit::textChanged, context, [changed] { changed(); });
    return {};
}

QWidget *ReplyBox::widget() const
{
    if (line_)
        return line_.data();
    return log_.data();
}

QLineEdit *NewReplyLine(QWidget *parent, const QString &initialText)
{
    auto *box = new ReplyLine(initialText, parent);
    box->setObjectName(QStringLiteral("Text1"));
    box->setFixedSize(6, 6);
    box->setFrame(false);
    box->setEchoMode(QLineEdit::NoEcho); // holds the text, draws none
    return box;
}

} // namespace q51
