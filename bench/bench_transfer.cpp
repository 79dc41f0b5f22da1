// Wall time of the RS232 exchanges against the wire time of the bytes they
// move, with the simulated decoder pacing every byte at the line's baud
// rate; and the CPU the program spends while it waits out a timeout.
//
//   build/bench/bench_transfer [repetitions]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "link/exchange.h"
#include "link/intervals.h"
#include "link/protocol/download_reply.h"
#include "link/protocol/exchange_limits.h"
#include "link/protocol/requests.h"
#include "link/serial_port_transport.h"
#include "model/factory_defaults.h"

using namespace q51;

namespace {

struct Simulator {
    QProcess process;
    QString device;

    bool start(const QStringList &arguments)
    {
        process.setProgram(QStringLiteral(Q51_SIM_PATH));
        process.setArguments(arguments);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start();
        if (!process.waitForStarted(5000))
            return false;
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        const QString line = QString::fromUtf8(process.readLine()).trimmed();
        device = line.section(QLatin1Char(' '), -1);
        return device.startsWith(QLatin1Char('/'));
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};

QByteArray toQt(const protocol::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Runs one exchange to its end; returns the wall time in ms, or -1.
double runExchange(Transport &port, Exchange::Request request)
{
    Exchange exchange(port, std::move(request));
    QEventLoop loop;
    ExchangeResult result;
    QObject::connect(&exchange, &Exchange::finished, &loop, [&](const ExchangeResult &r) {
        result = r;
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    exchange.start();
    loop.exec();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return result.end == ExchangeEnd::Judged ? ms : -1;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

struct Case {
    const char *name;
    protocol::Bytes request;
    std::size_t replyBytes;
    Exchange::Request exchange;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    bool allMet = true;

    Block block = FactoryBlock();
    const auto any = [](const QByteArray &) { return 1; };
    std::vector<Case> cases{
        {"download", protocol::DownloadFrame(block), 1,
         {{}, int(protocol::DownloadLimits.receiveThreshold), Interval::DownloadReply, any}},
        {"upload", protocol::ReadConfigurationRequest(), protocol::UploadLimits.receiveThreshold,
         {{}, int(protocol::UploadLimits.receiveThreshold), Interval::UploadReply, any}},
        {"version", protocol::ReadVersionRequest(), protocol::VersionLimits.receiveThreshold,
         {{}, int(protocol::VersionLimits.receiveThreshold), Interval::VersionReply, any}},
    };

    std::printf("| exchange | baud | bytes | wire ms | wall ms (median of %d) | wall / wire | goal: wall <= 1.05 x wire + 20 ms |\n",
                repetitions);
    std::printf("|---|---|---|---|---|---|---|\n");
    for (int baud : {9600, 19200}) {
        Simulator sim;
        if (!sim.start({QStringLiteral("--baud"), QString::number(baud)})) {
            std::fprintf(stderr, "the simulator did not start\n");
            return 2;
        }
        qputenv("Q51_COM1", sim.device.toLocal8Bit());
        SerialPortTransport port;
        if (!port.open(SerialSettings{baud, 'N', 8, 1}, 1)) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(sim.device));
            return 2;
        }
        for (auto &c : cases) {
            std::vector<double> walls;
            for (int i = 0; i < repetitions; ++i) {
                auto request = c.exchange;
                request.bytes = toQt(c.request);
                walls.push_back(runExchange(port, request));
            }
            const double wall = median(walls);
            const std::size_t bytes = c.request.size() + c.replyBytes;
            const double wire = static_cast<double>(bytes) * 10.0 * 1000.0 / baud;
            const bool met = wall >= 0 && wall <= wire * 1.05 + 20.0;
            allMet = allMet && met;
            std::printf("| %s | %d | %zu | %.1f | %.1f | %.3f | %s |\n", c.name, baud, bytes, wire, wall,
                        wall / wire, met ? "met" : "MISSED");
        }
        port.close();
    }

    // A silent decoder: the whole download timeout is spent waiting.
    {
        Simulator sim;
        if (!sim.start({QStringLiteral("--silent")}))
            return 2;
        qputenv("Q51_COM1", sim.device.toLocal8Bit());
        SerialPortTransport port;
        port.open(SerialSettings{}, 1);
        Exchange exchange(port, {toQt(protocol::DownloadFrame(block)), 1, Interval::DownloadReply, any});
        QEventLoop loop;
        QObject::connect(&exchange, &Exchange::finished, &loop, &QEventLoop::quit);
        const double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        exchange.start();
        loop.exec();
        const double cpu = cpuSeconds() - cpuBefore;
        const bool met = cpu < 0.05;
        allMet = allMet && met;
        std::printf("\n| waiting out a timeout | wall ms | CPU s | goal: CPU < 0.05 s |\n|---|---|---|---|\n");
        std::printf("| download, silent decoder | %lld | %.4f | %s |\n", clock.elapsed(), cpu, met ? "met" : "MISSED");
    }
    return allMet ? 0 : 1;
}
