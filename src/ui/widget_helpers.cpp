#include "ui/widget_helpers.h"

#include <QGroupBox>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextCursor>

namespace q51 {

void announceByTitle(QGroupBox *frame)
{
    // An access key's "&" is not read out; "&&" is a plain "&".
    static const QRegularExpression accessKey(QStringLiteral("&(.)"));
    frame->setAccessibleName(frame->title().replace(accessKey, QStringLiteral("\\1")));
}

void appendText(QPlainTextEdit *box, const QString &more)
{
    QTextCursor end(box->document());
    end.movePosition(QTextCursor::End);
    end.insertText(more);
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
}

void appendLine(QPlainTextEdit *box, const QString &line)
{
    const QString text = box->toPlainText();
    const bool atLineStart = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    appendText(box, (atLineStart ? QString() : QStringLiteral("\n")) + line + QLatin1Char('\n'));
}

void closeHostingWindow(QWidget *window)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        frame->close();
    else
        window->close();
}

} // namespace q51
