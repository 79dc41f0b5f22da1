#pragma once
// Starting and ending one keyboard-port helper process, and the words for
// what became of it. The helper answers within milliseconds; every wait here
// is bounded, so a helper that hangs or was stopped cannot freeze a window.

#include <memory>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace q51 {

struct HelperStart {
    enum class Answer {
        Ready,       // it holds the port and the line's lock
        Busy,        // it reached the port, but another helper holds the line
        Unavailable, // it was refused the port, or said nothing sensible
        NotStarted,  // the program could not be run
    };
    Answer answer = Answer::NotStarted;
    QString why;                       // unless Ready: what the helper or the system said
    std::unique_ptr<QProcess> process; // running, when Ready
};

// Starts the helper and waits for its first line.
[[nodiscard]] HelperStart StartHelper(const QString &program, const QStringList &arguments);

enum class HelperEnding {
    LetFinish, // end of input: it carries out what it was asked, then ends
    AtOnce,    // killed: nothing more reaches the port
};
// Returns once the helper has ended, or after a moment (then it is killed).
void EndHelper(QProcess &helper, HelperEnding how);

// For the user, when an exchange had no helper or lost it.
[[nodiscard]] QString HelperNotStartedText(const HelperStart &start);
[[nodiscard]] QString HelperEndedText(int exitCode, QProcess::ExitStatus status);

} // namespace q51
