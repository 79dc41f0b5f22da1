// get, set, export and import on real files, run in process: set changes
// exactly the bits of the setting it names or nothing at all, abbreviated
// keys and choices resolve only where they are unambiguous, and a file
// survives export and import byte for byte.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/verbs.h"
#include "edited_block.h"
#include "files/config_file_io.h"
#include "model/factory_defaults.h"
#include "schema/caption_text.h"
#include "schema/field_access.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"
#include "schema/symbology_fields.h"
#include "support/stepped_block.h"

using namespace q51;
using namespace q51::cli;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int run(const QStringList &arguments)
{
    QString problem;
    const auto line = ParseCommandLine(arguments, &problem);
    return line ? RunVerb(*line) : UsageError;
}

Block blockOf(const QString &path)
{
    Configuration config;
    return ReadConfigurationFile(path, config) ? config.block : Block{};
}

} // namespace

class CliTextVerbsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        Configuration config;
        ResetHeaderStrings(config, HeaderPreset::StartUp, "01/02/2025");
        config.block = test::EditedFactoryBlock();
        QVERIFY(WriteConfigurationFile(file(), config).ok);
        original = readAll(file());
    }

    // Every choice of every field by its caption, and every setting set to
    // what another block holds: exactly the bits the setting owns change,
    // to what a click (or that block) says.
    void setChangesExactlyTheSettingsBits()
    {
        Configuration other;
        other.block = test::SteppedBlock(7, 3);
        for (const Setting &setting : AllSettings()) {
            if (setting.role == SettingRole::Header)
                continue;
            std::vector<std::pair<std::string, Block>> cases;
            for (const Choice &choice : setting.field.choices) {
                Configuration clicked;
                clicked.block = test::EditedFactoryBlock();
                WriteField(setting.field, clicked, choice.value);
                cases.emplace_back(PlainCaption(choice.caption), clicked.block);
            }
            Block copied = test::EditedFactoryBlock();
            for (const TouchedBits &bits : SettingTouches(setting)) {
                auto &byte = copied[std::size_t(bits.byte)];
                byte = std::uint8_t((byte & ~bits.mask) | (other.block[std::size_t(bits.byte)] & bits.mask));
            }
            // What the page would not take (a length of 100, a control code
            // as a code ID) is refused and leaves the file as it was.
            Configuration probe;
            const std::string otherValue = SettingValue(setting, other, ValueForm::Exact);
            const bool pageTakesIt = !WriteSettingValue(setting, probe, otherValue, ValueSource::User);
            cases.emplace_back(otherValue, pageTakesIt ? copied : test::EditedFactoryBlock());

            // A list entry also sets the summary bit, as on the page.
            if (IsSymbologyListControl(setting.field.control)) {
                for (auto &[value, expected] : cases) {
                    Configuration page;
                    page.block = expected;
                    UpdateUpcEanSummary(page);
                    expected = page.block;
                }
            }
            for (const auto &[value, expected] : cases) {
                QFile restore(file());
                QVERIFY(restore.open(QIODevice::WriteOnly) && restore.write(original) == original.size());
                restore.close();
                const QString assignment = QString::fromStdString(setting.key + "=" + value);
                const bool refused = expected == test::EditedFactoryBlock() && value == otherValue && !pageTakesIt;
                QCOMPARE(run({"set", file(), assignment}), int(refused ? UsageError : Success));
                QVERIFY2(blockOf(file()) == expected, qPrintable(assignment));
            }
        }
    }

    // One refused assignment among good ones: nothing is written.
    void refusedSetLeavesTheFileAlone_data()
    {
        QTest::addColumn<QStringList>("assignments");
        QTest::newRow("unknown value") << QStringList{"communication.rs232.baud_rate=600", "misc.others.accuracy=9"};
        QTest::newRow("unknown key") << QStringList{"communication.rs232.baud_rate=600", "misc.others.speed=1"};
        QTest::newRow("ambiguous key") << QStringList{"misc.code_id.code=none"};
        QTest::newRow("ambiguous choice") << QStringList{"communication.rs232.baud_rate=1"};
        QTest::newRow("no equals") << QStringList{"misc.others.accuracy"};
        QTest::newRow("length the page refuses") << QStringList{"barcodes.code_39.minimum_length=100"};
        QTest::newRow("position the page refuses") << QStringList{"misc.char.deletion_group1_position=100"};
        QTest::newRow("control code as code ID") << QStringList{"misc.code_id.code_39={ESC}"};
    }
    void refusedSetLeavesTheFileAlone()
    {
        QFETCH(QStringList, assignments);
        QCOMPARE(run(QStringList{"set", file()} + assignments), int(UsageError));
        QCOMPARE(readAll(file()), original);
    }

    // Keys part by part and choices by their start, whatever the case.
    void abbreviationsResolve()
    {
        QCOMPARE(run({"set", file(), "Comm.RS.baud=192", "misc.oth.acc=3 t", "bar.code_39.fix=var"}), int(Success));
        const Block after = blockOf(file());
        QCOMPARE(after[24] & 0x07, 0x04); // 19200
        QCOMPARE(after[27] & 0x03, 0x02); // 3 Times
        QCOMPARE(int(after[40]), 255);
        QCOMPARE(int(after[41]), 255);
    }

    // Clearing the last of UPC-A, EAN-13 and EAN-8 clears the summary bit
    // the list keeps; ticking one sets it again.
    void listEntriesKeepTheSummaryBit()
    {
        QCOMPARE(run({"set", file(), "bar.symb.upc_a=cleared", "bar.symb.ean_13=cleared", "bar.symb.ean_8=cleared"}),
                 int(Success));
        QCOMPARE(blockOf(file())[0] & 0x87, 0x00);
        QCOMPARE(run({"set", file(), "bar.symb.ean_8=ticked"}), int(Success));
        QCOMPARE(blockOf(file())[0] & 0x87, 0x81);
    }

    // A .cfg exported and imported comes back byte for byte, header included.
    void exportThenImportIsByteExact()
    {
        const QString text = dir.filePath(QStringLiteral("x.txt"));
        const QString back = dir.filePath(QStringLiteral("back.cfg"));
        QCOMPARE(run({"export", file(), text}), int(Success));
        QCOMPARE(run({"import", text, back}), int(Success));
        QCOMPARE(readAll(back), original);
    }

    // A bad text writes nothing, not even an empty file.
    void badImportWritesNothing()
    {
        const QString text = dir.filePath(QStringLiteral("bad.txt"));
        QFile bad(text);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("q51 configuration text 1\nmisc.others.accuracy = often\n");
        bad.close();
        QCOMPARE(run({"import", text, file()}), int(BadFile));
        QCOMPARE(readAll(file()), original);
    }

private:
    QTemporaryDir dir;
    QByteArray original;
    QString file() const { return dir.filePath(QStringLiteral("site.cfg")); }
};

QTEST_GUILESS_MAIN(CliTextVerbsTest)
#include "tst_cli_text_verbs.moc"
