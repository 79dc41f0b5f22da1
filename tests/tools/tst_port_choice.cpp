// The port choice of every window that has one, swept row by row: each
// Com n shows the device it stands for, the list follows adapters plugged
// in and out (the catalogue fed as data, the kernel's device events written
// into a socket the port watch reads), and the chosen Com n can be pointed
// at a detected port or a typed path.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <functional>
#include <memory>

#include <sys/socket.h>
#include <unistd.h>

#include "link/fake_transport.h"
#include "link/port_names.h"
#include "link/port_watch.h"
#include "link/uevent_port_events.h"
#include "link/portio/port_io.h"
#include "model/configuration.h"
#include "support/scripted_dialogs.h"
#include "support/uevent_messages.h"
#include "tools/firmware_update_window.h"
#include "tools/port_device_picker.h"
#include "tools/transmit_window.h"

using namespace q51;
using test::ScriptedDialogs;

namespace {

const DetectedPort Uart{QStringLiteral("/dev/ttyS0"), QStringLiteral("ttyS0"), {}, {}, {}, false};
const DetectedPort FirstAdapter{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("USB UART"), QStringLiteral("Maker"),
                                QStringLiteral("A1"), QStringLiteral("/dev/serial/by-id/usb-Maker_A1"), true};
const DetectedPort SecondAdapter{QStringLiteral("/dev/ttyACM0"), QStringLiteral("CDC"), {}, {}, {}, true};

struct Rig {
    Configuration config;
    ScriptedDialogs dialogs;
    FailingPortIo portIo;
    QPointer<FakeTransport> port;
    std::unique_ptr<QWidget> window;

    TransportFactory fakePort()
    {
        return [this] {
            auto made = std::make_unique<FakeTransport>();
            port = made.get();
            return made;
        };
    }

    template <typename T = QWidget>
    T *find(const QString &name) const { return window->findChild<T *>(name); }
    QLabel *comLabel(int n) const { return find<QLabel>(QStringLiteral("lblComDevice_%1").arg(n - 1)); }
    QComboBox *box() const { return find<QComboBox>(QStringLiteral("cboPortDevice")); }
    PortDevicePicker *picker() const { return window->findChild<PortDevicePicker *>(); }
};

// Well before the second-long poll the box once had: only an event can be that quick.
constexpr int SoonerThanAPoll = 500;

using WindowMaker = std::function<QWidget *(Rig &)>;

} // namespace

Q_DECLARE_METATYPE(WindowMaker)

class PortChoiceTest : public QObject {
    Q_OBJECT

    std::shared_ptr<FixedPortCatalogue> catalogue;
    int kernel = -1;    // where the test writes device events
    int watchEnd = -1;  // the other end, which the watch reads (a copy, while it listens)

    // The ports change, and the kernel says so.
    void plug(QList<DetectedPort> ports, const QByteArray &action = "add", const QByteArray &subsystem = "tty")
    {
        catalogue->setPorts(std::move(ports));
        const QByteArray event = test::KernelUevent(action, subsystem, "ttyUSB0");
        QCOMPARE(::send(kernel, event.constData(), std::size_t(event.size()), 0), ssize_t(event.size()));
    }

private slots:
    void init()
    {
        catalogue = std::make_shared<FixedPortCatalogue>(QList<DetectedPort>{FirstAdapter});
        SetPortCatalogue(catalogue);
        int pair[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
        kernel = pair[0];
        watchEnd = pair[1];
        std::vector<std::unique_ptr<PortEventSource>> sources;
        sources.push_back(std::make_unique<UeventPortEvents>([this] { return ::dup(watchEnd); }));
        SetPortWatch(std::make_shared<PortWatch>(std::move(sources), std::chrono::milliseconds(5)));
        for (int n = 1; n <= 4; ++n)
            qunsetenv(("Q51_COM" + QByteArray::number(n)).constData());
    }
    void cleanup()
    {
        ForgetPickedDevices();
        SetPortCatalogue(nullptr);
        SetPortWatch(nullptr);
        ::close(kernel);
        ::close(watchEnd);
    }

    void everyPortChoice_data()
    {
        QTest::addColumn<WindowMaker>("make");
        QTest::addColumn<QString>("portGroup");
        QTest::addColumn<bool>("triesThePick"); // reopens at once, as a port choice does
        QTest::newRow("transfer window") << WindowMaker([](Rig &r) -> QWidget * {
            return new TransmitWindow(r.config, r.dialogs, r.portIo, r.fakePort());
        }) << "OptPort" << true;
        QTest::newRow("firmware update") << WindowMaker([](Rig &r) -> QWidget * {
            return new FirmwareUpdateWindow(r.config, r.dialogs, r.fakePort());
        }) << "OptPort" << false;
    }
    void everyPortChoice()
    {
        QFETCH(WindowMaker, make);
        QFETCH(QString, portGroup);
        QFETCH(bool, triesThePick);
        Rig r;
        r.window.reset(make(r));
        r.window->show();
        QVERIFY(r.picker());
        QVERIFY(r.picker()->watching());

        // Each Com n shows its device: no ttyS0 here, so Com 1 is the adapter.
        QCOMPARE(r.comLabel(1)->text(), QStringLiteral("/dev/ttyUSB0 (USB adapter 1)"));
        QCOMPARE(r.comLabel(2)->text(), QStringLiteral("/dev/ttyS1 (not present)"));

        // Only a serial port's event makes the box look again: no timer does.
        plug({SecondAdapter, Uart, FirstAdapter}, "add", "usb");
        QTest::qWait(50);
        QCOMPARE(r.comLabel(2)->text(), QStringLiteral("/dev/ttyS1 (not present)"));

        // A real ttyS0 and a second adapter appear: by-id names order the adapters.
        plug({SecondAdapter, Uart, FirstAdapter});
        QTRY_COMPARE_WITH_TIMEOUT(r.comLabel(1)->text(), QStringLiteral("/dev/ttyS0"), SoonerThanAPoll);
        QCOMPARE(r.comLabel(2)->text(), QStringLiteral("/dev/ttyACM0 (USB adapter 2)"));
        QCOMPARE(r.comLabel(3)->text(), QStringLiteral("/dev/ttyS2 (not present)"));
        QCOMPARE(r.box()->count(), 4); // the usual device and the three detected
        // The adapters taken out.
        plug({Uart}, "remove");
        QTRY_COMPARE_WITH_TIMEOUT(r.comLabel(2)->text(), QStringLiteral("/dev/ttyS1 (not present)"), SoonerThanAPoll);
        QCOMPARE(r.box()->count(), 2);
        plug({Uart, FirstAdapter, SecondAdapter});
        QTRY_COMPARE_WITH_TIMEOUT(r.box()->count(), 4, SoonerThanAPoll);

        // Choosing Com 2 puts its device in the box, named for screen readers.
        r.find<QAbstractButton>(portGroup + QStringLiteral("_1"))->click();
        QCOMPARE(r.config.PortNumber, 2);
        QCOMPARE(r.box()->accessibleName(), QStringLiteral("Device for Com 2"));
        QCOMPARE(r.find<QLabel>(QStringLiteral("lblPortDevice"))->buddy(), r.box());

        // Pointed at the detected adapter, for this run.
        const int opensBefore = r.port->openCount();
        const int adapter = r.box()->findData(FirstAdapter.device);
        QVERIFY(adapter > 0);
        QVERIFY(r.box()->itemText(adapter).contains(QStringLiteral("usb-Maker_A1")));
        emit r.box()->activated(adapter);
        QCOMPARE(PickedDeviceForPort(2), FirstAdapter.device);
        QCOMPARE(r.comLabel(2)->text(), QStringLiteral("/dev/ttyUSB0 (picked)"));
        QCOMPARE(r.port->openCount() - opensBefore, triesThePick ? 1 : 0);

        // At a typed path, confirmed with Enter; "Usual" takes the pick back.
        r.box()->setEditText(QStringLiteral("/dev/pts/42"));
        QTest::keyClick(r.box()->lineEdit(), Qt::Key_Return);
        QCOMPARE(deviceNameForPort(2), QStringLiteral("/dev/pts/42"));
        emit r.box()->activated(0);
        QCOMPARE(PickedDeviceForPort(2), QString());
        QCOMPARE(r.config.PortNumber, 2); // files keep the number only

        r.window->hide();
        QVERIFY(!r.picker()->watching());
        QVERIFY(!CurrentPortWatch().activeSource()); // the last window gone, nobody listens
    }

    void keyboardModeTakesThePortChoiceAway()
    {
        Rig r;
        r.window.reset(new TransmitWindow(r.config, r.dialogs, r.portIo, r.fakePort()));
        r.window->show();
        QVERIFY(r.picker()->isEnabled());
        r.find<QAbstractButton>(QStringLiteral("OptMode_0"))->click();
        QVERIFY(!r.picker()->isEnabled());
        r.find<QAbstractButton>(QStringLiteral("OptMode_1"))->click();
        QVERIFY(r.picker()->isEnabled());
    }
};

QTEST_MAIN(PortChoiceTest)
#include "tst_port_choice.moc"
