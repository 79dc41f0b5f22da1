// q51ctl's command line: verbs, arguments and options in any order, the
// --port forms, and the ports a run talks to with the file each writes.

#include <QTest>

#include "cli/command_line.h"
#include "cli/port_targets.h"

using namespace q51::cli;

class CliCommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<QStringList>("rest");
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<bool>("verify");
        QTest::addColumn<bool>("device");
        QTest::addColumn<bool>("help");

        QTest::newRow("options after the file")
            << QStringList{"download", "x.cfg", "--verify", "--port", "/dev/pts/3"} << "download"
            << QStringList{"x.cfg"} << QStringList{"/dev/pts/3"} << true << false << false;
        QTest::newRow("inline value") << QStringList{"--port=COM2", "version"} << "version" << QStringList{}
                                      << QStringList{"COM2"} << false << false << false;
        QTest::newRow("--port again, for more ports")
            << QStringList{"upload", "--port", "/dev/pts/3", "--output", "d-{n}.cfg", "--port=/dev/pts/4"} << "upload"
            << QStringList{} << QStringList{"/dev/pts/3", "/dev/pts/4"} << false << false << false;
        QTest::newRow("diff with device") << QStringList{"diff", "a.cfg", "--device"} << "diff"
                                          << QStringList{"a.cfg"} << QStringList() << false << true << false;
        QTest::newRow("memory range") << QStringList{"memory", "read", "3", "9"} << "memory"
                                      << QStringList{"read", "3", "9"} << QStringList() << false << false << false;
        QTest::newRow("nothing asks for help") << QStringList{} << QString() << QStringList{} << QStringList() << false
                                               << false << true;
        QTest::newRow("-h") << QStringList{"status", "-h"} << "status" << QStringList{} << QStringList() << false
                            << false << true;
    }

    void parses()
    {
        QFETCH(QStringList, arguments);
        QString problem;
        const auto line = ParseCommandLine(arguments, &problem);
        QVERIFY2(line, qPrintable(problem));
        QTEST(line->verb, "verb");
        QTEST(line->arguments, "rest");
        QTEST(line->ports, "ports");
        QTEST(line->verify, "verify");
        QTEST(line->device, "device");
        QTEST(line->help, "help");
    }

    void rejects_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown option") << QStringList{"status", "--fast"};
        QTest::newRow("port without value") << QStringList{"status", "--port"};
        QTest::newRow("settings without value") << QStringList{"version", "--settings"};
        QTest::newRow("output without value") << QStringList{"upload", "--output"};
    }

    void rejects()
    {
        QFETCH(QStringList, arguments);
        QString problem;
        QVERIFY(!ParseCommandLine(arguments, &problem));
        QVERIFY(!problem.isEmpty());
    }

    void portChoices_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::newRow("digit") << "3" << true << 3 << QString();
        QTest::newRow("COM4") << "COM4" << true << 4 << QString();
        QTest::newRow("Com 1") << "Com 1" << true << 1 << QString();
        QTest::newRow("com 5 names no port") << "com 5" << false << 0 << QString();
        QTest::newRow("com 0 names no port") << "COM0" << false << 0 << QString();
        QTest::newRow("device") << "/dev/ttyUSB0" << true << 1 << "/dev/ttyUSB0";
        QTest::newRow("empty") << " " << false << 0 << QString();
    }

    void portChoices()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto choice = ParsePortChoice(text);
        QCOMPARE(choice.has_value(), valid);
        if (!valid)
            return;
        QTEST(choice->number, "number");
        QTEST(choice->device, "device");
    }

    void portTargets_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("names");    // empty: refused
        QTest::addColumn<QStringList>("adapters"); // as the summary names them
        QTest::addColumn<QStringList>("files");    // from the pattern "{port}_{n}_{serial}.cfg"
        QTest::addColumn<QString>("problem");

        QTest::newRow("one port") << QStringList{"--port", "/dev/pts/3"} << QStringList{"/dev/pts/3"}
                                  << QStringList{""} << QStringList{"pts-3_1_pts-3.cfg"} << QString();
        QTest::newRow("none: the file's Com 3") << QStringList{} << QStringList{"COM 3"} << QStringList{""}
                                                << QStringList{"COM3_1_COM3.cfg"} << QString();
        QTest::newRow("several, by device and number")
            << QStringList{"--port", "/dev/ttyUSB0", "--port", "2"} << QStringList{"/dev/ttyUSB0", "COM 2"}
            << QStringList{"FT232R USB UART", "USB Serial"} << QStringList{"ttyUSB0_1_A5-0.cfg", "COM2_2_COM2.cfg"}
            << QString();
        QTest::newRow("--ports all: the adapters, no platform port")
            << QStringList{"--ports", "all"} << QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1"}
            << QStringList{"FT232R USB UART", "USB Serial"} << QStringList{"ttyUSB0_1_A5-0.cfg", "ttyUSB1_2_ttyUSB1.cfg"}
            << QString();
        QTest::newRow("--ports some") << QStringList{"--ports", "some"} << QStringList{} << QStringList{}
                                      << QStringList{} << "--ports takes \"all\"";
        QTest::newRow("--ports and --port") << QStringList{"--ports", "all", "--port", "1"} << QStringList{}
                                            << QStringList{} << QStringList{} << "do not go together";
        QTest::newRow("a port twice") << QStringList{"--port", "COM2", "--port", "2"} << QStringList{}
                                      << QStringList{} << QStringList{} << "COM 2 is named twice";
        QTest::newRow("Com 2 is that adapter") << QStringList{"--port", "/dev/ttyUSB1", "--port", "2"} << QStringList{}
                                               << QStringList{} << QStringList{} << "COM 2 is named twice";
        QTest::newRow("Com 9") << QStringList{"--port", "1", "--port", "COM9"} << QStringList{} << QStringList{}
                               << QStringList{} << "not \"COM9\"";
    }

    void portTargets()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, names);
        QFETCH(QString, problem);
        qunsetenv("Q51_COM2"); // Com 2 by the rules alone
        const q51::FixedPortCatalogue catalogue({
            {"/dev/ttyS0", "", "", "", "", false},
            {"/dev/ttyUSB1", "USB Serial", "", "", "", true},
            {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A5/0", "", true},
        });
        QString seen;
        const auto line = ParseCommandLine(QStringList{"upload"} + arguments, &seen);
        QVERIFY(line);
        const auto targets = ResolvePortTargets(*line, 3, catalogue, &seen);
        QCOMPARE(targets.has_value(), problem.isEmpty());
        if (!targets) {
            QVERIFY2(seen.contains(problem), qPrintable(seen));
            return;
        }
        QStringList gotNames, adapters, files;
        for (const PortTarget &target : targets->ports) {
            gotNames << target.name;
            adapters << target.adapter;
            files << ExpandOutputPattern(QStringLiteral("{port}_{n}_{serial}.cfg"), target);
        }
        QCOMPARE(gotNames, names);
        QCOMPARE(targets->several, names.size() > 1);
        QTEST(adapters, "adapters");
        QTEST(files, "files");
    }
};

QTEST_GUILESS_MAIN(CliCommandLineTest)
#include "tst_cli_command_line.moc"
