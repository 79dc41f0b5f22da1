// Which device Com n stands for: the catalogue of detected ports fed as
// data through its seam, the mapping rules over it, the user's picks for
// the run, and the three reasons a refused opening gives. How the process
// hears of ports coming and going: device events as they arrive on the
// socket, the watch that turns bursts of them into one change, and the
// /dev watch it falls back on.

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <grp.h>
#include <unistd.h>

#include "link/com_port_mapping.h"
#include "link/dev_directory_port_events.h"
#include "link/open_failure_cause.h"
#include "link/port_names.h"
#include "link/port_watch.h"
#include "link/uevent_message.h"
#include "support/uevent_messages.h"

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

// Events pushed by the test; refuses to start when told to.
class PushedPortEvents final : public PortEventSource {
public:
    explicit PushedPortEvents(bool available = true) : available_(available) {}
    bool start() override { return running = available_; }
    void stop() override { running = false; }
    [[nodiscard]] const char *name() const override { return "pushed"; }
    void push(int events = 1)
    {
        for (int i = 0; i < events && running; ++i)
            emit portsMayHaveChanged();
    }
    bool running = false;

private:
    bool available_;
};

constexpr std::chrono::milliseconds Settle{20};

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

    void deviceEvents_data()
    {
        using namespace q51::test;
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QString>("devName");
        QTest::addColumn<bool>("portChange");
        const QByteArray udevAdd = UdevUevent("add", "tty", "ttyUSB0");
        QTest::newRow("kernel: adapter plugged") << KernelUevent("add", "tty", "ttyUSB0") << true << "ttyUSB0" << true;
        QTest::newRow("kernel: adapter pulled") << KernelUevent("remove", "tty", "ttyACM0") << true << "ttyACM0" << true;
        QTest::newRow("kernel: port renamed") << KernelUevent("move", "tty", "ttyUSB1") << true << "ttyUSB1" << true;
        QTest::newRow("udev: named, by-id link made") << udevAdd << true << "/dev/ttyUSB0" << true;
        QTest::newRow("udev: pulled") << UdevUevent("remove", "tty", "ttyUSB0") << true << "/dev/ttyUSB0" << true;
        QTest::newRow("the USB interface") << KernelUevent("add", "usb", "1-2:1.0") << true << "1-2:1.0" << false;
        QTest::newRow("a disk") << UdevUevent("remove", "block", "sdb") << true << "/dev/sdb" << false;
        QTest::newRow("tty settings changed") << KernelUevent("change", "tty", "tty1") << true << "tty1" << false;
        QTest::newRow("cut short in a field") << QByteArray("add@/x\0ACTION=add\0SUBSYSTEM=tt", 30) << true << ""
                                              << false;
        QTest::newRow("no action line") << QByteArray("ACTION=add\0SUBSYSTEM=tty\0", 25) << false << "" << false;
        QTest::newRow("no subsystem") << QByteArray("add@/x\0ACTION=add\0", 18) << false << "" << false;
        QTest::newRow("empty") << QByteArray() << false << "" << false;
        QTest::newRow("udev: wrong magic") << UdevUevent("add", "tty", "ttyUSB0", 0xcafefeed) << false << "" << false;
        QTest::newRow("udev: header cut short") << udevAdd.left(23) << false << "" << false;
        QTest::newRow("udev: fields past the end") << udevAdd.chopped(1) << false << "" << false;
        QTest::newRow("udev: fields inside the header") << withHeaderField(udevAdd, 16, 8) << false << "" << false;
        QTest::newRow("udev: length that wraps") << withHeaderField(udevAdd, 20, 0xffffffff) << false << "" << false;
    }
    void deviceEvents()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, parsed);
        QFETCH(QString, devName);
        QFETCH(bool, portChange);
        const auto event = ParseUevent(std::span(reinterpret_cast<const std::uint8_t *>(message.constData()),
                                                 std::size_t(message.size())));
        QCOMPARE(event.has_value(), parsed);
        if (!event)
            return;
        QCOMPARE(QString::fromStdString(event->devName), devName);
        QCOMPARE(AnnouncesPortChange(*event), portChange);
    }

    void burstsMakeOneChange_data()
    {
        QTest::addColumn<QList<int>>("bursts"); // events in each burst, heard one after the other
        QTest::addColumn<bool>("subscribed");
        QTest::newRow("one event") << QList<int>{1} << true;
        QTest::newRow("plugging in: six at once") << QList<int>{6} << true;
        QTest::newRow("in, then out") << QList<int>{4, 3} << true;
        QTest::newRow("nobody listening") << QList<int>{2} << false;
    }
    void burstsMakeOneChange()
    {
        QFETCH(QList<int>, bursts);
        QFETCH(bool, subscribed);
        auto *events = new PushedPortEvents;
        std::vector<std::unique_ptr<PortEventSource>> sources;
        sources.emplace_back(events);
        PortWatch watch(std::move(sources), Settle);
        QObject context;
        int heard = 0;
        std::optional<PortWatchSubscription> subscription;
        if (subscribed)
            subscription.emplace(watch, &context, [&] { ++heard; });
        QSignalSpy changed(&watch, &PortWatch::changed);
        int changes = 0;
        for (const int burst : bursts) {
            events->push(burst);
            changes += subscribed ? 1 : 0;
            QTRY_COMPARE_WITH_TIMEOUT(changed.count(), changes, 2000);
        }
        QTest::qWait(int(3 * Settle.count())); // and nothing after
        QCOMPARE(changed.count(), changes);
        QCOMPARE(heard, changes);
    }

    void watchListensOnlyWhileSubscribedAndFallsBack()
    {
        auto *refused = new PushedPortEvents(false);
        auto *events = new PushedPortEvents;
        std::vector<std::unique_ptr<PortEventSource>> sources;
        sources.emplace_back(refused);
        sources.emplace_back(events);
        PortWatch watch(std::move(sources), Settle);
        QVERIFY(!watch.activeSource());
        QObject context;
        {
            const PortWatchSubscription first(watch, &context, [] {});
            const PortWatchSubscription second(watch, &context, [] {});
            QCOMPARE(watch.activeSource(), static_cast<const PortEventSource *>(events));
        }
        QVERIFY(!watch.activeSource());
        QVERIFY(!events->running);
    }

    void devDirectoryWatchFollowsNewDirectories()
    {
        QTemporaryDir dev;
        const QDir root(dev.path());
        DevDirectoryPortEvents events({dev.path(), root.filePath("serial"), root.filePath("serial/by-id")});
        QVERIFY(events.start());
        QSignalSpy heard(&events, &PortEventSource::portsMayHaveChanged);
        // Each step waits for the last to be heard: a directory is watched
        // once an event in its parent said it exists.
        const std::function<bool()> steps[] = {
            [&] { return QFile(root.filePath("ttyUSB0")).open(QIODevice::WriteOnly); },
            [&] { return root.mkdir("serial"); },
            [&] { return root.mkdir("serial/by-id"); },
            [&] { return QFile::link(root.filePath("ttyUSB0"), root.filePath("serial/by-id/usb-Maker_A1")); },
            [&] { return QFile::remove(root.filePath("ttyUSB0")); },
        };
        for (const auto &step : steps) {
            const int before = int(heard.count());
            QVERIFY(step());
            QTRY_VERIFY_WITH_TIMEOUT(heard.count() > before, 2000);
        }
        events.stop();
        QVERIFY(!DevDirectoryPortEvents({root.filePath("missing")}).start());
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
