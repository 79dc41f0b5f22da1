#include <QtTest>

#include <QMdiArea>
#include <QSignalSpy>
#include <QMenu>
#include <QMdiSubWindow>

#include <functional>

#include "model/factory_defaults.h"
#include "support/file_size_limit.h"
#include "support/shell_fixture.h"

using namespace q51;
using q51::test::Shell;

// File > New, Open, Save, Save As and Exit, through the menu, with real files.
class DocumentCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }
    void saveFactoryConfiguration();
    void saveOnNewFileAsksForAName();
    void openRejectsAndKeepsFileName();
    void openAcceptsAndClosesPages();
    void openFileFromCommandLine_data();
    void openFileFromCommandLine();
    void newPrompts_data();
    void newPrompts();
    void newComparesWithLastSavedContents();
    void yesThenCancelledSaveAsKeepsWork_data();
    void yesThenCancelledSaveAsKeepsWork();
    void failedSaveIsReportedAndChangesNothing();
    void fullDiskKeepsTheEarlierFile_data();
    void fullDiskKeepsTheEarlierFile();
    void wholeConfigurationChangesAreAnnounced_data();
    void wholeConfigurationChangesAreAnnounced();
    void exitAsksAlwaysOnce();
    void exitOnChangedAsksTwice();
    void exportReportWritesTheSheet_data();
    void exportReportWritesTheSheet();

private:
    QString path(const char *name) const { return dir_->filePath(QString::fromLatin1(name)); }
    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::unique_ptr<QTemporaryDir> dir_;
};

void DocumentCommandsTest::saveFactoryConfiguration()
{
    Shell s;
    s.dialogs.saveNames.enqueue(path("factory.cfg"));
    s.trigger("mnuFileSave");
    const QByteArray bytes = read(path("factory.cfg"));
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 264); // 263 lines and nothing after the last CR LF
    QVERIFY(lines.last().isEmpty());
    QCOMPARE(lines[0], QByteArray("zenu\r"));
    QCOMPARE(lines[5], QByteArray(" 1 \r"));
    QCOMPARE(lines[6], QByteArray(" 1 \r"));
    QCOMPARE(lines[7], QByteArray(" 191 \r"));
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Decoder Configuration Setup: ") + path("factory.cfg"));
    QCOMPARE(QString::fromStdString(s.config.FileName), path("factory.cfg"));
    QVERIFY(!s.config.HasUnsavedChanges());

    // Reopening it in a fresh program reports no change.
    Shell t;
    t.dialogs.openNames.enqueue(path("factory.cfg"));
    t.trigger("mnuFileOpen");
    QVERIFY(t.dialogs.messages.isEmpty());
    QVERIFY(!t.config.HasUnsavedChanges());
    QCOMPARE(t.config.block, FactoryBlock());
    QCOMPARE(t.window->windowTitle(), QStringLiteral("Bar Decoder Setup: ") + path("factory.cfg"));

    // Save to a known name keeps the title; the file is rewritten.
    t.config.block[40] = 7;
    t.trigger("mnuFileSave");
    QVERIFY(t.dialogs.saveRequests.isEmpty());
    QCOMPARE(t.window->windowTitle(), QStringLiteral("Bar Decoder Setup: ") + path("factory.cfg"));
    QCOMPARE(read(path("factory.cfg")).split('\n')[47], QByteArray(" 7 \r"));
}

void DocumentCommandsTest::saveOnNewFileAsksForAName()
{
    Shell s;
    s.trigger("mnuFileSave"); // the dialog is cancelled
    QCOMPARE(s.dialogs.saveRequests.size(), 1);
    const auto &r = s.dialogs.saveRequests.constFirst();
    QCOMPARE(r.presetName, QStringLiteral("New File"));
    QCOMPARE(r.filter, QStringLiteral("Config Setup Files(*.cfg)"));
    QCOMPARE(r.defaultSuffix, QStringLiteral("cfg"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList());
    QCOMPARE(s.config.FileName, std::string("New File"));
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Q51 & V51 Decoder Configuration: New File"));
}

void DocumentCommandsTest::openRejectsAndKeepsFileName()
{
    Shell s;
    s.dialogs.saveNames.enqueue(path("good.cfg"));
    s.trigger("mnuFileSaveAs");
    QFile bad(path("bad.cfg"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("ZENU\r\nx\r\n");
    bad.close();
    s.dialogs.openNames.enqueue(path("bad.cfg"));
    s.trigger("mnuFileOpen");
    QCOMPARE(s.dialogs.messages.size(), 1);
    QCOMPARE(s.dialogs.messages.constFirst().title, QStringLiteral("Decoder Configuration Setup"));
    QCOMPARE(s.dialogs.messages.constFirst().text, QStringLiteral("This File Is Not A Configuration Setup File"));
    QCOMPARE(s.dialogs.openRequests.constFirst().filter, QStringLiteral("Config Setup Files(*.cfg)"));
    QCOMPARE(QString::fromStdString(s.config.FileName), path("good.cfg"));
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Decoder Configuration Setup: ") + path("good.cfg"));
    // A following Save writes to the previous file, not the rejected one.
    s.config.block[100] = 9;
    s.trigger("mnuFileSave");
    QCOMPARE(read(path("bad.cfg")), QByteArray("ZENU\r\nx\r\n"));
    QCOMPARE(read(path("good.cfg")).split('\n')[107], QByteArray(" 9 \r"));
}

void DocumentCommandsTest::openAcceptsAndClosesPages()
{
    Shell s;
    s.config.block[30] = 0x12;
    s.dialogs.saveNames.enqueue(path("a.cfg"));
    s.trigger("mnuFileSaveAs");
    Shell t;
    t.trigger("mnuConfigBar");
    t.dialogs.openNames.enqueue(path("a.cfg"));
    t.trigger("mnuFileOpen");
    QCOMPARE(int(t.config.block[30]), 0x12);
    QCOMPARE(int(t.config.ActivePage), 0);
    // The transfer window stays open across an Open.
    t.trigger("mnuConfigTransmit");
    t.dialogs.openNames.enqueue(path("a.cfg"));
    t.trigger("mnuFileOpen");
    QCOMPARE(int(t.config.ActivePage), 5);
}

// "q51setup FILE": Open's steps without its dialog.
void DocumentCommandsTest::openFileFromCommandLine_data()
{
    QTest::addColumn<QByteArray>("firstLine"); // empty: no such file
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("cutAfter");         // lines kept; 0: all
    QTest::addColumn<QByteArray>("line48");    // byte 40's line instead; empty: as saved
    QTest::addColumn<QString>("notice");       // what the damage notice names; empty: no notice
    QTest::newRow("configuration file") << QByteArray("zenu") << true << 0 << QByteArray() << QString();
    QTest::newRow("wrong magic") << QByteArray("ZENU") << false << 0 << QByteArray() << QString();
    QTest::newRow("missing file") << QByteArray() << false << 0 << QByteArray() << QString();
    QTest::newRow("cut after line 100") << QByteArray("zenu") << true << 100 << QByteArray()
                                        << "lines 101 to 263: missing; the file ends after line 100";
    QTest::newRow("line not a number") << QByteArray("zenu") << true << 0 << QByteArray(" x1 ")
                                       << "line 48 (byte 40): \"x1\" is not a number";
    QTest::newRow("line out of range") << QByteArray("zenu") << true << 0 << QByteArray(" 999 ")
                                       << "line 48 (byte 40): 999 is out of range (0 to 255)";
}

void DocumentCommandsTest::openFileFromCommandLine()
{
    QFETCH(QByteArray, firstLine);
    QFETCH(bool, accepted);
    QFETCH(int, cutAfter);
    QFETCH(QByteArray, line48);
    QFETCH(QString, notice);
    {
        Shell s;
        s.config.block[30] = 0x12;
        s.config.block[40] = 0x34;
        s.dialogs.saveNames.enqueue(path("a.cfg"));
        s.trigger("mnuFileSaveAs");
    }
    if (firstLine.isEmpty()) {
        QVERIFY(QFile::remove(path("a.cfg")));
    } else {
        QByteArray bytes = read(path("a.cfg"));
        bytes.replace(0, 4, firstLine);
        QList<QByteArray> lines = bytes.split('\n');
        if (!line48.isEmpty())
            lines[47] = line48 + '\r';
        if (cutAfter)
            lines = lines.mid(0, cutAfter);
        bytes = lines.join('\n');
        QFile f(path("a.cfg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    Shell t;
    t.trigger("mnuConfigBar");
    const QString startTitle = t.window->windowTitle();
    t.window->documents().OpenFile(path("a.cfg"));
    QVERIFY(t.dialogs.openRequests.isEmpty());
    if (accepted) {
        // Loaded value by value all the same; what was skipped is named once.
        QCOMPARE(t.dialogs.messages.size(), notice.isEmpty() ? 0 : 1);
        if (!notice.isEmpty()) {
            const auto &m = t.dialogs.messages.constFirst();
            QCOMPARE(m.title, QStringLiteral("Decoder Configuration Setup"));
            QCOMPARE(m.buttons, MessageButtons::Ok);
            QVERIFY2(m.text.contains(path("a.cfg")), qPrintable(m.text));
            QVERIFY2(m.detail.contains(notice), qPrintable(m.detail));
        }
        QCOMPARE(int(t.config.block[40]), line48.isEmpty() ? 0x34 : int(FactoryBlock()[40]));
        QCOMPARE(int(t.config.block[30]), 0x12);
        QVERIFY(!t.config.HasUnsavedChanges());
        QCOMPARE(t.window->windowTitle(), QStringLiteral("Bar Decoder Setup: ") + path("a.cfg"));
        QCOMPARE(int(t.config.ActivePage), 0);
    } else {
        QCOMPARE(t.dialogs.messages.size(), 1);
        QCOMPARE(t.dialogs.messages.constFirst().text, QStringLiteral("This File Is Not A Configuration Setup File"));
        QCOMPARE(t.dialogs.messages.constFirst().title, QStringLiteral("Decoder Configuration Setup"));
        QCOMPARE(t.config.block, FactoryBlock());
        QCOMPARE(t.config.FileName, std::string("New File"));
        QCOMPARE(t.window->windowTitle(), startTitle);
        QCOMPARE(int(t.config.ActivePage), 3); // a rejected file closes nothing
    }
}

namespace {

// Work a user may have done since the last save: a block byte, or the
// header strings, port and transfer mode a file stores with it.
const std::function<void(Configuration &)> Edits[] = {
    [](Configuration &) {},
    [](Configuration &c) { c.block[50] = 0x01; },
    [](Configuration &c) { c.Description = "Line 3 scanner"; },
    [](Configuration &c) { c.DeviceName = "Q51 at door 2"; },
    [](Configuration &c) { c.PortNumber = 3; },
    [](Configuration &c) { c.TransferMode = TransferModes::ByKeyboard; },
};

} // namespace

void DocumentCommandsTest::newPrompts_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<int>("answer"); // -1: no prompt expected
    QTest::addColumn<bool>("renewed");
    QTest::newRow("unchanged: no prompt") << 0 << -1 << true;
    QTest::newRow("block changed, No") << 1 << int(Answer::No) << true;
    QTest::newRow("block changed, Cancel") << 1 << int(Answer::Cancel) << false;
    QTest::newRow("description typed, Cancel") << 2 << int(Answer::Cancel) << false;
    QTest::newRow("device name typed, No") << 3 << int(Answer::No) << true;
    QTest::newRow("port chosen, Cancel") << 4 << int(Answer::Cancel) << false;
    QTest::newRow("transfer mode chosen, Cancel") << 5 << int(Answer::Cancel) << false;
}

void DocumentCommandsTest::newPrompts()
{
    QFETCH(int, edit);
    QFETCH(int, answer);
    QFETCH(bool, renewed);
    Shell s;
    s.trigger("mnuConfigComm");
    QVERIFY(!s.config.HasUnsavedChanges()); // a fresh start holds nobody's work
    Edits[edit](s.config);
    const Configuration edited = s.config;
    if (answer >= 0)
        s.dialogs.answers.enqueue(Answer(answer));
    s.trigger("mnuFileNew");
    if (answer >= 0) {
        QCOMPARE(s.dialogs.messages.size(), 1);
        const auto &m = s.dialogs.messages.constFirst();
        QCOMPARE(m.title, QStringLiteral("Bar Decoder Setup"));
        QCOMPARE(m.text, QStringLiteral("Configuration had been changed,do you want to save your file?"));
        QCOMPARE(m.buttons, MessageButtons::YesNoCancel);
    } else {
        QVERIFY(s.dialogs.messages.isEmpty());
    }
    if (renewed) {
        QCOMPARE(s.config.block, FactoryBlock());
        QCOMPARE(s.config.Description, std::string("Your Description about this Setup"));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Bar Decoder Setup: New File"));
        QCOMPARE(int(s.config.ActivePage), 0);
        QVERIFY(!s.config.HasUnsavedChanges());
    } else {
        QVERIFY(s.config.block == edited.block && s.config.Header() == edited.Header());
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Q51 & V51 Decoder Configuration: New File"));
        QCOMPARE(int(s.config.ActivePage), 2);
    }
}

void DocumentCommandsTest::newComparesWithLastSavedContents()
{
    Shell s;
    s.config.block[60] = 0x42;
    s.dialogs.saveNames.enqueue(path("b.cfg"));
    s.trigger("mnuFileSaveAs");
    s.trigger("mnuFileNew"); // unchanged: no prompt, block back to factory
    QVERIFY(s.dialogs.messages.isEmpty());
    QVERIFY(s.config.HasUnsavedChanges());
    s.dialogs.answers << Answer::No << Answer::Cancel;
    s.trigger("mnuFileExit");
    QCOMPARE(s.dialogs.texts(), (QStringList{"Do you want to save your file?",
                                             "Configuration had been changed,do you want to save your file?"}));
    QVERIFY(s.window->isVisible());
}

void DocumentCommandsTest::yesThenCancelledSaveAsKeepsWork_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("New") << "mnuFileNew";
    QTest::newRow("Open") << "mnuFileOpen";
    QTest::newRow("Exit") << "mnuFileExit";
    QTest::newRow("close") << "";
}

void DocumentCommandsTest::yesThenCancelledSaveAsKeepsWork()
{
    QFETCH(QString, command);
    Shell s;
    s.config.block[70] = 0x33;
    s.dialogs.answers.enqueue(Answer::Yes); // then the save dialog is cancelled
    s.dialogs.openNames.enqueue(path("never-opened.cfg"));
    if (command.isEmpty())
        s.window->close();
    else
        s.trigger(command.toLatin1().constData());
    QCOMPARE(s.dialogs.messages.size(), 1);
    QCOMPARE(s.dialogs.saveRequests.size(), 1);
    QVERIFY(s.dialogs.openRequests.isEmpty());
    QCOMPARE(int(s.config.block[70]), 0x33);
    QVERIFY(s.window->isVisible());
    QCOMPARE(s.portIo.shutdownCalls, 0);
}

void DocumentCommandsTest::failedSaveIsReportedAndChangesNothing()
{
    Shell s;
    s.dialogs.saveNames.enqueue(path("ok.cfg"));
    s.trigger("mnuFileSaveAs");
    const QByteArray before = read(path("ok.cfg"));
    s.config.block[80] = 0x20;
    const QString missing = path("no-such-folder/x.cfg");
    s.dialogs.saveNames.enqueue(missing);
    s.trigger("mnuFileSaveAs");
    QCOMPARE(s.dialogs.messages.size(), 1);
    const auto &m = s.dialogs.messages.constFirst();
    QCOMPARE(m.title, QStringLiteral("Decoder Configuration Setup"));
    QVERIFY(m.text.contains(missing));
    QVERIFY(!m.detail.isEmpty());
    QCOMPARE(QString::fromStdString(s.config.FileName), path("ok.cfg"));
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Decoder Configuration Setup: ") + path("ok.cfg"));
    QVERIFY(s.config.HasUnsavedChanges());
    QCOMPARE(read(path("ok.cfg")), before);
}

// A disk that fills up mid-write: one message, and the file from before is
// still there byte for byte (never a short file renamed into place).
void DocumentCommandsTest::fullDiskKeepsTheEarlierFile_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("name");
    QTest::newRow("save") << "mnuFileSave" << "setup.cfg";
    QTest::newRow("export report as html") << "mnuFileExportReport" << "sheet.html";
    QTest::newRow("export report as pdf") << "mnuFileExportReport" << "sheet.pdf";
}

void DocumentCommandsTest::fullDiskKeepsTheEarlierFile()
{
    QFETCH(QString, command);
    QFETCH(QString, name);
    Shell s;
    s.dialogs.saveNames.enqueue(path("setup.cfg"));
    s.trigger("mnuFileSaveAs");
    const QString target = dir_->filePath(name);
    if (name != QLatin1String("setup.cfg")) {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write(QByteArray(3000, 'e')) == 3000);
    }
    const QByteArray before = read(target);
    s.config.block[80] ^= 0x20;
    s.dialogs.saveNames.enqueue(target);
    {
        q51::test::FileSizeLimit full(600);
        QVERIFY2(full.active(), "could not lower the file-size limit");
        s.trigger(command.toLatin1().constData());
    }
    QCOMPARE(s.dialogs.messages.size(), 1);
    QCOMPARE(s.dialogs.messages.constFirst().icon, MessageIcon::Warning);
    QVERIFY(s.dialogs.messages.constFirst().text.contains(target));
    QCOMPARE(read(target), before);
    QVERIFY(s.config.HasUnsavedChanges());
}

// New, Open and Set All Defaults replace many settings at once: one
// announcement names each one that changed.
void DocumentCommandsTest::wholeConfigurationChangesAreAnnounced_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<Answer>("answer"); // to its one prompt
    QTest::newRow("set all defaults") << "mnuConfigDefault" << Answer::Yes;
    QTest::newRow("new, not saving") << "mnuFileNew" << Answer::No;
    QTest::newRow("open, not saving") << "mnuFileOpen" << Answer::No;
}

void DocumentCommandsTest::wholeConfigurationChangesAreAnnounced()
{
    QFETCH(QString, command);
    QFETCH(Answer, answer);
    Shell s;
    s.dialogs.saveNames.enqueue(path("factory.cfg"));
    s.trigger("mnuFileSaveAs");
    s.document.setValue(*FindSetting("communication.rs232.baud_rate"), "19200"); // unsaved work
    s.dialogs.answers << answer;
    s.dialogs.openNames.enqueue(path("factory.cfg"));
    QSignalSpy announced(&s.document, &ConfigDocument::settingsChanged);
    s.trigger(command.toLatin1().constData());
    QCOMPARE(announced.size(), 1);
    QStringList keys;
    for (const SettingChange &change : announced.first().first().value<QList<SettingChange>>())
        keys << QString::fromStdString(change.setting->key);
    QVERIFY2(keys.contains(QStringLiteral("communication.rs232.baud_rate")), qPrintable(keys.join(' ')));
    QCOMPARE(s.config.block[24], FactoryBlock()[24]);
}

void DocumentCommandsTest::exitAsksAlwaysOnce()
{
    Shell s;
    s.dialogs.answers.enqueue(Answer::No);
    s.trigger("mnuFileExit");
    QCOMPARE(s.dialogs.messages.size(), 1);
    const auto &m = s.dialogs.messages.constFirst();
    QCOMPARE(m.title, QStringLiteral("Decoder Configuration Setup"));
    QCOMPARE(m.text, QStringLiteral("Do you want to save your file?"));
    QCOMPARE(m.buttons, MessageButtons::YesNoCancel);
    QVERIFY(!s.window->isVisible());
    QCOMPARE(s.portIo.shutdownCalls, 1);
}

void DocumentCommandsTest::exitOnChangedAsksTwice()
{
    Shell s;
    s.config.block[90] ^= 0xFF;
    s.dialogs.answers << Answer::No << Answer::Yes;
    s.dialogs.saveNames.enqueue(path("exit.cfg"));
    s.trigger("mnuFileExit");
    QCOMPARE(s.dialogs.messages.size(), 2);
    QCOMPARE(s.dialogs.messages[1].title, QStringLiteral("Decoder Configuration Setup"));
    QCOMPARE(s.dialogs.messages[1].text, QStringLiteral("Configuration had been changed,do you want to save your file?"));
    QVERIFY(!s.window->isVisible());
    QVERIFY(QFile::exists(path("exit.cfg")));
}

// File > "Export Report...", after the Save items and before Exit: the
// report's words as an HTML page, or the same page as a PDF.
void DocumentCommandsTest::exportReportWritesTheSheet_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("html") << "sheet.html" << QByteArray("<html>");
    QTest::newRow("pdf") << "sheet.pdf" << QByteArray("%PDF");
}

void DocumentCommandsTest::exportReportWritesTheSheet()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    Shell s;
    auto *file = s.window->findChild<QMenu *>(QStringLiteral("mnuFile"));
    QVERIFY(file);
    QStringList items;
    for (QAction *a : file->actions())
        items << a->objectName();
    QCOMPARE(items.indexOf(QStringLiteral("mnuFileExportReport")), items.indexOf(QStringLiteral("mnuFileSaveAs")) + 1);
    QVERIFY(items.indexOf(QStringLiteral("mnuFileExportReport")) < items.indexOf(QStringLiteral("mnuFileExit")));

    s.config.DeviceName = "Dock <4>";
    s.config.block[84] = 0x1B; // Code 39 code ID: ESC
    s.dialogs.saveNames.enqueue(dir_->filePath(name));
    s.trigger("mnuFileExportReport");
    const QByteArray bytes = read(dir_->filePath(name));
    QVERIFY2(bytes.startsWith(start), bytes.left(40).constData());
    if (name.endsWith(QLatin1String(".html"))) {
        QVERIFY(bytes.contains("Dock &lt;4&gt;"));
        QVERIFY(bytes.contains("<td>Code 39 Code ID</td><td>{ESC}</td>"));
        QVERIFY(bytes.contains("<td>Minimum Length</td><td>1</td>"));
    }
    QCOMPARE(QString::fromStdString(s.config.FileName), QStringLiteral("New File")); // a report is no save
}

QTEST_MAIN(DocumentCommandsTest)
#include "tst_document_commands.moc"
