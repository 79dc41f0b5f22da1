// Configuration files that fight back: saves that cannot land (a folder
// that is really a file, a name another program holds as a folder or a
// pipe, a disk that fills up) and files that are not what they claim
// (binary, an embedded NUL, 10 MB, more lines than the format has).
//
// Tests run as root in CI, where a read-only folder is still writable, so
// "cannot write here" is a folder replaced by a plain file. Nothing locks a
// file on Linux, so "held by another program" is a name taken by a folder
// or a FIFO.

#include <QtTest>

#include "support/file_size_limit.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "files/config_file_io.h"
#include "model/config_file_format.h"
#include "support/stepped_block.h"

using q51::Configuration;

namespace {

Configuration edited()
{
    Configuration c;
    c.block = q51::test::SteppedBlock(5);
    c.TakeSavedCopy();
    c.block[7] = 0x77; // a change not saved yet
    c.Description = "edited";
    return c;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray formatted(const Configuration &c)
{
    const std::string text = q51::FormatConfigurationFile(c);
    return QByteArray(text.data(), qsizetype(text.size()));
}

using q51::test::FileSizeLimit;

enum class Obstacle { FolderIsAFile, NameIsAFolder, NameIsAPipe, DiskFull };

} // namespace

Q_DECLARE_METATYPE(Obstacle)

class FileRobustnessTest : public QObject {
    Q_OBJECT

private slots:
    void saveThatCannotLand_data();
    void saveThatCannotLand();
    void openOddFiles_data();
    void openOddFiles();
};

void FileRobustnessTest::saveThatCannotLand_data()
{
    QTest::addColumn<Obstacle>("obstacle");
    QTest::newRow("folder replaced by a file") << Obstacle::FolderIsAFile;
    QTest::newRow("name held as a folder") << Obstacle::NameIsAFolder;
    QTest::newRow("name held as a pipe") << Obstacle::NameIsAPipe;
    QTest::newRow("disk full") << Obstacle::DiskFull;
}

void FileRobustnessTest::saveThatCannotLand()
{
    QFETCH(Obstacle, obstacle);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath("setup.cfg");
    QByteArray previous; // what is at the path before, when a file
    switch (obstacle) {
    case Obstacle::FolderIsAFile:
        QVERIFY(writeFile(dir.filePath("folder"), "not a folder"));
        path = dir.filePath("folder/setup.cfg");
        break;
    case Obstacle::NameIsAFolder: QVERIFY(QDir(dir.path()).mkdir("setup.cfg")); break;
    case Obstacle::NameIsAPipe: QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0); break;
    case Obstacle::DiskFull:
        previous = formatted(Configuration{});
        QVERIFY(writeFile(path, previous));
        break;
    }

    Configuration c = edited();
    const Configuration before = c;
    q51::SaveResult result;
    if (obstacle == Obstacle::DiskFull) {
        FileSizeLimit full(600);
        QVERIFY2(full.active(), "could not lower the file-size limit");
        result = q51::WriteConfigurationFile(path, c);
    } else {
        result = q51::WriteConfigurationFile(path, c);
    }

    QVERIFY(!result.ok);
    QVERIFY(!result.reason.isEmpty());
    QVERIFY(c.block == before.block);
    QVERIFY(c.savedCopy == before.savedCopy);
    QCOMPARE(c.FileName, before.FileName);
    QVERIFY(c.HasUnsavedChanges());
    switch (obstacle) {
    case Obstacle::FolderIsAFile: QCOMPARE(readAll(dir.filePath("folder")), QByteArray("not a folder")); break;
    case Obstacle::NameIsAFolder: QVERIFY(QFileInfo(path).isDir()); break;
    case Obstacle::NameIsAPipe: QCOMPARE(QFileInfo(path).isFile(), false); break;
    case Obstacle::DiskFull: QCOMPARE(readAll(path), previous); break;
    }
}

void FileRobustnessTest::openOddFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("block0"); // the first block byte afterwards

    Configuration good;
    good.block[0] = 42;
    const QByteArray valid = formatted(good);
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char(i * 37 + 11);
    QList<QByteArray> lines = valid.split('\n');
    QCOMPARE(lines[7].trimmed(), QByteArray("42")); // line 8: the first block byte
    lines[7] = QByteArray("4\0" "2\r", 4);
    const QByteArray withNul = lines.join('\n');

    QTest::newRow("binary") << binary << false << 9;
    // A value that is not a number keeps its previous value.
    QTest::newRow("embedded NUL") << withNul << true << 9;
    QTest::newRow("10 MB") << valid + QByteArray(10 * 1024 * 1024, '7') << false << 9;
    // Lines after the last the format has are not looked at.
    QTest::newRow("300 lines") << valid + QByteArray("1\r\n").repeated(37) << true << 42;
}

void FileRobustnessTest::openOddFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, accepted);
    QFETCH(int, block0);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("odd.cfg");
    QVERIFY(writeFile(path, contents));

    Configuration c;
    c.block[0] = 9;
    c.FileName = "/previous.cfg";
    QCOMPARE(q51::ReadConfigurationFile(path, c), accepted);
    QCOMPARE(int(c.block[0]), block0);
    QCOMPARE(QString::fromStdString(c.FileName), accepted ? path : QStringLiteral("/previous.cfg"));
}

QTEST_GUILESS_MAIN(FileRobustnessTest)
#include "tst_file_robustness.moc"
