// The firmware-update window over the fake port, with the simulated decoder
// answering in-process: the whole sequence and what the user sees of it,
// every failure message, the checks made before the port opens, the fixed
// line settings, the option groups, and closing mid-update.

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "in_process_decoder.h"
#include "link/protocol/isp_frames.h"
#include "model/configuration.h"
#include "support/scripted_dialogs.h"
#include "tools/firmware_update_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;

namespace {

protocol::Bytes Image(int size)
{
    protocol::Bytes image(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = std::uint8_t(i * 31 + i / 512);
    return image;
}

struct Rig {
    QTemporaryDir dir;
    Configuration config;
    ScriptedDialogs dialogs;
    QPointer<FakeTransport> port;
    std::unique_ptr<FirmwareUpdateWindow> window;
    std::unique_ptr<sim::DecoderSimulator> decoder;
    // What the status line read as each frame went out, by the frame's
    // first byte: 02 access, 00 erase, 01 page, 05 end.
    QStringList statusAtWrite;

    explicit Rig(sim::IspOptions isp = {}, sim::FaultOptions faults = {})
    {
        sim::DecoderResponder responder;
        responder.SetIspOptions(std::move(isp));
        decoder = std::make_unique<sim::DecoderSimulator>(std::move(responder), faults);
        window = std::make_unique<FirmwareUpdateWindow>(config, dialogs, test::fakePortInto(port));
        test::answerWith(*port, *decoder);
        QObject::connect(port, &FakeTransport::requestWritten, port, [this](const QByteArray &bytes) {
            statusAtWrite << QString::number(uchar(bytes.at(0)), 16) + QLatin1Char(' ') + status()->text();
        });
        window->show();
    }

    template <typename T = QWidget>
    T *find(const char *name) const { return window->findChild<T *>(QString::fromLatin1(name)); }
    QLabel *status() const { return find<QLabel>("lblStatus"); }
    QProgressBar *progress() const { return find<QProgressBar>("ProgressBar1"); }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QAbstractButton *option(const char *group, int index) const
    {
        return window->findChild<QAbstractButton *>(QStringLiteral("%1_%2").arg(QLatin1String(group)).arg(index));
    }

    QString writeImage(const protocol::Bytes &image)
    {
        const QString path = dir.filePath(QStringLiteral("firmware.bin"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(reinterpret_cast<const char *>(image.data()), qint64(image.size()));
        return path;
    }

    // Starts the update of the file and waits for its closing message.
    bool update(const QString &path)
    {
        find<QLineEdit>("TxtBinFile")->setText(path);
        button("cmdTransmit")->click();
        return QTest::qWaitFor([this] { return !dialogs.messages.isEmpty() && !window->updateRunning(); }, 20000);
    }
};

} // namespace

class FirmwareUpdateWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setIntervalScale(0.01); }
    void cleanup() { setIntervalScale(1.0); }

    void controls();
    void wholeUpdate_data();
    void wholeUpdate();
    void updateRunsAt19200WhateverIsChosen();
    void failures_data();
    void failures();
    void threeRefusalsOfOnePage();
    void checksBeforeThePortOpens_data();
    void checksBeforeThePortOpens();
    void portNotAvailable();
    void openingSelectsTheStoredSettings_data();
    void openingSelectsTheStoredSettings();
    void choicesEditSettingsWithoutThePort();
    void browse();
    void closingMidUpdateIsSilent();
};

void FirmwareUpdateWindowTest::controls()
{
    Rig rig;
    QCOMPARE(rig.window->objectName(), QStringLiteral("frmISP"));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Transmit"));
    QCOMPARE(rig.find<QLabel>("Label1")->text(), QStringLiteral("ISP"));
    QCOMPARE(rig.find<QLabel>("Label2")->text(), QStringLiteral("File Name:"));
    QCOMPARE(rig.button("CmdFind")->text(), QStringLiteral("..."));
    QCOMPARE(rig.find<QLabel>("Label3")->text(), QStringLiteral("Status:"));
    QCOMPARE(rig.button("cmdTransmit")->text(), QStringLiteral("Transmit"));
    QCOMPARE(rig.button("cmdClose")->text(), QStringLiteral("Close"));
    for (const char *frame : {"FraPort", "FraBaud", "FraDatabits", "FraStopbits"})
        QVERIFY2(rig.find(frame), frame);
    QVERIFY(!rig.find("FraParity"));
    QVERIFY(!rig.find("FraMode"));
    QVERIFY(rig.status()->text().isEmpty());
    QVERIFY(!rig.port->isOpen());
}

void FirmwareUpdateWindowTest::wholeUpdate_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("pages");
    QTest::newRow("1028 bytes: 3 pages") << 1028 << 3;
    QTest::newRow("600 bytes: 2 pages") << 600 << 2;
    QTest::newRow("largest image: 128 pages") << 65535 << 128;
}

void FirmwareUpdateWindowTest::wholeUpdate()
{
    QFETCH(int, size);
    QFETCH(int, pages);
    Rig rig;
    const protocol::Bytes image = Image(size);
    QVERIFY(rig.update(rig.writeImage(image)));

    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("ISP Message"));
    QCOMPARE(rig.dialogs.messages[0].text, QStringLiteral("ISP Transmit OK!"));
    QCOMPARE(rig.status()->text(), QStringLiteral("Transmit Data For Page  %1 OK!").arg(pages - 1));
    QCOMPARE(rig.progress()->maximum(), size / 512 + 1);
    QCOMPARE(rig.progress()->value(), rig.progress()->maximum());
    QVERIFY(!rig.port->isOpen());
    QVERIFY(rig.button("cmdTransmit")->isEnabled());
    QVERIFY(rig.button("cmdClose")->isEnabled());

    // The decoder has the file, padded with zeros to whole pages.
    QCOMPARE(rig.decoder->responder().isp().completedImages(), 1);
    protocol::Bytes padded = image;
    padded.resize(4 + 512 * std::size_t(pages), 0x00);
    QVERIFY(rig.decoder->responder().isp().image() == padded);

    // Access, erase, one write per page, end; each with its status line.
    QCOMPARE(rig.statusAtWrite.size(), pages + 3);
    QCOMPARE(rig.statusAtWrite[0], QStringLiteral("2 Be Transmiting ISP Command"));
    QCOMPARE(rig.statusAtWrite[1], QStringLiteral("0 Be transmiting Erase Command!"));
    QCOMPARE(rig.statusAtWrite[2], QStringLiteral("1 Be transmiting Data For Page  0 :  1"));
    QCOMPARE(rig.statusAtWrite[pages + 1], QStringLiteral("1 Be transmiting Data For Page  %1 :  1").arg(pages - 1));
    QCOMPARE(rig.statusAtWrite[pages + 2], QStringLiteral("5 Transmit Data For Page  %1 OK!").arg(pages - 1));
}

void FirmwareUpdateWindowTest::updateRunsAt19200WhateverIsChosen()
{
    Rig rig;
    rig.config.PortNumber = 3;
    rig.option("optBaud", 0)->click(); // 1200
    rig.option("optDatabits", 0)->click();
    rig.option("optStopbits", 1)->click();
    QCOMPARE(rig.config.SettingsString(), std::string("1200,N,7,2"));
    QVERIFY(rig.update(rig.writeImage(Image(20))));
    QCOMPARE(rig.dialogs.texts(), QStringList{"ISP Transmit OK!"});
    QCOMPARE(rig.port->lastSettings(), (SerialSettings{19200, 'N', 8, 1}));
    QCOMPARE(rig.port->lastPortNumber(), 3);
    QCOMPARE(rig.config.SettingsString(), std::string("1200,N,7,2"));
}

void FirmwareUpdateWindowTest::failures_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("writes");
    QTest::newRow("no answer to the access frame") << "" << true << false << "Time Out Error!" << 1;
    QTest::newRow("wrong version: no erase is sent") << "FFFFFFFF" << false << false << "A Incorrect Version No!" << 1;
    QTest::newRow("access refused") << "" << false << true << "Access ISP Command Failed!" << 1;
}

void FirmwareUpdateWindowTest::failures()
{
    QFETCH(QString, version);
    QFETCH(bool, silent);
    QFETCH(bool, refuse);
    QFETCH(QString, text);
    QFETCH(int, writes);
    sim::IspOptions isp;
    if (!version.isEmpty())
        QVERIFY(sim::ParseIspVersion(version.toStdString(), isp));
    sim::FaultOptions faults;
    faults.silent = silent;
    faults.refuse = refuse;
    Rig rig(isp, faults);
    QVERIFY(rig.update(rig.writeImage(Image(2000))));
    QCOMPARE(rig.dialogs.texts(), QStringList{text});
    QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("ISP Message"));
    QCOMPARE(rig.port->writes().size(), writes);
    QVERIFY(!rig.port->isOpen());
    QVERIFY(rig.button("cmdTransmit")->isEnabled());
    QVERIFY(rig.button("cmdClose")->isEnabled());
}

void FirmwareUpdateWindowTest::threeRefusalsOfOnePage()
{
    sim::IspOptions isp;
    QVERIFY(sim::ParsePageRefusal("1:3", isp));
    Rig rig(isp);
    QVERIFY(rig.update(rig.writeImage(Image(2000))));
    QCOMPARE(rig.dialogs.texts(), QStringList{"Transmit Data Failled!"});
    QCOMPARE(rig.statusAtWrite.mid(3),
             (QStringList{"1 Be transmiting Data For Page  1 :  1", "1 Be transmiting Data For Page  1 :  2",
                          "1 Be transmiting Data For Page  1 :  3"}));
    QCOMPARE(rig.progress()->value(), 1); // page 0 was accepted
    QVERIFY(!rig.port->isOpen());

    // Refused twice, taken the third time: the update goes on.
    sim::IspOptions twice;
    QVERIFY(sim::ParsePageRefusal("1:2", twice));
    Rig again(twice);
    QVERIFY(again.update(again.writeImage(Image(2000))));
    QCOMPARE(again.dialogs.texts(), QStringList{"ISP Transmit OK!"});
}

void FirmwareUpdateWindowTest::checksBeforeThePortOpens_data()
{
    QTest::addColumn<int>("size"); // -1: no file name, -2: no such file
    QTest::addColumn<QString>("text");
    QTest::newRow("no file name") << -1 << "You Must Input a Bin File Name";
    QTest::newRow("no such file") << -2 << "Cann't Open File '%1'!";
    QTest::newRow("65536 bytes") << 65536 << "File's Size is larger than 64K!";
    QTest::newRow("far too large") << 200000 << "File's Size is larger than 64K!";
}

void FirmwareUpdateWindowTest::checksBeforeThePortOpens()
{
    QFETCH(int, size);
    QFETCH(QString, text);
    Rig rig;
    rig.status()->setText(QStringLiteral("from before"));
    QString path;
    if (size == -2)
        path = rig.dir.filePath(QStringLiteral("missing.bin"));
    else if (size >= 0)
        path = rig.writeImage(Image(size));
    rig.find<QLineEdit>("TxtBinFile")->setText(path);
    rig.button("cmdTransmit")->click();
    QCOMPARE(rig.dialogs.texts(), QStringList{size == -2 ? text.arg(path) : text});
    QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("ISP Message"));
    QCOMPARE(rig.port->openCount(), 0);
    QVERIFY(rig.status()->text().isEmpty());
    QVERIFY(!rig.window->updateRunning());
}

void FirmwareUpdateWindowTest::portNotAvailable()
{
    Rig rig;
    rig.config.PortNumber = 2;
    rig.port->refuseOpen(OpenFailureKind::NoSuchDevice);
    rig.find<QLineEdit>("TxtBinFile")->setText(rig.writeImage(Image(100)));
    rig.button("cmdTransmit")->click();
    QCOMPARE(rig.dialogs.texts(), QStringList{"COM 2: not available."});
    QVERIFY(!rig.window->updateRunning());
    QVERIFY(rig.port->writes().isEmpty());
    QVERIFY(rig.button("cmdTransmit")->isEnabled());
}

void FirmwareUpdateWindowTest::openingSelectsTheStoredSettings_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("framing");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("baudIndex");
    QTest::addColumn<QString>("framingAfter");
    QTest::addColumn<QString>("baudAfter");
    QTest::newRow("600") << "600" << "N,8,1" << 1 << 5 << "N,8,1" << "600";
    QTest::newRow("7 data bits under even parity: parity becomes none")
        << "9600" << "E,7,2" << 2 << 3 << "N,7,2" << "9600";
    QTest::newRow("8 data bits keep the parity") << "19200" << "E,8,1" << 4 << 4 << "E,8,1" << "19200";
    QTest::newRow("unknown baud rate reads as 1200") << "57600" << "N,8,1" << 1 << 0 << "N,8,1" << "1200";
}

void FirmwareUpdateWindowTest::openingSelectsTheStoredSettings()
{
    QFETCH(QString, baud);
    QFETCH(QString, framing);
    QFETCH(int, port);
    QFETCH(int, baudIndex);
    QFETCH(QString, framingAfter);
    QFETCH(QString, baudAfter);
    Configuration config;
    config.BaudText = baud.toStdString();
    config.FramingText = framing.toStdString();
    config.PortNumber = std::int16_t(port);
    ScriptedDialogs dialogs;
    QPointer<FakeTransport> fake;
    FirmwareUpdateWindow window(config, dialogs, test::fakePortInto(fake));
    window.show();
    auto option = [&window](const char *group, int index) {
        return window.findChild<QAbstractButton *>(QStringLiteral("%1_%2").arg(QLatin1String(group)).arg(index));
    };
    QVERIFY(option("OptPort", port - 1)->isChecked());
    QVERIFY(option("optBaud", baudIndex)->isChecked());
    QCOMPARE(QString::fromStdString(config.FramingText.str()), framingAfter);
    QCOMPARE(QString::fromStdString(config.BaudText), baudAfter);
    QCOMPARE(fake->openCount(), 0);
    QVERIFY(dialogs.messages.isEmpty());
}

void FirmwareUpdateWindowTest::choicesEditSettingsWithoutThePort()
{
    Rig rig;
    rig.config.FramingText = "O,8,2";
    rig.option("OptPort", 3)->click();
    rig.option("optBaud", 1)->click();
    rig.option("optStopbits", 1)->click();
    QCOMPARE(rig.config.SettingsString(), std::string("2400,O,8,2"));
    rig.option("optDatabits", 0)->click();
    QCOMPARE(rig.config.SettingsString(), std::string("2400,N,7,2"));
    QCOMPARE(int(rig.config.PortNumber), 4);
    QCOMPARE(rig.port->openCount(), 0);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void FirmwareUpdateWindowTest::browse()
{
    Rig rig;
    rig.find<QLineEdit>("TxtBinFile")->setText(QStringLiteral("typed.bin"));
    rig.button("CmdFind")->click(); // cancelled
    QCOMPARE(rig.find<QLineEdit>("TxtBinFile")->text(), QStringLiteral("typed.bin"));
    QCOMPARE(rig.dialogs.openRequests.size(), 1);
    QCOMPARE(rig.dialogs.openRequests[0].filter, QStringLiteral("Bin File(*.bin)"));
    QVERIFY(rig.dialogs.openRequests[0].presetName.isEmpty());

    rig.dialogs.openNames.enqueue(QStringLiteral("/images/new.bin"));
    rig.button("CmdFind")->click();
    QCOMPARE(rig.find<QLineEdit>("TxtBinFile")->text(), QStringLiteral("/images/new.bin"));
}

void FirmwareUpdateWindowTest::closingMidUpdateIsSilent()
{
    ScaledIntervals real(1.0); // the 200 ms pauses keep the update going
    Rig rig;
    rig.find<QLineEdit>("TxtBinFile")->setText(rig.writeImage(Image(30000)));
    rig.button("cmdTransmit")->click();
    QVERIFY(!rig.button("cmdTransmit")->isEnabled());
    QVERIFY(!rig.button("cmdClose")->isEnabled());
    QVERIFY(QTest::qWaitFor([&rig] { return rig.statusAtWrite.size() >= 4; }, 20000));
    rig.window->close();
    QVERIFY(!rig.window->updateRunning());
    QVERIFY(!rig.port->isOpen());
    const qsizetype written = rig.port->writes().size();
    QTest::qWait(500);
    QCOMPARE(rig.port->writes().size(), written);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

QTEST_MAIN(FirmwareUpdateWindowTest)
#include "tst_firmware_update_window.moc"
