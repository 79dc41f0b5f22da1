#pragma once
// The one way windows talk to the user through modal boxes and file dialogs.
// The real implementation uses QMessageBox and QFileDialog; tests substitute
// a scripted one that answers in order and records every message.

#include <QString>

class QWidget;

namespace q51 {

// The caption of a box whose message names no title of its own.
inline constexpr const char *DefaultCaption = "Q51 & V51 Decoder Configuration";

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    QString title;
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    Answer defaultAnswer = Answer::Ok; // the button that has focus
    QString detail;                    // optional second line: why it failed, what to do
    QString details{};                 // optional report behind the box's details button
};

struct FileDialogRequest {
    QString title;
    QString filter;           // e.g. "Config Setup Files(*.cfg)"
    QString defaultSuffix;    // e.g. "cfg"
    QString presetName;       // file name the dialog starts with
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // Shows a modal box and returns the button pressed. Closing the box with
    // Escape or the title bar counts as Cancel (or No, or Ok, when Cancel is
    // not offered).
    virtual Answer ask(const Message &message) = 0;

    // Empty when the user cancels. The open dialog requires an existing file;
    // the save dialog requires an existing folder and asks before overwriting.
    virtual QString openFileName(const FileDialogRequest &request) = 0;
    virtual QString saveFileName(const FileDialogRequest &request) = 0;

    void tell(const QString &title, const QString &text, MessageIcon icon = MessageIcon::None,
              const QString &detail = {})
    {
        ask(Message{title, text, MessageButtons::Ok, icon, Answer::Ok, detail});
    }
};

// QMessageBox / QFileDialog, parented to the given window.
class QtUserDialogs final : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    Answer ask(const Message &message) override;
    QString openFileName(const FileDialogRequest &request) override;
    QString saveFileName(const FileDialogRequest &request) override;

private:
    QWidget *parent_;
};

} // namespace q51
