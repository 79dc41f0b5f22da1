// The reopen procedure every service window runs and the settings string it
// parses.

#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include "link/fake_transport.h"
#include "link/serial_port_transport.h"
#include "model/configuration.h"
#include "support/scripted_dialogs.h"
#include "tools/port_reopen_dialog.h"

using namespace q51;
using q51::test::ScriptedDialogs;

Q_DECLARE_METATYPE(q51::OpenFailureKind)

namespace {

const SerialSettings StartUp{9600, 'N', 8, 1};

QByteArray envName(int port)
{
    return QByteArray("Q51_COM") + QByteArray::number(port);
}

} // namespace

class PortReopen : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        for (int port = 1; port <= 4; ++port)
            qunsetenv(envName(port).constData());
    }

    void missingDeviceShowsNotAvailable_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("Com 1") << 1 << "COM 1: not available.";
        QTest::newRow("Com 2") << 2 << "COM 2: not available.";
        QTest::newRow("Com 3") << 3 << "COM 3: not available.";
        QTest::newRow("Com 4") << 4 << "COM 4: not available.";
    }
    void missingDeviceShowsNotAvailable()
    {
        QFETCH(int, port);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("no-such-dir/ttyQ51"));
        qputenv(envName(port).constData(), missing.toLocal8Bit());

        SerialPortTransport transport;
        ScriptedDialogs dialogs;
        QVERIFY(!reopenPort(transport, StartUp, port, dialogs));
        QVERIFY(!transport.isOpen());

        QCOMPARE(dialogs.messages.size(), 1);
        const Message &box = dialogs.messages.first();
        QCOMPARE(box.text, text);
        QCOMPARE(box.title, QString::fromUtf8(DefaultCaption));
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QVERIFY2(box.detail.contains(QStringLiteral("No such device")), qPrintable(box.detail));
        QVERIFY2(box.detail.contains(missing), qPrintable(box.detail));
        // Behind the details button: the port doctor on that device.
        QVERIFY2(box.details.startsWith(missing + QStringLiteral("\n  Device:  missing\n")), qPrintable(box.details));
        QVERIFY2(box.details.contains(QStringLiteral("  Problem: %1 does not exist.").arg(missing)),
                 qPrintable(box.details));
    }

    void openFailureReasonIsTheDetail_data()
    {
        QTest::addColumn<OpenFailureKind>("kind");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("in use") << OpenFailureKind::InUse << "in use by another program";
        QTest::newRow("no rights") << OpenFailureKind::PermissionDenied << "Permission denied";
        QTest::newRow("bad settings") << OpenFailureKind::UnsupportedSettings << "does not support";
    }
    void openFailureReasonIsTheDetail()
    {
        QFETCH(OpenFailureKind, kind);
        QFETCH(QString, fragment);
        qputenv("Q51_COM2", "/dev/ttyUSB7");
        FakeTransport transport;
        transport.refuseOpen(kind);
        ScriptedDialogs dialogs;
        QVERIFY(!reopenPort(transport, StartUp, 2, dialogs));
        QVERIFY(!transport.isOpen());
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("COM 2: not available.")});
        const QString detail = dialogs.messages.first().detail;
        QVERIFY2(detail.contains(fragment), qPrintable(detail));
        QVERIFY2(detail.contains(QStringLiteral("/dev/ttyUSB7")), qPrintable(detail));
    }

    void successOpensWithTheSettingsAndSaysNothing()
    {
        FakeTransport transport;
        ScriptedDialogs dialogs;
        QVERIFY(reopenPort(transport, StartUp, 1, dialogs));
        // A second reopen, as after a settings change, starts over on the open port.
        QVERIFY(reopenPort(transport, SerialSettings{600, 'E', 7, 2}, 3, dialogs));
        QVERIFY(transport.isOpen());
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(transport.openCount(), 2);
        QCOMPARE(transport.lastSettings(), (SerialSettings{600, 'E', 7, 2}));
        QCOMPARE(transport.lastPortNumber(), 3);
        QCOMPARE(transport.transmitDiscards(), 2);
    }

    void failureClosesAPortThatWasOpen()
    {
        FakeTransport transport;
        ScriptedDialogs dialogs;
        QVERIFY(reopenPort(transport, StartUp, 1, dialogs));
        transport.refuseOpen(OpenFailureKind::NoSuchDevice);
        QVERIFY(!reopenPort(transport, StartUp, 3, dialogs));
        QVERIFY(!transport.isOpen());
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("COM 3: not available.")});
        // The next choice retries with the same settings.
        transport.allowOpen();
        QVERIFY(reopenPort(transport, StartUp, 3, dialogs));
        QVERIFY(transport.isOpen());
    }

    void refusedSettingsNeedNoDoctor()
    {
        FakeTransport transport;
        transport.refuseOpen(OpenFailureKind::UnsupportedSettings);
        ScriptedDialogs dialogs;
        QVERIFY(!reopenPort(transport, StartUp, 1, dialogs));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.first().details.isEmpty());
    }

    void unusableSettingsStringIsNotAvailableWithoutOpening()
    {
        Configuration config;
        FakeTransport transport;
        ScriptedDialogs dialogs;
        QVERIFY(reopenPort(transport, config, dialogs));
        config.FramingText = FixedText<5>{"X,8,1"};
        QVERIFY(!reopenPort(transport, config, dialogs));
        QVERIFY(!transport.isOpen());
        QCOMPARE(transport.openCount(), 1);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("COM 1: not available.")});
        QVERIFY(dialogs.messages.first().detail.contains(QStringLiteral("parity")));
    }

    void configurationSuppliesPortAndSettings()
    {
        Configuration config;
        config.PortNumber = 4;
        config.BaudText = "19200";
        config.FramingText = FixedText<5>{"S,7,2"};
        FakeTransport transport;
        ScriptedDialogs dialogs;
        QVERIFY(reopenPort(transport, config, dialogs));
        QCOMPARE(transport.lastPortNumber(), 4);
        QCOMPARE(transport.lastSettings(), (SerialSettings{19200, 'S', 7, 2}));
    }

    void settingsString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QChar>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        const QChar none;
        QTest::newRow("start-up") << "9600,N,8,1" << true << 9600 << QChar(u'N') << 8 << 1;
        QTest::newRow("600 even 7 2") << "600,E,7,2" << true << 600 << QChar(u'E') << 7 << 2;
        QTest::newRow("19200 odd") << "19200,O,8,1" << true << 19200 << QChar(u'O') << 8 << 1;
        QTest::newRow("mark") << "1200,M,7,1" << true << 1200 << QChar(u'M') << 7 << 1;
        QTest::newRow("space") << "2400,S,8,2" << true << 2400 << QChar(u'S') << 8 << 2;
        QTest::newRow("other baud") << "115200,N,8,1" << true << 115200 << QChar(u'N') << 8 << 1;
        QTest::newRow("empty") << "" << false << 0 << none << 0 << 0;
        QTest::newRow("baud only") << "9600" << false << 0 << none << 0 << 0;
        QTest::newRow("three fields") << "9600,N,8" << false << 0 << none << 0 << 0;
        QTest::newRow("five fields") << "9600,N,8,1," << false << 0 << none << 0 << 0;
        QTest::newRow("unknown parity") << "9600,X,8,1" << false << 0 << none << 0 << 0;
        QTest::newRow("lower-case parity") << "9600,n,8,1" << false << 0 << none << 0 << 0;
        QTest::newRow("two parity letters") << "9600,NE,8,1" << false << 0 << none << 0 << 0;
        QTest::newRow("9 data bits") << "9600,N,9,1" << false << 0 << none << 0 << 0;
        QTest::newRow("6 data bits") << "9600,N,6,1" << false << 0 << none << 0 << 0;
        QTest::newRow("3 stop bits") << "9600,N,8,3" << false << 0 << none << 0 << 0;
        QTest::newRow("1.5 stop bits") << "9600,N,8,1.5" << false << 0 << none << 0 << 0;
        QTest::newRow("letter in baud") << "96a0,N,8,1" << false << 0 << none << 0 << 0;
        QTest::newRow("signed baud") << "+9600,N,8,1" << false << 0 << none << 0 << 0;
        QTest::newRow("negative baud") << "-9600,N,8,1" << false << 0 << none << 0 << 0;
        QTest::newRow("zero baud") << "0,N,8,1" << false << 0 << none << 0 << 0;
        QTest::newRow("huge baud") << "99999999999,N,8,1" << false << 0 << none << 0 << 0;
        QTest::newRow("blank") << " 9600,N,8,1" << false << 0 << none << 0 << 0;
    }
    void settingsString()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QString problem;
        const auto settings = parseSerialSettings(text, &problem);
        QCOMPARE(settings.has_value(), valid);
        if (!valid) {
            QVERIFY(problem.contains(text));
            return;
        }
        QFETCH(int, baud);
        QFETCH(QChar, parity);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QCOMPARE(settings->baudRate, baud);
        QCOMPARE(QChar(settings->parity), parity);
        QCOMPARE(settings->dataBits, dataBits);
        QCOMPARE(settings->stopBits, stopBits);
        QCOMPARE(serialSettingsText(*settings), text); // the one text form, read back unchanged
    }

    void settingsReachQSerialPort_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSerialPort::Parity>("parity");
        QTest::addColumn<QSerialPort::DataBits>("dataBits");
        QTest::addColumn<QSerialPort::StopBits>("stopBits");
        QTest::newRow("none") << "9600,N,8,1" << QSerialPort::NoParity << QSerialPort::Data8 << QSerialPort::OneStop;
        QTest::newRow("even") << "600,E,7,2" << QSerialPort::EvenParity << QSerialPort::Data7 << QSerialPort::TwoStop;
        QTest::newRow("odd") << "1200,O,8,2" << QSerialPort::OddParity << QSerialPort::Data8 << QSerialPort::TwoStop;
        QTest::newRow("mark") << "2400,M,7,1" << QSerialPort::MarkParity << QSerialPort::Data7 << QSerialPort::OneStop;
        QTest::newRow("space") << "19200,S,8,1" << QSerialPort::SpaceParity << QSerialPort::Data8 << QSerialPort::OneStop;
    }
    void settingsReachQSerialPort()
    {
        QFETCH(QString, text);
        QFETCH(QSerialPort::Parity, parity);
        QFETCH(QSerialPort::DataBits, dataBits);
        QFETCH(QSerialPort::StopBits, stopBits);
        const auto settings = parseSerialSettings(text);
        QVERIFY(settings);
        QSerialPort port;
        port.setFlowControl(QSerialPort::HardwareControl);
        QVERIFY(applySerialSettings(*settings, port));
        QCOMPARE(port.baudRate(), settings->baudRate);
        QCOMPARE(port.parity(), parity);
        QCOMPARE(port.dataBits(), dataBits);
        QCOMPARE(port.stopBits(), stopBits);
        QCOMPARE(port.flowControl(), QSerialPort::NoFlowControl);
    }
};

QTEST_GUILESS_MAIN(PortReopen)
#include "tst_port_reopen.moc"
