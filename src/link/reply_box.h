#pragma once
// A text box the decoder types its answers into. The keyboard path gives it
// the focus before each wait, so that the decoder's keystrokes land in it,
// and watches its text. A one-line box takes the marks and data of the
// transfer window; the command console also reads status replies from its
// multi-line log.

#include <functional>

#include <QMetaObject>
#include <QPointer>
#include <QString>

class QLineEdit;
class QObject;
class QPlainTextEdit;
class QWidget;

namespace q51 {

class ReplyBox {
public:
    ReplyBox() = default;
    explicit ReplyBox(QLineEdit *edit);
    explicit ReplyBox(QPlainTextEdit *edit);

    // Empty when the box is gone.
    [[nodiscard]] QString text() const;
    void clearAndFocus() const;
    // Calls changed() after every change of the text, until disconnected or
    // the box or context goes away.
    QMetaObject::Connection watch(QObject *context, std::function<void()> changed) const;
    [[nodiscard]] QWidget *widget() const;

private:
    QPointer<QLineEdit> line_;
    QPointer<QPlainTextEdit> log_;
};

// The one-line box a window gives the decoder to type into: too small to
// read, it only has to hold the focus. Named Text1, as in every window.
QLineEdit *NewReplyLine(QWidget *parent, const QString &initialText = {});

} // namespace q51
