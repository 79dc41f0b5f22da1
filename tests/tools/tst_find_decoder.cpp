// Finding a decoder whatever its link settings: the search over the fake
// port with the simulated decoder hearing only at chosen speeds (found at
// each speed the decoder offers, a silent port, two speeds, noise, a port
// that will not open), and the Find Decoder window over the same search.

#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "in_process_decoder.h"
#include "link/decoder_detect.h"
#include "link/intervals.h"
#include "link/protocol/requests.h"
#include "model/configuration.h"
#include "schema/communication_fields.h"
#include "support/scripted_dialogs.h"
#include "tools/find_decoder_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;

namespace {

// Long enough that a reply on the fake port, delivered on the next pass of
// the event loop, beats every wait on a busy machine; short enough that a
// silent sweep takes a fraction of a second.
constexpr double Scale = 0.1;

const QByteArray VersionRequest = [] {
    const protocol::Bytes bytes = protocol::ReadVersionRequest();
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}();

// A decoder on the fake port that hears requests only at some speeds, as a
// real one hears only at its own; noise: it answers with bytes that are no
// version reply. Notes the settings of every request written.
struct Decoder {
    explicit Decoder(QList<int> hearsAt = {}, bool answersNoise = false) : speeds(hearsAt), noise(answersNoise) {}

    QList<int> speeds;
    bool noise = false;
    sim::DecoderSimulator simulator;
    QList<SerialSettings> heardAt; // one per request written, in order
    QList<QByteArray> requests;

    void attach(FakeTransport &port)
    {
        QObject::connect(&port, &FakeTransport::requestWritten, &port, [this, &port](const QByteArray &bytes) {
            heardAt << port.lastSettings();
            requests << bytes;
            if (!speeds.contains(port.lastSettings().baudRate))
                return;
            if (noise) {
                port.pushReply(QByteArray(12, '\xA5'));
                return;
            }
            const auto view = protocol::AsBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            for (const sim::SimulatorEvent &event : simulator.Feed(view)) {
                for (const sim::ReplyChunk &chunk : event.reply.chunks)
                    port.pushReply(QByteArray(reinterpret_cast<const char *>(chunk.bytes.data()),
                                              qsizetype(chunk.bytes.size())));
            }
        });
    }
};

QList<SerialSettings> plannedSettings()
{
    QList<SerialSettings> settings;
    for (const DetectProbe &probe : DetectPlan())
        settings << probe.settings;
    return settings;
}

SerialSettings at(int baud)
{
    return SerialSettings{baud, 'N', 8, 1};
}

// Runs the search to its end; the reports it gave on the way in *reports.
DetectResult runSearch(FakeTransport &port, QList<std::pair<std::size_t, std::size_t>> *reports = nullptr)
{
    Task<DetectResult> task = DetectDecoder(port, 1, [reports](const ProbeResult &, std::size_t done, std::size_t n) {
        if (reports)
            reports->append({done, n});
    });
    QEventLoop loop;
    QTimer::singleShot(20000, &loop, &QEventLoop::quit); // a search that never ends fails below
    task.start([&loop] { loop.quit(); });
    if (!task.done())
        loop.exec();
    return task.done() ? task.result() : DetectResult{DetectEnd::PortLost, {}, QStringLiteral("never ended")};
}

QList<int> answeredSpeeds(const DetectResult &result)
{
    QList<int> speeds;
    for (const ProbeResult &answer : result.answers())
        speeds << answer.settings.baudRate;
    return speeds;
}

} // namespace

Q_DECLARE_METATYPE(q51::DetectEnd)
Q_DECLARE_METATYPE(q51::OpenFailureKind)

class FindDecoderTest : public QObject {
    Q_OBJECT

private slots:
    void planTriesEveryOfferedSpeedWithinTheBudget();
    void search_data();
    void search();
    void portThatWillNotOpenIsNotWrittenTo_data();
    void portThatWillNotOpenIsNotWrittenTo();
    void window_data();
    void window();
    void closingMidSearchEndsItSilently();
};

void FindDecoderTest::planTriesEveryOfferedSpeedWithinTheBudget()
{
    const std::vector<DetectProbe> plan = DetectPlan();
    QList<int> planned;
    long long waits = 0;
    for (const DetectProbe &probe : plan) {
        planned << probe.settings.baudRate;
        QCOMPARE(serialSettingsText(probe.settings).section(u',', 1), QStringLiteral("N,8,1"));
        // The request and the 36-byte reply must fit on the wire in the wait.
        QVERIFY(probe.wait.count() * probe.settings.baudRate >= 40LL * 10 * 1000);
        waits += probe.wait.count();
    }
    QCOMPARE(planned.first(), FactoryDecoderBaudRate());
    const std::vector<int> rates = DecoderBaudRates();
    QList<int> offered(rates.begin(), rates.end());
    std::sort(offered.begin(), offered.end());
    QList<int> sorted = planned;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(sorted, offered);
    // A silent port is done within one version query's wait, with room to reopen between probes.
    QVERIFY(waits <= nominalInterval(Interval::VersionReply).count() * 9 / 10);
}

void FindDecoderTest::search_data()
{
    QTest::addColumn<QList<int>>("speeds"); // where the decoder hears
    QTest::addColumn<bool>("noise");
    QTest::addColumn<DetectEnd>("end");
    QTest::addColumn<QList<int>>("answered");

    for (const int rate : DecoderBaudRates())
        QTest::addRow("found at %d", rate) << QList<int>{rate} << false << DetectEnd::Found << QList<int>{rate};
    QTest::newRow("silent port") << QList<int>{} << false << DetectEnd::NotFound << QList<int>{};
    QTest::newRow("answers at two speeds") << QList<int>{600, 19200} << false << DetectEnd::Ambiguous
                                           << QList<int>{19200, 600};
    QTest::newRow("noise at one speed") << QList<int>{4800} << true << DetectEnd::NotFound << QList<int>{};
}

void FindDecoderTest::search()
{
    QFETCH(QList<int>, speeds);
    QFETCH(bool, noise);
    QFETCH(DetectEnd, end);
    QFETCH(QList<int>, answered);
    ScaledIntervals scale(Scale);
    FakeTransport port;
    Decoder decoder(speeds, noise);
    decoder.attach(port);
    QList<std::pair<std::size_t, std::size_t>> reports;

    const DetectResult result = runSearch(port, &reports);

    QCOMPARE(result.end, end);
    QCOMPARE(answeredSpeeds(result), answered);
    for (const ProbeResult &answer : result.answers())
        QCOMPARE(answer.version.trimmed(), QString::fromLatin1(sim::DefaultVersionText));
    QCOMPARE(result.heardNoise(), noise);
    // Every speed is tried once, in the plan's order, whatever answered,
    // with the version request alone, and the port is let go at the end.
    const QList<SerialSettings> planned = plannedSettings();
    QCOMPARE(decoder.heardAt, planned);
    QCOMPARE(decoder.requests, QList<QByteArray>(planned.size(), VersionRequest));
    QCOMPARE(int(result.probes.size()), int(planned.size()));
    QCOMPARE(reports.size(), planned.size());
    QCOMPARE(reports.last(), std::make_pair(std::size_t(planned.size()), std::size_t(planned.size())));
    QVERIFY(!port.isOpen());
}

void FindDecoderTest::portThatWillNotOpenIsNotWrittenTo_data()
{
    QTest::addColumn<OpenFailureKind>("refusal");
    QTest::addColumn<DetectEnd>("end");
    QTest::addColumn<int>("probes"); // told as not tried
    QTest::newRow("no access: the search stops") << OpenFailureKind::PermissionDenied << DetectEnd::PortUnavailable
                                                 << 0;
    // A speed the driver cannot do says nothing about the port: the next is tried.
    QTest::newRow("no speed the driver can do") << OpenFailureKind::UnsupportedSettings << DetectEnd::NotFound
                                                << int(DetectPlan().size());
}

void FindDecoderTest::portThatWillNotOpenIsNotWrittenTo()
{
    QFETCH(OpenFailureKind, refusal);
    QFETCH(DetectEnd, end);
    QFETCH(int, probes);
    FakeTransport port;
    Decoder decoder({9600});
    decoder.attach(port);
    port.refuseOpen(refusal);
    const DetectResult result = runSearch(port);
    QCOMPARE(result.end, end);
    QCOMPARE(result.problem.isEmpty(), end != DetectEnd::PortUnavailable);
    QCOMPARE(int(result.probes.size()), probes);
    for (const ProbeResult &probe : result.probes)
        QCOMPARE(probe.heard, ProbeHeard::NotOffered);
    QVERIFY(decoder.requests.isEmpty());
}

void FindDecoderTest::window_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("usable"); // the transfer window offers the speed
    QTest::addColumn<QString>("baudText");
    QTest::newRow("19200") << 19200 << true << "19200";
    QTest::newRow("600, the transfer window's last option") << 600 << true << "600";
    QTest::newRow("38400, not in the transfer window") << 38400 << false << "9600";
}

// Com 3 searched, the decoder found, and its settings taken as the
// transfer window's: By RS232, the port, the speed, N,8,1.
void FindDecoderTest::window()
{
    QFETCH(int, speed);
    QFETCH(bool, usable);
    QFETCH(QString, baudText);
    ScaledIntervals scale(Scale);
    Configuration config;
    config.TransferMode = TransferModes::ByKeyboard;
    config.FramingText = "E,7,2";
    ScriptedDialogs dialogs;
    QPointer<FakeTransport> port;
    FindDecoderWindow window(config, dialogs, test::fakePortInto(port));
    Decoder decoder({speed});
    decoder.attach(*port);
    window.show();
    window.findChild<QAbstractButton *>(QStringLiteral("OptPort_2"))->click();
    QCOMPARE(int(config.PortNumber), 3);

    QSignalSpy ended(&window, &FindDecoderWindow::searchEnded);
    auto *use = window.findChild<QPushButton *>(QStringLiteral("cmdUse"));
    window.findChild<QPushButton *>(QStringLiteral("cmdFind"))->click();
    QVERIFY(window.searching());
    QVERIFY(ended.wait(20000));
    QCOMPARE(port->lastPortNumber(), 3);
    QVERIFY(!port->isOpen());
    auto *log = window.findChild<QPlainTextEdit *>(QStringLiteral("txtProbes"));
    const QStringList lines = log->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), int(DetectPlan().size()) + 3); // a line a probe, a blank one, what it means
    const QString found = QStringLiteral("A decoder answered at %1").arg(serialSettingsText(at(speed)));
    QVERIFY2(lines[lines.size() - 2].startsWith(found), qPrintable(log->toPlainText()));
    QCOMPARE(use->isEnabled(), usable);
    QVERIFY(dialogs.messages.isEmpty());

    use->click();
    QCOMPARE(QString::fromStdString(config.BaudText), baudText);
    QCOMPARE(QString::fromStdString(config.FramingText.str()), usable ? QStringLiteral("N,8,1") : QStringLiteral("E,7,2"));
    QCOMPARE(int(config.TransferMode), usable ? int(TransferModes::ByRs232) : int(TransferModes::ByKeyboard));
    QCOMPARE(int(config.PortNumber), 3);
    QVERIFY(!use->isEnabled());
    QCOMPARE(log->toPlainText().endsWith(QStringLiteral("now uses %1 on Com 3.").arg(serialSettingsText(at(speed)))),
             usable);
}

void FindDecoderTest::closingMidSearchEndsItSilently()
{
    ScaledIntervals scale(Scale);
    Configuration config;
    ScriptedDialogs dialogs;
    QPointer<FakeTransport> port;
    auto window = std::make_unique<FindDecoderWindow>(config, dialogs, test::fakePortInto(port));
    Decoder decoder; // silent: the search would run to its end
    decoder.attach(*port);
    QSignalSpy ended(window.get(), &FindDecoderWindow::searchEnded);
    window->show();
    window->findChild<QPushButton *>(QStringLiteral("cmdFind"))->click();
    QVERIFY(window->searching());
    QTRY_VERIFY(decoder.requests.size() >= 2); // mid-search
    window->findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
    QVERIFY(!window->searching());
    QVERIFY(!port->isOpen());
    const qsizetype written = decoder.requests.size();
    QTest::qWait(int(scaledDuration(std::chrono::milliseconds(3000)).count())); // the whole sweep's time
    QCOMPARE(decoder.requests.size(), written);
    QVERIFY(ended.isEmpty());
    QVERIFY(dialogs.messages.isEmpty());
    window.reset();
}

QTEST_MAIN(FindDecoderTest)
#include "tst_find_decoder.moc"
