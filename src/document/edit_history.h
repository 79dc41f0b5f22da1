#pragma once
// The undo history of the open configuration: every step the document
// offers, on a QUndoStack. Typing into one box is one step until the focus
// moves on; New and Open start a fresh history.

#include <QObject>

#include "document/config_document.h"

class QUndoStack;

namespace q51 {

class EditHistory : public QObject {
    Q_OBJECT
public:
    EditHistory(ConfigDocument &document, QObject *parent = nullptr);
    ~EditHistory() override;

    [[nodiscard]] QUndoStack &stack() const { return *stack_; }
    // The next typed step starts a step of its own (the focus moved).
    void endTyping() { typingEnded_ = true; }

private:
    void take(const DocumentStep &step);

    ConfigDocument &document_;
    QUndoStack *stack_;
    bool typingEnded_ = false;
};

} // namespace q51
