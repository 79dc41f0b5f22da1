#include "ui/widget_helpers.h"

#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace q51 {

void appendText(QPlainTextEdit *box, const QString &more)
{
    QTextCursor end(box->document());
    end.movePosition(QTextCursor::End);
    end.insertText(more);
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
}

void closeHostingWindow(QWidget *window)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        frame->close();
    else
        window->close();
}

} // namespace q51
