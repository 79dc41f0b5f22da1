#include "link/keyboard_helper_port_io.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLoggingCategory>

#include "link/portio/keyboard_helper_protocol.h"

namespace q51 {

namespace {

Q_LOGGING_CATEGORY(helperLog, "q51.keyboard.helper", QtInfoMsg)

namespace helper = keyboard_helper;

// The helper answers within milliseconds; these bound a helper that hangs.
constexpr int StartAnswerMs = 2000;
constexpr int FinishMs = 5000;

QString AfterPrefix(const QByteArray &line, std::string_view prefix)
{
    return QString::fromUtf8(line.mid(qsizetype(prefix.size())));
}

} // namespace

KeyboardHelperPortIo::KeyboardHelperPortIo(QString program, QStringList arguments)
    : program_(std::move(program)), arguments_(std::move(arguments))
{
}

KeyboardHelperPortIo::~KeyboardHelperPortIo()
{
    ShutdownWinIo();
}

bool KeyboardHelperPortIo::InitializeWinIo()
{
    if (helper_ && helper_->state() == QProcess::Running)
        return true;
    // A helper that is missing or refused the port stays so for this run:
    // start-up's repeated attempts need not start it again each time.
    if (!unavailable_.isEmpty())
        return false;
    helper_ = std::make_unique<QProcess>();
    helper_->setProcessChannelMode(QProcess::SeparateChannels);
    helper_->setReadChannel(QProcess::StandardOutput);
    helper_->start(program_, arguments_);
    if (!helper_->waitForStarted(StartAnswerMs)) {
        unavailable_ = QStringLiteral("cannot start %1: %2").arg(program_, helper_->errorString());
        qCInfo(helperLog).noquote() << unavailable_;
        helper_.reset();
        return false;
    }
    const QDeadlineTimer deadline(StartAnswerMs);
    while (!helper_->canReadLine() && helper_->state() == QProcess::Running && !deadline.hasExpired())
        helper_->waitForReadyRead(int(deadline.remainingTime()));
    const QByteArray answer = helper_->readLine().trimmed();
    if (answer == QByteArray::fromStdString(std::string(helper::ReadyLine))) {
        QObject::connect(helper_.get(), &QProcess::readyReadStandardOutput, [this] { takeAnswers(); });
        return true;
    }
    unavailable_ = answer.startsWith(helper::UnavailablePrefix.data())
                       ? AfterPrefix(answer, helper::UnavailablePrefix)
                       : QStringLiteral("%1 did not answer").arg(program_);
    qCInfo(helperLog).noquote() << unavailable_;
    helper_->kill();
    helper_->waitForFinished(StartAnswerMs);
    helper_.reset();
    return false;
}

bool KeyboardHelperPortIo::SetPortVal(std::uint16_t port, std::uint32_t value, int size)
{
    if (!helper_ || helper_->state() != QProcess::Running || size != 1 || value > 0xFF)
        return false;
    const std::string request = helper::RequestLine(port, std::uint8_t(value));
    return helper_->write(request.data(), qint64(request.size())) == qint64(request.size());
}

void KeyboardHelperPortIo::ShutdownWinIo()
{
    if (!helper_)
        return;
    helper_->closeWriteChannel();
    if (!helper_->waitForFinished(FinishMs)) {
        helper_->kill();
        helper_->waitForFinished(FinishMs);
    }
    takeAnswers();
    helper_.reset();
}

QStringList KeyboardHelperPortIo::refusals()
{
    takeAnswers();
    return refusals_;
}

void KeyboardHelperPortIo::takeAnswers()
{
    if (!helper_)
        return;
    while (helper_->canReadLine()) {
        const QByteArray line = helper_->readLine().trimmed();
        if (line.startsWith(helper::RefusedPrefix.data())) {
            refusals_ << AfterPrefix(line, helper::RefusedPrefix);
            qCDebug(helperLog).noquote() << "refused:" << refusals_.constLast();
        }
    }
}

QString KeyboardHelperProgram()
{
    if (const QString chosen = qEnvironmentVariable("Q51_KEYBOARD_HELPER"); !chosen.isEmpty())
        return chosen;
    const QString here = QCoreApplication::applicationDirPath();
    const QString name = QStringLiteral("q51-keyboard-helper");
    for (const QString &folder : {QStringLiteral("/../libexec/q51setup/"), QStringLiteral("/../keyboard_helper/")}) {
        const QFileInfo candidate(here + folder + name);
        if (candidate.exists())
            return candidate.canonicalFilePath();
    }
    return here + QStringLiteral("/../libexec/q51setup/") + name;
}

} // namespace q51
