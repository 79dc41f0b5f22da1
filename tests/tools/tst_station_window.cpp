// The Station window over the engine, each port a fake one answered by the
// simulated decoder in-process: a unit goes from waiting through working to
// PASS or FAIL on its tile, in words and in its accessible name, with the
// counts and the latest records following; closing the window mid-unit
// stops the station and the interrupted unit is recorded as failed; what
// cannot be used is refused before anything starts.

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <deque>

#include "files/config_file_io.h"
#include "in_process_decoder.h"
#include "link/port_names.h"
#include "model/factory_defaults.h"
#include "support/event_wait.h"
#include "support/scripted_dialogs.h"
#include "tools/station_texts.h"
#include "tools/station_tile.h"
#include "tools/station_window.h"
#include "records/open_records.h"
#include "tools/records_window.h"
#include <QComboBox>
#include <QTableWidget>

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;

namespace {

constexpr double Scale = 0.05;
constexpr int Patience = 10000;

struct Kept {
    StationRecord record;
    RecordKept::Where where;
};

// One station window on one fake adapter, its records kept in memory.
struct Station {
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::deque<sim::DecoderSimulator> decoders;
    sim::FaultOptions faults;
    RecordKept::Where keepIn = RecordKept::Where::Database;
    bool recordsOpen = true;
    QList<Kept> kept;
    QPointer<StationWindow> window;

    Station()
    {
        DetectedPort adapter;
        adapter.device = QStringLiteral("/nonexistent/q51-station-ttyUSB0");
        adapter.usbAdapter = true;
        SetPortCatalogue(std::make_shared<FixedPortCatalogue>(QList<DetectedPort>{adapter}));
        StationServices services;
        services.backupFolder = folder.filePath(QStringLiteral("backups"));
        services.openRecords = [this](const QString &, QString *problem) -> RecordKeeper {
            if (!recordsOpen) {
                *problem = QStringLiteral("the records database is away");
                return {};
            }
            return [this](const StationRecord &record) {
                kept << Kept{record, keepIn};
                return RecordKept{keepIn, keepIn == RecordKept::Where::Database ? QString()
                                                                                 : QStringLiteral("disk full")};
            };
        };
        services.transports = [this](const StationPortTarget &) {
            auto port = std::make_unique<FakeTransport>();
            test::answerWith(*port, decoders.emplace_back(sim::DecoderResponder{}, faults));
            return port;
        };
        window = new StationWindow(dialogs, std::move(services));
        field("txtStationGolden")->setText(goldenFile());
        field("txtStationOperator")->setText(QStringLiteral("Ana"));
        window->show();
    }
    ~Station()
    {
        delete window;
        SetPortCatalogue(nullptr);
    }

    QLineEdit *field(const char *name) const { return window->findChild<QLineEdit *>(QString::fromLatin1(name)); }
    StationTile *tile() const { return window->tiles().front(); }
    QString word() const { return tile()->stateLabel()->text(); }
    QString label(const char *name) const { return window->findChild<QLabel *>(QString::fromLatin1(name))->text(); }

    QString goldenFile()
    {
        Configuration golden;
        LoadFactoryDefaults(golden);
        golden.block[24] ^= 0x07;
        const QString path = folder.filePath(QStringLiteral("golden.cfg"));
        return WriteConfigurationFile(path, golden).ok ? path : QString();
    }
};

} // namespace

class StationWindowTest : public QObject {
    Q_OBJECT
private slots:
    void unitShowsItsResult_data();
    void unitShowsItsResult();
    void closingMidUnitRecordsItFailed();
    void unusableSetupIsRefused_data();
    void unusableSetupIsRefused();
    void recordsViewFilters();
};

void StationWindowTest::unitShowsItsResult_data()
{
    QTest::addColumn<int>("refuseFrom"); // the request the decoder turns down from; 0: none
    QTest::addColumn<RecordKept::Where>("keepIn");
    QTest::addColumn<QString>("word");
    QTest::addColumn<std::optional<UnitStep>>("failedAt");
    QTest::addColumn<QString>("keptText");
    // Request 1 is the poll that finds the unit; 2 its backup, 3 the download.
    QTest::newRow("pass") << 0 << RecordKept::Where::Database << "PASS" << std::optional<UnitStep>()
                          << "kept in the database";
    QTest::newRow("pass, spooled") << 0 << RecordKept::Where::Spool << "PASS" << std::optional<UnitStep>()
                                   << "kept in the spool";
    QTest::newRow("download refused") << 3 << RecordKept::Where::Database << "FAIL"
                                      << std::optional(UnitStep::Download) << "kept in the database";
    QTest::newRow("kept nowhere") << 0 << RecordKept::Where::Nowhere << "FAIL" << std::optional(UnitStep::Record)
                                  << "NOT KEPT: disk full";
}

void StationWindowTest::unitShowsItsResult()
{
    QFETCH(int, refuseFrom);
    QFETCH(RecordKept::Where, keepIn);
    QFETCH(QString, word);
    QFETCH(std::optional<UnitStep>, failedAt);
    QFETCH(QString, keptText);
    const ScaledIntervals scale(Scale);
    Station s;
    s.keepIn = keepIn;
    s.faults.refuse = refuseFrom > 0;
    s.faults.fromRequest = std::size_t(std::max(refuseFrom, 1));
    QCOMPARE(s.word(), QString::fromLatin1(StationReadyWord));
    QVERIFY(s.window->start());
    QCOMPARE(s.word(), QStringLiteral("WAITING"));
    QStringList seen;
    connect(s.window->engine(), &StationEngine::portChanged, this, [&] {
        if (seen.isEmpty() || seen.last() != s.word())
            seen << s.word();
    });
    QVERIFY(test::waitUntil([&] { return s.window->engine()->passed() + s.window->engine()->failed() == 1; },
                            Patience));
    QVERIFY(test::waitUntil([&] { return s.word() == word; }, Patience));
    QCOMPARE(seen.first(), QStringLiteral("WORKING"));
    QCOMPARE(seen.last(), word);

    // The keeper is offered the record as the unit ended: a unit verified
    // but kept nowhere fails only afterwards, at the Record step.
    QCOMPARE(s.kept.size(), 1);
    QCOMPARE(s.kept.front().record.passed, !failedAt || *failedAt == UnitStep::Record);
    const QString passedCount = word == QLatin1String("PASS") ? QStringLiteral("1") : QStringLiteral("0");
    QCOMPARE(s.label("lblStationPassed"), QStringLiteral("Passed: ") + passedCount);
    QCOMPARE(s.label("lblStationFailed"), QStringLiteral("Failed: ") + (passedCount == "1" ? "0" : "1"));
    QVERIFY(test::waitUntil([&] { return s.window->findChild<QListWidget *>("lstStationRecords")->count() == 1; },
                            Patience));
    const QString line = s.window->findChild<QListWidget *>("lstStationRecords")->item(0)->text();
    QVERIFY2(line.contains(QStringLiteral("  ") + word + QStringLiteral("  ")) && line.endsWith(keptText),
             qPrintable(line));
    QCOMPARE(s.window->findChild<QLabel *>("lblStationWarning")->isVisible(), keepIn == RecordKept::Where::Nowhere);

    // What a screen reader hears: port, state, the failed step, the version.
    const QString name = s.tile()->accessibleName();
    QVERIFY2(name.startsWith(QStringLiteral("/nonexistent/q51-station-ttyUSB0: ") + word), qPrintable(name));
    QVERIFY2(name.contains(QStringLiteral("version ")), qPrintable(name));
    if (failedAt) {
        QVERIFY2(name.contains(UnitStepText(*failedAt)), qPrintable(name));
        QVERIFY(s.tile()->findChild<QLabel *>("lblTileDetail")->toolTip().contains(UnitStepText(*failedAt)));
        QVERIFY(line.contains(UnitStepText(*failedAt)));
    }
    QVERIFY(s.tile()->accessibleDescription().contains(StationStateDetail(s.window->engine()->ports().front())));
}

void StationWindowTest::closingMidUnitRecordsItFailed()
{
    const ScaledIntervals scale(Scale);
    Station s;
    // The backup's reply stops after a few bytes: the unit is in hand until
    // that read gives up.
    s.faults.stallAfter = 10;
    s.faults.fromRequest = 2;
    QVERIFY(s.window->start());
    QVERIFY(test::waitUntil([&] { return s.word() == QLatin1String("WORKING"); }, Patience));
    s.window->close();
    QCOMPARE(s.kept.size(), 1);
    QVERIFY(!s.kept.front().record.passed);
    QCOMPARE(s.kept.front().record.failedStep, std::optional(UnitStep::Backup));
    QVERIFY(s.dialogs.messages.isEmpty()); // closing asks nothing
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(s.window.isNull());
    test::runFor(50); // nothing left running calls into the window gone
    QCOMPARE(s.kept.size(), 1);
}

void StationWindowTest::unusableSetupIsRefused_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("recordsOpen");
    QTest::addColumn<QString>("said");
    QTest::newRow("no such golden file") << QByteArray("txtStationGolden") << "/nonexistent/golden.cfg" << true
                                         << "cannot be used as the golden configuration";
    QTest::newRow("damaged golden file") << QByteArray("txtStationGolden") << "short" << true
                                         << "some of its lines are missing";
    QTest::newRow("bad settings") << QByteArray("txtStationSettings") << "9600,X,8,1" << true
                                  << "The settings \"9600,X,8,1\" cannot be used";
    QTest::newRow("no operator") << QByteArray("txtStationOperator") << "" << true << "operator's name";
    QTest::newRow("records away") << QByteArray() << QString() << false << "its records cannot be kept";
}

void StationWindowTest::unusableSetupIsRefused()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, value);
    QFETCH(bool, recordsOpen);
    QFETCH(QString, said);
    Station s;
    s.recordsOpen = recordsOpen;
    if (value == QLatin1String("short")) {
        // A configuration file cut after its header and a few bytes.
        QFile file(s.field("txtStationGolden")->text());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write(lines.mid(0, 20).join('\n')) > 0);
        file.close();
    } else if (!field.isEmpty()) {
        s.field(field.constData())->setText(value);
    }
    QVERIFY(!s.window->start());
    QVERIFY(!s.window->engine());
    QCOMPARE(s.dialogs.messages.size(), 1);
    const Message &message = s.dialogs.messages.front();
    QVERIFY2((message.text + message.detail).contains(said), qPrintable(message.text));
    QCOMPARE(s.word(), QString::fromLatin1(StationReadyWord));
}

// The records view over a real database: newest first, filtered as q51ctl
// records filters, a bad time or a missing database told in its status line.
void StationWindowTest::recordsViewFilters()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    {
        QString problem;
        const auto store = OpenRecordStore(path, &problem);
        QVERIFY2(store, qPrintable(problem));
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-60);
        for (int i = 0; i < 3; ++i) {
            StationRecord record;
            record.unitId = QStringLiteral("unit-%1").arg(i);
            record.time = start.addSecs(i);
            record.port = QStringLiteral("/dev/ttyUSB%1").arg(i);
            record.passed = i != 1;
            if (!record.passed)
                record.failedStep = UnitStep::Download;
            QCOMPARE(store->keep(record).where, KeptWhere::Database);
        }
    }
    RecordsWindow view(path);
    QCOMPARE(view.table().rowCount(), 3);
    QCOMPARE(view.table().findItems(QStringLiteral("unit-2"), Qt::MatchExactly).value(0)->row(), 0); // newest first
    auto *result = view.findChild<QComboBox *>(QStringLiteral("cboRecordsResult"));
    result->setCurrentIndex(2); // Failed
    QCOMPARE(view.table().rowCount(), 1);
    QCOMPARE(view.table().findItems(QStringLiteral("unit-1"), Qt::MatchExactly).size(), 1);
    result->setCurrentIndex(0);
    view.findChild<QLineEdit *>(QStringLiteral("txtRecordsPort"))->setText(QStringLiteral("/dev/ttyUSB0"));
    view.refresh();
    QCOMPARE(view.table().rowCount(), 1);
    view.findChild<QLineEdit *>(QStringLiteral("txtRecordsSince"))->setText(QStringLiteral("yesterday-ish"));
    view.refresh();
    QCOMPARE(view.table().rowCount(), 0);
    QVERIFY(view.findChild<QLabel *>(QStringLiteral("lblRecordsStatus"))->text().contains(QStringLiteral("no time")));

    RecordsWindow missing(dir.filePath(QStringLiteral("none.sqlite")));
    QCOMPARE(missing.table().rowCount(), 0);
    QVERIFY(!missing.findChild<QLabel *>(QStringLiteral("lblRecordsStatus"))->text().isEmpty());
}

QTEST_MAIN(StationWindowTest)
#include "tst_station_window.moc"
