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

#include <algorithm>
#include <optional>

#include <grp.h>
#include <unistd.h>

#include "link/com_port_mapping.h"
#include "link/dev_directory_port_events.h"
#include "link/open_failure_cause.h"
#include "link/port_doctor.h"
#include "link/system_text.h"
#include "link/port_names.h"
#include "link/port_recovery.h"
#include "link/fake_transport.h"
#include "link/intervals.h"
#include "link/port_watch.h"
#include "link/uevent_message.h"
#include "support/fake_doctor_system.h"
#include "support/uevent_messages.h"

using namespace q51;

Q_DECLARE_METATYPE(q51::ComSource)
Q_DECLARE_METATYPE(q51::OpenFailureKind)
Q_DECLARE_METATYPE(QSerialPort::SerialPortError)
Q_DECLARE_METATYPE(q51::DetectedPort)
Q_DECLARE_METATYPE(q51::OpenFailure)
Q_DECLARE_METATYPE(q51::PortCause)

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

// One machine for the port doctor: alice (uid 1000, pid 777) and an FTDI
// adapter at /dev/ttyUSB0, with what each row changes.
struct DoctorScenario {
    static inline const std::string ById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    std::string device = "/dev/ttyUSB0";
    bool exists = true;
    unsigned mode = 0660;
    unsigned group = 20; // dialout
    bool mayUse = false;
    bool inLogin = false;    // this login has the device's group
    bool inEtcGroup = false; // /etc/group lists alice in dialout
    std::string holder{};    // a process holding the device
    unsigned holderPid = 4242;
    std::vector<std::string> holderTargets{"/dev/null", "/dev/ttyUSB0"};
    bool holderVisible = true; // its descriptors can be read
    bool busy = false;         // opening was refused as busy
    bool brlttyUdevRules = false;
    bool usbfsClaim = false; // an adapter's interface claimed through usbfs

    test::FakeDoctorSystem system() const
    {
        test::FakeDoctorSystem s;
        s.who = {777, 1000, "alice", {1000}};
        if (inLogin)
            s.who.groups.push_back(group);
        s.users = {{0, "root"}, {1000, "alice"}};
        s.files["/etc/group"] = std::string("root:x:0:\ndialout:x:20:") + (inEtcGroup ? "bob,alice" : "bob")
                                + "\nalice:x:1000:\n";
        const std::string usb = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3";
        if (exists) {
            s.nodes["/dev/ttyUSB0"] = {true, 0, group, mode};
            s.nodes["/dev/ttyS1"] = {true, 0, group, mode};
            s.nodes["/dev/pts/3"] = {true, 1000, 5, 0620};
            s.resolved[ById] = "/dev/ttyUSB0";
            s.directories["/dev/serial/by-id"] = {std::string(BaseName(ById))};
            s.resolved["/sys/class/tty/ttyUSB0/device"] = usb + "/1-3:1.0/ttyUSB0";
            s.links[usb + "/1-3:1.0/ttyUSB0/driver"] = "../../../../../../bus/usb-serial/drivers/ftdi_sio";
            s.files[usb + "/idVendor"] = "0403\n";
            s.files[usb + "/idProduct"] = "6001\n";
            s.files["/sys/class/tty/ttyS1/type"] = "0\n";
            if (mayUse)
                s.usable = {"/dev/ttyUSB0", "/dev/ttyS1", "/dev/pts/3"};
        }
        s.addProcess(1, "systemd", {}, false);
        s.addProcess(3000, "bash", {"/dev/pts/0", "/dev/pts/0"});
        if (!holder.empty())
            s.addProcess(holderPid, holder, holderTargets, holderVisible);
        if (brlttyUdevRules)
            s.nodes["/usr/lib/udev/rules.d/85-brltty.rules"] = {false, 0, 0, 0644};
        if (usbfsClaim) {
            s.directories["/sys/bus/usb/devices"] = {"usb1", "1-2", "1-2:1.0"};
            s.links["/sys/bus/usb/devices/1-2:1.0/driver"] = "../../../../../bus/usb/drivers/usbfs";
            s.files["/sys/bus/usb/devices/1-2/idVendor"] = "1a86\n";
            s.files["/sys/bus/usb/devices/1-2/idProduct"] = "7523\n";
        }
        return s;
    }
};

std::string joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

} // namespace

Q_DECLARE_METATYPE(DoctorScenario)

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

    void portComesBackWithItsAdapter_data()
    {
        QTest::addColumn<bool>("byId");          // else a plain path that exists or not
        QTest::addColumn<bool>("keepOpen");      // the window holds its port
        QTest::addColumn<bool>("strangerFirst"); // another adapter shows up before ours
        QTest::addColumn<bool>("refusedAtFirst"); // the returning node is not ours to open yet
        QTest::newRow("held, by by-id name, back as ttyUSB1") << true << true << true << false;
        QTest::newRow("held, plain path, opened on a retry") << false << true << false << true;
        QTest::newRow("between exchanges, plain path") << false << false << false << false;
        QTest::newRow("between exchanges, by by-id name") << true << false << true << false;
    }
    void portComesBackWithItsAdapter()
    {
        QFETCH(bool, byId);
        QFETCH(bool, keepOpen);
        QFETCH(bool, strangerFirst);
        QFETCH(bool, refusedAtFirst);
        const double savedScale = intervalScale();
        setIntervalScale(0.2);
        const char *oursName = byId ? "usb-Maker_A1" : "";
        const QString ours = byId ? QStringLiteral("/dev/serial/by-id/usb-Maker_A1") : QString();
        const auto catalogue = std::make_shared<FixedPortCatalogue>();
        SetPortCatalogue(catalogue);
        bool pathExists = true;
        if (byId)
            catalogue->setPorts({Adapter("/dev/ttyUSB0", oursName)});
        else
            qputenv(envName(1).constData(), "/dev/ttyQ51");
        auto *events = new PushedPortEvents;
        std::vector<std::unique_ptr<PortEventSource>> sources;
        sources.emplace_back(events);
        PortWatch watch(std::move(sources), Settle);
        QSignalSpy changed(&watch, &PortWatch::changed);
        QObject context; // keeps the watch listening after the recovery is gone
        const PortWatchSubscription listening(watch, &context, [] {});
        const auto plugEvent = [&] {
            const qsizetype before = changed.count();
            events->push(3);
            return QTest::qWaitFor([&] { return changed.count() > before; }, 5000);
        };

        FakeTransport port;
        const SerialSettings settings;
        auto recovery = std::make_unique<PortRecovery>(port, watch);
        recovery->setDeviceExists([&](const QString &path) { return path == "/dev/ttyQ51" && pathExists; });
        QSignalSpy lost(recovery.get(), &PortRecovery::lost);
        QSignalSpy back(recovery.get(), &PortRecovery::back);
        QVERIFY(port.open(settings, 1));
        recovery->follow(settings, 1, keepOpen);
        QCOMPARE(*recovery->adapter(), (AdapterIdentity{byId ? "/dev/ttyUSB0" : "/dev/ttyQ51", ours}));
        if (!keepOpen)
            port.close(); // between exchanges only the watch can tell

        // Unplugged: a held port hangs up first, then the system's events.
        if (keepOpen)
            port.loseConnection();
        catalogue->setPorts({});
        pathExists = false;
        QVERIFY(plugEvent());
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(recovery->isLost() && !port.isOpen());

        if (strangerFirst) {
            catalogue->setPorts({Adapter("/dev/ttyUSB0", "usb-Other_B2")});
            QVERIFY(plugEvent());
            QVERIFY(recovery->isLost());
            QCOMPARE(back.count(), 0);
        }
        if (refusedAtFirst)
            port.refuseOpen(OpenFailureKind::PermissionDenied);
        catalogue->setPorts({Adapter(byId ? "/dev/ttyUSB1" : "/dev/ttyQ51", oursName)});
        pathExists = true;
        QVERIFY(plugEvent());
        if (refusedAtFirst)
            port.allowOpen(); // a retry finds it open to us
        QTRY_COMPARE_WITH_TIMEOUT(back.count(), 1, 5000);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(port.isOpen(), keepOpen);
        QCOMPARE(port.openCount(), keepOpen ? 2 : 1);
        if (keepOpen && byId)
            QCOMPARE(deviceNameForPort(port.lastPortNumber()), QStringLiteral("/dev/ttyUSB1"));

        // Gone again and ended while it waits to be opened: nothing follows.
        port.refuseOpen(OpenFailureKind::PermissionDenied);
        port.loseConnection();
        catalogue->setPorts({});
        pathExists = false;
        QVERIFY(plugEvent());
        catalogue->setPorts({Adapter(byId ? "/dev/ttyUSB1" : "/dev/ttyQ51", oursName)});
        pathExists = true;
        QVERIFY(plugEvent());
        recovery.reset();
        QVERIFY(plugEvent());
        QVERIFY(!port.isOpen());
        setIntervalScale(savedScale);
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

    void portDoctor_data()
    {
        QTest::addColumn<DoctorScenario>("scenario");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<PortCause>("cause");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("fix");
        const PortCause none = PortCause::Missing; // unused where usable
        const QString udev = QStringLiteral("echo 'SUBSYSTEMS==\"usb\", ATTRS{idVendor}==\"0403\", "
                                            "ATTRS{idProduct}==\"6001\", %1' | sudo tee /etc/udev/rules.d/%2 && "
                                            "sudo udevadm control --reload && sudo udevadm trigger");
        QTest::newRow("all well") << DoctorScenario{.mayUse = true} << true << none << "" << "";
        QTest::newRow("missing device")
            << DoctorScenario{.exists = false} << false << PortCause::Missing << "/dev/ttyUSB0 does not exist."
            << "Plug the adapter in, or choose a port that exists: q51ctl ports";
        QTest::newRow("wrong group")
            << DoctorScenario{} << false << PortCause::NotInGroup
            << "alice may not use /dev/ttyUSB0: it belongs to the dialout group, and alice is not in it."
            << "sudo usermod -aG dialout $USER  (then log out and in again)";
        QTest::newRow("group not yet in this login")
            << DoctorScenario{.inEtcGroup = true} << false << PortCause::GroupNotInLogin
            << "You were added to dialout but have not logged in again: this login is not in dialout yet, so "
               "/dev/ttyUSB0 is refused."
            << "newgrp dialout  (for this shell; or log out and in again)";
        QTest::newRow("in the group, refused all the same")
            << DoctorScenario{.inLogin = true} << false << PortCause::Refused
            << "/dev/ttyUSB0 is refused although its mode lets the dialout group in: an access list or a security "
               "module stands in the way."
            << "getfacl /dev/ttyUSB0  (shows who may use it; ask your administrator for access)";
        QTest::newRow("root-only")
            << DoctorScenario{.mode = 0600, .group = 0} << false << PortCause::OwnerOnly
            << "Only root may read and write /dev/ttyUSB0 (mode crw-------, group root)."
            << udev.arg(QStringLiteral("GROUP=\"dialout\", MODE=\"0660\""), QStringLiteral("70-q51-serial-group.rules"))
                   + "  (gives the device to the dialout group; join it if you are not in it)";
        QTest::newRow("busy by a named process")
            << DoctorScenario{.mayUse = true, .holder = "minicom"} << false << PortCause::HeldByProcess
            << "minicom (pid 4242) holds /dev/ttyUSB0 open." << "Close minicom, or end it: kill 4242";
        QTest::newRow("held by another window of this program")
            << DoctorScenario{.mayUse = true, .holder = "q51setup", .holderPid = 777} << false
            << PortCause::ThisProgram << "Another window of this program holds /dev/ttyUSB0."
            << "Finish or close the other window that uses the port.";
        const QString modemManagerFix =
            udev.arg(QStringLiteral("ENV{ID_MM_DEVICE_IGNORE}=\"1\""), QStringLiteral("70-q51-modemmanager-ignore.rules"))
            + "  (then unplug and replug the adapter; ModemManager keeps its modems)";
        QTest::newRow("ModemManager")
            << DoctorScenario{.mayUse = true, .holder = "ModemManager"} << false << PortCause::ModemManager
            << "ModemManager (pid 4242) holds /dev/ttyUSB0: it opens serial adapters to look for modems."
            << modemManagerFix;
        QTest::newRow("busy, ModemManager out of sight")
            << DoctorScenario{.mayUse = true, .holder = "ModemManager", .holderVisible = false, .busy = true} << false
            << PortCause::ModemManager
            << "/dev/ttyUSB0 is busy, and ModemManager (pid 4242) is running: it opens serial adapters to look for "
               "modems and is the likely holder."
            << modemManagerFix;
        QTest::newRow("busy, holder out of sight")
            << DoctorScenario{.mayUse = true, .holder = "minicom", .holderVisible = false, .busy = true} << false
            << PortCause::HeldUnseen << "/dev/ttyUSB0 is busy, held by a process this user cannot see."
            << "sudo fuser -v /dev/ttyUSB0  (names the process; then close it)";
        QTest::newRow("ModemManager out of sight, not busy")
            << DoctorScenario{.mayUse = true, .holder = "ModemManager", .holderVisible = false} << true << none << ""
            << "";
        QTest::newRow("brltty")
            << DoctorScenario{.mayUse = true, .holder = "brltty", .brlttyUdevRules = true} << false
            << PortCause::Brltty << "brltty (pid 4242) holds /dev/ttyUSB0: it takes some USB serial adapters for "
                                    "braille displays."
            << "echo 'SUBSYSTEM==\"usb\", ATTR{idVendor}==\"0403\", ATTR{idProduct}==\"6001\", "
               "ENV{SYSTEMD_WANTS}=\"\"' | sudo tee /etc/udev/rules.d/86-q51-brltty-ignore.rules && sudo udevadm "
               "control --reload && sudo udevadm trigger  (then unplug and replug the adapter; brltty keeps its "
               "displays)";
        QTest::newRow("brltty took the adapter away")
            << DoctorScenario{.exists = false, .holder = "brltty", .usbfsClaim = true} << false << PortCause::Brltty
            << "/dev/ttyUSB0 does not exist, and brltty (pid 4242) has claimed USB adapter 1a86:7523: it takes some "
               "USB serial adapters for braille displays, and the serial device goes away."
            << "sudo systemctl restart brltty, after naming your own braille display in /etc/brltty.conf "
               "(braille-device usb:ITS-SERIAL-NUMBER) so that brltty probes no other adapter";
        // A simulator keeps its pseudo-terminal's device open beside the master.
        QTest::newRow("the other end of a pseudo-terminal")
            << DoctorScenario{.device = "/dev/pts/3", .mayUse = true, .holder = "q51sim", .holderTargets = {
                                  "/dev/ptmx", "/dev/pts/3"}}
            << true << none << "" << "";
        QTest::newRow("a pseudo-terminal held elsewhere")
            << DoctorScenario{.device = "/dev/pts/3", .mayUse = true, .holder = "minicom",
                              .holderTargets = {"/dev/pts/3"}}
            << false << PortCause::HeldByProcess << "minicom (pid 4242) holds /dev/pts/3 open."
            << "Close minicom, or end it: kill 4242";
        QTest::newRow("no UART behind a ttyS")
            << DoctorScenario{.device = "/dev/ttyS1", .mayUse = true} << false << PortCause::NoHardware
            << "/dev/ttyS1 exists, but no serial port hardware stands behind it."
            << "Plug the adapter in, or choose a port that exists: q51ctl ports";
    }
    void portDoctor()
    {
        QFETCH(DoctorScenario, scenario);
        QFETCH(bool, usable);
        const test::FakeDoctorSystem system = scenario.system();
        const PortDiagnosis d = DiagnosePort(system, scenario.device, DoctorHints{scenario.busy});
        const QString report = QString::fromStdString(joined(DescribeDiagnosis(d)));
        QCOMPARE(d.usable(), usable);
        if (usable) {
            QVERIFY2(report.endsWith(QStringLiteral("  Nothing stands in the way of opening %1.")
                                         .arg(QString::fromStdString(scenario.device))),
                     qPrintable(report));
            return;
        }
        QFETCH(PortCause, cause);
        QFETCH(QString, problem);
        QFETCH(QString, fix);
        const auto finding = std::find_if(d.findings.begin(), d.findings.end(),
                                          [cause](const PortFinding &f) { return f.cause == cause; });
        QVERIFY2(finding != d.findings.end(), qPrintable(report));
        QCOMPARE(QString::fromStdString(finding->problem), problem);
        QCOMPARE(QString::fromStdString(finding->fix), fix);
        // The report tells each problem with its fix beneath it.
        QVERIFY2(report.contains(QStringLiteral("  Problem: ") + problem + QStringLiteral("\n  Fix:     ") + fix),
                 qPrintable(report));
    }

    void portDoctorReportNamesAdapterAccessAndUser()
    {
        const test::FakeDoctorSystem system = DoctorScenario{.inEtcGroup = true, .holder = "minicom"}.system();
        const std::vector<std::string> lines = DescribeDiagnosis(DiagnosePort(system, DoctorScenario::ById));
        const std::vector<std::string> head(lines.begin(), lines.begin() + 6);
        QCOMPARE(head, (std::vector<std::string>{
                           DoctorScenario::ById,
                           "  Device:  present, /dev/ttyUSB0",
                           "  Adapter: usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0, driver ftdi_sio, USB 0403:6001",
                           "  Access:  crw-rw---- root dialout",
                           "  You:     alice, listed in dialout in /etc/group but not in this login",
                           "  Held by: minicom (pid 4242)",
                       }));
    }

    void portDoctorScansProcOnceForSeveralPorts()
    {
        const test::FakeDoctorSystem system = DoctorScenario{.mayUse = true, .holder = "minicom"}.system();
        const auto all = DiagnosePorts(system, {"/dev/ttyS1", DoctorScenario::ById, "/dev/ttyUSB9"});
        QCOMPARE(system.listings.at("/proc"), 1);
        QCOMPARE(all.size(), std::size_t(3));
        QCOMPARE(all[0].findings.size(), std::size_t(1));
        QCOMPARE(all[0].findings[0].cause, PortCause::NoHardware);
        QVERIFY(all[0].holders.empty());
        QCOMPARE(all[1].holders.size(), std::size_t(1)); // the by-id name is the same device
        QCOMPARE(all[1].findings[0].cause, PortCause::HeldByProcess);
        QCOMPARE(all[2].findings[0].cause, PortCause::Missing);
    }

    void portDoctorScanOfProcIsBounded()
    {
        DoctorScenario scenario{.mayUse = true};
        test::FakeDoctorSystem system = scenario.system();
        for (unsigned pid = 10000; pid < 10000 + DoctorMaxProcesses + 10; ++pid)
            system.addProcess(pid, "idle", {"/dev/null"});
        system.addProcess(99999, "minicom", {"/dev/ttyUSB0"});
        PortDiagnosis d = DiagnosePort(system, scenario.device);
        QVERIFY(d.scanCut);
        QVERIFY(d.holders.empty()); // beyond the bound: not looked at
        // Time bounds it too: a clock that runs 10 ms a reading stops it early.
        system.directories["/proc"].resize(100);
        system.clockStep = 10;
        d = DiagnosePort(system, scenario.device);
        QVERIFY(d.scanCut);
        QVERIFY(joined(DescribeDiagnosis(d)).find("The scan of /proc stopped early") != std::string::npos);
    }

    void groupFileParser()
    {
        const auto groups = ParseGroupFile("root:x:0:\n# comment\ndialout:x:20:alice,,bob\r\n+nis::::\n"
                                           "broken:x:21\nbadgid:x:2x:alice\n:x:22:alice\nuucp:*:10:bob");
        QCOMPARE(groups, (std::vector<GroupEntry>{{"root", 0, {}}, {"dialout", 20, {"alice", "bob"}},
                                                  {"uucp", 10, {"bob"}}}));
        QCOMPARE(FindGroup(groups, 20U)->name, std::string("dialout"));
        QCOMPARE(FindGroup(groups, std::string_view("uucp"))->gid, 10U);
        QVERIFY(!FindGroup(groups, 99U));
        QVERIFY(ParseGroupFile("big:x:99999999999:alice\n").empty()); // gid beyond 32 bits
        QCOMPARE(UsbIdOf("0403\n"), std::optional<std::string>("0403"));
        QCOMPARE(UsbIdOf("1A86"), std::optional<std::string>("1a86"));
        QVERIFY(!UsbIdOf("403\n") && !UsbIdOf("04x3"));
        QVERIFY(!ProcessIdOf("self") && !ProcessIdOf("0") && ProcessIdOf("812") == 812U);
    }
};

QTEST_GUILESS_MAIN(ComPorts)
#include "tst_com_ports.moc"
