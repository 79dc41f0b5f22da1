#include "link/keyboard_helper_process.h"

#include <cstring>

#include <QDeadlineTimer>

#include "link/portio/keyboard_helper_protocol.h"

namespace q51 {

namespace {

namespace helper = keyboard_helper;

constexpr int StartAnswerMs = 2000;
// How long ending a helper may hold the window: a killed helper is gone in
// far less.
constexpr int MomentMs = 250;

bool Says(const QByteArray &line, std::string_view prefix)
{
    return line.startsWith(QByteArrayView(prefix.data(), qsizetype(prefix.size())));
}

QString After(const QByteArray &line, std::string_view prefix)
{
    return QString::fromUtf8(line.mid(qsizetype(prefix.size())));
}

} // namespace

HelperStart StartHelper(const QString &program, const QStringList &arguments)
{
    HelperStart start;
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setReadChannel(QProcess::StandardOutput);
    process->start(program, arguments);
    if (!process->waitForStarted(StartAnswerMs)) {
        start.why = QStringLiteral("cannot start %1: %2").arg(program, process->errorString());
        return start;
    }
    const QDeadlineTimer deadline(StartAnswerMs);
    while (!process->canReadLine() && process->state() == QProcess::Running && !deadline.hasExpired())
        process->waitForReadyRead(int(deadline.remainingTime()));
    const QByteArray answer = process->readLine().trimmed();
    if (answer == QByteArrayView(helper::ReadyLine.data(), qsizetype(helper::ReadyLine.size()))) {
        start.answer = HelperStart::Answer::Ready;
        start.process = std::move(process);
        return start;
    }
    if (Says(answer, helper::BusyPrefix)) {
        start.answer = HelperStart::Answer::Busy;
        start.why = After(answer, helper::BusyPrefix);
    } else {
        start.answer = HelperStart::Answer::Unavailable;
        start.why = Says(answer, helper::UnavailablePrefix)
                        ? After(answer, helper::UnavailablePrefix)
                        : QStringLiteral("%1 did not answer").arg(program);
    }
    EndHelper(*process, HelperEnding::AtOnce);
    return start;
}

void EndHelper(QProcess &helper, HelperEnding how)
{
    if (helper.state() == QProcess::NotRunning)
        return;
    if (how == HelperEnding::LetFinish) {
        helper.closeWriteChannel();
        if (helper.waitForFinished(MomentMs))
            return;
    }
    // A stopped helper dies of this too; waiting then makes sure it wrote
    // its last byte before the caller tells anyone the exchange is over.
    helper.kill();
    helper.waitForFinished(MomentMs);
}

QString HelperNotStartedText(const HelperStart &start)
{
    // A helper that ran says itself what to do.
    if (start.answer != HelperStart::Answer::NotStarted)
        return QStringLiteral("The keyboard helper could not start: %1.").arg(start.why);
    return QStringLiteral("The keyboard helper could not be run (%1). Check that q51-keyboard-helper is "
                          "installed, or that Q51_KEYBOARD_HELPER names it.")
        .arg(start.why);
}

QString HelperEndedText(int exitCode, QProcess::ExitStatus status)
{
    // After a crash the exit code is the signal that ended it.
    const QString how =
        status == QProcess::CrashExit
            ? QStringLiteral("killed by signal %1, %2").arg(exitCode).arg(QString::fromLocal8Bit(strsignal(exitCode)))
            : QStringLiteral("exit status %1").arg(exitCode);
    return QStringLiteral("The keyboard helper ended unexpectedly (%1); what was still to be sent did not "
                          "reach the decoder. Try again: each attempt starts a new helper.")
        .arg(how);
}

} // namespace q51
