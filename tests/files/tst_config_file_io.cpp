#include <QtTest>

#include "support/file_size_limit.h"

#include <csignal>
#include <sys/resource.h>

#include "files/config_file_io.h"
#include "model/config_file_format.h"
#include "model/factory_defaults.h"

using q51::Configuration;

namespace {

Configuration editedConfiguration()
{
    Configuration c;
    q51::LoadFactoryDefaults(c);
    q51::ResetHeaderStrings(c, q51::HeaderPreset::StartUp, "01/05/2024");
    c.TakeSavedCopy();
    c.Description = "Caf\xc3\xa9, \"quoted\" \xe2\x82\xac";
    c.PortNumber = 2;
    c.TransferMode = 0;
    c.SetBits(24, 0x07, 4);
    c.block[255] = 0x41;
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

void verifySameConfiguration(const Configuration &actual, const Configuration &expected)
{
    QCOMPARE(actual.block, expected.block);
    QCOMPARE(actual.savedCopy, expected.savedCopy);
    QCOMPARE(actual.DeviceName, expected.DeviceName);
    QCOMPARE(actual.UserName, expected.UserName);
    QCOMPARE(actual.BuildingDate, expected.BuildingDate);
    QCOMPARE(actual.Description, expected.Description);
    QCOMPARE(actual.FileName, expected.FileName);
    QCOMPARE(actual.PortNumber, expected.PortNumber);
    QCOMPARE(actual.TransferMode, expected.TransferMode);
}

using q51::test::FileSizeLimit;

} // namespace

class ConfigFileIoTest : public QObject {
    Q_OBJECT
private slots:
    void saveThenReopen();
    void saveReplacesAnExistingFile();
    void rejectedFiles_data();
    void rejectedFiles();
    void saveOntoAFullDisk();
    void saveIntoAMissingFolder();
};

void ConfigFileIoTest::saveThenReopen()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("setup.cfg");

    Configuration c = editedConfiguration();
    c.FileName = path.toStdString();
    QVERIFY(c.HasUnsavedChanges());
    const q51::SaveResult result = q51::WriteConfigurationFile(path, c);
    QVERIFY(result.ok);
    QVERIFY(result.reason.isEmpty());
    QVERIFY(!c.HasUnsavedChanges());
    QCOMPARE(readAll(path).size(), qsizetype(q51::FormatConfigurationFile(c).size()));

    Configuration reopened;
    reopened.block.fill(0x11);
    reopened.savedCopy.fill(0x22);
    QVERIFY(q51::ReadConfigurationFile(path, reopened));
    QVERIFY(!reopened.HasUnsavedChanges());
    verifySameConfiguration(reopened, c);
}

void ConfigFileIoTest::saveReplacesAnExistingFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("setup.cfg");
    QVERIFY(writeFile(path, QByteArray(10000, 'x')));

    Configuration c = editedConfiguration();
    QVERIFY(q51::WriteConfigurationFile(path, c).ok);
    const std::string expected = q51::FormatConfigurationFile(c);
    QCOMPARE(readAll(path), QByteArray(expected.data(), qsizetype(expected.size())));
}

void ConfigFileIoTest::rejectedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents"); // null: create nothing
    Configuration good;
    const std::string valid = q51::FormatConfigurationFile(good);
    const QByteArray validBytes(valid.data(), qsizetype(valid.size()));

    QTest::newRow("missing") << QStringLiteral("missing.cfg") << QByteArray();
    QTest::newRow("folder") << QStringLiteral("folder.cfg") << QByteArray();
    QTest::newRow("empty") << QStringLiteral("empty.cfg") << QByteArray("");
    QTest::newRow("wrong magic") << QStringLiteral("upper.cfg") << QByteArray("ZENU") + validBytes.mid(4);
    QTest::newRow("absurdly large") << QStringLiteral("large.cfg") << validBytes + QByteArray(1024 * 1024, ' ');
}

void ConfigFileIoTest::rejectedFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    if (name == "folder.cfg")
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (!contents.isNull())
        QVERIFY(writeFile(path, contents));

    Configuration c = editedConfiguration();
    c.FileName = "/previous/setup.cfg";
    const Configuration before = c;
    QVERIFY(!q51::ReadConfigurationFile(path, c));
    verifySameConfiguration(c, before);
}

void ConfigFileIoTest::saveOntoAFullDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("setup.cfg");
    Configuration c = editedConfiguration();
    c.FileName = path.toStdString();
    QVERIFY(q51::WriteConfigurationFile(path, c).ok);
    const QByteArray previousFile = readAll(path);
    QVERIFY(previousFile.size() > 600);

    c.block[100] = 0x99;
    c.Description = "changed";
    const Configuration before = c;
    q51::SaveResult result;
    bool limited = false;
    {
        FileSizeLimit full(600);
        limited = full.active();
        if (limited)
            result = q51::WriteConfigurationFile(path, c);
    }
    QVERIFY2(limited, "could not lower the file-size limit");
    QVERIFY(!result.ok);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(readAll(path), previousFile);
    verifySameConfiguration(c, before);
    QVERIFY(c.HasUnsavedChanges());
    // No half-written temporary file is left beside the configuration.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"setup.cfg"});
}

void ConfigFileIoTest::saveIntoAMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("no such folder/setup.cfg");
    Configuration c = editedConfiguration();
    const Configuration before = c;
    const q51::SaveResult result = q51::WriteConfigurationFile(path, c);
    QVERIFY(!result.ok);
    QVERIFY(!result.reason.isEmpty());
    QVERIFY(!QFileInfo::exists(path));
    verifySameConfiguration(c, before);
}

QTEST_GUILESS_MAIN(ConfigFileIoTest)
#include "tst_config_file_io.moc"
