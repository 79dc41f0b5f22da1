#include "link/keyboard_helper_port_io.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>

#include "link/keyboard_helper_process.h"
#include "link/portio/keyboard_helper_protocol.h"

namespace q51 {

struct KeyboardHelperPortIo::Record {
    QStringList refusals;
    qint64 runningPid = 0;
};

namespace {

Q_LOGGING_CATEGORY(helperLog, "q51.keyboard.helper", QtInfoMsg)

namespace helper = keyboard_helper;

// One exchange's helper. It is watched from its start: an end the exchange
// did not ask for becomes the exchange's trouble.
class HelperExchange final : public PortExchange {
public:
    using Record = KeyboardHelperPortIo::Record;

    HelperExchange(const QString &program, const QStringList &arguments, std::shared_ptr<Record> record)
        : record_(std::move(record))
    {
        HelperStart start = StartHelper(program, arguments);
        if (start.answer != HelperStart::Answer::Ready) {
            trouble_ = HelperNotStartedText(start);
            qCWarning(helperLog).noquote() << trouble_;
            return;
        }
        helper_ = std::move(start.process);
        record_->runningPid = helper_->processId();
        QObject::connect(helper_.get(), &QProcess::readyReadStandardOutput, [this] { takeAnswers(); });
        QObject::connect(helper_.get(), &QProcess::finished, [this](int exitCode, QProcess::ExitStatus status) {
            record_->runningPid = 0;
            trouble_ = HelperEndedText(exitCode, status);
            qCWarning(helperLog).noquote() << trouble_;
        });
    }

    ~HelperExchange() override { end(HelperEnding::AtOnce); }

    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override
    {
        if (!helper_ || helper_->state() != QProcess::Running || size != 1 || value > 0xFF)
            return false;
        const std::string request = helper::RequestLine(port, std::uint8_t(value));
        return helper_->write(request.data(), qint64(request.size())) == qint64(request.size());
    }

    void finish() override { end(HelperEnding::LetFinish); }

    std::string trouble() const override { return trouble_.toStdString(); }

private:
    void end(HelperEnding how)
    {
        if (!helper_)
            return;
        // An end that came before this one is the helper's own, even when the
        // event loop has not told of it yet.
        helper_->waitForFinished(0);
        // Ending it here is no trouble: stop watching first.
        QObject::disconnect(helper_.get(), &QProcess::finished, nullptr, nullptr);
        EndHelper(*helper_, how);
        takeAnswers();
        record_->runningPid = 0;
        helper_.reset();
    }

    void takeAnswers()
    {
        while (helper_->canReadLine()) {
            const QByteArray line = helper_->readLine().trimmed();
            if (line.startsWith(helper::RefusedPrefix.data())) {
                record_->refusals << QString::fromUtf8(line.mid(qsizetype(helper::RefusedPrefix.size())));
                qCDebug(helperLog).noquote() << "refused:" << record_->refusals.constLast();
            }
        }
    }

    std::shared_ptr<Record> record_;
    std::unique_ptr<QProcess> helper_;
    QString trouble_;
};

} // namespace

KeyboardHelperPortIo::KeyboardHelperPortIo(QString program, QStringList arguments)
    : program_(std::move(program)), arguments_(std::move(arguments)), record_(std::make_shared<Record>())
{
}

bool KeyboardHelperPortIo::InitializeWinIo()
{
    // A helper that is missing or refused the port stays so for a while:
    // start-up's repeated attempts need not start it again each time. Each
    // exchange tries anew, and says why when it cannot.
    if (!unavailable_.isEmpty())
        return false;
    HelperStart start = StartHelper(program_, arguments_);
    if (start.process)
        EndHelper(*start.process, HelperEnding::LetFinish);
    if (start.answer == HelperStart::Answer::Ready || start.answer == HelperStart::Answer::Busy)
        return true;
    unavailable_ = start.why;
    qCInfo(helperLog).noquote() << unavailable_;
    return false;
}

bool KeyboardHelperPortIo::SetPortVal(std::uint16_t, std::uint32_t, int)
{
    return false;
}

std::unique_ptr<PortExchange> KeyboardHelperPortIo::BeginExchange()
{
    return std::make_unique<HelperExchange>(program_, arguments_, record_);
}

QStringList KeyboardHelperPortIo::refusals() const
{
    return record_->refusals;
}

qint64 KeyboardHelperPortIo::helperProcessId() const
{
    return record_->runningPid;
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
