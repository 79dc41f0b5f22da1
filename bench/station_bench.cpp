#include "station_bench.h"

#include "bench_figures.h"
#include "simulator_process.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <type_traits>
#include <vector>

#include "link/protocol/exchange_limits.h"
#include "link/protocol/requests.h"
#include "link/serial_port_transport.h"
#include "link/station_engine.h"
#include "model/factory_defaults.h"
#include "records/record_store.h"

namespace q51::bench {

namespace {

constexpr int Baud = 9600;
constexpr double CycleLimit = 1.05; // a unit's cycle against the wire time of its exchanges
constexpr double PortsLimit = 1.10; // 32 ports against one

double wireMs(std::size_t bytes)
{
    return double(bytes) * 10.0 * 1000.0 / Baud;
}

// The serial transport, noting when the version query last went out: at a
// record's keeping that is the poll the unit answered, since the cycle
// itself asks no version when no firmware is given.
class NotedPort final : public Transport {
public:
    NotedPort(const QString &device, const QElapsedTimer &clock) : clock_(clock)
    {
        inner_.setDevice(device);
        connect(&inner_, &Transport::bytesArrived, this, &Transport::bytesArrived);
        connect(&inner_, &Transport::portLost, this, &Transport::portLost);
    }
    bool open(const SerialSettings &settings, int portNumber, OpenFailure *failure) override
    {
        return inner_.open(settings, portNumber, failure);
    }
    [[nodiscard]] bool isOpen() const override { return inner_.isOpen(); }
    void close() override { inner_.close(); }
    bool write(const QByteArray &bytes) override
    {
        if (bytes == query_)
            queriedNs = clock_.nsecsElapsed();
        return inner_.write(bytes);
    }
    QByteArray readAll() override { return inner_.readAll(); }
    bool discardTransmit() override { return inner_.discardTransmit(); }
    bool discardReceive() override { return inner_.discardReceive(); }

    qint64 queriedNs = -1;

private:
    const QElapsedTimer &clock_;
    SerialPortTransport inner_;
    const QByteArray query_ = [] {
        const protocol::Bytes q = protocol::ReadVersionRequest();
        return QByteArray(reinterpret_cast<const char *>(q.data()), qsizetype(q.size()));
    }();
};

// One station run: every port's first unit handled and its record kept.
struct StationRun {
    double allKeptMs = -1;          // start() to the last record kept
    std::vector<double> cycleMs;    // each unit: its identifying poll's query to its record kept
    std::vector<double> recordedMs; // each record's own seconds, in ms
    double lastQueryMs = 0;         // start() to the last port's identifying query
    double keepingMs = 0;           // in keep(), all units together
    double cpuMs = 0;               // this process's CPU from start() to the last record kept
    double simulatorCpuMs = 0;      // the simulators', from their start to their end
};

// Of this process, or of its children that have ended.
double cpuMsOf(int who = RUSAGE_SELF)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Sqlite: the real store, as the goal is about. Memory: nothing stored, to
// tell what the database adds.
enum class Keeping { Sqlite, Memory };

StationRun runStation(const QStringList &devices, const QString &folder, Keeping keeping)
{
    StationRun run;
    RecordsLocation where;
    where.path = folder + QStringLiteral("/records.sqlite");
    RecordStore store(where, folder + QStringLiteral("/spool"));
    if (QString problem; !store.open(&problem)) {
        std::fprintf(stderr, "station: the records database did not open: %s\n", qPrintable(problem));
        return run;
    }

    QElapsedTimer clock;
    std::vector<NotedPort *> ports;
    StationPlan plan;
    LoadFactoryDefaults(plan.golden);
    plan.backupFolder = folder + QStringLiteral("/backups");
    plan.stationName = QStringLiteral("bench");
    plan.settings = SerialSettings{Baud, 'N', 8, 1};

    QEventLoop loop;
    int kept = 0;
    bool failed = false;
    StationEngine engine(plan, [&](const StationRecord &record) {
        const qint64 asked = clock.nsecsElapsed();
        const RecordKept out =
            keeping == Keeping::Sqlite ? store.keep(record) : RecordKept{RecordKept::Where::Database, {}};
        const qint64 now = clock.nsecsElapsed();
        run.keepingMs += double(now - asked) / 1e6;
        failed = failed || out.where != RecordKept::Where::Database || !record.passed;
        // The engine made the ports in the order they were added.
        if (const qsizetype i = devices.indexOf(record.port); i >= 0 && std::size_t(i) < ports.size()) {
            const qint64 queried = ports[std::size_t(i)]->queriedNs;
            run.cycleMs.push_back(double(now - queried) / 1e6);
            run.lastQueryMs = std::max(run.lastQueryMs, double(queried) / 1e6);
        }
        run.recordedMs.push_back(record.seconds * 1000.0);
        if (++kept == devices.size()) {
            run.allKeptMs = double(now) / 1e6;
            run.cpuMs += cpuMsOf();
            loop.quit();
        }
        return out;
    });
    engine.setTransportFactory([&](const StationPortTarget &target) {
        auto port = std::make_unique<NotedPort>(target.device, clock);
        ports.push_back(port.get());
        return port;
    });
    for (int i = 0; i < devices.size(); ++i)
        engine.addPort({i + 1, devices[i], devices[i], {}});
    QTimer::singleShot(60000, &loop, &QEventLoop::quit); // a station that never finishes is a failed run
    run.cpuMs = -cpuMsOf();
    clock.start();
    engine.start();
    loop.exec();
    engine.stop();
    if (failed || kept != devices.size())
        return {};
    return run;
}

struct Spread {
    double median = -1, min = -1, max = -1;
};

Spread spreadOf(const std::vector<double> &ms)
{
    if (ms.empty())
        return {};
    const auto [low, high] = std::minmax_element(ms.begin(), ms.end());
    return {figuresOf(ms).median, *low, *high};
}

bool printRatioRow(const char *what, const char *conditions, double least, const std::vector<double> &ms, double limit)
{
    const Spread s = spreadOf(ms);
    const double ratio = s.median / least;
    const bool met = s.median > 0 && ratio <= limit;
    std::printf("| %s | %s | %.1f | %.1f | %.1f | %.1f | %.3f | %s |\n", what, conditions, least, s.median, s.min,
                s.max, ratio, s.median < 0 ? "FAILED" : met ? "met" : "MISSED");
    std::fflush(stdout);
    return met;
}

// A fresh simulator of `count` decoders and a fresh station for every run;
// false for a run that did not end with every unit passed and in the database.
bool collect(int count, int runs, std::vector<StationRun> &into, Keeping keeping = Keeping::Sqlite)
{
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir dir;
        const double simulatorsBefore = cpuMsOf(RUSAGE_CHILDREN);
        test::SimulatorProcess sim;
        QStringList arguments{QStringLiteral("--baud"), QString::number(Baud)};
        if (count > 1)
            arguments << QStringLiteral("--count") << QString::number(count);
        if (!dir.isValid() || !sim.start(arguments)) {
            std::fprintf(stderr, "station: the simulator of %d decoders did not start\n", count);
            return false;
        }
        StationRun run = runStation(sim.devices(), dir.path(), keeping);
        if (run.allKeptMs < 0) {
            std::fprintf(stderr, "station, %d ports: not every unit passed into the database\n", count);
            return false;
        }
        sim.stop();
        run.simulatorCpuMs = cpuMsOf(RUSAGE_CHILDREN) - simulatorsBefore;
        into.push_back(std::move(run));
    }
    return true;
}

} // namespace

bool StationBench(int runs)
{
    Configuration golden;
    LoadFactoryDefaults(golden);
    const std::size_t version = protocol::ReadVersionRequest().size() + protocol::VersionLimits.receiveThreshold;
    const std::size_t upload = protocol::ReadConfigurationRequest().size() + protocol::UploadLimits.receiveThreshold;
    const std::size_t download = protocol::DownloadFrame(golden.block).size() + protocol::DownloadLimits.receiveThreshold;
    const std::size_t cycleBytes = version + upload + download + upload;

    std::vector<StationRun> one, many, inMemory;
    const bool ran = collect(1, runs, one) && collect(32, runs, many) && collect(32, runs, inMemory, Keeping::Memory);

    // Each figure of every run, run after run.
    const auto all = [](const std::vector<StationRun> &from, auto field) {
        std::vector<double> values;
        for (const StationRun &run : from) {
            if constexpr (std::is_same_v<decltype(run.*field), const double &>)
                values.push_back(run.*field);
            else
                values.insert(values.end(), (run.*field).begin(), (run.*field).end());
        }
        return values;
    };
    const std::vector<double> cycles = all(one, &StationRun::cycleMs);
    const std::vector<double> recorded = all(one, &StationRun::recordedMs);
    const std::vector<double> oneAll = all(one, &StationRun::allKeptMs);
    const std::vector<double> manyAll = all(many, &StationRun::allKeptMs);

    std::printf("\n| station, one unit | conditions | least ms | wall ms (median of %d) | min | max | wall / least | <= "
                "%.2f |\n|---|---|---|---|---|---|---|---|\n",
                runs, CycleLimit);
    char conditions[160];
    std::snprintf(conditions, sizeof conditions,
                  "9600 baud; version %zu, upload %zu, download %zu, upload %zu bytes", version, upload, download,
                  upload);
    bool met = printRatioRow("identifying query sent to record kept (SQLite)", conditions, wireMs(cycleBytes), cycles,
                             CycleLimit);
    std::snprintf(conditions, sizeof conditions, "9600 baud; upload, download, upload: %zu bytes",
                  cycleBytes - version);
    met = printRatioRow("the record's own seconds", conditions,
                        wireMs(cycleBytes - version), recorded, CycleLimit) &&
          met;

    std::printf("\n| station, ports side by side | decoders | wall ms (median of %d) | min | max | / one port | <= %.2f "
                "|\n|---|---|---|---|---|---|---|\n",
                runs, PortsLimit);
    const Spread single = spreadOf(oneAll);
    for (const auto &[count, walls] : {std::pair{1, &oneAll}, std::pair{32, &manyAll}}) {
        const Spread s = spreadOf(*walls);
        const double ratio = s.median / single.median;
        const bool rowMet = s.median > 0 && single.median > 0 && ratio <= PortsLimit;
        met = met && rowMet;
        std::printf("| start to every first unit's record kept, 9600 baud | %d | %.1f | %.1f | %.1f | %.3f | %s |\n",
                    count, s.median, s.min, s.max, ratio, s.median < 0 ? "FAILED" : rowMet ? "met" : "MISSED");
    }
    // Where the 32 ports' time goes: opening them, their cycles, the keeping.
    const Spread opened = spreadOf(all(many, &StationRun::lastQueryMs));
    const Spread cycled = spreadOf(all(many, &StationRun::cycleMs));
    const Spread keeping = spreadOf(all(many, &StationRun::keepingMs));
    const Spread unstored = spreadOf(all(inMemory, &StationRun::allKeptMs));
    const Spread cpu = spreadOf(all(many, &StationRun::cpuMs));
    const Spread simulators = spreadOf(all(many, &StationRun::simulatorCpuMs));
    std::printf("| (32 ports: start to the last port's identifying query %.1f ms (%.1f to %.1f); a unit's query to its "
                "record kept %.1f ms (%.1f to %.1f); in keep() %.1f ms a run; CPU of this process %.0f ms a run, of the 32 simulators %.0f ms; with nothing stored, all 32 in %.1f ms, "
                "%.3f of one port) | | | | | | |\n",
                opened.median, opened.min, opened.max, cycled.median, cycled.min, cycled.max, keeping.median, cpu.median, simulators.median,
                unstored.median, unstored.median / single.median);
    std::fflush(stdout);
    return ran && met;
}

} // namespace q51::bench
