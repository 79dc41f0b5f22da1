#pragma once
// Small widget chores every window repeats.

#include <QString>

class QGroupBox;
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

// Has a frame announced by its own title. A frame without a name of its
// own is announced by the title of the frame around it, so that groups
// side by side in one frame would all sound alike.
void announceByTitle(QGroupBox *frame);

// Appends at the end whatever the user's cursor is doing, and keeps the
// newest text in view.
void appendText(QPlainTextEdit *box, const QString &more);
// The same for a line of its own: after a line break, ended by one.
void appendLine(QPlainTextEdit *box, const QString &line);

// Closes a window the way its own close box would: inside the main window
// the frame is what closes, and its close event reaches the window first.
void closeHostingWindow(QWidget *window);

} // namespace q51
