#pragma once
// A PostgreSQL cluster of its own in a temporary folder, for tests: made
// with initdb (trust), listening only on a Unix socket in that folder (no
// TCP), its superuser "postgres"; stopped and removed with the object. As
// root the server runs as the "postgres" user, which refuses root.

#include <QString>
#include <QTemporaryDir>

namespace q51::test {

class ThrowawayPostgres {
public:
    ThrowawayPostgres();
    ~ThrowawayPostgres();
    ThrowawayPostgres(const ThrowawayPostgres &) = delete;
    ThrowawayPostgres &operator=(const ThrowawayPostgres &) = delete;

    // The server's programs (the newest installed), or empty: then tests
    // that need one skip.
    static QString serverFolder();

    // Makes the cluster the first time, then starts it; false with *problem.
    bool start(QString *problem);
    // Immediate stop, as a server that goes away does.
    bool stop();
    bool running() const { return running_; }

    // A new, empty database.
    bool createDatabase(const QString &name, QString *problem);
    // The --records value for one of its databases.
    QString url(const QString &database) const;

private:
    bool run(const QString &program, const QStringList &arguments, QString *problem);

    QTemporaryDir folder_;
    QString bin_;
    int port_;
    bool made_ = false;
    bool running_ = false;
};

} // namespace q51::test
