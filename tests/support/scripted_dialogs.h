#pragma once
// A UserDialogs that answers from a script and records every message, so
// tests can check each prompt's title, text, buttons and order.

#include <QList>
#include <QQueue>
#include <QStringList>

#include "ui/user_dialogs.h"

namespace q51::test {

class ScriptedDialogs final : public UserDialogs {
public:
    QList<Message> messages;             // every box shown, in order
    QQueue<Answer> answers;              // next answers; empty: the default button
    QQueue<QString> openNames;           // next open-dialog results; empty: cancel
    QQueue<QString> saveNames;           // next save-dialog results; empty: cancel
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;

    Answer ask(const Message &message) override
    {
        messages.append(message);
        return answers.isEmpty() ? message.defaultAnswer : answers.dequeue();
    }
    QString openFileName(const FileDialogRequest &request) override
    {
        openRequests.append(request);
        return openNames.isEmpty() ? QString() : openNames.dequeue();
    }
    QString saveFileName(const FileDialogRequest &request) override
    {
        saveRequests.append(request);
        return saveNames.isEmpty() ? QString() : saveNames.dequeue();
    }

    QStringList texts() const
    {
        QStringList out;
        for (const auto &m : messages)
            out << m.text;
        return out;
    }
    void clear()
    {
        messages.clear();
        openRequests.clear();
        saveRequests.clear();
    }
};

} // namespace q51::test
