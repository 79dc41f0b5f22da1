#pragma once
// Where the decoder's typed answers arrive on the keyboard path. A decoder
// on the keyboard line types into whatever holds the keyboard focus, so the
// host gives a box the focus before each wait and watches its text. The
// link sees only this: characters in, a focus to take. The box itself is a
// widget of the window that runs the exchange.

#include <functional>

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

namespace q51 {

// What a window hands the link to receive typed characters. It is a child
// of the box it stands for, so it goes away with it.
class TypedReplySource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual QString text() const = 0;
    virtual void clear() = 0;
    // Takes the keyboard focus, so that the decoder's keystrokes land here.
    virtual void takeFocus() = 0;

signals:
    // After every change of the text, typed or cleared.
    void textChanged();
};

// A handle on a source that tolerates the box going away mid-exchange: a
// gone box reads empty and takes nothing.
class ReplyBox {
public:
    ReplyBox() = default;
    explicit ReplyBox(TypedReplySource *source) : source_(source) {}

    // Empty when the box is gone.
    [[nodiscard]] QString text() const;
    void focus() const;
    void clearAndFocus() const;
    // Calls changed() after every change of the text, until disconnected or
    // the box or context goes away.
    QMetaObject::Connection watch(QObject *context, std::function<void()> changed) const;

private:
    QPointer<TypedReplySource> source_;
};

} // namespace q51
