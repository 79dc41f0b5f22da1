// One contract, two transports: what the in-memory fake promises must be what
// QSerialPort on a real pseudo-terminal does, or tests built on the fake
// prove nothing about the program.

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "link/fake_transport.h"
#include "link/serial_port_transport.h"

using namespace q51;

namespace {

// The decoder's end of the line.
class Device {
public:
    virtual ~Device() = default;
    virtual Transport &transport() = 0;
    virtual int portNumber() const = 0;
    virtual void send(const QByteArray &bytes) = 0;
    // Everything the host has sent so far that this device has not yet taken.
    virtual QByteArray takeReceived() = 0;
    virtual void hangUp() = 0;
    // The next open finds no device behind the port.
    virtual void removeDevice() = 0;
};

class FakeDevice final : public Device {
public:
    Transport &transport() override { return port; }
    int portNumber() const override { return 1; }
    void send(const QByteArray &bytes) override { port.pushReply(bytes); }
    QByteArray takeReceived() override
    {
        QByteArray all = port.written();
        port.clearWritten();
        return all;
    }
    void hangUp() override { port.loseConnection(); }
    void removeDevice() override { port.refuseOpen(OpenFailureKind::NoSuchDevice); }

    FakeTransport port;
};

// A pseudo-terminal: the transport opens the slave through Q51_COM<n>, the
// test plays the device on the master.
class PtyDevice final : public Device {
public:
    static constexpr int Port = 4;

    PtyDevice()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        slavePath_ = QString::fromLocal8Bit(::ptsname(master_));
        qputenv(envName(), slavePath_.toLocal8Bit());
    }
    ~PtyDevice() override
    {
        port_.reset(); // close the slave before the master goes
        if (master_ >= 0)
            ::close(master_);
        qunsetenv(envName());
    }

    bool ready() const { return master_ >= 0 && !slavePath_.isEmpty(); }
    int masterFd() const { return master_; }
    const QString &slavePath() const { return slavePath_; }

    Transport &transport() override { return *port_; }
    int portNumber() const override { return Port; }
    void send(const QByteArray &bytes) override
    {
        QCOMPARE(::write(master_, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }
    QByteArray takeReceived() override
    {
        QByteArray all;
        char buffer[512];
        ssize_t n;
        while (master_ >= 0 && (n = ::read(master_, buffer, sizeof buffer)) > 0)
            all.append(buffer, n);
        return all;
    }
    void hangUp() override
    {
        ::close(master_);
        master_ = -1;
    }
    void removeDevice() override
    {
        qputenv(envName(), missingDir_.filePath(QStringLiteral("gone/ttyQ51")).toLocal8Bit());
    }

private:
    static const char *envName() { return "Q51_COM4"; }

    int master_ = -1;
    QString slavePath_;
    QTemporaryDir missingDir_;
    std::unique_ptr<SerialPortTransport> port_ = std::make_unique<SerialPortTransport>();
};

std::unique_ptr<Device> makeDevice(const QString &kind)
{
    if (kind == u"fake")
        return std::make_unique<FakeDevice>();
    auto pty = std::make_unique<PtyDevice>();
    if (!pty->ready())
        return nullptr;
    return pty;
}

const SerialSettings Standard{9600, 'N', 8, 1};

// Every byte value, including those a cooked terminal would eat or change
// (ETX, CR, XON, XOFF, DEL): the protocol's frames use all of them.
QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

} // namespace

class TransportContract : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Device> device;

    void addBothTransports()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fake") << QStringLiteral("fake");
        QTest::newRow("pty") << QStringLiteral("pty");
    }

    // Opens the port of the current row's transport.
    bool openDevice()
    {
        QFETCH(QString, kind);
        device = makeDevice(kind);
        if (!device) {
            qWarning("no pseudo-terminal available");
            return false;
        }
        OpenFailure failure;
        const bool opened = device->transport().open(Standard, device->portNumber(), &failure);
        if (!opened)
            qWarning("open failed: %s", qPrintable(describeOpenFailure(failure)));
        return opened;
    }

    // Reads as the exchange engine does: everything waiting, on each arrival.
    QByteArray gatherAtLeast(int count)
    {
        QByteArray got;
        auto &port = device->transport();
        QSignalSpy arrivals(&port, &Transport::bytesArrived);
        got += port.readAll();
        while (got.size() < count && arrivals.wait(2000))
            got += port.readAll();
        return got;
    }

    // The pseudo-terminal's master has no notifier here: look between short
    // event-loop runs, which is what lets QSerialPort flush its writes.
    QByteArray deviceReceivesAtLeast(int count)
    {
        QByteArray got;
        QDeadlineTimer deadline(5000);
        while ((got += device->takeReceived()).size() < count && !deadline.hasExpired())
            QTest::qWait(1);
        return got;
    }

private slots:
    void cleanup() { device.reset(); }

    void writtenBytesArriveUnchanged_data() { addBothTransports(); }
    void writtenBytesArriveUnchanged()
    {
        QVERIFY(openDevice());
        QVERIFY(device->transport().isOpen());
        const QByteArray request = everyByteValue();
        QVERIFY(device->transport().write(request));
        QCOMPARE(deviceReceivesAtLeast(request.size()), request);
    }

    void chunkedReplyIsDeliveredWhole_data() { addBothTransports(); }
    void chunkedReplyIsDeliveredWhole()
    {
        QVERIFY(openDevice());
        const QByteArray reply = everyByteValue() + QByteArray(6, '\x06');
        const QList<QByteArray> chunks{reply.left(1), reply.mid(1, 100), reply.mid(101)};
        QByteArray got;
        for (const QByteArray &chunk : chunks) {
            device->send(chunk);
            got += gatherAtLeast(chunk.size());
        }
        QCOMPARE(got, reply);
        QCOMPARE(device->transport().readAll(), QByteArray());
    }

    void discardDropsOnlyWhatWaits_data() { addBothTransports(); }
    void discardDropsOnlyWhatWaits()
    {
        QVERIFY(openDevice());
        auto &port = device->transport();
        QSignalSpy arrivals(&port, &Transport::bytesArrived);
        device->send("stale");
        QVERIFY(arrivals.wait(2000));
        QVERIFY(port.discardReceive());
        QVERIFY(port.discardTransmit());
        QCOMPARE(port.readAll(), QByteArray());

        device->send("fresh");
        QCOMPARE(gatherAtLeast(5), QByteArray("fresh"));
        QVERIFY(port.isOpen());
    }

    void hangUpIsReportedOnceAndClosesThePort_data() { addBothTransports(); }
    void hangUpIsReportedOnceAndClosesThePort()
    {
        QVERIFY(openDevice());
        auto &port = device->transport();
        QSignalSpy lost(&port, &Transport::portLost);
        device->hangUp();
        QVERIFY(lost.wait(2000));
        QVERIFY(!port.isOpen());
        // A hung-up device keeps signalling errors until its port is closed;
        // let the event loop run to see that no second report follows.
        QTest::qWait(50);
        QCOMPARE(lost.count(), 1);
        QVERIFY(!port.write("x"));
        QCOMPARE(port.readAll(), QByteArray());
    }

    void closingIsNotALoss_data() { addBothTransports(); }
    void closingIsNotALoss()
    {
        QVERIFY(openDevice());
        auto &port = device->transport();
        QSignalSpy lost(&port, &Transport::portLost);
        port.close();
        QVERIFY(!port.isOpen());
        QTest::qWait(20);
        QCOMPARE(lost.count(), 0);
        QVERIFY(port.discardReceive()); // harmless on a closed port
        QVERIFY(!port.write("x"));
    }

    void bytesSentBeforeCloseDoNotReachTheNextOpening_data() { addBothTransports(); }
    void bytesSentBeforeCloseDoNotReachTheNextOpening()
    {
        QVERIFY(openDevice());
        auto &port = device->transport();
        device->send("old");
        port.close();
        QVERIFY(port.open(Standard, device->portNumber()));
        port.discardReceive(); // what the exchange engine does before each request
        QTest::qWait(20);
        device->send("new");
        QCOMPARE(gatherAtLeast(3), QByteArray("new"));
    }

    void missingDeviceIsNoSuchDevice_data() { addBothTransports(); }
    void missingDeviceIsNoSuchDevice()
    {
        QFETCH(QString, kind);
        device = makeDevice(kind);
        QVERIFY(device);
        device->removeDevice();
        auto &port = device->transport();
        QSignalSpy lost(&port, &Transport::portLost);
        OpenFailure failure;
        QVERIFY(!port.open(Standard, device->portNumber(), &failure));
        QVERIFY(!port.isOpen());
        QCOMPARE(failure.kind, OpenFailureKind::NoSuchDevice);
        QCOMPARE(failure.portNumber, device->portNumber());
        QVERIFY(!failure.device.isEmpty());
        QVERIFY(describeOpenFailure(failure).contains(failure.device));
        QCOMPARE(lost.count(), 0);
    }

    // --- what only a real port can show ---

    // A pseudo-terminal forces 8 data bits and no parity whatever it is
    // told, so only the speed, the stop bits and the flow control can be
    // seen on the line here; the letter mapping is checked on QSerialPort.
    void settingsReachTheLine_data()
    {
        QTest::addColumn<QString>("settingsText");
        QTest::addColumn<speed_t>("speed");
        QTest::addColumn<bool>("twoStops");
        QTest::newRow("9600,N,8,1") << "9600,N,8,1" << speed_t(B9600) << false;
        QTest::newRow("600,E,7,2") << "600,E,7,2" << speed_t(B600) << true;
        QTest::newRow("19200,O,8,1") << "19200,O,8,1" << speed_t(B19200) << false;
    }
    void settingsReachTheLine()
    {
        QFETCH(QString, settingsText);
        QFETCH(speed_t, speed);
        QFETCH(bool, twoStops);

        PtyDevice pty;
        QVERIFY(pty.ready());
        const auto settings = parseSerialSettings(settingsText);
        QVERIFY(settings);
        QVERIFY(pty.transport().open(*settings, PtyDevice::Port));

        termios line{};
        QCOMPARE(::tcgetattr(pty.masterFd(), &line), 0); // the master reports the slave's line
        QCOMPARE(::cfgetospeed(&line), speed);
        QCOMPARE((line.c_cflag & CSTOPB) != 0, twoStops);
        QCOMPARE(line.c_cflag & CRTSCTS, tcflag_t(0));
        QCOMPARE(line.c_iflag & (IXON | IXOFF), tcflag_t(0));
    }

    void portHeldByAnotherTransportIsInUse_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a window of ours") << "Read Memory" << "is in use by the \"Read Memory\" window of this program.";
        QTest::newRow("nobody we know") << "" << "is in use by another program.";
    }
    void portHeldByAnotherTransportIsInUse()
    {
        QFETCH(QString, holder);
        QFETCH(QString, reason);
        PtyDevice pty;
        QVERIFY(pty.ready());
        pty.transport().setHolderName(holder);
        QVERIFY(pty.transport().open(Standard, PtyDevice::Port));

        SerialPortTransport second;
        OpenFailure failure;
        QVERIFY(!second.open(Standard, PtyDevice::Port, &failure));
        QVERIFY(!second.isOpen());
        QCOMPARE(failure.kind, OpenFailureKind::InUse);
        QCOMPARE(describeOpenFailure(failure), pty.slavePath() + QLatin1Char(' ') + reason);
        QVERIFY(pty.transport().isOpen());

        // Let go, it is free for the next window.
        pty.transport().close();
        QVERIFY(second.open(Standard, PtyDevice::Port, &failure));
    }

    void deviceWithoutAccessRightsIsPermissionDenied()
    {
        if (::geteuid() == 0)
            QSKIP("access rights do not bind root");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttyLocked"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::Permissions()));
        qputenv("Q51_COM3", path.toLocal8Bit());

        SerialPortTransport port;
        OpenFailure failure;
        QVERIFY(!port.open(Standard, 3, &failure));
        qunsetenv("Q51_COM3");
        QCOMPARE(failure.kind, OpenFailureKind::PermissionDenied);
        QVERIFY(!failure.group.isEmpty());
        QVERIFY(describeOpenFailure(failure).contains(failure.group + QStringLiteral(" group")));
    }
};

QTEST_GUILESS_MAIN(TransportContract)
#include "tst_transport_contract.moc"
