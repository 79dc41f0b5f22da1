#include "link/reply_box.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace q51 {

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
    auto *box = new QLineEdit(initialText, parent);
    box->setObjectName(QStringLiteral("Text1"));
    box->setFixedSize(6, 6);
    box->setFrame(false);
    return box;
}

} // namespace q51
