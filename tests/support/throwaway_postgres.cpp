#include "throwaway_postgres.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>

#include <pwd.h>
#include <unistd.h>

namespace q51::test {

namespace {

constexpr int Patience = 60000;

bool asRoot()
{
    return ::geteuid() == 0;
}

} // namespace

QString ThrowawayPostgres::serverFolder()
{
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &version : found) {
        const QString bin = versions.filePath(version + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return {};
}

ThrowawayPostgres::ThrowawayPostgres()
    // In /tmp whatever TMPDIR says: the socket's path must stay short (107
    // bytes), and the postgres user must reach it when we are root.
    : folder_(QStringLiteral("/tmp/q51-postgres-XXXXXX")), bin_(serverFolder()),
      // The socket lives in our own folder, so any number names it without
      // meeting another server's; drawn so two runs' names differ in logs.
      port_(20000 + int(QRandomGenerator::global()->bounded(40000)))
{
}

ThrowawayPostgres::~ThrowawayPostgres()
{
    stop();
}

bool ThrowawayPostgres::run(const QString &program, const QStringList &arguments, QString *problem)
{
    QProcess process;
    process.setWorkingDirectory(folder_.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = bin_ + QLatin1Char('/') + program;
    if (asRoot())
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                                             QStringLiteral("--"), path} + arguments);
    else
        process.start(path, arguments);
    const bool finished = process.waitForFinished(Patience);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    if (problem)
        *problem = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
    return false;
}

bool ThrowawayPostgres::start(QString *problem)
{
    if (running_)
        return true;
    if (bin_.isEmpty() || !folder_.isValid()) {
        *problem = QStringLiteral("PostgreSQL's server programs are not installed");
        return false;
    }
    if (!made_) {
        if (asRoot()) {
            const passwd *user = ::getpwnam("postgres");
            if (!user || ::chown(QFile::encodeName(folder_.path()).constData(), user->pw_uid, user->pw_gid) != 0) {
                *problem = QStringLiteral("no postgres user to run the server as");
                return false;
            }
        }
        if (!run(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), folder_.filePath(QStringLiteral("data")), QStringLiteral("-A"),
                  QStringLiteral("trust"), QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("--no-sync")},
                 problem))
            return false;
        made_ = true;
    }
    const QString options = QStringLiteral("-h '' -k %1 -p %2 -c fsync=off").arg(folder_.path()).arg(port_);
    running_ = run(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), folder_.filePath(QStringLiteral("data")), QStringLiteral("-l"),
                    folder_.filePath(QStringLiteral("server.log")), QStringLiteral("-w"), QStringLiteral("-o"), options,
                    QStringLiteral("start")},
                   problem);
    return running_;
}

bool ThrowawayPostgres::stop()
{
    if (!running_)
        return true;
    running_ = !run(QStringLiteral("pg_ctl"),
                    {QStringLiteral("-D"), folder_.filePath(QStringLiteral("data")), QStringLiteral("-m"),
                     QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
                    nullptr);
    return !running_;
}

bool ThrowawayPostgres::createDatabase(const QString &name, QString *problem)
{
    return run(QStringLiteral("createdb"),
               {QStringLiteral("-h"), folder_.path(), QStringLiteral("-p"), QString::number(port_),
                QStringLiteral("-U"), QStringLiteral("postgres"), name},
               problem);
}

QString ThrowawayPostgres::url(const QString &database) const
{
    return QStringLiteral("postgresql://postgres@:%1/%2?host=%3").arg(port_).arg(database, folder_.path());
}

} // namespace q51::test
