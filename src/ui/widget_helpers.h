#pragma once
// Small widget chores every window repeats.

#include <QString>

class QPlainTextEdit;
class QWidget;

namespace q51 {

// Gives a control its objectName (the name tests and screen readers use).
template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Appends at the end whatever the user's cursor is doing, and keeps the
// newest text in view.
void appendText(QPlainTextEdit *box, const QString &more);

// Closes a window the way its own close box would: inside the main window
// the frame is what closes, and its close event reaches the window first.
void closeHostingWindow(QWidget *window);

} // namespace q51
