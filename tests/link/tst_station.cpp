// The station's engine against simulated decoders on pseudo-terminals: a
// unit is taken once while it stays plugged in, each failure names its
// step, and nothing shows PASS without a kept record.

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "link/station_engine.h"
#include "model/factory_defaults.h"
#include "support/event_wait.h"
#include "support/scaled_intervals.h"
#include "support/simulator_process.h"

using namespace q51;
using q51::test::SimulatorProcess;
using q51::test::waitUntil;

namespace {

constexpr int Patience = 20000;

StationPlan goldenPlan(const QString &backups)
{
    StationPlan plan;
    LoadFactoryDefaults(plan.golden);
    plan.golden.block[24] ^= 0x01; // differs from every factory-fresh unit
    plan.goldenName = QStringLiteral("site.cfg");
    plan.stationName = QStringLiteral("bench-1");
    plan.operatorName = QStringLiteral("Ada");
    plan.backupFolder = backups;
    return plan;
}

// Records kept in memory, or refused to show that a pass needs a record.
struct Keeper {
    std::vector<StationRecord> records;
    RecordKept::Where where = RecordKept::Where::Database;
    RecordKeeper function()
    {
        return [this](const StationRecord &record) {
            if (where == RecordKept::Where::Nowhere)
                return RecordKept{where, QStringLiteral("the disk is full.")};
            records.push_back(record);
            return RecordKept{where, {}};
        };
    }
};

struct Station {
    QTemporaryDir backups;
    Keeper keeper;
    std::unique_ptr<StationEngine> engine;
    explicit Station(const QStringList &devices)
    {
        engine = std::make_unique<StationEngine>(goldenPlan(backups.path()), keeper.function());
        for (const QString &device : devices)
            engine->addPort({1, device, device, {}});
    }
    const StationPortStatus &port(int i = 0) const { return engine->ports()[std::size_t(i)]; }
};

} // namespace

class TestStation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { scaled_ = std::make_unique<q51::test::ScaledIntervals>(0.05); }
    void cleanupTestCase() { scaled_.reset(); }

    // One unit, one record, however long it stays; the next unit after it
    // left is a new record.
    void takesEachUnitOnce()
    {
        SimulatorProcess sim;
        QVERIFY(sim.start({QStringLiteral("--link"), links_.filePath(QStringLiteral("once"))}));
        Station station({links_.filePath(QStringLiteral("once"))});
        station.engine->start();
        QVERIFY(waitUntil([&] { return station.keeper.records.size() == 1; }, Patience));
        const StationRecord first = station.keeper.records.front();
        QVERIFY2(first.passed, qPrintable(first.problem));
        QCOMPARE(first.foundDigest, BlockDigest(FactoryBlock()));
        QCOMPARE(first.goldenDigest, BlockDigest(GoldenBlock(station.engine->plan())));
        QCOMPARE(first.station, QStringLiteral("bench-1"));
        QCOMPARE(first.operatorName, QStringLiteral("Ada"));
        QVERIFY(!first.decoderVersion.isEmpty());
        QVERIFY(!first.unitId.isEmpty());
        QCOMPARE(QDir(station.backups.path()).entryList({QStringLiteral("*.cfg")}).size(), 1);
        QVERIFY(waitUntil([&] { return station.port().state == StationPortState::Passed; }, Patience));

        // Many polls later it is still the same unit.
        q51::test::runFor(int(scaledInterval(Interval::StationPoll).count()) * 8);
        QCOMPARE(station.keeper.records.size(), std::size_t(1));
        QCOMPARE(station.port().state, StationPortState::Passed);

        QVERIFY(sim.toggleVanish());
        QVERIFY(waitUntil([&] { return station.port().state == StationPortState::NoPort; }, Patience));
        QVERIFY(sim.toggleVanish());
        QVERIFY(waitUntil([&] { return station.keeper.records.size() == 2; }, Patience));
        QVERIFY(station.keeper.records[1].passed);
        QVERIFY(station.keeper.records[1].unitId != first.unitId);
        QCOMPARE(station.engine->passed(), 2);
    }

    void failsAtTheRightStep_data()
    {
        QTest::addColumn<QStringList>("simArguments");
        QTest::addColumn<int>("step");
        // Requests in order: version, upload (backup), download, upload (read back).
        QTest::newRow("refuses the version") << QStringList{"--refuse"} << int(UnitStep::Identify);
        QTest::newRow("backup unanswered") << QStringList{"--silent", "--faults-from", "2"} << int(UnitStep::Backup);
        QTest::newRow("refuses the download") << QStringList{"--refuse", "--faults-from", "3"}
                                              << int(UnitStep::Download);
        QTest::newRow("garbled read-back") << QStringList{"--bad-bcc", "--faults-from", "4"}
                                           << int(UnitStep::ReadBack);
    }
    void failsAtTheRightStep()
    {
        QFETCH(QStringList, simArguments);
        QFETCH(int, step);
        SimulatorProcess sim;
        QVERIFY(sim.start(simArguments));
        Station station({sim.device()});
        station.engine->start();
        QVERIFY(waitUntil([&] { return !station.keeper.records.empty(); }, Patience));
        const StationRecord &record = station.keeper.records.front();
        QVERIFY(!record.passed);
        QCOMPARE(int(record.failedStep.value_or(UnitStep::Record)), step);
        QVERIFY(record.problem.startsWith(UnitStepText(UnitStep(step)).left(1).toUpper()));
        QVERIFY(waitUntil([&] { return station.port().state == StationPortState::Failed; }, Patience));
        QCOMPARE(int(station.port().step), step);
        QCOMPARE(station.engine->failed(), 1);
    }

    // The firmware step runs only when the unit's version differs, and
    // counts only when the decoder then tells the version the image brings.
    void updatesFirmwareWhenItDiffers_data()
    {
        QTest::addColumn<QStringList>("simArguments");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("updated");
        const QString old = QStringLiteral("FW 1.00"), current = QStringLiteral("FW 2.00");
        QTest::newRow("already current") << QStringList{"--version-text", current} << true << current << current << false;
        QTest::newRow("updated") << QStringList{"--version-text", old, "--version-after-update", current} << true << old
                                 << current << true;
        QTest::newRow("update does not take") << QStringList{"--version-text", old} << false << old << old << true;
        QTest::newRow("image refused") << QStringList{"--version-text", old, "--isp-version", "01020304"} << false
                                       << old << old << false;
    }
    void updatesFirmwareWhenItDiffers()
    {
        QFETCH(QStringList, simArguments);
        QFETCH(bool, passes);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(bool, updated);
        SimulatorProcess sim;
        QVERIFY(sim.start(simArguments));
        Station station({sim.device()});
        StationPlan plan = station.engine->plan();
        plan.firmware = protocol::Bytes(600, 0x5A);
        const std::uint8_t imageVersion[]{0x11, 0x22, 0x33, 0x44}; // what the simulator takes unless told
        std::copy(std::begin(imageVersion), std::end(imageVersion), plan.firmware->begin());
        plan.firmwareVersion = QStringLiteral("FW 2.00");
        station.engine = std::make_unique<StationEngine>(plan, station.keeper.function());
        station.engine->addPort({1, sim.device(), sim.device(), {}});
        station.engine->start();
        QVERIFY(waitUntil([&] { return !station.keeper.records.empty(); }, Patience));
        const StationRecord &record = station.keeper.records.front();
        QCOMPARE(record.passed, passes);
        if (!passes)
            QCOMPARE(record.failedStep, std::optional(UnitStep::Firmware));
        QCOMPARE(record.firmwareBefore, before);
        QCOMPARE(record.firmwareAfter, after);
        QCOMPARE(sim.log().contains(QStringLiteral("isp end")), updated);
    }

    // Verified, but nowhere to keep the record: no PASS.
    void noRecordNoPass()
    {
        SimulatorProcess sim;
        QVERIFY(sim.start({}));
        Station station({sim.device()});
        station.keeper.where = RecordKept::Where::Nowhere;
        QSignalSpy finished(station.engine.get(), &StationEngine::unitFinished);
        station.engine->start();
        QVERIFY(waitUntil([&] { return finished.size() == 1; }, Patience));
        const auto record = finished.front().at(1).value<StationRecord>();
        QVERIFY(!record.passed);
        QCOMPARE(record.failedStep, std::optional(UnitStep::Record));
        QVERIFY(record.problem.contains(QStringLiteral("the disk is full.")));
        QCOMPARE(station.port().state, StationPortState::Failed);
        QCOMPARE(station.engine->passed(), 0);
    }

    // Stopped mid-unit: recorded as failed at the step it was in, ports
    // closed, stopped() told; nothing later.
    void stopMidUnit()
    {
        SimulatorProcess sim;
        QVERIFY(sim.start({QStringLiteral("--silent"), QStringLiteral("--faults-from"), QStringLiteral("2")}));
        Station station({sim.device()});
        QSignalSpy stopped(station.engine.get(), &StationEngine::stopped);
        station.engine->start();
        QVERIFY(waitUntil([&] { return station.port().state == StationPortState::Working; }, Patience));
        station.engine->stop();
        QCOMPARE(station.keeper.records.size(), std::size_t(1));
        QVERIFY(!station.keeper.records.front().passed);
        QVERIFY(station.keeper.records.front().failedStep.has_value());
        QCOMPARE(station.port().state, StationPortState::Stopped);
        QVERIFY(stopped.wait(Patience));
        q51::test::runFor(50);
        QCOMPARE(station.keeper.records.size(), std::size_t(1));
    }

    // Every port on its own: one without a device does not hold up the rest.
    void portsSideBySide()
    {
        SimulatorProcess sim;
        QVERIFY(sim.start({QStringLiteral("--count"), QStringLiteral("4")}));
        QStringList devices = sim.devices();
        devices << links_.filePath(QStringLiteral("absent"));
        Station station(devices);
        station.engine->start();
        QVERIFY(waitUntil([&] { return station.keeper.records.size() == 4; }, Patience));
        for (const StationRecord &record : station.keeper.records)
            QVERIFY2(record.passed, qPrintable(record.problem));
        QVERIFY(waitUntil([&] { return station.port(4).state == StationPortState::NoPort; }, Patience));
        QVERIFY(!station.port(4).problem.isEmpty());
    }

private:
    std::unique_ptr<q51::test::ScaledIntervals> scaled_;
    QTemporaryDir links_;
};

QTEST_GUILESS_MAIN(TestStation)
#include "tst_station.moc"
