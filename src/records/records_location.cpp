#include "records/records_location.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace q51 {

namespace {

constexpr qsizetype LongestValue = 4096;

QString decoded(QStringView part)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

std::optional<int> portNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    for (QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
    }
    const int port = text.toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

std::optional<RecordsLocation> failed(QString *problem, const QString &text)
{
    if (problem)
        *problem = text;
    return std::nullopt;
}

// "host[:port]", "[v6 address][:port]" or ":port".
bool takeHostAndPort(QStringView hostPort, RecordsLocation &location)
{
    QStringView host = hostPort;
    QStringView port;
    bool hasPort = false;
    if (hostPort.startsWith(u'[')) {
        const auto close = hostPort.indexOf(u']');
        if (close < 0)
            return false;
        host = hostPort.mid(1, close - 1);
        const QStringView rest = hostPort.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return false;
            port = rest.mid(1);
            hasPort = true;
        }
    } else if (const auto colon = hostPort.lastIndexOf(u':'); colon >= 0) {
        host = hostPort.first(colon);
        port = hostPort.mid(colon + 1);
        hasPort = true;
    }
    location.host = decoded(host);
    if (hasPort) {
        const auto number = portNumber(port);
        if (!number)
            return false;
        location.port = *number;
    }
    return true;
}

std::optional<RecordsLocation> parsePostgres(QStringView rest, const QString &text, QString *problem)
{
    RecordsLocation location;
    location.kind = RecordsLocation::Kind::Postgres;
    QStringView query;
    if (const auto mark = rest.indexOf(u'?'); mark >= 0) {
        query = rest.mid(mark + 1);
        rest = rest.first(mark);
    }
    const auto slash = rest.indexOf(u'/');
    if (slash < 0)
        return failed(problem, QStringLiteral("The records database '%1' names no database: add '/' and its name "
                                              "(postgresql://host/records).").arg(text));
    const QStringView authority = rest.first(slash);
    location.database = decoded(rest.mid(slash + 1));
    QStringView hostPort = authority;
    if (const auto at = authority.lastIndexOf(u'@'); at >= 0) {
        const QStringView userInfo = authority.first(at);
        hostPort = authority.mid(at + 1);
        const auto colon = userInfo.indexOf(u':');
        location.user = decoded(colon < 0 ? userInfo : userInfo.first(colon));
        if (colon >= 0)
            location.password = decoded(userInfo.mid(colon + 1));
    }
    if (!takeHostAndPort(hostPort, location))
        return failed(problem, QStringLiteral("The records database '%1' has a bad host or port: the port is a "
                                              "number from 1 to 65535.").arg(text));
    for (QStringView pair : query.split(u'&', Qt::SkipEmptyParts)) {
        const auto equals = pair.indexOf(u'=');
        const QStringView key = equals < 0 ? pair : pair.first(equals);
        const QString value = equals < 0 ? QString() : decoded(pair.mid(equals + 1));
        if (key == u"host") {
            location.host = value;
        } else if (key == u"port") {
            const auto number = portNumber(value);
            if (!number)
                return failed(problem, QStringLiteral("The records database '%1' has a bad port: a number from 1 "
                                                      "to 65535.").arg(text));
            location.port = *number;
        } else if (key == u"user") {
            location.user = value;
        } else if (key == u"password") {
            location.password = value;
        } else if (key == u"dbname") {
            location.database = value;
        } else {
            return failed(problem, QStringLiteral("The records database '%1' has the parameter '%2', which is not "
                                                  "known: use host, port, user, password or dbname.")
                                       .arg(text, key.toString()));
        }
    }
    if (location.database.isEmpty() || location.database.contains(u'/'))
        return failed(problem, QStringLiteral("The records database '%1' names no database: add '/' and its name "
                                              "(postgresql://host/records).").arg(text));
    return location;
}

RecordsLocation sqliteAt(const QString &path)
{
    RecordsLocation location;
    location.path = path;
    return location;
}

} // namespace

QString RecordsLocation::described() const
{
    if (kind == Kind::Sqlite)
        return path;
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    if (!host.startsWith(QLatin1Char('/')))
        text += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    if (port > 0)
        text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + database;
    if (host.startsWith(QLatin1Char('/')))
        text += QStringLiteral("?host=") + host;
    return text;
}

QString RecordsDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/q51setup");
}

QString DefaultRecordsPath()
{
    return RecordsDataFolder() + QStringLiteral("/records.sqlite");
}

std::optional<RecordsLocation> ParseRecordsLocation(const QString &text, QString *problem)
{
    if (text.size() > LongestValue)
        return failed(problem, QStringLiteral("The records database is named by %1 characters; at most %2 are taken.")
                                   .arg(text.size())
                                   .arg(LongestValue));
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return sqliteAt(DefaultRecordsPath());
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
    const auto match = scheme.match(trimmed);
    if (match.hasMatch()) {
        const QString name = match.captured(1).toLower();
        if (name == u"postgresql" || name == u"postgres")
            return parsePostgres(QStringView(trimmed).mid(match.capturedLength(0)), trimmed, problem);
        return failed(problem, QStringLiteral("The records database '%1' is of a kind not known: use sqlite:PATH, a "
                                              "file path or postgresql://host/dbname.").arg(trimmed));
    }
    QString path = trimmed;
    if (path.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        path = path.mid(7);
    if (path.isEmpty())
        return failed(problem, QStringLiteral("The records database 'sqlite:' names no file: add its path "
                                              "(sqlite:/srv/records.sqlite)."));
    return sqliteAt(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

} // namespace q51
