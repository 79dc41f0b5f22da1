// Compare with Decoder: the window over the fake port with the simulated
// decoder in-process. A file and a decoder that differ in five settings
// show five rows; the ticked ones go to the decoder after a backup (read
// back and verified) or into the file as one undoable step; a link lost at
// each step, or a read-back that differs, names its step and leaves the
// file and the backup as they were.

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

#include <algorithm>

#include "document/config_document.h"
#include "document/edit_history.h"
#include "files/config_file_io.h"
#include "in_process_decoder.h"
#include "link/decoder_backups.h"
#include "support/five_differences.h"
#include "support/scripted_dialogs.h"
#include "tools/compare_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;

namespace {

constexpr double Scale = 0.1;

enum class Fault { None, LinkLost, ForgetsWrite, Silent };

// The simulated decoder on the fake port, spoiling one request (counted
// from 1 over the window's life) as the fault says. A decoder that forgets
// a write acknowledges it and then reads back as it was.
struct Decoder {
    sim::DecoderSimulator simulator;
    sim::DecoderSimulator unchanged; // the block as it was, for a forgotten write
    int faultAt = 0;
    Fault fault = Fault::None;
    int requests = 0;

    void attach(FakeTransport &port)
    {
        QObject::connect(&port, &FakeTransport::requestWritten, &port, [this, &port](const QByteArray &bytes) {
            ++requests;
            const bool spoiled = requests == faultAt;
            if (spoiled && fault == Fault::LinkLost)
                port.loseConnection();
            if (spoiled && (fault == Fault::LinkLost || fault == Fault::Silent))
                return;
            sim::DecoderSimulator &answering = spoiled && fault == Fault::ForgetsWrite ? unchanged : simulator;
            const auto view = protocol::AsBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            for (const sim::SimulatorEvent &event : answering.Feed(view)) {
                for (const sim::ReplyChunk &chunk : event.reply.chunks)
                    port.pushReply(QByteArray(reinterpret_cast<const char *>(chunk.bytes.data()),
                                              qsizetype(chunk.bytes.size())));
            }
        });
    }
};

std::vector<std::string> sorted(std::vector<std::string> keys)
{
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<std::string> firstKeys(std::size_t n)
{
    const auto &keys = test::FiveDifferingKeys();
    return sorted({keys.begin(), keys.begin() + std::ptrdiff_t(n)});
}

// The window open on a file with five differences, the decoder read.
struct Session {
    QTemporaryDir backups;
    Configuration config = test::FileWithFiveDifferences();
    ConfigDocument document{config};
    ScriptedDialogs dialogs;
    Decoder decoder;
    QPointer<FakeTransport> port;
    std::unique_ptr<CompareWindow> window;

    bool open()
    {
        window = std::make_unique<CompareWindow>(document, dialogs, test::fakePortInto(port), backups.path());
        if (!port)
            return false;
        decoder.attach(*port);
        QSignalSpy ended(window.get(), &CompareWindow::exchangeEnded);
        window->show();
        return click("cmdRead") && ended.wait(10000) && ended.first().first().toBool();
    }
    // Unticks the last two of the five, so three are sent.
    void tickThree()
    {
        for (std::size_t i = 3; i < test::FiveDifferingKeys().size(); ++i)
            window->setTicked(*FindSetting(test::FiveDifferingKeys()[i]), false);
    }
    bool click(const char *button)
    {
        auto *pushed = window->findChild<QPushButton *>(QString::fromLatin1(button));
        if (!pushed || !pushed->isEnabled())
            return false;
        pushed->click();
        return true;
    }
    bool send(bool expected)
    {
        QSignalSpy ended(window.get(), &CompareWindow::exchangeEnded);
        return click("cmdSend") && ended.wait(10000) && ended.first().first().toBool() == expected;
    }
    std::vector<BackupEntry> kept() const { return ListBackups(backups.path()); }
};

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(q51::ApplyStep)

class CompareWindowTest : public QObject {
    Q_OBJECT

private slots:
    void sendsTheTickedAfterABackup();
    void takesTheTickedIntoTheFileAsOneStep();
    void failureNamesItsStep_data();
    void failureNamesItsStep();
    void closingMidSendSaysNothing();
};

void CompareWindowTest::sendsTheTickedAfterABackup()
{
    ScaledIntervals scale(Scale);
    Session s;
    QVERIFY(s.open());
    QCOMPARE(sorted(test::KeysOf(s.window->rows())), firstKeys(5));
    QCOMPARE(s.window->ticked().size(), std::size_t(5));
    s.tickThree();
    auto *filter = s.window->findChild<QComboBox *>(QStringLiteral("cboFilter"));
    auto *table = s.window->findChild<QTreeWidget *>(QStringLiteral("tblDifferences"));
    filter->setCurrentIndex(1);
    int shown = 0;
    for (int i = 0; i < table->topLevelItemCount(); ++i)
        shown += table->topLevelItem(i)->isHidden() ? 0 : 1;
    QCOMPARE(shown, 3);

    const Block fileBefore = s.document.config().block;
    QVERIFY(s.send(true));
    Configuration decoder;
    decoder.block = s.decoder.simulator.responder().block();
    QCOMPARE(sorted(test::KeysOf(DifferingSettings(test::FactoryDecoder(), decoder))), firstKeys(3));
    QVERIFY(s.document.config().block == fileBefore);
    const std::vector<BackupEntry> kept = s.kept();
    QCOMPARE(kept.size(), std::size_t(1));
    Configuration backup;
    QVERIFY(ReadConfigurationFile(kept.front().path, backup));
    QVERIFY(backup.block == FactoryBlock());
    QVERIFY(s.click("cmdBackups"));
    auto *listed = s.window->findChild<QListWidget *>(QStringLiteral("lstBackups"));
    QVERIFY(listed && listed->isVisible());
    QCOMPARE(listed->count(), 1);
    QCOMPARE(listed->item(0)->text(), kept.front().fileName);
    // The two left unsent are what still differs.
    QCOMPARE(sorted(test::KeysOf(s.window->rows())),
             sorted({test::FiveDifferingKeys()[3], test::FiveDifferingKeys()[4]}));
    QVERIFY(s.dialogs.messages.isEmpty());
}

void CompareWindowTest::takesTheTickedIntoTheFileAsOneStep()
{
    ScaledIntervals scale(Scale);
    Session s;
    EditHistory history(s.document);
    QVERIFY(s.open());
    s.tickThree();
    QSignalSpy steps(&s.document, &ConfigDocument::stepTaken);
    QVERIFY(s.click("cmdTake"));
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.first().first().value<DocumentStep>().name, QStringLiteral("Take Ticked into File"));
    // The file now holds the decoder's (factory) values in the three.
    const std::vector<std::string> stillDiffer =
        sorted({test::FiveDifferingKeys()[3], test::FiveDifferingKeys()[4]});
    QCOMPARE(sorted(test::KeysOf(DifferingSettings(s.document.config(), test::FactoryDecoder()))), stillDiffer);
    QCOMPARE(sorted(test::KeysOf(s.window->rows())), stillDiffer);
    history.stack().undo();
    QCOMPARE(sorted(test::KeysOf(s.window->rows())), firstKeys(5));
    QVERIFY(s.decoder.requests == 1); // nothing sent
}

void CompareWindowTest::failureNamesItsStep_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("request"); // 1 is the window's first read
    QTest::addColumn<ApplyStep>("step");
    QTest::addColumn<bool>("backedUp");
    QTest::newRow("lost in the backup read") << Fault::LinkLost << 2 << ApplyStep::ReadBackup << false;
    QTest::newRow("lost in the download") << Fault::LinkLost << 3 << ApplyStep::Download << true;
    QTest::newRow("lost in the read-back") << Fault::LinkLost << 4 << ApplyStep::ReadBack << true;
    QTest::newRow("read-back differs") << Fault::ForgetsWrite << 4 << ApplyStep::Verify << true;
}

void CompareWindowTest::failureNamesItsStep()
{
    QFETCH(Fault, fault);
    QFETCH(int, request);
    QFETCH(ApplyStep, step);
    QFETCH(bool, backedUp);
    ScaledIntervals scale(Scale);
    Session s;
    s.decoder.fault = fault;
    s.decoder.faultAt = request;
    QVERIFY(s.open());
    s.tickThree();
    const Block fileBefore = s.document.config().block;
    QVERIFY(s.send(false));
    QCOMPARE(s.dialogs.messages.size(), 1);
    QString named = ApplyStepText(step);
    named[0] = named[0].toUpper();
    QVERIFY2(s.dialogs.messages.first().text.startsWith(named + QStringLiteral(" failed")),
             qPrintable(s.dialogs.messages.first().text));
    QVERIFY(s.document.config().block == fileBefore);
    const std::vector<BackupEntry> kept = s.kept();
    QCOMPARE(kept.size(), std::size_t(backedUp ? 1 : 0));
    if (backedUp) {
        Configuration backup;
        QVERIFY(ReadConfigurationFile(kept.front().path, backup));
        QVERIFY(backup.block == FactoryBlock());
    }
}

// Closed while the decoder is yet to acknowledge the download: the
// exchange ends silently and the backup stays.
void CompareWindowTest::closingMidSendSaysNothing()
{
    ScaledIntervals scale(Scale);
    Session s;
    s.decoder.fault = Fault::Silent;
    s.decoder.faultAt = 3;
    QVERIFY(s.open());
    QVERIFY(s.click("cmdSend"));
    QTRY_COMPARE(s.decoder.requests, 3);
    QVERIFY(s.window->busy());
    s.window->close();
    QVERIFY(!s.window->busy());
    QVERIFY(!s.port->isOpen());
    s.window.reset();
    QTest::qWait(50); // any late timer would fire now
    QVERIFY(s.dialogs.messages.isEmpty());
    QCOMPARE(s.kept().size(), std::size_t(1));
}

QTEST_MAIN(CompareWindowTest)
#include "tst_compare_window.moc"
