// Every decoder exchange against every fault, end to end, driven through the
// windows by their controls' names: over RS232, the real serial port on a
// pseudo-terminal against the simulator program; by keyboard, the keyboard
// wedge double typing into the window. The cases are the product of one
// table of faults and one of exchanges. Each case checks the message shown,
// the buttons enabled again, the configuration block left alone unless the
// exchange succeeded, and that closing or destroying the window mid-exchange
// shows nothing more and crashes nothing.
//
// The matrix is built into several executables, each running every
// Q51_MATRIX_PARTS-th case from Q51_MATRIX_PART, so they can run side by side.

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include "link/portio/port_io.h"
#include "link/protocol/block_checksum.h"
#include "link/serial_port_transport.h"
#include "model/configuration.h"
#include "sim/keyboard_wedge.h"
#include "support/event_wait.h"
#include "support/scaled_intervals.h"
#include "support/scripted_dialogs.h"
#include "support/simulator_process.h"
#include "support/stepped_block.h"
#include "tools/command_console.h"
#include "tools/firmware_update_window.h"
#include "tools/stored_data_window.h"
#include "tools/transmit_window.h"

#ifndef Q51_MATRIX_PART
#define Q51_MATRIX_PART 0
#define Q51_MATRIX_PARTS 1
#endif

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;
using test::SimulatorProcess;
using sim::KeyboardWedge;
using sim::WedgeFault;

namespace {

constexpr int Patience = SimulatorProcess::Patience;

// What happens to the window while the exchange runs.
enum class Interruption { None, WindowClosed, ProgramExit };

// What an exchange says when the decoder is silent, refuses, answers
// garbage, spoils its check byte, cuts its reply short or goes away in the
// middle of it. Empty: the exchange still succeeds (a reply of one byte or
// character, or none, has no check byte and cannot be cut); an empty hangUp
// is as cut. afterReply is a line closed right after a whole reply; only
// the rows that give it run that fault.
struct Outcomes {
    QString silence, refusal, garbage, checkByte, cut, hangUp = {}, afterReply = {};
};

// The keyboard wedge misbehaving the way a fault says.
using WedgeSetup = void (*)(KeyboardWedge &);

struct Fault {
    const char *name;
    QStringList simOptions;
    WedgeSetup wedge;
    QString Outcomes::*spoils = nullptr; // none: the exchange succeeds
    Interruption interruption = Interruption::None;
};

template <WedgeFault F>
void misbehave(KeyboardWedge &w)
{
    w.fault = F;
}

// The faults, each a way the decoder, the line or the user spoils an
// exchange. By keyboard, "refusal" is a decoder that says it is ready and
// then never accepts nor answers, and a hang-up is a decoder unplugged.
const QList<Fault> &Faults()
{
    static const QList<Fault> faults{
        {"silence", {"--silent"}, misbehave<WedgeFault::NeverAnswers>, &Outcomes::silence},
        {"refusal", {"--refuse"}, misbehave<WedgeFault::SilentAfterRequest>, &Outcomes::refusal},
        {"bad check byte", {"--bad-bcc"}, misbehave<WedgeFault::BadChecksum>, &Outcomes::checkByte},
        {"short reply", {"--short", "2"}, misbehave<WedgeFault::ShortReply>, &Outcomes::cut},
        {"split reply", {"--split", "3", "--pause", "5"},
         [](KeyboardWedge &w) {
             w.keystrokesPerPass = 3;
             w.keystrokeGap = std::chrono::milliseconds(5);
         }},
        {"stall mid-reply", {"--stall-after", "2"}, misbehave<WedgeFault::StallMidReply>, &Outcomes::cut},
        // Bytes after a whole reply are never part of it.
        {"extra bytes", {"--extra", "3"}, misbehave<WedgeFault::ExtraKeystrokes>},
        {"garbage", {"--garbage"}, misbehave<WedgeFault::Garbage>, &Outcomes::garbage},
        {"hang-up mid-reply", {"--hangup-after", "2"}, misbehave<WedgeFault::UnpluggedMidReply>, &Outcomes::hangUp},
        {"hang-up after a whole reply", {"--hangup-after-reply"}, [](KeyboardWedge &) {}, &Outcomes::afterReply},
        {"window closed mid-exchange", {"--silent"}, misbehave<WedgeFault::SilentAfterRequest>, nullptr,
         Interruption::WindowClosed},
        {"program exit mid-exchange", {"--silent"}, misbehave<WedgeFault::SilentAfterRequest>, nullptr,
         Interruption::ProgramExit},
    };
    return faults;
}

QString outcomeOf(const Outcomes &outcomes, QString Outcomes::*spoils)
{
    if (!spoils)
        return {};
    if (spoils == &Outcomes::hangUp && outcomes.hangUp.isEmpty())
        return outcomes.cut;
    return outcomes.*spoils;
}

enum class Window { Transfer, Console, StoredData, FirmwareUpdate };
enum class BlockAfter { Unchanged, WithChecksum, DecoderBlockOnSuccess };

struct ExchangeCase {
    const char *name;
    Window window;
    const char *button;
    QString success; // empty: no message when all is well
    Outcomes failures;
    BlockAfter block = BlockAfter::Unchanged;
    QStringList simOptions = {}; // where in a longer exchange the faults start
    int consoleItem = -1;        // the command chosen in the console
    bool range = false;          // a stored-data request for groups 1 to 3
    bool keyboard = false;       // through the keyboard wedge, not RS232
};

const QString TimeOut = QStringLiteral("Time Out Error!");
const QString SendCommandFailed = QStringLiteral("Send Command Failed!");
// The keyboard handshake's time-out.
const QString TimesOut = QStringLiteral("Times Out Error");

const QList<ExchangeCase> &Exchanges()
{
    const QString readRefused = QStringLiteral("Send Read Saved Data Command Failed!");
    const Outcomes read{TimeOut, readRefused, "Data Length Invalid! ", "CheckSum Error!", "No Send Command Sequence!"};
    const QString freeRefused = QStringLiteral("Send Read Free Group Space Command Failed!");
    const QString statusFailed = QStringLiteral("Send Status Command Failed!");
    const Outcomes clear{TimeOut, SendCommandFailed, SendCommandFailed, "", ""};
    const QString pageFailed = QStringLiteral("Transmit Data Failled!");
    const QString eraseFailed = QStringLiteral("Erase Command Failed!");
    const QString accessFailed = QStringLiteral("Access ISP Command Failed!");
    const QString versionRefused = QStringLiteral("Send Get Firmware Version's Command Failed!");
    const QString triggerFailed = QStringLiteral("Send Trigger Command Failed!");
    static const QList<ExchangeCase> exchanges{
        {"download", Window::Transfer, "cmdTransmit", "Download OK!",
         {TimeOut, "Download Failed!", "Download Failed!", "", ""}, BlockAfter::WithChecksum},
        {"upload", Window::Transfer, "cmdReceive", "   Upload OK!",
         {TimeOut, SendCommandFailed, SendCommandFailed, "Upload Failed!", TimeOut}, BlockAfter::DecoderBlockOnSuccess},
        {"version", Window::Transfer, "CmdVersion", "Version Information:\r\n\r\nFW 2.05" + QString(23, ' '),
         {TimeOut, SendCommandFailed, SendCommandFailed, "Send Get Firmware Version's Command Failed!", TimeOut}},
        {"status", Window::Console, "CmdSend", "Send Status Command OK!",
         {statusFailed, statusFailed, statusFailed, statusFailed, statusFailed}, BlockAfter::Unchanged, {}, 0},
        // The decoder does not answer a trigger: nothing it sends matters.
        {"trigger", Window::Console, "CmdSend", "Send Trigger Command OK!", {}, BlockAfter::Unchanged, {}, 1},
        {"read all groups", Window::StoredData, "CmdRead", "Read Saved Data OK!", read},
        {"read groups 1 to 3", Window::StoredData, "CmdRead", "Read Saved Data OK!", read, BlockAfter::Unchanged, {},
         -1, true},
        {"group sizes", Window::StoredData, "CmdSize", "",
         {TimeOut, SendCommandFailed, SendCommandFailed, "Check Sum Error!", TimeOut}},
        {"free space", Window::StoredData, "CmdFree", "",
         {TimeOut, freeRefused, freeRefused, "CheckSum Error!", TimeOut}},
        {"clear all groups", Window::StoredData, "CmdClear", "Send Clear Group Data Command OK!", clear},
        {"clear groups 1 to 3", Window::StoredData, "CmdClear", "Send Clear Group Data Command OK!", clear,
         BlockAfter::Unchanged, {}, -1, true},
        // A firmware update is one request for access, one for the erase,
        // then one for each page: the faults start at the step under test.
        // Each step's answer is one byte.
        {"firmware access", Window::FirmwareUpdate, "cmdTransmit", "ISP Transmit OK!",
         {TimeOut, accessFailed, accessFailed, "", ""}, BlockAfter::Unchanged, {"--faults-from", "1"}},
        {"firmware erase", Window::FirmwareUpdate, "cmdTransmit", "ISP Transmit OK!",
         {eraseFailed, eraseFailed, eraseFailed, "", ""}, BlockAfter::Unchanged, {"--faults-from", "2"}},
        {"firmware page", Window::FirmwareUpdate, "cmdTransmit", "ISP Transmit OK!",
         {pageFailed, pageFailed, pageFailed, "", ""}, BlockAfter::Unchanged, {"--faults-from", "3"}},
        // The image has three pages: request 5 is the last. A line closed
        // after its answer takes the end frame with it, and an update the
        // decoder never heard end is no success.
        {"firmware last page", Window::FirmwareUpdate, "cmdTransmit", "ISP Transmit OK!",
         {pageFailed, pageFailed, pageFailed, "", "", "", "Transmit End Command Failed!"}, BlockAfter::Unchanged,
         {"--faults-from", "5"}},

        // By keyboard. A decoder that never says "S" is a handshake that
        // times out; an upload or version reply is tried three times.
        {"keyboard download", Window::Transfer, "cmdTransmit", "Download OK!",
         {TimesOut, "Download Failed!", "Download Failed!", "", ""}, BlockAfter::WithChecksum, {}, -1, false, true},
        {"keyboard upload", Window::Transfer, "cmdReceive", "   Upload OK!",
         {TimesOut, "Upload Failed!", "Upload Failed!", "Upload Failed!", "Upload Failed!", TimesOut},
         BlockAfter::DecoderBlockOnSuccess, {}, -1, false, true},
        {"keyboard version", Window::Transfer, "CmdVersion", "Version Information:\r\n\r\nFW 2.05" + QString(23, ' '),
         {TimesOut, versionRefused, versionRefused, "Upload Failed!", "Upload Failed!", TimesOut},
         BlockAfter::Unchanged, {}, -1, false, true},
        {"keyboard status", Window::Console, "CmdSend", "Send Status Command OK!",
         {TimesOut, statusFailed, statusFailed, statusFailed, statusFailed}, BlockAfter::Unchanged, {}, 0, false,
         true},
        // The decoder confirms a trigger with "P", which cannot be cut.
        {"keyboard trigger", Window::Console, "CmdSend", "Send Trigger Command OK!",
         {TimesOut, triggerFailed, triggerFailed, "", ""}, BlockAfter::Unchanged, {}, 1, false, true},
    };
    return exchanges;
}

using test::BytesOf;

// What the decoder holds, with a checksum that checks out.
QByteArray DecoderBlock()
{
    Block block = test::DescendingBlock();
    protocol::WriteBlockChecksum(block);
    return BytesOf(block);
}

} // namespace

class FaultMatrixTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void exchange_data();
    void exchange();

private:
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Configuration config;
    FailingPortIo noPortIo; // for the RS232 cases
    std::unique_ptr<KeyboardWedge> wedge;
    std::unique_ptr<SimulatorProcess> sim;
    std::unique_ptr<QWidget> window;
    std::function<bool()> running;

    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    bool writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(name);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    void openWindow(const ExchangeCase &exchange);
};

void FaultMatrixTest::init()
{
    QVERIFY(dir.isValid());
    dialogs.clear();
    config = Configuration{};
    config.block = test::SteppedBlock(3);
    config.TakeSavedCopy();
}

void FaultMatrixTest::cleanup()
{
    window.reset();
    sim.reset();
    wedge.reset();
    qunsetenv("Q51_COM1");
}

void FaultMatrixTest::openWindow(const ExchangeCase &exchange)
{
    auto serial = [] { return std::make_unique<SerialPortTransport>(); };
    PortIo &portIo = exchange.keyboard ? static_cast<PortIo &>(*wedge) : noPortIo;
    switch (exchange.window) {
    case Window::Transfer: {
        if (exchange.keyboard)
            config.TransferMode = TransferModes::ByKeyboard;
        auto *w = new TransmitWindow(config, dialogs, portIo, serial);
        running = [w] { return w->transferRunning(); };
        window.reset(w);
        break;
    }
    case Window::Console: {
        config.PortNumber = 1;
        auto *w = new CommandConsole(config, dialogs, portIo, serial);
        running = [w] { return w->commandRunning(); };
        window.reset(w);
        window->show(); // as the user sees it: opened, then the path chosen
        w->findChild<QAbstractButton *>(QLatin1String(exchange.keyboard ? "Option1_1" : "Option1_0"))->click();
        w->findChild<QComboBox *>(QStringLiteral("cboCMD"))->setCurrentIndex(exchange.consoleItem);
        break;
    }
    case Window::StoredData: {
        auto *w = new StoredDataWindow(config, dialogs, serial);
        running = [w] { return w->requestRunning(); };
        window.reset(w);
        window->show();
        if (exchange.range) {
            w->findChild<QAbstractButton *>(QStringLiteral("OptRead_1"))->click();
            w->findChild<QLineEdit *>(QStringLiteral("TxtStartNO"))->setText(QStringLiteral("1"));
            w->findChild<QLineEdit *>(QStringLiteral("TxtEndNo"))->setText(QStringLiteral("3"));
        }
        return;
    }
    case Window::FirmwareUpdate: {
        auto *w = new FirmwareUpdateWindow(config, dialogs, serial);
        running = [w] { return w->updateRunning(); };
        window.reset(w);
        window->show();
        QByteArray image(1500, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 7 + 1);
        QVERIFY(writeFile(path("firmware.bin"), image));
        w->findChild<QLineEdit *>(QStringLiteral("TxtBinFile"))->setText(path("firmware.bin"));
        return;
    }
    }
    window->show();
    // The decoder types into whatever has the keyboard focus.
    if (exchange.keyboard) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
}

void FaultMatrixTest::exchange_data()
{
    QTest::addColumn<int>("exchangeIndex");
    QTest::addColumn<int>("faultIndex");
    int n = 0;
    for (int e = 0; e < Exchanges().size(); ++e) {
        for (int f = 0; f < Faults().size(); ++f) {
            if (Faults()[f].spoils == &Outcomes::afterReply && Exchanges()[e].failures.afterReply.isEmpty())
                continue;
            if (n++ % Q51_MATRIX_PARTS != Q51_MATRIX_PART)
                continue;
            QTest::addRow("%s: %s", Exchanges()[e].name, Faults()[f].name) << e << f;
        }
    }
}

void FaultMatrixTest::exchange()
{
    QFETCH(int, exchangeIndex);
    QFETCH(int, faultIndex);
    const ExchangeCase &exchange = Exchanges()[exchangeIndex];
    const Fault &fault = Faults()[faultIndex];
    const QString failure = outcomeOf(exchange.failures, fault.spoils);
    const bool succeeds = fault.interruption == Interruption::None && failure.isEmpty();
    // Time-outs at a twentieth; rows that should succeed keep the real
    // timing so a busy machine cannot turn a reply into a time-out.
    // A line closed after a whole reply must be noticed within the real
    // pause after it.
    ScaledIntervals scale(succeeds || fault.spoils == &Outcomes::afterReply ? 1.0 : 0.05);

    if (exchange.keyboard) {
        wedge = std::make_unique<KeyboardWedge>();
        const QByteArray decoder = DecoderBlock();
        std::copy(decoder.begin(), decoder.end(), wedge->block.begin());
        wedge->versionText = "FW 2.05";
        fault.wedge(*wedge);
    } else {
        QVERIFY(writeFile(path("decoder.bin"), DecoderBlock()));
        sim = std::make_unique<SimulatorProcess>();
        QVERIFY(sim->start(QStringList{"--block-file", path("decoder.bin"), "--version-text", "FW 2.05",
                                       "--sample-groups", "5"}
                           + exchange.simOptions + fault.simOptions));
        qputenv("Q51_COM1", sim->device().toLocal8Bit());
    }

    const Block before = config.block;
    const Block saved = config.savedCopy;
    openWindow(exchange);
    QVERIFY(!QTest::currentTestFailed());
    const qsizetype shownBefore = dialogs.messages.size(); // a stored-data request asks first
    auto *button = window->findChild<QPushButton *>(QString::fromLatin1(exchange.button));
    QVERIFY(button);
    button->click();
    const qsizetype asked = dialogs.messages.size() - shownBefore;

    Block expected = before;
    if (exchange.block == BlockAfter::WithChecksum) {
        // Set before the block goes out, whatever the decoder does.
        unsigned sum = 0;
        for (int i = 0; i < 254; ++i)
            sum += before[size_t(i)];
        expected[254] = std::uint8_t(sum / 256);
        expected[255] = std::uint8_t(sum % 256);
    } else if (exchange.block == BlockAfter::DecoderBlockOnSuccess && succeeds) {
        const QByteArray decoder = DecoderBlock();
        std::copy(decoder.begin(), decoder.end(), expected.begin());
    }

    if (fault.interruption != Interruption::None) {
        // The request under test is out and unanswered; now the user leaves.
        // An exchange that waits for no reply is left at once: it is over
        // moments after its request is out.
        const bool waitsForReply = !exchange.failures.silence.isEmpty();
        const qsizetype step = exchange.simOptions.isEmpty() ? 1 : exchange.simOptions.last().toInt();
        if (exchange.keyboard) {
            // Ready, and the host on its way: writing its request or
            // block, or waiting for an answer.
            QVERIFY(test::waitUntil([&] { return wedge->typed().contains(QLatin1Char('S')); }, Patience));
            test::runFor(5);
        } else if (waitsForReply) {
            QVERIFY2(test::waitUntil([&] { return sim->log().count(QLatin1String("request ")) >= step; }, Patience),
                     qPrintable(sim->log()));
        }
        QVERIFY(running());
        const qsizetype shownThen = dialogs.messages.size();
        const std::size_t writtenThen = wedge ? wedge->writes().size() : 0;
        if (fault.interruption == Interruption::WindowClosed) {
            window->close();
            QVERIFY(!running());
            QVERIFY(!window->isVisible());
        } else {
            window.reset();
        }
        // Longer than any scaled wait: nothing may turn up afterwards.
        QTest::qWait(400);
        QCOMPARE(dialogs.messages.size(), shownThen);
        if (wedge)
            QCOMPARE(wedge->writes().size(), writtenThen); // nothing more to the keyboard controller
        QCOMPARE(BytesOf(config.block), BytesOf(expected));
        QVERIFY(config.savedCopy == saved);
        return;
    }

    QVERIFY(test::waitUntil([&] { return !running(); }, Patience));
    const QStringList shown = dialogs.texts().mid(shownBefore + asked);
    if (succeeds) {
        if (exchange.success.isEmpty())
            QVERIFY2(shown.isEmpty(), qPrintable(shown.join(" | ")));
        else
            QCOMPARE(shown, QStringList{exchange.success});
    } else {
        QCOMPARE(shown, QStringList{failure});
    }
    QVERIFY2(button->isEnabled(), exchange.button);
    QCOMPARE(BytesOf(config.block), BytesOf(expected));
    QVERIFY(config.savedCopy == saved);
}

QTEST_MAIN(FaultMatrixTest)
#include "tst_fault_matrix.moc"
