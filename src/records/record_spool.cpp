#include "record_spool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

#include "durable_file.h"
#include "spool_lines.h"

namespace q51 {

namespace {

constexpr int LockPatienceMs = 10000;

QByteArray readAll(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = true;
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        *ok = false;
        return {};
    }
    return file.readAll();
}

// Two stations on one machine may share a spool: each change holds this.
class SpoolLock {
public:
    explicit SpoolLock(const QString &path) : lock_(path + QStringLiteral(".lock")), path_(path)
    {
        lock_.tryLock(LockPatienceMs);
    }
    bool held(QString *problem) const
    {
        if (lock_.isLocked())
            return true;
        if (problem)
            *problem = QStringLiteral("Could not lock the spool %1 (%2): check that its folder can be written.")
                           .arg(QDir::toNativeSeparators(path_), lockError());
        return false;
    }

private:
    QString lockError() const
    {
        return lock_.error() == QLockFile::LockFailedError ? QStringLiteral("another program holds it")
                                                            : QStringLiteral("the lock file cannot be made");
    }
    QLockFile lock_;
    QString path_;
};

} // namespace

RecordSpool::RecordSpool(QString path) : path_(std::move(path)) {}

QString RecordSpool::damagedPath() const
{
    return path_ + QStringLiteral(".damaged");
}

bool RecordSpool::append(const StationRecord &record, QString *problem)
{
    QDir().mkpath(QFileInfo(path_).absolutePath());
    SpoolLock lock(path_);
    if (!lock.held(problem))
        return false;
    return AppendDurably(path_, SpoolLineOf(record), problem);
}

int RecordSpool::count() const
{
    bool ok = false;
    int records = 0;
    for (const SpoolLine &line : ParseSpoolLines(readAll(path_, &ok)))
        records += line.record ? 1 : 0;
    return records;
}

bool RecordSpool::empty() const
{
    return QFileInfo(path_).size() == 0;
}

SpoolSend RecordSpool::send(const Store &store)
{
    SpoolSend result;
    bool ok = false;
    QByteArray bytes;
    {
        SpoolLock lock(path_);
        if (!lock.held(&result.problem))
            return result;
        bytes = readAll(path_, &ok);
    }
    if (!ok) {
        result.problem = QStringLiteral("Could not read the spooled records in %1: check its rights.")
                             .arg(QDir::toNativeSeparators(path_));
        return result;
    }
    const std::vector<SpoolLine> lines = ParseSpoolLines(bytes);
    std::vector<StationRecord> records;
    QSet<QByteArray> done;
    QByteArray damaged;
    for (const SpoolLine &line : lines) {
        if (line.record) {
            records.push_back(*line.record);
        } else {
            damaged += line.text + '\n';
            done.insert(line.text);
            ++result.setAside;
        }
    }
    if (!records.empty() && store(records, &result.problem)) {
        result.sent = int(records.size());
        for (const SpoolLine &line : lines) {
            if (line.record)
                done.insert(line.text);
        }
    }
    if (done.isEmpty()) {
        result.left = int(records.size());
        return result;
    }
    QString problem;
    if (!damaged.isEmpty() && !AppendDurably(damagedPath(), damaged, &problem)) {
        // Not set aside: they stay in the spool.
        for (const SpoolLine &line : lines) {
            if (!line.record)
                done.remove(line.text);
        }
        result.setAside = 0;
    }
    // Again under the lock: what was appended since stays. Records left
    // behind after they were stored are stored once when sent again.
    SpoolLock lock(path_);
    if (!lock.held(&result.problem)) {
        result.left = int(records.size());
        return result;
    }
    QByteArray kept;
    for (const SpoolLine &line : ParseSpoolLines(readAll(path_, &ok))) {
        if (!done.contains(line.text))
            kept += line.text + '\n';
        result.left += line.record && !done.contains(line.text) ? 1 : 0;
    }
    if (!ok || !ReplaceDurably(path_, kept, &problem)) {
        // The database has them; sent again later they are stored once.
        result.problem = problem.isEmpty() ? QStringLiteral("Could not read the spool %1 again.")
                                                 .arg(QDir::toNativeSeparators(path_))
                                           : problem;
        return result;
    }
    if (!problem.isEmpty())
        result.problem = problem;
    return result;
}

} // namespace q51
