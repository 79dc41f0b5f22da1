// q51ctl's command line: verbs, arguments and options in any order, and
// the --port forms.

#include <QTest>

#include "cli/command_line.h"

using namespace q51::cli;

class CliCommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<QStringList>("rest");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("verify");
        QTest::addColumn<bool>("device");
        QTest::addColumn<bool>("help");

        QTest::newRow("options after the file")
            << QStringList{"download", "x.cfg", "--verify", "--port", "/dev/pts/3"} << "download"
            << QStringList{"x.cfg"} << "/dev/pts/3" << true << false << false;
        QTest::newRow("inline value") << QStringList{"--port=COM2", "version"} << "version" << QStringList{}
                                      << "COM2" << false << false << false;
        QTest::newRow("diff with device") << QStringList{"diff", "a.cfg", "--device"} << "diff"
                                          << QStringList{"a.cfg"} << QString() << false << true << false;
        QTest::newRow("memory range") << QStringList{"memory", "read", "3", "9"} << "memory"
                                      << QStringList{"read", "3", "9"} << QString() << false << false << false;
        QTest::newRow("nothing asks for help") << QStringList{} << QString() << QStringList{} << QString() << false
                                               << false << true;
        QTest::newRow("-h") << QStringList{"status", "-h"} << "status" << QStringList{} << QString() << false
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
        QTEST(line->port.value_or(QString()), "port");
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
};

QTEST_GUILESS_MAIN(CliCommandLineTest)
#include "tst_cli_command_line.moc"
