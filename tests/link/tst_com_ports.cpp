// Which device Com n stands for: the catalogue of detected ports fed as
// data through its seam, the mapping rules over it, the user's picks for
// the run, and the three reasons a refused opening gives.

#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <unistd.h>

#include "link/com_port_mapping.h"
#include "link/open_failure_cause.h"
#include "link/port_names.h"

using namespace q51;

Q_DECLARE_METATYPE(q51::ComSource)
Q_DECLARE_METATYPE(q51::OpenFailureKind)
Q_DECLARE_METATYPE(QSerialPort::SerialPortError)
Q_DECLARE_METATYPE(q51::DetectedPort)
Q_DECLARE_METATYPE(q51::OpenFailure)

namespace {

DetectedPort Uart(const char *device)
{
    return {QString::fromLatin1(device), QStringLiteral("ttyS"), {}, {}, {}, false};
}

DetectedPort Adapter(const char *device, const char *byId = "")
{
    const QString name = QString::fromLatin1(byId);
    return {QString::fromLatin1(device), QStringLiteral("USB UART"), QStringLiteral("Maker"), QStringLiteral("S1"),
            name.isEmpty() ? QString() : QStringLiteral("/dev/serial/by-id/") + name, true};
}

QByteArray envName(int port)
{
    return "Q51_COM" + QByteArray::number(port);
}

} // namespace

class ComPorts : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        for (int n = 1; n <= 4; ++n)
            qunsetenv(envName(n).constData());
        ForgetPickedDevices();
        SetPortCatalogue(nullptr);
    }

    void mappingRules_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QList<DetectedPort>>("detected");
        QTest::addColumn<QString>("device");
        QTest::addColumn<ComSource>("source");
        const QList<DetectedPort> none;
        // Listed out of order: ttyUSB1's by-id name sorts first, ttyACM0 has none.
        const QList<DetectedPort> three{Adapter("/dev/ttyUSB0", "usb-B"), Uart("/dev/ttyS0"),
                                        Adapter("/dev/ttyACM0"), Adapter("/dev/ttyUSB1", "usb-A")};
        QTest::newRow("no ports: the platform name") << 2 << "" << "" << none << "/dev/ttyS1" << ComSource::Platform;
        QTest::newRow("a real ttyS stays") << 1 << "" << "" << three << "/dev/ttyS0" << ComSource::Platform;
        QTest::newRow("first adapter by by-id name") << 2 << "" << "" << three << "/dev/ttyUSB0"
                                                     << ComSource::Adapter;
        QTest::newRow("device path when no by-id name sorts by itself")
            << 3 << "" << "" << three << "/dev/ttyACM0" << ComSource::Adapter;
        QTest::newRow("fewer adapters than n") << 4 << "" << "" << three << "/dev/ttyS3" << ComSource::Platform;
        QTest::newRow("Com 1 without ttyS0 takes adapter 1")
            << 1 << "" << "" << QList<DetectedPort>{Adapter("/dev/ttyUSB3", "usb-Z")} << "/dev/ttyUSB3"
            << ComSource::Adapter;
        QTest::newRow("Q51_COMn wins over adapters") << 2 << "" << "/dev/pts/7" << three << "/dev/pts/7"
                                                     << ComSource::Environment;
        QTest::newRow("a pick wins over all") << 2 << "/dev/ttyUSB1" << "/dev/pts/7" << three << "/dev/ttyUSB1"
                                              << ComSource::Picked;
        QTest::newRow("no number, no device") << 0 << "" << "" << three << "" << ComSource::Platform;
    }
    void mappingRules()
    {
        QFETCH(int, port);
        QFETCH(QString, picked);
        QFETCH(QString, environment);
        QFETCH(QList<DetectedPort>, detected);
        QFETCH(QString, device);
        QFETCH(ComSource, source);
        const ComDevice resolved = ResolveComDevice(port, picked, environment, detected);
        QCOMPARE(resolved.device, device);
        QCOMPARE(resolved.source, source);
    }

    void catalogueSeamPicksAndEnvironment()
    {
        auto catalogue = std::make_shared<FixedPortCatalogue>();
        SetPortCatalogue(catalogue);
        QCOMPARE(deviceNameForPort(1), QStringLiteral("/dev/ttyS0"));

        // An adapter is plugged in: Com 1 follows it, the next opening finds it.
        catalogue->setPorts({Adapter("/dev/ttyUSB0", "usb-FTDI")});
        QCOMPARE(deviceNameForPort(1), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(deviceNameForPort(2), QStringLiteral("/dev/ttyS1"));

        // Picked for this run, over Q51_COMn; an empty pick gives the rules back.
        qputenv(envName(2).constData(), "/dev/pts/9");
        QCOMPARE(deviceNameForPort(2), QStringLiteral("/dev/pts/9"));
        PickDeviceForPort(2, QStringLiteral(" /dev/ttyUSB0 "));
        QCOMPARE(deviceNameForPort(2), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(PickedDeviceForPort(1), QString());
        PickDeviceForPort(5, QStringLiteral("/dev/null"));
        QCOMPARE(PickedDeviceForPort(5), QString());
        PickDeviceForPort(2, {});
        QCOMPARE(deviceNameForPort(2), QStringLiteral("/dev/pts/9"));

        // Unplugged again.
        catalogue->setPorts({});
        QCOMPARE(deviceNameForPort(1), QStringLiteral("/dev/ttyS0"));
    }

    void portDescriptions_data()
    {
        QTest::addColumn<DetectedPort>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("all known") << Adapter("/dev/ttyUSB0", "usb-Maker_UART_S1-if00-port0")
                                   << "/dev/ttyUSB0 - USB UART, Maker, serial S1, usb-Maker_UART_S1-if00-port0";
        QTest::newRow("nothing known") << DetectedPort{QStringLiteral("/dev/ttyS2"), {}, {}, {}, {}, false}
                                       << "/dev/ttyS2";
    }
    void portDescriptions()
    {
        QFETCH(DetectedPort, port);
        QFETCH(QString, text);
        QCOMPARE(DescribeDetectedPort(port), text);
    }

    void failureCause_data()
    {
        QTest::addColumn<QSerialPort::SerialPortError>("error");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("mayReadAndWrite");
        QTest::addColumn<OpenFailureKind>("kind");
        QTest::newRow("not found") << QSerialPort::DeviceNotFoundError << true << true << OpenFailureKind::NoSuchDevice;
        QTest::newRow("refused, gone") << QSerialPort::PermissionError << false << false
                                       << OpenFailureKind::NoSuchDevice;
        QTest::newRow("refused, no rights") << QSerialPort::PermissionError << true << false
                                            << OpenFailureKind::PermissionDenied;
        QTest::newRow("refused with rights: busy") << QSerialPort::PermissionError << true << true
                                                   << OpenFailureKind::InUse;
        QTest::newRow("other error, gone") << QSerialPort::UnknownError << false << true
                                           << OpenFailureKind::NoSuchDevice;
        QTest::newRow("other error") << QSerialPort::UnknownError << true << true << OpenFailureKind::Other;
    }
    void failureCause()
    {
        QFETCH(QSerialPort::SerialPortError, error);
        QFETCH(bool, exists);
        QFETCH(bool, mayReadAndWrite);
        QFETCH(OpenFailureKind, kind);
        QCOMPARE(ClassifyOpenError(error, DeviceAccess{exists, mayReadAndWrite}), kind);
    }

    // The window's words, and q51ctl's where they differ (empty: the same).
    void failureReasons_data()
    {
        QTest::addColumn<OpenFailure>("failure");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("no such device") << OpenFailure{OpenFailureKind::NoSuchDevice, 2, "/dev/ttyS1", {}, {}, {}}
                                        << "No such device: /dev/ttyS1. Pick the device for Com 2 in the window's "
                                           "port choice."
                                        << "No such device: /dev/ttyS1. Name the decoder's device with --port, or set "
                                           "Q51_COM2 to it.";
        QTest::newRow("no rights, group known")
            << OpenFailure{OpenFailureKind::PermissionDenied, 1, "/dev/ttyUSB0", {}, "uucp", {}}
            << "Permission denied on /dev/ttyUSB0: add your user to the uucp group, then log in again." << QString();
        QTest::newRow("no rights, root's alone")
            << OpenFailure{OpenFailureKind::PermissionDenied, 1, "/dev/ttyS0", {}, "root", {}}
            << "Permission denied on /dev/ttyS0: add your user to the root group, then log in again."
            << "Permission denied on /dev/ttyS0: only root may open it; run q51ctl as root, or have the device given "
               "to a group such as dialout.";
        QTest::newRow("no rights, group unknown")
            << OpenFailure{OpenFailureKind::PermissionDenied, 1, "/dev/ttyUSB0", {}, {}, {}}
            << "Permission denied on /dev/ttyUSB0: ask for read and write access to it." << QString();
        QTest::newRow("busy in our window") << OpenFailure{OpenFailureKind::InUse, 1, "/dev/ttyUSB0", {}, {}, "Transmit"}
                                            << "/dev/ttyUSB0 is in use by the \"Transmit\" window of this program."
                                            << QString();
        QTest::newRow("busy elsewhere") << OpenFailure{OpenFailureKind::InUse, 1, "/dev/ttyUSB0", {}, {}, {}}
                                        << "/dev/ttyUSB0 is in use by another program." << QString();
    }
    void failureReasons()
    {
        QFETCH(OpenFailure, failure);
        QFETCH(QString, reason);
        QFETCH(QString, commandLine);
        QCOMPARE(describeOpenFailure(failure), reason);
        QCOMPARE(describeOpenFailureForCommandLine(failure), commandLine.isEmpty() ? reason : commandLine);
    }

    void groupOfADeviceIsReadFromTheSystem()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttyQ51"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // A new file belongs to its creator's group.
        const struct group *owner = ::getgrgid(::getegid());
        QVERIFY(owner);
        QCOMPARE(DeviceGroupName(path), QString::fromLocal8Bit(owner->gr_name));
        QCOMPARE(DeviceGroupName(dir.filePath(QStringLiteral("missing"))), QString());
    }
};

QTEST_GUILESS_MAIN(ComPorts)
#include "tst_com_ports.moc"
