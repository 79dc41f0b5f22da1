// q51ctl end to end: the real program on the real serial stack against the
// decoder simulator program, one row per verb and outcome, each with the
// exit code a script would see.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "cli/exit_codes.h"
#include "edited_block.h"
#include "link/decoder_apply.h"
#include "link/decoder_backups.h"
#include "link/decoder_detect.h"
#include "files/config_file_io.h"
#include "model/factory_defaults.h"
#include "schema/config_text.h"
#include "support/five_differences.h"
#include "support/simulator_process.h"
#include "sim/block_file.h"

using namespace q51;
using namespace q51::cli;

namespace {

constexpr int Patience = 20000;
const QString NoSimulator = QStringLiteral("-");

struct Run {
    int code = -1;
    QString out;
    QString err;
};

// Where q51ctl's writing meets trouble: stdout on a full device or a pipe
// nobody reads (SIGPIPE ignored, so the write fails with EPIPE), or every
// file it writes limited to 1 KiB (SIGXFSZ ignored, so writes fail with
// EFBIG), with stdout going to a file "limited.out" there.
enum class Sink { Captured, FullDevice, ClosedPipe, SizeLimit };

bool writeConfiguration(const QString &path, const Block &block)
{
    Configuration config;
    ResetHeaderStrings(config, HeaderPreset::StartUp, "01/02/2025");
    config.block = block;
    return WriteConfigurationFile(path, config).ok;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList portArguments(const QStringList &devices)
{
    QStringList arguments;
    for (const QString &device : devices)
        arguments << QStringLiteral("--port") << device;
    return arguments;
}

// One port of a run's summary, from its table line or its JSON.
struct PortEnd {
    QString state;
    int code = -1;
    QString outcome;
    bool operator==(const PortEnd &) const = default;
};

QMap<QString, PortEnd> portEnds(const QString &out, bool json)
{
    QMap<QString, PortEnd> ends;
    if (json) {
        for (const QJsonValue &port : QJsonDocument::fromJson(out.toUtf8()).object().value("ports").toArray()) {
            const QJsonObject o = port.toObject();
            ends.insert(o.value("port").toString(),
                        {o.value("state").toString(), o.value("exit_code").toInt(), o.value("outcome").toString()});
        }
        return ends;
    }
    // PORT  ADAPTER  STATE  EXIT  SECONDS  OUTCOME, columns two blanks apart
    static const QRegularExpression columns(QStringLiteral("\\s{2,}"));
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const QStringList cells = line.split(columns);
        if (cells.size() == 6 && cells[0] != QLatin1String("PORT"))
            ends.insert(cells[0], {cells[2], cells[3].toInt(), cells[5]});
    }
    return ends;
}

} // namespace

Q_DECLARE_METATYPE(Sink)

class CliEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void verb_data();
    void verb();
    void uploadWritesTheDecodersBlock();
    void diffAgainstDeviceFindsItsChanges();
    void ispWithoutItsEndFrameFails();
    void severalPortsEachEndOnTheirOwn_data();
    void severalPortsEachEndOnTheirOwn();
    void uploadFromEightWritesEachItsBlock();
    void stopLeavesEveryOutputAsItWas();
    void usageErrorIsOneLinePlusHint_data();
    void usageErrorIsOneLinePlusHint();
    void failedWriteIsToldAndKeepsTheEarlierFile_data();
    void failedWriteIsToldAndKeepsTheEarlierFile();
    void memorySizesListEveryGroup();
    void detectFindsTheDecodersSpeed_data();
    void detectFindsTheDecodersSpeed();
    void applyBacksUpSendsAndVerifies_data();
    void applyBacksUpSendsAndVerifies();

private:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    Run ctl(QStringList arguments, const QString &device = {}, const QString &scale = QStringLiteral("0.05"),
            Sink sink = Sink::Captured);
};

void CliEndToEndTest::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(writeConfiguration(path("factory.cfg"), FactoryBlock()));
    QVERIFY(writeConfiguration(path("edited.cfg"), test::EditedFactoryBlock()));
    Configuration renamed;
    ResetHeaderStrings(renamed, HeaderPreset::StartUp, "01/02/2025");
    renamed.block = FactoryBlock();
    renamed.DeviceName = "Dock 4";
    QVERIFY(WriteConfigurationFile(path("renamed.cfg"), renamed).ok);
    renamed.PortNumber = 7; // a port the window does not offer
    QVERIFY(WriteConfigurationFile(path("port7.cfg"), renamed).ok);
    QFile nihon(path("nihon.txt"));
    QVERIFY(nihon.open(QIODevice::WriteOnly));
    nihon.write("q51 configuration text 1\nfile.device_name = \"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xF0\x9F\x98\x80\"\n");
    nihon.close();
    QFile notConfig(path("notes.cfg"));
    QVERIFY(notConfig.open(QIODevice::WriteOnly));
    notConfig.write("ZENU\r\n");
    notConfig.close();
    // A 600-byte image whose first four bytes name the decoder's version.
    QByteArray image(600, '\x5A');
    image.replace(0, 4, QByteArray::fromHex("11223344"));
    QFile bin(path("image.bin"));
    QVERIFY(bin.open(QIODevice::WriteOnly));
    bin.write(image);
    bin.close();
    QFile big(path("big.bin"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(65536, '\0'));
    big.close();
    Configuration edited;
    edited.block = test::EditedFactoryBlock();
    QFile text(path("edited.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    QVERIFY(text.write(QByteArray::fromStdString(ExportConfigurationText(edited))) > 0);
    text.close();
    // Damaged copies of edited.cfg: cut after line 100, line 30 not a
    // number, line 30 out of range.
    QList<QByteArray> lines = readAll(path("edited.cfg")).split('\n');
    const auto damaged = [&](const char *name, QList<QByteArray> content) {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(content.join('\n')) > 0;
    };
    QVERIFY(damaged("truncated.cfg", lines.mid(0, 100)));
    QList<QByteArray> notANumber = lines;
    notANumber[29] = " abc \r";
    QVERIFY(damaged("text.cfg", notANumber));
    QList<QByteArray> outOfRange = lines;
    outOfRange[29] = " 300 \r";
    QVERIFY(damaged("range.cfg", outOfRange));
    Configuration five = test::FileWithFiveDifferences();
    QVERIFY(WriteConfigurationFile(path("five.cfg"), five).ok);
}

Run CliEndToEndTest::ctl(QStringList arguments, const QString &device, const QString &scale, Sink sink)
{
    for (QString &argument : arguments) {
        argument.replace(QLatin1String("@DEV"), device);
        if (argument.startsWith(QLatin1Char('@')))
            argument = dir.filePath(argument.mid(1));
        else if (argument.startsWith(QLatin1String("<@")))
            argument = QLatin1Char('<') + dir.filePath(argument.mid(2));
    }
    QProcess process;
    // "<@name": the file as stdin.
    if (!arguments.isEmpty() && arguments.last().startsWith(QLatin1Char('<')))
        process.setStandardInputFile(arguments.takeLast().mid(1));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("Q51_INTERVAL_SCALE"), scale);
    environment.remove(QStringLiteral("Q51_COM1"));
    // "Q51_COMn=DEVICE" first: that mapping for this run.
    while (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("Q51_COM"))) {
        const QString mapping = arguments.takeFirst();
        environment.insert(mapping.section(QLatin1Char('='), 0, 0), mapping.section(QLatin1Char('='), 1));
    }
    process.setProcessEnvironment(environment);
    if (sink == Sink::FullDevice)
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
    if (sink == Sink::SizeLimit)
        process.setStandardOutputFile(path("limited.out"));
    // Runs in the child between fork and exec: only async-signal-safe calls.
    process.setChildProcessModifier([sink] {
        if (sink == Sink::ClosedPipe) {
            int ends[2];
            if (::pipe(ends) == 0) {
                ::close(ends[0]);
                ::dup2(ends[1], STDOUT_FILENO);
                ::close(ends[1]);
            }
            std::signal(SIGPIPE, SIG_IGN);
        }
        if (sink == Sink::SizeLimit) {
            const rlimit oneKiB{1024, 1024};
            ::setrlimit(RLIMIT_FSIZE, &oneKiB);
            std::signal(SIGXFSZ, SIG_IGN);
        }
    });
    process.start(QStringLiteral(Q51_CTL_PATH), arguments);
    Run run;
    if (!process.waitForFinished(Patience) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

void CliEndToEndTest::verb_data()
{
    QTest::addColumn<QStringList>("simulator"); // NoSimulator: none started
    QTest::addColumn<QStringList>("arguments");  // @DEV: its device; @name: a file here
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out"); // contained in stdout
    QTest::addColumn<QString>("err"); // contained in stderr

    const QStringList plain;
    const QStringList none{NoSimulator};
    const QStringList silent{"--silent"};
    const QStringList refuse{"--refuse"};
    const QStringList badBcc{"--bad-bcc"};

    QTest::newRow("download --verify") << plain << QStringList{"download", "@edited.cfg", "--verify", "--port", "@DEV"}
                                       << int(Success) << "" << "Download OK!\nVerify OK!\n";
    QTest::newRow("download, silent decoder") << silent << QStringList{"download", "@factory.cfg", "--port", "@DEV"}
                                              << int(TimedOut) << "" << "Time Out Error!";
    QTest::newRow("download --verify, silent decoder")
        << silent << QStringList{"download", "@factory.cfg", "--verify", "--port", "@DEV"} << int(TimedOut) << ""
        << "Time Out Error!";
    QTest::newRow("download, refused") << refuse << QStringList{"download", "@factory.cfg", "--port", "@DEV"}
                                       << int(Refused) << "" << "Download Failed!";
    QTest::newRow("download, not a file") << none << QStringList{"download", "@notes.cfg", "--port", "/dev/null"}
                                          << int(BadFile) << "" << "This File Is Not A Configuration Setup File";
    QTest::newRow("download, no port") << none
                                       << QStringList{"download", "@factory.cfg", "--port", "/nonexistent/tty"}
                                       << int(PortUnavailable) << ""
                                       << "q51ctl: /nonexistent/tty: not available.\n"
                                          "q51ctl: /nonexistent/tty: No such file or directory\n";
    QTest::newRow("get, truncated file") << none << QStringList{"get", "@truncated.cfg", "comm.rs232.baud"}
                                         << int(BadFile) << ""
                                         << "truncated.cfg: line 101 (byte 93): missing; the file ends after line 100";
    QTest::newRow("diff, line not a number") << none << QStringList{"diff", "@factory.cfg", "@text.cfg"} << int(BadFile)
                                             << "" << "text.cfg: line 30 (byte 22): \"abc\" is not a number";
    QTest::newRow("download, line out of range")
        << none << QStringList{"download", "@range.cfg", "--port", "/nonexistent/tty"} << int(BadFile) << ""
        << "range.cfg: line 30 (byte 22): 300 is out of range (0 to 255)";
    QTest::newRow("get --accept-damaged") << none
                                          << QStringList{"get", "@truncated.cfg", "comm.rs232.baud", "--accept-damaged"}
                                          << int(Success) << "19200" << "";
    QTest::newRow("download, stored port out of range")
        << none << QStringList{"download", "@port7.cfg"} << int(BadFile) << ""
        << "port7.cfg: the stored port number 7 is not Com 1 to 4; give the port with --port\n";
    QTest::newRow("download, --port over the stored port")
        << plain << QStringList{"download", "@port7.cfg", "--port", "@DEV"} << int(Success) << "" << "Download OK!";
    QTest::newRow("status, Com n missing") << none
                                             << QStringList{"Q51_COM4=/nonexistent/ttyQ51", "status", "--port", "4"}
                                             << int(PortUnavailable) << ""
                                             << "q51ctl: COM 4: not available.\nq51ctl: No such device: "
                                                "/nonexistent/ttyQ51. Name the decoder's device with --port, or set "
                                                "Q51_COM4 to it.\n";
    QTest::newRow("import, outside the code page")
        << none << QStringList{"import", "@nihon.txt", "@nihon.cfg"} << int(BadFile) << ""
        << "line 2: file.device_name: \"\u65e5\" (U+65E5) cannot be stored";
    QTest::newRow("download, missing file") << none << QStringList{"download", "@missing.cfg"} << int(BadFile) << ""
                                            << "missing.cfg: No such file or directory";
    QTest::newRow("upload, output not writable")
        << none << QStringList{"upload", "@nofolder/up.cfg", "--port", "/nonexistent/tty"} << int(BadFile) << ""
        << "up.cfg: No such file or directory";
    QTest::newRow("upload, even parity") << none << QStringList{"upload", "@up.cfg", "--settings", "9600,E,8,1"}
                                         << int(UsageError) << "" << "the decoder's replies cannot be taken in";
    QTest::newRow("version, odd parity") << none << QStringList{"version", "--settings", "9600,O,8,1"}
                                         << int(UsageError) << "" << "the decoder's replies cannot be taken in";
    QTest::newRow("download, bad settings")
        << none << QStringList{"download", "@factory.cfg", "--settings", "9600,X,8,1"} << int(UsageError) << "" << "";
    QTest::newRow("upload to stdout") << plain << QStringList{"upload", "-", "--port", "@DEV"} << int(Success)
                                      << "zenu\r\n" << "   Upload OK!\n";
    QTest::newRow("upload, refused") << refuse << QStringList{"upload", "@up.cfg", "--port", "@DEV"} << int(Refused)
                                     << "" << "Send Command Failed!";
    QTest::newRow("upload, bad check byte") << badBcc << QStringList{"upload", "@up.cfg", "--port", "@DEV"}
                                            << int(BadReply) << "" << "Upload Failed!";
    QTest::newRow("upload, hang-up") << QStringList{"--hangup-after", "20"}
                                     << QStringList{"upload", "@up.cfg", "--port", "@DEV"} << int(PortLost) << ""
                                     << "Time Out Error!";
    QTest::newRow("version") << QStringList{"--version-text", "V51 TEST"}
                             << QStringList{"version", "--port", "@DEV"} << int(Success)
                             << "Version Information:\n\nV51 TEST" << "";
    QTest::newRow("version --json") << QStringList{"--version-text", "V51 TEST"}
                                    << QStringList{"version", "--json", "--port", "@DEV"} << int(Success)
                                    << "\"version\": \"Version Information:\\n\\nV51 TEST\"" << "";
    QTest::newRow("version, bad check byte") << badBcc << QStringList{"version", "--port", "@DEV"} << int(BadReply)
                                             << "" << "Send Get Firmware Version's Command Failed!";
    QTest::newRow("status") << QStringList{"--status-byte", "0x2B"} << QStringList{"status", "--port", "@DEV"}
                            << int(Success)
                            << "Status_Byte is: 2B\nReading Mode: Continuous/Auto Power\nPE On\nTG Off\nDecode OK\n"
                            << "Send Status Command OK!";
    QTest::newRow("status --json") << QStringList{"--status-byte", "0x2B"}
                                   << QStringList{"status", "--json", "-q", "--port", "@DEV"} << int(Success)
                                   << "\"status_byte\": 43" << "";
    QTest::newRow("status, silent") << silent << QStringList{"status", "--port", "@DEV"} << int(TimedOut) << ""
                                    << "Send Status Command Failed!";
    QTest::newRow("status, refused") << refuse << QStringList{"status", "--port", "@DEV"} << int(Refused) << ""
                                     << "Send Status Command Failed!";
    QTest::newRow("status, bad check byte") << badBcc << QStringList{"status", "--port", "@DEV"} << int(BadReply)
                                            << "" << "Send Status Command Failed!";
    QTest::newRow("trigger") << plain << QStringList{"trigger", "--port", "@DEV"} << int(Success) << ""
                             << "Send Trigger Command OK!";
    QTest::newRow("trigger -q") << plain << QStringList{"trigger", "-q", "--port", "@DEV"} << int(Success) << ""
                                << "";
    QTest::newRow("report") << none << QStringList{"report", "@edited.cfg"} << int(Success)
                            << "Communication Parameters / RS232 / Baud Rate: 19200  [byte 24 & 0x07 = 0x04]" << "";
    QTest::newRow("report from stdin") << none << QStringList{"report", "-", "<@edited.cfg"} << int(Success)
                                       << "Code 39 Code ID: {ESC}" << "";
    QTest::newRow("report --json") << none << QStringList{"report", "--json", "@edited.cfg"} << int(Success)
                                   << "\"key\": \"misc.code_id.code_39\"" << "";
    QTest::newRow("diff --json") << none << QStringList{"diff", "--json", "@factory.cfg", "@edited.cfg"}
                                 << int(Differences) << "\"to\": \"{ESC}\"" << "";
    QTest::newRow("get --json") << none << QStringList{"get", "--json", "@edited.cfg", "misc.char.insertion_group2_t"}
                                << int(Success) << "\"misc.characters_edit.insertion_group2_text\": \"\\\"{F10}x\\\"\""
                                << "";
    QTest::newRow("export to stdout") << none << QStringList{"export", "@edited.cfg"} << int(Success)
                                      << "q51 configuration text 1\n" << "";
    QTest::newRow("report --device") << plain << QStringList{"report", "--device", "--port", "@DEV"} << int(Success)
                                     << "Communication Parameters / RS232 / Baud Rate: 9600" << "";
    QTest::newRow("diff, header only") << none << QStringList{"diff", "@factory.cfg", "@renamed.cfg"}
                                       << int(Differences)
                                       << "File header:\nFile / Header / Device Name: \"Device Name\" -> \"Dock 4\"\n"
                                       << "";
    QTest::newRow("diff, same") << none << QStringList{"diff", "@factory.cfg", "@factory.cfg"} << int(Success) << ""
                                << "";
    QTest::newRow("diff, not a file") << none << QStringList{"diff", "@factory.cfg", "@notes.cfg"} << int(BadFile)
                                      << "" << "This File Is Not A Configuration Setup File";
    QTest::newRow("diff --device, silent") << silent << QStringList{"diff", "@factory.cfg", "--device", "--port", "@DEV"}
                                           << int(TimedOut) << "" << "Time Out Error!";
    QTest::newRow("memory free") << plain << QStringList{"memory", "free", "--port", "@DEV"} << int(Success)
                                 << "Free Group Space: 2000" << "";
    QTest::newRow("memory read") << QStringList{"--group", "FIRST", "--group", "SECOND"}
                                 << QStringList{"memory", "read", "--port", "@DEV"} << int(Success)
                                 << "Group 0 : FIRST\nGroup 1 : SECOND\n" << "Read Saved Data OK!";
    QTest::newRow("memory read range") << QStringList{"--sample-groups", "4"}
                                       << QStringList{"memory", "read", "2", "3", "--port", "@DEV"} << int(Success)
                                       << "Group 2 : DATA0002\nGroup 3 : DATA0003\n" << "Read Saved Data OK!";
    QTest::newRow("memory read, backwards range") << none << QStringList{"memory", "read", "5", "2"}
                                                  << int(UsageError) << ""
                                                  << "End Group NO Must Be Larger Than Or Equal To Start Group NO!";
    QTest::newRow("memory read, silent") << silent << QStringList{"memory", "read", "--port", "@DEV"}
                                         << int(TimedOut) << "" << "Time Out Error!";
    QTest::newRow("memory read --json") << QStringList{"--group", "FIRST"}
                                        << QStringList{"memory", "read", "--json", "-q", "--port", "@DEV"}
                                        << int(Success) << "\"lines\": [\n        \"Group 0 : FIRST\"" << "";
    QTest::newRow("memory sizes") << QStringList{"--sample-groups", "2"}
                                  << QStringList{"memory", "sizes", "--port", "@DEV"} << int(Success)
                                  << "Group 0 : 8\nGroup 1 : 8\n" << "";
    QTest::newRow("memory sizes --json, past a line of five")
        << QStringList{"--sample-groups", "6"} << QStringList{"memory", "sizes", "--json", "-q", "--port", "@DEV"}
        << int(Success) << "\"Group 4 : 8\",\n        \"Group 5 : 8\"" << "";
    QTest::newRow("memory clear") << QStringList{"--sample-groups", "2"}
                                  << QStringList{"memory", "clear", "--port", "@DEV"} << int(Success) << ""
                                  << "Send Clear Group Data Command OK!";
    QTest::newRow("memory clear, refused") << refuse << QStringList{"memory", "clear", "--port", "@DEV"}
                                           << int(Refused) << "" << "Send Command Failed!";
    QTest::newRow("isp") << QStringList{"--isp-version", "11223344"} << QStringList{"isp", "@image.bin", "--port", "@DEV"}
                         << int(Success) << "" << "ISP Transmit OK!";

    QTest::newRow("isp, wrong version") << QStringList{"--isp-version", "01020304"}
                                        << QStringList{"isp", "@image.bin", "--port", "@DEV"} << int(Refused) << ""
                                        << "A Incorrect Version No!";
    QTest::newRow("isp, silent") << silent << QStringList{"isp", "@image.bin", "--port", "@DEV"} << int(TimedOut)
                                 << "" << "Time Out Error!";
    QTest::newRow("isp, image too large") << none << QStringList{"isp", "@big.bin"} << int(BadFile) << ""
                                          << "File's Size is larger than 64K!";
    QTest::newRow("--help") << none << QStringList{"--help"} << int(Success) << "Usage: q51ctl" << "";
    QTest::newRow("VERB --help") << none << QStringList{"diff", "--help"} << int(Success) << "Usage: q51ctl" << "";
    QTest::newRow("--version") << none << QStringList{"--version"} << int(Success) << "q51ctl " << "";
}

void CliEndToEndTest::verb()
{
    QFETCH(QStringList, simulator);
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, code);

    test::SimulatorProcess sim;
    if (simulator != QStringList{NoSimulator})
        QVERIFY(sim.start(simulator));
    const Run run = ctl(arguments, sim.device());
    const QString seen = QStringLiteral("stdout: %1\nstderr: %2").arg(run.out, run.err);
    QVERIFY2(run.code >= 0, "q51ctl did not end");
    QCOMPARE(run.code, code);
    QVERIFY2(run.out.contains(out), qPrintable(seen));
    QVERIFY2(run.err.contains(err), qPrintable(seen));
    // Success tells its outcome, never a failure; -q and data verbs say nothing.
    if (run.code == Success)
        QVERIFY2(!run.err.contains(QLatin1String("q51ctl:")) && (!err.isEmpty() || run.err.isEmpty()),
                 qPrintable(seen));
    // Failures speak on stderr only, each line marked.
    for (const QString &errLine : run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (run.code != Success && errLine != QLatin1String("Try 'q51ctl --help'."))
            QVERIFY2(errLine.startsWith(QLatin1String("q51ctl: ")), qPrintable(seen));
    }
}

void CliEndToEndTest::uploadWritesTheDecodersBlock()
{
    test::SimulatorProcess sim;
    QVERIFY(sim.start({}));
    QCOMPARE(ctl({"download", "@edited.cfg", "--port", "@DEV"}, sim.device()).code, int(Success));
    const Run run = ctl({"upload", "@uploaded.cfg", "--port", "@DEV"}, sim.device());
    QCOMPARE(run.code, int(Success));
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, QStringLiteral("   Upload OK!\n"));

    Configuration uploaded;
    QVERIFY(ReadConfigurationFile(path("uploaded.cfg"), uploaded));
    // The decoder holds what was sent, checksum bytes written before sending.
    Configuration sent;
    QVERIFY(ReadConfigurationFile(path("edited.cfg"), sent));
    for (int i = 0; i < 254; ++i)
        QCOMPARE(uploaded.block[std::size_t(i)], sent.block[std::size_t(i)]);
    QVERIFY(readAll(path("uploaded.cfg")).startsWith("zenu\r\n"));
}

// A download rewrites the checksum bytes: the decoder then holds what the
// file says, and diff --device says so with exit 0. A real difference is 1.
void CliEndToEndTest::diffAgainstDeviceFindsItsChanges()
{
    test::SimulatorProcess sim;
    QVERIFY(sim.start({}));
    QCOMPARE(ctl({"download", "@edited.cfg", "--port", "@DEV"}, sim.device()).code, int(Success));
    const Run same = ctl({"diff", "@edited.cfg", "--device", "--port", "@DEV"}, sim.device());
    QCOMPARE(same.code, int(Success));
    QCOMPARE(same.out, QString());
    const Run withChecksum = ctl({"diff", "@edited.cfg", "--device", "--all-bytes", "--port", "@DEV"}, sim.device());
    QCOMPARE(withChecksum.code, int(Differences));
    QVERIFY2(withChecksum.out.startsWith(QLatin1String("Checksum / ")), qPrintable(withChecksum.out));

    const Run files = ctl({"diff", "@factory.cfg", "@edited.cfg"});
    QCOMPARE(files.code, int(Differences));
    QCOMPARE(files.out.toUtf8(), readAll(QStringLiteral(Q51_GOLDEN_DIR "/factory_vs_edited.diff")));
    const Run device = ctl({"diff", "@factory.cfg", "--device", "--port", "@DEV"}, sim.device());
    QCOMPARE(device.code, int(Differences));
    QCOMPARE(device.out, files.out);
}

// The image has two pages: request 4 is the last. The decoder answers it
// and closes the line; the end frame cannot follow, so the update failed.
// At the real pause after a page, so the closed line is noticed first.
void CliEndToEndTest::ispWithoutItsEndFrameFails()
{
    test::SimulatorProcess sim;
    QVERIFY(sim.start({"--isp-version", "11223344", "--faults-from", "4", "--hangup-after-reply"}));
    const Run run = ctl({"isp", "@image.bin", "--port", "@DEV"}, sim.device(), QStringLiteral("1"));
    QCOMPARE(run.code, int(PortLost));
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(QLatin1String("q51ctl: Transmit End Command Failed!\n")), qPrintable(run.err));
    QVERIFY(!run.err.contains(QLatin1String("OK!")));
}

// Five decoders in one run: two well, one silent, one refusing, one that
// hangs up in the middle of a reply. Each port ends in its own words and
// code, the others are not disturbed, and the run says "some failed".
void CliEndToEndTest::severalPortsEachEndOnTheirOwn_data()
{
    QTest::addColumn<QStringList>("arguments"); // the ports follow
    QTest::addColumn<bool>("json");
    QTest::addColumn<QStringList>("outcomes"); // well, silent, refusing, hanging up
    QTest::addColumn<QList<int>>("codes");

    QTest::newRow("download --verify") << QStringList{"download", "@edited.cfg", "--verify"} << false
                                       << QStringList{"Verify OK!", "Time Out Error!", "Download Failed!", "Time Out Error!"}
                                       << QList<int>{Success, TimedOut, Refused, PortLost};
    QTest::newRow("upload, a file each, --json")
        << QStringList{"upload", "--output", "@mixed-{n}.cfg", "--json"} << true
        << QStringList{"Upload OK!", "Time Out Error!", "Send Command Failed!", "Time Out Error!"}
        << QList<int>{Success, TimedOut, Refused, PortLost};
    QTest::newRow("status, two at a time") << QStringList{"status", "--jobs", "2"} << false
                                           << QStringList{"Send Status Command OK!", "Send Status Command Failed!",
                                                          "Send Status Command Failed!", "Send Status Command Failed!"}
                                           << QList<int>{Success, TimedOut, Refused, PortLost};
}

void CliEndToEndTest::severalPortsEachEndOnTheirOwn()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, json);
    QFETCH(QStringList, outcomes);
    QFETCH(QList<int>, codes);
    test::SimulatorProcess well, silent, refusing, hangingUp;
    QVERIFY(well.start({"--count", "2"}));
    QVERIFY(silent.start({"--silent"}));
    QVERIFY(refusing.start({"--refuse"}));
    QVERIFY(hangingUp.start({"--hangup-after", "3"}));
    const QStringList devices{well.devices()[0], silent.device(), refusing.device(), hangingUp.device(),
                              well.devices()[1]};
    const Run run = ctl(arguments + portArguments(devices));
    QCOMPARE(run.code, int(SomeFailed));

    const QMap<QString, PortEnd> ends = portEnds(run.out, json);
    QCOMPARE(ends.size(), devices.size());
    const int decoder[]{0, 1, 2, 3, 0}; // the decoder behind each port
    for (qsizetype i = 0; i < devices.size(); ++i) {
        const PortEnd expected{"finished", codes[decoder[i]], outcomes[decoder[i]]};
        QCOMPARE(ends.value(devices[i]), expected);
    }
    // Only the ports that succeeded wrote their file.
    if (arguments.first() == QLatin1String("upload")) {
        const QStringList written = QDir(dir.path()).entryList({"mixed-*.cfg"}, QDir::Files);
        QCOMPARE(written, QStringList({"mixed-1.cfg", "mixed-5.cfg"}));
    }
}

// Eight decoders, each holding its own block, read into a file each.
void CliEndToEndTest::uploadFromEightWritesEachItsBlock()
{
    constexpr int Decoders = 8;
    std::vector<Block> blocks;
    for (int n = 1; n <= Decoders; ++n) {
        Block block = FactoryBlock();
        block[10] = std::uint8_t(n);
        block[200] = std::uint8_t(0x80 + n);
        QFile file(dir.filePath(QStringLiteral("decoder%1.bin").arg(n)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char *>(block.data()), qint64(block.size()));
        blocks.push_back(block);
    }
    test::SimulatorProcess sim;
    QVERIFY(sim.start({"--count", QString::number(Decoders), "--block-file", dir.filePath("decoder{n}.bin")}));
    const Run run = ctl(QStringList{"upload", "--output", "@eight-{n}.cfg"} + portArguments(sim.devices()));
    QCOMPARE(run.code, int(Success));
    for (int n = 1; n <= Decoders; ++n) {
        Configuration uploaded;
        QVERIFY(ReadConfigurationFile(path("eight-") + QString::number(n) + QStringLiteral(".cfg"), uploaded));
        QCOMPARE(uploaded.block, blocks[std::size_t(n - 1)]);
    }
}

// Ctrl+C while every port waits: each stopped, the run says so, and no
// output file is touched, the one already there left as it was.
void CliEndToEndTest::stopLeavesEveryOutputAsItWas()
{
    test::SimulatorProcess sim;
    QVERIFY(sim.start({"--count", "3", "--silent"}));
    QFile old(path("stop-2.cfg"));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("OLD") == 3);
    old.close();

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("Q51_INTERVAL_SCALE"), QStringLiteral("100")); // no time-out comes first
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(Q51_CTL_PATH),
                  QStringList{"upload", "--json", "--output", path("stop-{n}.cfg")} + portArguments(sim.devices()));
    QVERIFY(process.waitForStarted(Patience));
    // Every decoder has had its request: every port is waiting for a reply.
    QTRY_VERIFY_WITH_TIMEOUT(sim.log().count(QStringLiteral("request")) >= 3, Patience);
    QCOMPARE(process.state(), QProcess::Running);
    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(Patience));
    QCOMPARE(process.exitCode(), int(Stopped));
    const QMap<QString, PortEnd> ends = portEnds(QString::fromUtf8(process.readAllStandardOutput()), true);
    QCOMPARE(ends.size(), 3);
    for (const PortEnd &end : ends)
        QCOMPARE(end, (PortEnd{"stopped", int(Stopped), "Stopped."}));
    QCOMPARE(QDir(dir.path()).entryList({"stop-*"}, QDir::Files), QStringList{"stop-2.cfg"});
    QCOMPARE(readAll(path("stop-2.cfg")), QByteArray("OLD"));
}

void CliEndToEndTest::usageErrorIsOneLinePlusHint_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("unknown verb") << QStringList{"flash"} << "unknown verb 'flash'";
    QTest::newRow("unknown option") << QStringList{"status", "--loud"} << "unknown option '--loud'";
    QTest::newRow("missing value") << QStringList{"status", "--port"} << "--port needs a value";
    QTest::newRow("missing file") << QStringList{"download"} << "download takes one FILE";
    QTest::newRow("--verify elsewhere") << QStringList{"upload", "x.cfg", "--verify"} << "upload does not take --verify";
    QTest::newRow("--json elsewhere") << QStringList{"trigger", "--json"} << "trigger does not take --json";
    QTest::newRow("--ports elsewhere") << QStringList{"keys", "--ports", "all"} << "keys does not take --ports";
    QTest::newRow("one file for several ports")
        << QStringList{"upload", "same.cfg", "--port", "/dev/null", "--port", "/dev/zero"}
        << "with several ports, upload needs a file per port: --output 'dec-{port}.cfg'";
    QTest::newRow("bad memory request") << QStringList{"memory", "wipe"}
                                        << "memory takes read, sizes, free or clear, not 'wipe'";
    QTest::newRow("-- ends the options") << QStringList{"status", "--", "--verify"} << "status takes no arguments";
    QTest::newRow("--accept-damaged elsewhere") << QStringList{"keys", "--accept-damaged"}
                                                << "keys does not take --accept-damaged";
    QTest::newRow("bad --jobs") << QStringList{"status", "--jobs", "0"} << "--jobs takes a number from 1 up, not \"0\"";
    QTest::newRow("bad --settings") << QStringList{"status", "--settings", "9600,X,8,1"}
                                    << "--settings \"9600,X,8,1\": \"9600,X,8,1\" is not a valid serial setting: the "
                                       "parity must be N, E, O, M or S.";
    QTest::newRow("detect, no port named") << QStringList{"detect"}
                                           << "detect writes to the port at every speed: name it with --port, or use "
                                              "--ports all for every USB serial adapter";
    QTest::newRow("detect --settings") << QStringList{"detect", "--port", "/dev/null", "--settings", "9600,N,8,1"}
                                       << "detect tries every baud rate itself and takes no --settings";
    QTest::newRow("--port COM9") << QStringList{"status", "--port", "COM9"}
                                 << "--port takes Com 1 to 4 or a device, not \"COM9\"";
    QTest::newRow("even parity") << QStringList{"version", "--settings", "9600,E,8,1"}
                                 << "Upload To PC and Get Firmware Version are not available under Even or Odd parity: "
                                    "the decoder's replies cannot be taken in. Choose None, Mark or Space.";
    QTest::newRow("set a key twice") << QStringList{"set", "@factory.cfg", "comm.rs232.baud=19200", "comm.rs232.baud=4800"}
                                     << "communication.rs232.baud_rate: already set by 'comm.rs232.baud=19200'; give each key once";
    QTest::newRow("set port 5") << QStringList{"set", "@factory.cfg", "file.port=5"}
                                << "file.port_number: \"5\" is not allowed; allowed: a port number from 1 to 4";
    QTest::newRow("set outside the code page")
        << QStringList{"set", "@factory.cfg", "file.device_name=\"\u65e5\u672c\u8a9e\U0001F600\""}
        << "file.device_name: \"\u65e5\" (U+65E5) cannot be stored: configuration files hold this text in the "
           "Windows-1252 code page; use other characters";
    const QString sameFile = dir.path() + QStringLiteral("/./factory.cfg");
    QTest::newRow("export over its input") << QStringList{"export", "@factory.cfg", sameFile}
                                           << QStringLiteral("'%1' is both the input and the output; name another "
                                                             "output file").arg(sameFile);
    QTest::newRow("import over its input") << QStringList{"import", sameFile, "@factory.cfg"}
                                           << QStringLiteral("'%1' is both the input and the output; name another "
                                                             "output file").arg(path("factory.cfg"));
    QTest::newRow("runaway key cut") << QStringList{"get", "@factory.cfg", QString(100000, QLatin1Char('k'))}
                                     << QStringLiteral("unknown key '%1...' (q51ctl keys lists every key)")
                                            .arg(QString(80, QLatin1Char('k')));
}

void CliEndToEndTest::usageErrorIsOneLinePlusHint()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    const Run run = ctl(arguments);
    QCOMPARE(run.code, int(UsageError));
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, QStringLiteral("q51ctl: %1\nTry 'q51ctl --help'.\n").arg(problem));
}

// Every verb that writes: a failed write is one message and exit 3, never an
// OK line, and a file of that name from before stays byte for byte.
void CliEndToEndTest::failedWriteIsToldAndKeepsTheEarlierFile_data()
{
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Sink>("sink");
    QTest::addColumn<QString>("kept"); // a file here that must not change; empty: none

    const QStringList none{NoSimulator};
    const QStringList plain;
    const QList<std::tuple<const char *, QStringList, QStringList>> toStdout{
        {"export", none, {"export", "@edited.cfg", "-"}},
        {"import", none, {"import", "@edited.txt", "-"}},
        {"report", none, {"report", "@edited.cfg"}},
        {"get", none, {"get", "@edited.cfg", "comm.rs232.baud", "--json"}},
        {"keys", none, {"keys"}},
        {"diff", none, {"diff", "@factory.cfg", "@edited.cfg"}},
        {"upload", plain, {"upload", "-", "--port", "@DEV"}},
        {"version", plain, {"version", "--port", "@DEV"}},
    };
    for (const auto &[verb, simulator, arguments] : toStdout) {
        QTest::addRow("%s to a full device", verb) << simulator << arguments << Sink::FullDevice << QString();
        QTest::addRow("%s to a closed pipe", verb) << simulator << arguments << Sink::ClosedPipe << QString();
    }
    QTest::newRow("import to a limited stdout file") << none << QStringList{"import", "@edited.txt", "-"}
                                                     << Sink::SizeLimit << QString();
    QTest::newRow("export to a file") << none << QStringList{"export", "@edited.cfg", "@kept.txt"} << Sink::SizeLimit
                                      << "kept.txt";
    QTest::newRow("import to a file") << none << QStringList{"import", "@edited.txt", "@kept.cfg"} << Sink::SizeLimit
                                      << "kept.cfg";
    QTest::newRow("set in place") << none << QStringList{"set", "@kept.cfg", "comm.rs232.baud=19200"}
                                  << Sink::SizeLimit << "kept.cfg";
    QTest::newRow("upload to a file") << plain << QStringList{"upload", "@kept.cfg", "--port", "@DEV"}
                                      << Sink::SizeLimit << "kept.cfg";
}

void CliEndToEndTest::failedWriteIsToldAndKeepsTheEarlierFile()
{
    QFETCH(QStringList, simulator);
    QFETCH(QStringList, arguments);
    QFETCH(Sink, sink);
    QFETCH(QString, kept);

    // A configuration longer than the limit, distinct from what is written.
    QVERIFY(writeConfiguration(path("kept.cfg"), test::EditedFactoryBlock()));
    QFile keptText(path("kept.txt"));
    QVERIFY(keptText.open(QIODevice::WriteOnly));
    QVERIFY(keptText.write(QByteArray(12000, 'k')) == 12000);
    keptText.close();
    const QByteArray before = kept.isEmpty() ? QByteArray() : readAll(dir.filePath(kept));

    test::SimulatorProcess sim;
    if (simulator != QStringList{NoSimulator})
        QVERIFY(sim.start(simulator));
    const Run run = ctl(arguments, sim.device(), QStringLiteral("0.05"), sink);
    const QString seen = QStringLiteral("stderr: %1").arg(run.err);
    QCOMPARE(run.code, int(BadFile));
    const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.size() == 1 && lines[0].startsWith(QLatin1String("q51ctl: ")), qPrintable(seen));
    QVERIFY2(!run.err.contains(QLatin1String("OK")), qPrintable(seen));
    if (!kept.isEmpty())
        QCOMPARE(readAll(dir.filePath(kept)), before);
}

// 2,000 stored groups of sizes 1 to 253: the sizes reply has room for the
// first 1998, and each is one line, and one --json element, of its own.
void CliEndToEndTest::memorySizesListEveryGroup()
{
    QStringList groups;
    QStringList expected;
    for (int i = 0; i < 2000; ++i) {
        const int size = 1 + i * 37 % 253;
        groups << QStringLiteral("--group") << QString(size, QLatin1Char('g'));
        if (i < 1998)
            expected << QStringLiteral("Group %1 : %2").arg(i).arg(size);
    }
    test::SimulatorProcess sim;
    QVERIFY(sim.start(groups));
    const Run text = ctl({"memory", "sizes", "-q", "--port", "@DEV"}, sim.device());
    QCOMPARE(text.code, int(Success));
    QCOMPARE(text.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
    const Run json = ctl({"memory", "sizes", "--json", "-q", "--port", "@DEV"}, sim.device());
    QCOMPARE(json.code, int(Success));
    QStringList elements;
    for (const QJsonValue &line : QJsonDocument::fromJson(json.out.toUtf8()).object().value("lines").toArray())
        elements << line.toString();
    QCOMPARE(elements, expected);
}

void CliEndToEndTest::detectFindsTheDecodersSpeed_data()
{
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("answers"); // settings a decoder answered at, in the order tried
    QTest::addColumn<QString>("heard");        // what every other probe heard

    QStringList everySpeed;
    for (const DetectProbe &probe : DetectPlan()) {
        const QString settings = serialSettingsText(probe.settings);
        everySpeed << settings;
        QTest::addRow("decoder at %d", probe.settings.baudRate)
            << QStringList{"--line-speed", QString::number(probe.settings.baudRate)} << int(Success)
            << QStringList{settings} << "nothing";
    }
    QTest::newRow("answers at every speed") << QStringList{} << int(Ambiguous) << everySpeed << "";
    QTest::newRow("silent") << QStringList{"--silent"} << int(TimedOut) << QStringList{} << "nothing";
    QTest::newRow("noise at every speed") << QStringList{"--garbage"} << int(BadReply) << QStringList{} << "noise";
}

// The real program on the real serial stack, the simulator hearing only at
// its own speed: every speed is tried once, and the decoder's is named.
void CliEndToEndTest::detectFindsTheDecodersSpeed()
{
    QFETCH(QStringList, simulator);
    QFETCH(int, code);
    QFETCH(QStringList, answers);
    QFETCH(QString, heard);
    test::SimulatorProcess sim;
    QVERIFY(sim.start(simulator));
    // Each probe waits long enough for the simulator on a busy machine.
    const Run run = ctl({"detect", "--json", "--port", "@DEV"}, sim.device(), QStringLiteral("0.5"));
    QCOMPARE(run.code, code);
    const QJsonObject data = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QStringList answered;
    for (const QJsonValue &answer : data.value("answers").toArray()) {
        answered << answer.toObject().value("settings").toString();
        QCOMPARE(answer.toObject().value("version").toString(), QStringLiteral("Q51 Decoder Simulator V1.00"));
    }
    QCOMPARE(answered, answers);
    const QJsonArray probes = data.value("probes").toArray();
    QCOMPARE(probes.size(), qsizetype(DetectPlan().size()));
    for (const QJsonValue &probe : probes) {
        const QJsonObject o = probe.toObject();
        if (!answers.contains(o.value("settings").toString()))
            QCOMPARE(o.value("heard").toString(), heard);
    }
}

void CliEndToEndTest::applyBacksUpSendsAndVerifies_data()
{
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("failedStep"); // empty: every step succeeded
    QTest::addColumn<bool>("backedUp");
    QTest::addColumn<int>("sent"); // how many of the five keys the decoder holds after; 0: nothing was written
    QTest::addColumn<QString>("folder"); // the backup folder, in a fresh folder holding a file "taken"

    const auto &keys = test::FiveDifferingKeys();
    const QStringList three{"apply", "@five.cfg", "--only", QString::fromStdString(keys[0]), "--only",
                            QString::fromStdString(keys[1] + "," + keys[2])};
    QTest::newRow("three of five") << QStringList{} << three << int(Success) << "" << true << 3 << "kept";
    QTest::newRow("every setting") << QStringList{} << QStringList{"apply", "@five.cfg"} << int(Success) << "" << true
                                   << 5 << "kept";
    QTest::newRow("download --backup") << QStringList{} << QStringList{"download", "@five.cfg"} << int(Success) << ""
                                       << true << 5 << "kept";
    // A hang-up ends the simulator: the decoder is gone, whatever it held.
    QTest::newRow("lost in the backup read") << QStringList{"--hangup-after", "2"} << three << int(PortLost)
                                             << ApplyStepText(ApplyStep::ReadBackup) << false << -1 << "kept";
    QTest::newRow("lost in the download") << QStringList{"--faults-from", "2", "--hangup-after", "0"} << three
                                          << int(PortLost) << ApplyStepText(ApplyStep::Download) << true << -1 << "kept";
    QTest::newRow("lost in the read-back") << QStringList{"--faults-from", "3", "--hangup-after", "2"} << three
                                           << int(PortLost) << ApplyStepText(ApplyStep::ReadBack) << true << -1 << "kept";
    // A folder that cannot be made: nothing is sent.
    QTest::newRow("backup not written") << QStringList{} << three << int(BadFile)
                                        << ApplyStepText(ApplyStep::SaveBackup) << false << 0 << "taken/kept";
}

// Backup, download, read-back and verify over the real serial stack: the
// decoder ends with the chosen settings changed and no other; the backup
// holds its block from before; a failure names its step and leaves the
// file and the backup as they were.
void CliEndToEndTest::applyBacksUpSendsAndVerifies()
{
    QFETCH(QStringList, simulator);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, failedStep);
    QFETCH(bool, backedUp);
    QFETCH(int, sent);
    QFETCH(QString, folder);
    QTemporaryDir backups;
    const QString dump = backups.filePath(QStringLiteral("decoder.bin"));
    QFile taken(backups.filePath(QStringLiteral("taken")));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    folder = backups.filePath(folder);
    test::SimulatorProcess sim;
    QVERIFY(sim.start(simulator + QStringList{"--dump-block", dump}));
    const QByteArray fileBefore = readAll(path("five.cfg"));

    const Run run = ctl(arguments + QStringList{"--backup", folder, "--port", "@DEV"}, sim.device());
    QVERIFY2(run.code == code, qPrintable(run.err));
    QCOMPARE(readAll(path("five.cfg")), fileBefore);
    if (!failedStep.isEmpty()) {
        failedStep[0] = failedStep[0].toUpper();
        QVERIFY2(run.err.contains(failedStep + QStringLiteral(" failed")), qPrintable(run.err));
    }
    const std::vector<BackupEntry> kept = ListBackups(folder);
    QCOMPARE(kept.size(), std::size_t(backedUp ? 1 : 0));
    if (backedUp) {
        Configuration backup;
        QVERIFY(ReadConfigurationFile(kept.front().path, backup));
        QVERIFY(backup.block == FactoryBlock());
        const Run listed = ctl({"backups", "--backup", folder});
        QCOMPARE(listed.code, int(Success));
        QVERIFY2(listed.out.trimmed().endsWith(kept.front().path), qPrintable(listed.out));
    }
    if (sent < 0)
        return;
    if (sent == 0) {
        QVERIFY(!QFile::exists(dump));
        return;
    }
    Configuration decoder = test::FactoryDecoder();
    QCOMPARE(sim::ReadBlockFile(dump.toStdString(), decoder.block), std::string());
    const auto &keys = test::FiveDifferingKeys();
    std::vector<std::string> expected(keys.begin(), keys.begin() + sent);
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> changed = test::KeysOf(DifferingSettings(test::FactoryDecoder(), decoder));
    std::sort(changed.begin(), changed.end());
    QCOMPARE(changed, expected);
}

QTEST_GUILESS_MAIN(CliEndToEndTest)
#include "tst_cli_e2e.moc"
