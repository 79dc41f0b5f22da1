// Every exchange of the tool against the least time its protocol allows,
// with the simulated decoder (q51sim) pacing bytes at the line's baud rate
// and the keyboard-wedge double answering at once; the CPU spent waiting
// and sitting idle with the transfer window open;
// the program's start-up time and resident size, at the first paint and
// with every window opened once. Prints Markdown tables.
//
//   build/bench/bench_all [runs [section...]]
//
// runs: default 5 (median, min and max; the firmware update at most 3);
// sections: rs232 detect keyboard firmware stored waiting editor records station startup many (default
// all); many-full-update is many with the whole 64K firmware image, and is
// run only when named.
// `bench_all --every-window` is the resident-size probe this program runs
// as a child of its own.
//
// Never part of the test suite: figures depend on the machine.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/child_windows.h"
#include "bench_doubles.h"
#include "editor_bench.h"
#include "records_bench.h"
#include "station_bench.h"
#include "document/config_document.h"
#include "app/main_window.h"
#include "keyboard_wedge.h"
#include "link/decoder_detect.h"
#include "link/exchange.h"
#include "link/fake_transport.h"
#include "link/firmware_update.h"
#include "link/intervals.h"
#include "link/keyboard_transfers.h"
#include "link/portio/port_io.h"
#include "link/protocol/console_requests.h"
#include "link/protocol/exchange_limits.h"
#include "link/protocol/hex_text.h"
#include "link/protocol/isp_frames.h"
#include "link/protocol/isp_limits.h"
#include "link/protocol/keyboard_line.h"
#include "link/protocol/requests.h"
#include "link/protocol/status_reply.h"
#include "link/protocol/stored_data_requests.h"
#include "link/protocol/stored_read_parser.h"
#include "link/serial_port_transport.h"
#include "link/stored_data_exchanges.h"
#include "link/transmit_texts.h"
#include "model/configuration.h"
#include "model/factory_defaults.h"
#include "tools/transmit_window.h"
#include "ui/user_dialogs.h"

using namespace q51;
using namespace q51::bench;
namespace kb = protocol::keyboard;

namespace {

constexpr double Limit = 1.03; // an exchange may take 3% more than its least time

struct Simulator {
    QProcess process;
    QString device;
    QStringList devices; // one, or as many as `count`

    bool start(const QStringList &arguments, int count = 1)
    {
        process.setProgram(QStringLiteral(Q51_SIM_PATH));
        // Its log of every request is not read: left in a pipe, 32 decoders
        // updating firmware fill it and stall on writing.
        process.setStandardErrorFile(QProcess::nullDevice());
        process.setArguments(count > 1 ? arguments + QStringList{"--count", QString::number(count)} : arguments);
        process.start();
        if (!process.waitForStarted(5000))
            return false;
        while (devices.size() < count) {
            while (!process.canReadLine() && process.waitForReadyRead(5000)) {
            }
            const QString line = QString::fromUtf8(process.readLine()).trimmed().section(QLatin1Char(' '), -1);
            if (!line.startsWith(QLatin1Char('/')))
                return false;
            devices << line;
        }
        device = devices.first();
        return true;
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};

// A simulator and the real serial transport opened on it as Com 1.
struct Line {
    Simulator sim;
    SerialPortTransport port;
    bool open(const QStringList &arguments, int baud)
    {
        if (!sim.start(arguments))
            return false;
        qputenv("Q51_COM1", sim.device.toLocal8Bit());
        return port.open(SerialSettings{baud, 'N', 8, 1}, 1);
    }
};

QByteArray toQt(const protocol::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

double wireMs(std::size_t bytes, int baud)
{
    return double(bytes) * 10.0 * 1000.0 / baud;
}

// Of this process, or of its children that have ended.
double cpuSeconds(int who = RUSAGE_SELF)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Spread {
    double median = -1, min = -1, max = -1;
};

Spread spread(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// Runs `start` (which calls its argument once when done, with false for a
// failure) to its end on the event loop; the wall time in ms, or -1.
double timed(const std::function<void(std::function<void(bool)>)> &start)
{
    QEventLoop loop;
    bool ok = false;
    QElapsedTimer clock;
    clock.start();
    start([&](bool good) {
        ok = good;
        loop.quit();
    });
    loop.exec();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    return ok ? ms : -1;
}

ExchangeResult runExchange(Transport &port, Exchange::Request request, double *ms)
{
    ExchangeResult result;
    *ms = timed([&](std::function<void(bool)> done) {
        auto *exchange = new Exchange(port, std::move(request));
        QObject::connect(exchange, &Exchange::finished, exchange, [&, exchange, done](const ExchangeResult &r) {
            result = r;
            exchange->deleteLater();
            done(r.end == ExchangeEnd::Judged);
        });
        exchange->start();
    });
    return result;
}

// Shows a window and waits until it is the active one: the wedge double
// types into the focused widget of the active window.
void activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    QElapsedTimer patience;
    patience.start();
    while (!window.isActiveWindow() && patience.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool allMet = true;

void row(const char *what, const char *detail, const std::vector<double> &walls, double least,
         double limit = Limit)
{
    const bool failed = std::any_of(walls.begin(), walls.end(), [](double w) { return w < 0; });
    const Spread s = spread(walls);
    const double ratio = s.median / least;
    const bool met = !failed && ratio <= limit;
    allMet = allMet && met;
    std::printf("| %s | %s | %.1f | %.1f | %.1f | %.1f | %.3f | %s |\n", what, detail, least, s.median, s.min, s.max,
                ratio, failed ? "FAILED" : met ? "met" : "MISSED");
    std::fflush(stdout);
}

void header(const char *title, int runs, double limit = Limit)
{
    std::printf("\n| %s | conditions | least ms | wall ms (median of %d) | min | max | wall / least | <= %.2f |\n"
                "|---|---|---|---|---|---|---|---|\n",
                title, runs, limit);
}

// ---- RS232 ----

void rs232(int runs)
{
    header("RS232 exchange", runs);
    const Block block = FactoryBlock();
    const auto any = [](const QByteArray &) { return 1; };
    struct Case {
        const char *name;
        protocol::Bytes request;
        int threshold;
        Interval timeout;
    };
    const std::vector<Case> cases{
        {"download", protocol::DownloadFrame(block), int(protocol::DownloadLimits.receiveThreshold),
         Interval::DownloadReply},
        {"upload", protocol::ReadConfigurationRequest(), int(protocol::UploadLimits.receiveThreshold),
         Interval::UploadReply},
        {"version", protocol::ReadVersionRequest(), int(protocol::VersionLimits.receiveThreshold),
         Interval::VersionReply},
        {"status", protocol::StatusRequest(), int(protocol::StatusLimits.receiveThreshold), Interval::StatusReply},
    };
    for (int baud : {9600, 19200}) {
        Line line;
        if (!line.open({QStringLiteral("--baud"), QString::number(baud)}, baud)) {
            std::printf("| the simulator did not start at %d baud |\n", baud);
            allMet = false;
            continue;
        }
        for (const auto &c : cases) {
            std::vector<double> walls;
            std::size_t bytes = 0;
            for (int i = 0; i < runs; ++i) {
                double ms = -1;
                const auto result = runExchange(line.port, {toQt(c.request), c.threshold, c.timeout, any}, &ms);
                bytes = c.request.size() + std::size_t(result.reply.size());
                walls.push_back(ms);
            }
            const QByteArray detail = QByteArray::number(baud) + " baud, " + QByteArray::number(qulonglong(bytes)) +
                                      " bytes";
            row(c.name, detail.constData(), walls, wireMs(bytes, baud));
        }
    }
}

// ---- keyboard ----

// Port I/O that hands every write to the wedge double and notes the CPU
// time and wall time of each write to the keyboard's data port.
class ClockedPortIo final : public PortIo {
public:
    explicit ClockedPortIo(PortIo &inner) : inner_(inner) {}
    struct Mark {
        double cpu;
        double wallMs;
    };
    std::vector<Mark> dataWrites;
    QElapsedTimer clock;

    bool InitializeWinIo() override { return inner_.InitializeWinIo(); }
    void ShutdownWinIo() override { inner_.ShutdownWinIo(); }
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override
    {
        if (port == kb::DataPort)
            dataWrites.push_back({cpuSeconds(), double(clock.nsecsElapsed()) / 1e6});
        return inner_.SetPortVal(port, value, size);
    }

private:
    PortIo &inner_;
};

// The transfer window in keyboard mode, as the program shows it (its reply
// box and progress bar included), with the wedge double for port I/O.
struct KeyboardRig {
    sim::KeyboardWedge wedge;
    ClockedPortIo io{wedge};
    Configuration config;
    NoteDialogs dialogs;
    std::unique_ptr<TransmitWindow> window;

    KeyboardRig()
    {
        wedge.burstsBeforeReady = 1; // "S" right after the first five letters
        // Between a mark and its data the decoder leaves the host time to
        // finish its last pause (up to the 5 ms key delay) and empty the box.
        wedge.turnaround = std::chrono::milliseconds(6);
        wedge.keystrokesPerPass = 1000;
        config.TransferMode = TransferModes::ByKeyboard;
        config.block = FactoryBlock();
        io.clock.start();
        window = std::make_unique<TransmitWindow>(config, dialogs, io,
                                                  [] { return std::make_unique<FakeTransport>(); });
        activate(*window);
    }
    // From the button's click to the message the transfer ends with.
    double run(TransferKind kind)
    {
        const char *button = kind == TransferKind::Download ? "cmdTransmit"
                             : kind == TransferKind::Upload ? "cmdReceive"
                                                            : "CmdVersion";
        return timed([&](std::function<void(bool)> done) {
            dialogs.onMessage = [done](const Message &message) {
                const QString &text = message.text;
                if (qEnvironmentVariableIsSet("Q51_BENCH_VERBOSE"))
                    std::fprintf(stderr, "%s\n", qPrintable(text));
                done(text == QString::fromUtf8(transmit_text::DownloadOk) ||
                     text == QString::fromUtf8(transmit_text::UploadOk) ||
                     text.startsWith(QString::fromUtf8(transmit_text::VersionInformation)));
            };
            window->findChild<QPushButton *>(QString::fromLatin1(button))->click();
        });
    }
};

void keyboard(int runs)
{
    header("keyboard exchange", runs);
    using std::chrono::milliseconds;
    const double letters = kb::LettersPerTick * double(nominalInterval(Interval::WakeUpLetterPause).count());
    const double key = double(nominalInterval(Interval::KeyDelay).count());
    const double ready = double(nominalInterval(Interval::ReadyToDataPause).count());
    const double downloadTick = double(nominalInterval(Interval::DownloadHandshakeTick).count());
    const double replyTick = double(nominalInterval(Interval::ReplyHandshakeTick).count());
    const double turnaround = 6.0; // the wedge's, below
    const double letterPause = double(nominalInterval(Interval::WakeUpLetterPause).count());
    struct Case {
        const char *name;
        TransferKind kind;
        double least;
        const char *detail;
    };
    const std::vector<Case> cases{
        {"download", TransferKind::Download, downloadTick + letters + ready + kb::TypedBlockLength * key,
         "tick + 5 letters + 25 ms + 512 characters"},
        // "S" comes with the fifth letter, before its pause.
        {"upload", TransferKind::Upload, replyTick + letters - letterPause + turnaround,
         "tick + 4 letter pauses + 6 ms turnaround; 512 typed at once"},
        // "P" comes with the eighth character, before its pause.
        {"version", TransferKind::Version, replyTick + letters + ready + 7 * key + turnaround,
         "tick + 5 letters + 25 ms + 7 key delays + 6 ms turnaround; 40 typed at once"},
    };
    for (const auto &c : cases) {
        std::vector<double> walls;
        for (int i = 0; i < runs; ++i)
            walls.push_back(KeyboardRig().run(c.kind));
        row(c.name, c.detail, walls, c.least);
    }
}

// ---- finding a decoder ----

// A search at most this times the time of the probes it tried: what the
// port's reopening between probes may add.
constexpr double DetectLimit = 1.10;

// One search of the port to its end: the wall time in ms and what it found.
std::pair<double, DetectResult> searchPort(const QString &device)
{
    SerialPortTransport port;
    port.setDevice(device);
    Task<DetectResult> task = DetectDecoder(port, 1);
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    task.start([&loop] { loop.quit(); });
    if (!task.done())
        loop.exec();
    return {double(clock.nsecsElapsed()) / 1e6, task.result()};
}

// The simulator hearing only at its own speed and pacing its bytes there;
// the least time is the probes' own, from request to the end of each wait.
// A silent port is held to the whole search's budget instead.
void detect(int runs)
{
    header("finding a decoder", runs, DetectLimit);
    const std::vector<DetectProbe> plan = DetectPlan();
    const auto found = [](const DetectResult &result, int baud) {
        const std::vector<ProbeResult> answers = result.answers();
        return result.end == DetectEnd::Found && answers.front().settings.baudRate == baud;
    };
    for (const int baud : {plan.front().settings.baudRate, plan.back().settings.baudRate}) {
        Simulator sim;
        const QString rate = QString::number(baud);
        const bool started = sim.start({QStringLiteral("--baud"), rate, QStringLiteral("--line-speed"), rate});
        std::vector<double> walls, probes;
        for (int i = 0; i < runs; ++i) {
            const auto [wall, result] = started ? searchPort(sim.device) : std::pair{-1.0, DetectResult{}};
            walls.push_back(found(result, baud) ? wall : -1);
            probes.push_back(result.probeMilliseconds());
        }
        const QByteArray what = "found at " + rate.toLatin1() + " baud";
        const QByteArray detail = QByteArray::number(qulonglong(plan.size())) + " probes, paced";
        row(what.constData(), detail.constData(), walls, spread(probes).median, DetectLimit);
    }
    Simulator silent;
    const bool started = silent.start({QStringLiteral("--silent")});
    std::vector<double> walls;
    for (int i = 0; i < runs; ++i) {
        const auto [wall, result] = started ? searchPort(silent.device) : std::pair{-1.0, DetectResult{}};
        walls.push_back(result.end == DetectEnd::NotFound ? wall : -1);
    }
    const double budget = double(nominalInterval(Interval::VersionReply).count());
    row("silent port", "every probe waits its whole time; least: the 3 s budget", walls, budget, 1.0);
}

// ---- firmware update ----

void firmwareUpdate(int runs)
{
    header("firmware update", runs);
    constexpr int Baud = 19200;
    protocol::Bytes image(65535);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = std::uint8_t(i * 11 + i / 300 + 1);
    const QString version = QString::fromStdString(protocol::HexText(protocol::ByteView(image.data(), 4)));
    const std::size_t pages = protocol::IspPageCount(image.size());
    // Every frame and one-byte answer on the wire, the pause after each page
    // and the two short waits (before the erase and after the end frame).
    const std::size_t bytes = protocol::IspAccessFrame(image).size() + 1 + protocol::IspEraseFrame().size() + 1 +
                              pages * (protocol::IspPageFrameSize + 1) + protocol::IspEndFrame().size();
    const double least = wireMs(bytes, Baud) + double(pages) * protocol::IspPagePauseMs + 2.0 * protocol::IspShortWaitMs;

    std::vector<double> walls;
    for (int i = 0; i < runs; ++i) {
        Line line;
        if (!line.open({QStringLiteral("--baud"), QString::number(Baud), QStringLiteral("--isp-version"), version},
                       Baud)) {
            walls.push_back(-1);
            continue;
        }
        walls.push_back(timed([&](std::function<void(bool)> done) {
            auto *update = new FirmwareUpdate(line.port, image);
            QObject::connect(update, &FirmwareUpdate::finished, update, [update, done](FirmwareUpdateEnd end, bool) {
                update->deleteLater();
                done(end == FirmwareUpdateEnd::Succeeded);
            });
            update->start();
        }));
    }
    const QByteArray detail = "65535-byte image, " + QByteArray::number(qulonglong(pages)) + " pages, 19200 baud";
    row("update", detail.constData(), walls, least);
}

// ---- stored data ----

void storedData(int runs)
{
    header("stored data", runs);
    constexpr int Baud = 9600;
    Line line;
    if (!line.open({QStringLiteral("--baud"), QString::number(Baud), QStringLiteral("--sample-groups"),
                    QStringLiteral("2000")},
                   Baud)) {
        std::printf("| the simulator did not start |\n");
        allMet = false;
        return;
    }
    struct Case {
        const char *name;
        std::function<Exchange::Request()> prepare;
        protocol::Bytes request;
    };
    const std::vector<Case> cases{
        {"read 2000 groups",
         [] {
             return PrepareGroupRead(std::nullopt, std::make_shared<protocol::StoredReadParser>(), {});
         },
         protocol::ReadGroupsRequest(std::nullopt)},
        {"size listing", [] { return PrepareStoredDataRequest(StoredDataRequest::Sizes, std::nullopt); },
         protocol::GroupSizesRequest()},
    };
    for (const auto &c : cases) {
        std::vector<double> walls;
        std::size_t bytes = 0;
        for (int i = 0; i < runs; ++i) {
            double ms = -1;
            const auto result = runExchange(line.port, c.prepare(), &ms);
            bytes = c.request.size() + std::size_t(result.reply.size());
            walls.push_back(ms);
        }
        const QByteArray detail = QByteArray::number(Baud) + " baud, " + QByteArray::number(qulonglong(bytes)) +
                                  " bytes";
        row(c.name, detail.constData(), walls, wireMs(bytes, Baud));
    }
}

// Port I/O that is never allowed: no window may reach the keyboard controller.
// Lets posted paints and layouts run.
void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// ---- CPU while waiting ----

void shareRow(const char *what, double ms, double cpu, double limit = 0.01)
{
    const double share = cpu / (ms / 1000.0);
    const bool met = ms > 0 && share < limit;
    allMet = allMet && met;
    std::printf("| %s | %.0f | %.4f | %.2f%% | %s |\n", what, ms, share, share * 100.0, met ? "met" : "MISSED");
    std::fflush(stdout);
}

void cpuRow(const char *what, const std::function<double()> &wait)
{
    const double before = cpuSeconds();
    const double ms = wait();
    shareRow(what, ms, cpuSeconds() - before);
}

void waiting()
{
    std::printf("\n| waiting | wall ms | CPU s per s | of one core | < 1%% |\n|---|---|---|---|---|\n");
    {
        Line line;
        if (line.open({QStringLiteral("--silent")}, 9600)) {
            cpuRow("RS232 download, silent decoder (timeout)", [&] {
                double ms = -1;
                runExchange(line.port,
                            {toQt(protocol::DownloadFrame(FactoryBlock())), 1, Interval::DownloadReply,
                             [](const QByteArray &) { return 1; }},
                            &ms);
                // A time-out is not judged: measure it anyway.
                return ms < 0 ? double(nominalInterval(Interval::DownloadReply).count()) : ms;
            });
        }
    }
    {
        KeyboardRig rig;
        cpuRow("keyboard download, click to message", [&] { return rig.run(TransferKind::Download); });
        // The pacing alone, without the window's work at the start and end
        // (disabling and enabling its controls, the message).
        const auto &marks = rig.io.dataWrites;
        if (marks.size() == kb::LettersPerTick + kb::TypedBlockLength) {
            const ClockedPortIo::Mark &first = marks[kb::LettersPerTick];
            const ClockedPortIo::Mark &last = marks.back();
            shareRow("keyboard download, first to last of 512 paced characters", last.wallMs - first.wallMs,
                     last.cpu - first.cpu);
        }
        rig.wedge.fault = sim::WedgeFault::NeverAnswers;
        cpuRow("keyboard upload, silent wedge (20 ticks)", [&] {
            QElapsedTimer clock;
            clock.start();
            rig.run(TransferKind::Upload);
            return double(clock.elapsed());
        });
    }
}

// The transfer window open and nobody at it: what it costs to sit there,
// its "Devices" box watching for adapters included.
void idle()
{
    constexpr int IdleMs = 6000;
    std::printf("\n| idle | wall ms | CPU s per s | of one core | < 0.1%% |\n|---|---|---|---|---|\n");
    Configuration config;
    NoteDialogs dialogs;
    NoPortIo portIo;
    TransmitWindow window(config, dialogs, portIo, [] { return std::make_unique<FakeTransport>(); });
    activate(window);
    settle();
    const double before = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer::singleShot(IdleMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    shareRow("transfer window open, nothing happening", double(clock.nsecsElapsed()) / 1e6, cpuSeconds() - before,
             0.001);
}

// ---- many decoders at once ----

constexpr double ManyLimit = 1.10; // N decoders in at most this times the time of one

// One run of the q51ctl program: wall ms, the CPU it spent, its exit code.
struct CtlRun {
    double ms = -1;
    double cpu = 0;
    int code = -1;
    QByteArray errors; // its stderr
};

CtlRun runCtl(const QStringList &arguments)
{
    QProcess process;
    CtlRun run;
    const double before = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(Q51_CTL_PATH), arguments);
    if (!process.waitForFinished(30 * 60 * 1000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    run.cpu = cpuSeconds(RUSAGE_CHILDREN) - before;
    run.code = process.exitCode();
    run.ms = ms;
    run.errors = process.readAllStandardError();
    if (qEnvironmentVariableIsSet("Q51_BENCH_VERBOSE"))
        std::fprintf(stderr, "%s", run.errors.constData());
    return run;
}

QStringList portsOf(const Simulator &sim)
{
    QStringList arguments;
    for (const QString &device : sim.devices)
        arguments << QStringLiteral("--port") << device;
    return arguments;
}

// One verb against 1, 8 and 32 decoders at the baud, each count against
// the time of one.
void manyRows(const char *what, const QStringList &verb, const QStringList &simArguments, int runs)
{
    double one = -1;
    for (int count : {1, 8, 32}) {
        std::vector<double> walls;
        for (int i = 0; i < runs; ++i) {
            Simulator sim;
            const bool started = sim.start(simArguments, count);
            const CtlRun run = started ? runCtl(verb + portsOf(sim) + QStringList{"-q"}) : CtlRun{};
            walls.push_back(run.code == 0 ? run.ms : -1);
            // A failed row says why on stderr, the tables staying clean.
            if (run.code != 0)
                std::fprintf(stderr, "%s, %d decoders: %s\n%s", what, count,
                             started ? "q51ctl failed" : "the simulator did not start", run.errors.constData());
        }
        const bool failed = std::any_of(walls.begin(), walls.end(), [](double w) { return w < 0; });
        const Spread s = spread(walls);
        if (count == 1)
            one = s.median;
        const double ratio = s.median / one;
        const bool met = !failed && one > 0 && ratio <= ManyLimit;
        allMet = allMet && met;
        std::printf("| %s | %d | %.1f | %.1f | %.1f | %.3f | %s |\n", what, count, s.median, s.min, s.max, ratio,
                    failed ? "FAILED" : met ? "met" : "MISSED");
        std::fflush(stdout);
    }
}

// A firmware image whose first four bytes the simulator is told to take.
QStringList imageFor(const QString &path, std::size_t size)
{
    QByteArray image(qsizetype(size), '\0');
    for (qsizetype i = 0; i < image.size(); ++i)
        image[i] = char(i * 11 + i / 300 + 1);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        return {};
    return {QStringLiteral("--isp-version"), QString::fromLatin1(image.left(4).toHex())};
}

// fullUpdate: the whole 64K image (a minute a row) instead of 8K.
void manyDecoders(int runs, bool fullUpdate)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("bench.cfg"));
    QFile text(dir.filePath(QStringLiteral("bench.txt")));
    if (!text.open(QIODevice::WriteOnly) || text.write("q51 configuration text 1\n") < 0)
        return;
    text.close();
    runCtl({QStringLiteral("import"), text.fileName(), config});

    std::printf("\n| q51ctl, many decoders | decoders | wall ms (median of %d) | min | max | / one decoder | <= %.2f |\n"
                "|---|---|---|---|---|---|---|\n",
                runs, ManyLimit);
    manyRows("download --verify, 9600 baud", {QStringLiteral("download"), config, QStringLiteral("--verify")},
             {QStringLiteral("--baud"), QStringLiteral("9600")}, runs);
    const QString image = dir.filePath(QStringLiteral("image.bin"));
    const std::size_t size = fullUpdate ? 65535 : 8192;
    const QStringList version = imageFor(image, size);
    const QByteArray what = "isp, " + QByteArray::number(qulonglong(size)) + "-byte image, " +
                            QByteArray::number(qulonglong(protocol::IspPageCount(size))) + " pages, 19200 baud";
    manyRows(what.constData(), {QStringLiteral("isp"), image}, QStringList{QStringLiteral("--baud"), "19200"} + version,
             fullUpdate ? 1 : runs);

    // Every decoder silent: the run is all waiting, up to the download's time-out.
    std::printf("\n| q51ctl, 32 decoders waiting | wall ms | CPU s per s | of one core | < 5%% |\n|---|---|---|---|---|\n");
    Simulator silent;
    if (!silent.start({QStringLiteral("--silent")}, 32))
        return;
    const CtlRun run = runCtl(QStringList{QStringLiteral("download"), config, QStringLiteral("-q")} + portsOf(silent));
    // Every port timed out: "some failed" is the expected end.
    const double share = run.cpu / (run.ms / 1000.0);
    const bool met = run.code == 10 && share < 0.05;
    allMet = allMet && met;
    std::printf("| download, 32 silent decoders (time-out), process start to exit | %.0f | %.4f | %.2f%% | %s |\n", run.ms,
                share, share * 100.0, met ? "met" : "MISSED");
}

// ---- every window opened once ----

QByteArray peakResidentLine()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line;
    return {};
}

// `bench_all --every-window`: the program's main window with its real pages
// and tool windows opens every page, the transfer window, each Tools window,
// the help page and About, letting each paint; then prints its peak resident
// size. Modal windows are closed once painted. Messages go nowhere.
int everyWindow()
{
    BenchWindow bench;
    MainWindow &window = bench.window;
    window.startUp();
    activate(window);
    settle();
    const char *const items[] = {"mnuConfigInterface", "mnuConfigComm",  "mnuConfigBar",  "mnuConfigMisc",
                                 "mnuConfigTransmit",  "mnuToolISP",     "mnuToolMemory", "mnuToolCmd",
                                 "mnuToolsKRtest",     "mnuHelpContents", "mnuHelpAbout"};
    for (const char *name : items) {
        QAction *action = window.action(QString::fromLatin1(name));
        if (!action || !action->isEnabled()) {
            std::fprintf(stderr, "%s: no such window to open\n", name);
            return 1;
        }
        // A modal window runs its own loop: this closes it from there.
        QTimer::singleShot(0, [] {
            settle();
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        action->trigger();
        settle();
    }
    std::printf("%s\n", peakResidentLine().constData());
    return 0;
}

// ---- start-up and resident size ----

// Runs `bench_all --every-window` once; its peak resident size in MB, or -1.
double everyWindowMb()
{
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--every-window")});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        return -1;
    for (const QByteArray &line : probe.readAllStandardOutput().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void startUp(int runs)
{
    std::printf("\n| start-up and memory, offscreen | median of %d | min | max | goal | |\n|---|---|---|---|---|---|\n", runs);
    std::vector<double> starts, sizes;
    for (int i = 0; i < runs; ++i) {
        QProcess app;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("Q51_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
        app.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        app.start(QStringLiteral(Q51_APP_PATH), {});
        double painted = -1;
        double kib = -1;
        while (app.waitForReadyRead(10000) || app.canReadLine()) {
            while (app.canReadLine()) {
                const QByteArray text = app.readLine().trimmed();
                if (text.startsWith("first paint") && painted < 0)
                    painted = double(clock.nsecsElapsed()) / 1e6;
                if (text.startsWith("VmHWM:"))
                    kib = text.mid(6).trimmed().split(' ').value(0).toDouble();
            }
            if (kib >= 0)
                break;
        }
        app.waitForFinished(5000);
        starts.push_back(painted);
        sizes.push_back(kib / 1024.0);
    }
    std::vector<double> everySizes;
    for (int i = 0; i < runs; ++i)
        everySizes.push_back(everyWindowMb());
    const Spread s = spread(starts);
    const Spread m = spread(sizes);
    const Spread e = spread(everySizes);
    const bool startMet = s.min >= 0 && s.median < 300;
    const bool sizeMet = m.min >= 0 && m.median < 80;
    const bool everyMet = e.min >= 0 && e.median < 80;
    allMet = allMet && startMet && sizeMet && everyMet;
    std::printf("| q51setup: exec to first painted main window, ms | %.1f | %.1f | %.1f | < 300 | %s |\n", s.median, s.min, s.max,
                startMet ? "met" : "MISSED");
    std::printf("| q51setup: peak resident size (VmHWM) at the first paint, MB | %.1f | %.1f | %.1f | < 80 | %s |\n", m.median,
                m.min, m.max, sizeMet ? "met" : "MISSED");
    std::printf("| every window opened once (bench_all --every-window): peak resident size, MB | %.1f | %.1f | %.1f | < 80 | %s |\n",
                e.median, e.min, e.max, everyMet ? "met" : "MISSED");
}

void machine()
{
    QString model;
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray &l : cpuinfo.readAll().split('\n'))
            if (l.startsWith("model name")) {
                model = QString::fromUtf8(l.mid(l.indexOf(':') + 1).trimmed());
                break;
            }
    }
    utsname uts{};
    uname(&uts);
    std::printf("Machine: %d cores, %s; %s %s; Qt %s\n", QThread::idealThreadCount(), qPrintable(model), uts.sysname,
                uts.release, qVersion());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--every-window")
        return everyWindow();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    // Further arguments pick sections by name; none runs them all.
    const QStringList picked = QApplication::arguments().mid(2);
    const auto wanted = [&](const char *name) { return picked.isEmpty() || picked.contains(QLatin1String(name)); };
    machine();
    if (wanted("rs232"))
        rs232(runs);
    if (wanted("keyboard"))
        keyboard(runs);
    if (wanted("detect"))
        detect(runs);
    if (wanted("firmware"))
        firmwareUpdate(std::min(runs, 3)); // a minute each
    if (wanted("stored"))
        storedData(runs);
    if (wanted("waiting")) {
        waiting();
        idle();
    }
    if (wanted("editor"))
        allMet = EditorBench() && allMet;
    if (wanted("records"))
        allMet = RecordsBench(Q51_CTL_PATH) && allMet;
    if (wanted("station"))
        allMet = StationBench(runs) && allMet;
    if (wanted("startup"))
        startUp(runs);
    // The whole 64K image to 32 decoders takes minutes: only when named.
    if (wanted("many") || picked.contains(QLatin1String("many-full-update")))
        manyDecoders(runs, picked.contains(QLatin1String("many-full-update")));
    return allMet ? 0 : 1;
}
