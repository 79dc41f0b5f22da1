// q51ctl ports end to end: the real catalogue of this machine (which may
// have no serial ports at all), listed with the Com n each stands for.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include "cli/exit_codes.h"

using namespace q51::cli;

class CliPortsTest : public QObject {
    Q_OBJECT

private slots:
    void listsThisMachinesPorts_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::newRow("ports") << QStringList{"ports"} << int(Success);
        QTest::newRow("ports takes no argument") << QStringList{"ports", "extra"} << int(UsageError);
        QTest::newRow("nor a port") << QStringList{"ports", "--port", "2"} << int(UsageError);
        QTest::newRow("json") << QStringList{"ports", "--json"} << int(Success);
        QTest::newRow("doctor takes one port") << QStringList{"doctor", "2", "3"} << int(UsageError);
        QTest::newRow("doctor, no such Com") << QStringList{"doctor", "COM9"} << int(UsageError);
    }
    void listsThisMachinesPorts()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("Q51_COM2"), QStringLiteral("/dev/q51-test-port"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(Q51_CTL_PATH), arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), code);
        if (code != Success)
            return;

        const QByteArray out = process.readAllStandardOutput();
        if (arguments.contains(QStringLiteral("--json"))) {
            const QJsonObject json = QJsonDocument::fromJson(out).object();
            QVERIFY(json.value(QStringLiteral("detected")).isArray());
            const QJsonArray coms = json.value(QStringLiteral("coms")).toArray();
            QCOMPARE(coms.size(), 4);
            QCOMPARE(coms[1].toObject().value(QStringLiteral("device")).toString(), QStringLiteral("/dev/q51-test-port"));
            QCOMPARE(coms[1].toObject().value(QStringLiteral("source")).toString(), QStringLiteral("environment"));
            return;
        }
        const QStringList lines = QString::fromLocal8Bit(out).split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("Detected serial ports:"));
        const qsizetype ports = lines.indexOf(QStringLiteral("Ports:"));
        QVERIFY(ports > 1);
        // One line per detected port, each a device path, or "none".
        static const QRegularExpression detectedLine(QStringLiteral("^  (none|\\S+)"));
        for (qsizetype i = 1; i < ports; ++i)
            QVERIFY2(detectedLine.match(lines[i]).hasMatch(), qPrintable(lines[i]));
        QCOMPARE(lines.mid(ports + 1).filter(QRegularExpression(QStringLiteral("^  Com [1-4]: \\S"))).size(), 4);
        QVERIFY(lines.contains(QStringLiteral("  Com 2: /dev/q51-test-port (set by Q51_COM2)")));
    }

    void doctorSaysWhyAPortCannotBeUsed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("Com 2, Q51_COM2 missing") << QStringList{"doctor", "Com", "2"};
        QTest::newRow("every Com n") << QStringList{"doctor"};
    }
    void doctorSaysWhyAPortCannotBeUsed()
    {
        QFETCH(QStringList, arguments);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("Q51_COM2"), QStringLiteral("/dev/q51-test-port"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(Q51_CTL_PATH), arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), int(PortUnavailable));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("Com 2: /dev/q51-test-port (set by Q51_COM2)\n  Device:  missing\n"
                                             "  Problem: /dev/q51-test-port does not exist.\n")),
                 qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(CliPortsTest)
#include "tst_cli_ports.moc"
