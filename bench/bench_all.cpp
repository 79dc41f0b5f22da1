// Every exchange of the tool against the least time its protocol allows,
// with the simulated decoder (q51sim) pacing bytes at the line's baud rate
// and the keyboard-wedge double answering at once; the CPU spent waiting;
// the program's start-up time and resident size. Prints Markdown tables.
//
//   build/bench/bench_all [runs [section...]]
//
// runs: default 5 (median, min and max; the firmware update at most 3);
// sections: rs232 keyboard firmware stored waiting startup (default all).
//
// Never part of the test suite: figures depend on the machine.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "keyboard_wedge.h"
#include "link/exchange.h"
#include "link/firmware_update.h"
#include "link/intervals.h"
#include "link/keyboard_transfers.h"
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
#include "link/reply_box.h"
#include "link/serial_port_transport.h"
#include "link/stored_data_exchanges.h"
#include "link/transmit_texts.h"
#include "model/configuration.h"
#include "model/factory_defaults.h"

using namespace q51;
namespace kb = protocol::keyboard;

namespace {

constexpr double Limit = 1.03; // an exchange may take 3% more than its least time

struct Simulator {
    QProcess process;
    QString device;

    bool start(const QStringList &arguments)
    {
        process.setProgram(QStringLiteral(Q51_SIM_PATH));
        process.setArguments(arguments);
        process.start();
        if (!process.waitForStarted(5000))
            return false;
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        device = QString::fromUtf8(process.readLine()).trimmed().section(QLatin1Char(' '), -1);
        return device.startsWith(QLatin1Char('/'));
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

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
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

bool allMet = true;

void row(const char *what, const char *detail, const std::vector<double> &walls, double least)
{
    const bool failed = std::any_of(walls.begin(), walls.end(), [](double w) { return w < 0; });
    const Spread s = spread(walls);
    const double ratio = s.median / least;
    const bool met = !failed && ratio <= Limit;
    allMet = allMet && met;
    std::printf("| %s | %s | %.1f | %.1f | %.1f | %.1f | %.3f | %s |\n", what, detail, least, s.median, s.min, s.max,
                ratio, failed ? "FAILED" : met ? "met" : "MISSED");
    std::fflush(stdout);
}

void header(const char *title, int runs)
{
    std::printf("\n| %s | conditions | least ms | wall ms (median of %d) | min | max | wall / least | <= %.2f |\n"
                "|---|---|---|---|---|---|---|---|\n",
                title, runs, Limit);
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

struct KeyboardRig {
    sim::KeyboardWedge wedge;
    Configuration config;
    std::unique_ptr<QLineEdit> box;

    KeyboardRig()
    {
        wedge.burstsBeforeReady = 1; // "S" right after the first five letters
        // Between a mark and its data the decoder leaves the host time to
        // finish its last pause (up to the 5 ms key delay) and empty the box.
        wedge.turnaround = std::chrono::milliseconds(6);
        wedge.keystrokesPerPass = 1000;
        box = std::make_unique<QLineEdit>();
        box->show();
        box->activateWindow();
        // The wedge types into the focused widget of the active window.
        QElapsedTimer patience;
        patience.start();
        while (!box->isActiveWindow() && patience.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    double run(TransferKind kind)
    {
        return timed([&](std::function<void(bool)> done) {
            auto *transfer = new KeyboardTransfer(kind, config, wedge, ReplyBox(box.get()));
            transfer->onFinished = [transfer, done](const TransferReport &report, bool) {
                transfer->deleteLater();
                const QString &text = report.text;
                if (qEnvironmentVariableIsSet("Q51_BENCH_VERBOSE"))
                    std::fprintf(stderr, "%s\n", qPrintable(text));
                done(text == QString::fromUtf8(transmit_text::DownloadOk) ||
                     text == QString::fromUtf8(transmit_text::UploadOk) ||
                     text.startsWith(QString::fromUtf8(transmit_text::VersionInformation)));
            };
            transfer->start();
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

// ---- CPU while waiting ----

void cpuRow(const char *what, const std::function<double()> &wait)
{
    const double before = cpuSeconds();
    const double ms = wait();
    const double share = (cpuSeconds() - before) / (ms / 1000.0);
    const bool met = ms > 0 && share < 0.01;
    allMet = allMet && met;
    std::printf("| %s | %.0f | %.4f | %.2f%% | %s |\n", what, ms, share, share * 100.0, met ? "met" : "MISSED");
    std::fflush(stdout);
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
        cpuRow("keyboard download (pacing 512 characters)", [&] { return rig.run(TransferKind::Download); });
        rig.wedge.fault = sim::WedgeFault::NeverAnswers;
        cpuRow("keyboard upload, silent wedge (20 ticks)", [&] {
            QElapsedTimer clock;
            clock.start();
            rig.run(TransferKind::Upload);
            return double(clock.elapsed());
        });
    }
}

// ---- start-up and resident size ----

void startUp(int runs)
{
    std::printf("\n| q51setup, offscreen | median of %d | min | max | goal | |\n|---|---|---|---|---|---|\n", runs);
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
    const Spread s = spread(starts);
    const Spread m = spread(sizes);
    const bool startMet = s.min >= 0 && s.median < 300;
    const bool sizeMet = m.min >= 0 && m.median < 80;
    allMet = allMet && startMet && sizeMet;
    std::printf("| exec to first painted main window, ms | %.1f | %.1f | %.1f | < 300 | %s |\n", s.median, s.min, s.max,
                startMet ? "met" : "MISSED");
    std::printf("| peak resident size (VmHWM), MB | %.1f | %.1f | %.1f | < 80 | %s |\n", m.median, m.min, m.max,
                sizeMet ? "met" : "MISSED");
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
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    // Further arguments pick sections by name; none runs them all.
    const QStringList picked = QApplication::arguments().mid(2);
    const auto wanted = [&](const char *name) { return picked.isEmpty() || picked.contains(QLatin1String(name)); };
    machine();
    if (wanted("rs232"))
        rs232(runs);
    if (wanted("keyboard"))
        keyboard(runs);
    if (wanted("firmware"))
        firmwareUpdate(std::min(runs, 3)); // a minute each
    if (wanted("stored"))
        storedData(runs);
    if (wanted("waiting"))
        waiting();
    if (wanted("startup"))
        startUp(runs);
    return allMet ? 0 : 1;
}
