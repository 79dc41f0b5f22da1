// q51ctl station against simulated decoders that come and go as units: each
// unit recorded once with its own block found, each fault at its step, the
// records surviving a stopped database and a killed station.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "link/station_plan.h"
#include "model/factory_defaults.h"
#include "support/event_wait.h"
#include "support/simulator_process.h"
#include "support/throwaway_postgres.h"

using namespace q51;
using q51::test::SimulatorProcess;
using q51::test::waitUntil;

namespace {

constexpr int Patience = 30000;

// A running q51ctl station, its units read as JSON lines as they come.
class StationProcess {
public:
    StationProcess(const QString &home, const QString &golden, const QString &scale = QStringLiteral("0.05"))
        : golden_(golden)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("Q51_INTERVAL_SCALE"), scale);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home); // the spool's and backups' folder
        process_.setProcessEnvironment(environment);
    }
    ~StationProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(Patience);
        }
    }
    bool start(const QStringList &arguments)
    {
        process_.start(QStringLiteral(Q51_CTL_PATH), QStringList{QStringLiteral("station"), QStringLiteral("--json"), QStringLiteral("--golden"), golden_} + arguments);
        return process_.waitForStarted(Patience);
    }
    // Every unit line so far; onUnit sees each new one.
    const QList<QJsonObject> &units()
    {
        while (process_.canReadLine()) {
            const QJsonObject unit = QJsonDocument::fromJson(process_.readLine()).object();
            units_ << unit;
            if (onUnit)
                onUnit(unit);
        }
        return units_;
    }
    bool waitForUnits(qsizetype count) { return waitUntil([&] { return units().size() >= count; }, Patience); }
    // Ctrl+C: the exit code.
    int interrupt()
    {
        ::kill(pid_t(process_.processId()), SIGINT);
        if (!process_.waitForFinished(Patience))
            return -1;
        units();
        return process_.exitCode();
    }
    void killHard()
    {
        process_.kill();
        process_.waitForFinished(Patience);
    }
    QString errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

    std::function<void(const QJsonObject &)> onUnit;

private:
    QString golden_;
    QProcess process_;
    QList<QJsonObject> units_;
};

QByteArray runCtl(const QStringList &arguments, const QString &home)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(Q51_CTL_PATH), arguments);
    process.waitForFinished(Patience);
    return process.readAllStandardOutput();
}

QJsonArray storedRecords(const QString &records, const QString &home)
{
    return QJsonDocument::fromJson(runCtl({QStringLiteral("records"), QStringLiteral("--json"),
                                           QStringLiteral("--records"), records},
                                          home))
        .array();
}

// Links appear just after the simulator names its devices.
bool linksAppear(const QStringList &paths)
{
    return waitUntil([&] {
        return std::all_of(paths.begin(), paths.end(), [](const QString &p) { return QFileInfo::exists(p); });
    }, Patience);
}

} // namespace

class StationEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The golden file: the factory configuration with the buzzer's
        // tone changed, which no unit arrives with.
        golden_ = dir_.filePath(QStringLiteral("site.cfg"));
        const QString text = dir_.filePath(QStringLiteral("site.txt"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("q51 configuration text 1\nmisc.others.buzzer_beep_tone = Low\n");
        file.close();
        runCtl({QStringLiteral("import"), text, golden_}, dir_.path());
        QVERIFY(QFileInfo::exists(golden_));
    }

    // Forty units on eight ports: each recorded once, passing, with the
    // block it came with.
    void fortyUnitsOnEightPorts()
    {
        const QString home = dir_.filePath(QStringLiteral("forty"));
        QStringList links, ports;
        for (int n = 1; n <= 8; ++n) {
            links << QStringLiteral("%1/com%2").arg(home).arg(n);
            ports << QStringLiteral("--port") << links.last();
        }
        QDir().mkpath(home);
        SimulatorProcess sims;
        QVERIFY(sims.start({QStringLiteral("--count"), QStringLiteral("8"), QStringLiteral("--link"),
                            home + QStringLiteral("/com{n}"), QStringLiteral("--pid-file"),
                            home + QStringLiteral("/pid{n}"), QStringLiteral("--units"), QStringLiteral("5"),
                            QStringLiteral("--unit-gap"), QStringLiteral("20")}));
        QVERIFY(linksAppear(links));
        const QString records = home + QStringLiteral("/records.sqlite");
        StationProcess station(home, golden_);
        // Each unit leaves once its result is out, and the next comes.
        station.onUnit = [&](const QJsonObject &unit) {
            QFile pidFile(QStringLiteral("%1/pid%2").arg(home).arg(links.indexOf(unit[QStringLiteral("port")].toString()) + 1));
            if (pidFile.open(QIODevice::ReadOnly))
                ::kill(pid_t(pidFile.readAll().trimmed().toInt()), SIGUSR2);
        };
        QVERIFY(station.start(ports + QStringList{QStringLiteral("--records"), records, QStringLiteral("--operator"),
                                                  QStringLiteral("Ada")}));
        QVERIFY2(station.waitForUnits(40),
                 qPrintable(QStringLiteral("%1 units\n").arg(station.units().size()) + station.errors() + sims.log()));
        QCOMPARE(station.interrupt(), 130);

        const QJsonArray stored = storedRecords(records, home);
        QCOMPARE(stored.size(), 40);
        QSet<QString> ids;
        QMap<QString, QSet<QString>> foundPerPort;
        for (const QJsonValue &value : stored) {
            const QJsonObject record = value.toObject();
            QVERIFY(record[QStringLiteral("passed")].toBool());
            QCOMPARE(record[QStringLiteral("operator")].toString(), QStringLiteral("Ada"));
            ids << record[QStringLiteral("unit_id")].toString();
            foundPerPort[record[QStringLiteral("port")].toString()] << record[QStringLiteral("found_digest")].toString();
        }
        QCOMPARE(ids.size(), 40);
        QCOMPARE(foundPerPort.size(), 8);
        for (const QSet<QString> &found : foundPerPort) {
            QCOMPARE(found.size(), 5); // every unit came with a block of its own
            QVERIFY(found.contains(BlockDigest(FactoryBlock())));
        }
        QCOMPARE(QDir(home + QStringLiteral("/q51setup/backups")).entryList({QStringLiteral("*.cfg")}).size(), 40);
    }

    // Each fault on a port of its own, all at once: FAIL with its step.
    void faultsFailAtTheirStep()
    {
        const QString home = dir_.filePath(QStringLiteral("faults"));
        const QList<QPair<QStringList, QString>> faults{
            {{QStringLiteral("--refuse"), QStringLiteral("--faults-on"), QStringLiteral("download")}, QStringLiteral("download")},
            {{QStringLiteral("--drop-during"), QStringLiteral("download")}, QStringLiteral("download")},
            {{QStringLiteral("--forget-writes")}, QStringLiteral("verify")},
        };
        std::vector<std::unique_ptr<SimulatorProcess>> sims;
        QStringList ports;
        for (const auto &fault : faults) {
            sims.push_back(std::make_unique<SimulatorProcess>());
            QVERIFY(sims.back()->start(fault.first));
            ports << QStringLiteral("--port") << sims.back()->device();
        }
        const QString records = home + QStringLiteral("/records.sqlite");
        StationProcess station(home, golden_);
        QVERIFY(station.start(ports + QStringList{QStringLiteral("--records"), records}));
        QVERIFY2(station.waitForUnits(3), qPrintable(station.errors()));
        QCOMPARE(station.interrupt(), 130);
        for (const QJsonObject &unit : station.units()) {
            const qsizetype port = ports.indexOf(unit[QStringLiteral("port")].toString()) / 2;
            QVERIFY(port >= 0);
            QVERIFY(!unit[QStringLiteral("passed")].toBool());
            QCOMPARE(unit[QStringLiteral("failed_step")].toString(), faults[port].second);
            QCOMPARE(unit[QStringLiteral("kept")].toString(), QStringLiteral("database"));
        }
        QCOMPARE(storedRecords(records, home).size(), 3);
    }

    // Killed mid-unit: the unit it held has no record, the one before it
    // has, and the database opens cleanly.
    void killedMidUnit()
    {
        const QString home = dir_.filePath(QStringLiteral("killed"));
        SimulatorProcess good, stuck;
        QVERIFY(good.start({}));
        // Never answers the download: the unit stays at that step.
        QVERIFY(stuck.start({QStringLiteral("--silent"), QStringLiteral("--faults-on"), QStringLiteral("download")}));
        const QString records = home + QStringLiteral("/records.sqlite");
        StationProcess station(home, golden_, QStringLiteral("1"));
        QVERIFY(station.start({QStringLiteral("--port"), good.device(), QStringLiteral("--port"), stuck.device(),
                               QStringLiteral("--records"), records}));
        QVERIFY2(station.waitForUnits(1), qPrintable(station.errors()));
        QVERIFY(waitUntil([&] { return stuck.log().contains(QStringLiteral("write configuration")); }, Patience));
        station.killHard();

        const QJsonArray stored = storedRecords(records, home);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].toObject()[QStringLiteral("port")].toString(), good.device());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(records);
            QVERIFY(db.open());
            QSqlQuery check(QStringLiteral("PRAGMA integrity_check"), db);
            QVERIFY(check.next());
            QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }

    // Two stations on one PostgreSQL database; the server stops mid-run:
    // records wait in each station's spool and arrive once it is back.
    void sharedDatabaseStopsMidRun()
    {
        if (test::ThrowawayPostgres::serverFolder().isEmpty())
            QSKIP("PostgreSQL's server is not installed (/usr/lib/postgresql/*/bin)");
        test::ThrowawayPostgres postgres;
        QString problem;
        QVERIFY2(postgres.start(&problem) && postgres.createDatabase(QStringLiteral("plant"), &problem),
                 qPrintable(problem));
        const QString records = postgres.url(QStringLiteral("plant"));

        std::vector<std::unique_ptr<SimulatorProcess>> sims;
        std::vector<std::unique_ptr<StationProcess>> stations;
        for (int n = 0; n < 2; ++n) {
            // A new unit comes on another pseudo-terminal: the link stays.
            const QString link = dir_.filePath(QStringLiteral("plant-com%1").arg(n));
            sims.push_back(std::make_unique<SimulatorProcess>());
            QVERIFY(sims.back()->start({QStringLiteral("--unit-gap"), QStringLiteral("20"), QStringLiteral("--link"), link}));
            QVERIFY(linksAppear({link}));
            // Each station its own home, so each has its own spool.
            stations.push_back(std::make_unique<StationProcess>(dir_.filePath(QStringLiteral("plant%1").arg(n)), golden_));
            QVERIFY(stations.back()->start({QStringLiteral("--port"), link, QStringLiteral("--records"), records}));
        }
        // Each station's last unit passed and went where expected.
        const auto unitsKept = [&](qsizetype count, const QString &kept) {
            for (auto &station : stations) {
                if (!station->waitForUnits(count))
                    return false;
                const QJsonObject unit = station->units().back();
                if (!unit[QStringLiteral("passed")].toBool() || unit[QStringLiteral("kept")].toString() != kept) {
                    qWarning() << unit << station->errors();
                    return false;
                }
            }
            return true;
        };
        const auto nextUnits = [&] {
            for (auto &sim : sims)
                sim->nextUnit();
        };
        QVERIFY(unitsKept(1, QStringLiteral("database")));
        QVERIFY(postgres.stop());
        nextUnits();
        QVERIFY(unitsKept(2, QStringLiteral("spool")));
        QVERIFY2(postgres.start(&problem), qPrintable(problem));
        nextUnits();
        QVERIFY(unitsKept(3, QStringLiteral("database")));
        for (auto &station : stations)
            QCOMPARE(station->interrupt(), 130);

        // Every unit the stations told of is stored, once.
        QSet<QString> told;
        for (auto &station : stations)
            for (const QJsonObject &unit : station->units())
                told << unit[QStringLiteral("unit_id")].toString();
        QVERIFY(told.size() >= 6);
        const QJsonArray stored = storedRecords(records, dir_.path());
        QSet<QString> ids;
        for (const QJsonValue &value : stored)
            ids << value.toObject()[QStringLiteral("unit_id")].toString();
        QCOMPARE(stored.size(), told.size());
        QCOMPARE(ids, told);
    }

private:
    QTemporaryDir dir_;
    QString golden_;
};

QTEST_GUILESS_MAIN(StationEndToEnd)
#include "tst_cli_station.moc"
