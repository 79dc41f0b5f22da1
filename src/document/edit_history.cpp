#include "document/edit_history.h"

#include <QGuiApplication>
#include <QUndoCommand>
#include <QUndoStack>

#include <utility>

namespace q51 {

namespace {

enum { TypingId = 1 };

// A step already made when it is pushed: its first redo is the change
// itself, so only later redos put the state back.
class StepCommand : public QUndoCommand {
public:
    StepCommand(ConfigDocument &document, const DocumentStep &step, bool mergeable)
        : QUndoCommand(step.name), document_(document), before_(step.before), after_(step.after),
          typed_(step.typed), mergeable_(mergeable)
    {
    }

    void undo() override { document_.restore(before_); }
    void redo() override
    {
        if (!done_)
            done_ = true;
        else
            document_.restore(after_);
    }
    int id() const override { return typed_ ? TypingId : -1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const StepCommand *>(other);
        if (!next->mergeable_ || next->typed_ != typed_)
            return false;
        after_ = next->after_;
        setText(next->text());
        // Typed back to where it started: nothing left to undo.
        setObsolete(after_ == before_);
        return true;
    }

private:
    ConfigDocument &document_;
    DocumentState before_;
    DocumentState after_;
    const Setting *typed_;
    bool mergeable_;
    bool done_ = false;
};

} // namespace

EditHistory::EditHistory(ConfigDocument &document, QObject *parent)
    : QObject(parent), document_(document), stack_(new QUndoStack(this))
{
    connect(&document_, &ConfigDocument::stepTaken, this, &EditHistory::take);
    connect(&document_, &ConfigDocument::historyCleared, stack_, &QUndoStack::clear);
    // Only a GUI application has a focus to follow (qGuiApp assumes one).
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::focusObjectChanged, this, &EditHistory::endTyping);
}

EditHistory::~EditHistory()
{
    // The stack clears itself as it goes, announcing each index to menus
    // that may be gone already.
    stack_->blockSignals(true);
}

void EditHistory::take(const DocumentStep &step)
{
    stack_->push(new StepCommand(document_, step, !std::exchange(typingEnded_, false)));
}

} // namespace q51
