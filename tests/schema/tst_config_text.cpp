// The text form: every block survives export and import byte for byte,
// every bit belongs to a named setting, a partial text changes only what
// it names, and a bad line is refused whole with the line, key and what is
// allowed. The factory export is golden, so keys stay stable.

#include <QRandomGenerator>
#include <QTest>

#include "model/factory_defaults.h"
#include "schema/config_text.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"
#include "support/golden_file.h"
#include "support/stepped_block.h"

using namespace q51;

Q_DECLARE_METATYPE(q51::Block)

namespace {

Configuration holding(const Block &block)
{
    Configuration config;
    config.block = block;
    config.DeviceName = "Line 7, \"north\" door";
    config.Description = "# not a comment";
    config.PortNumber = 3;
    config.TransferMode = 300;
    return config;
}

Block filled(std::uint8_t value)
{
    Block block;
    block.fill(value);
    return block;
}

// Imported over a block unlike the original, so every byte must come from the text.
void checkRoundTrip(const Configuration &original)
{
    Configuration imported = holding(test::DescendingBlock());
    imported.DeviceName = "other";
    const std::string text = ExportConfigurationText(original);
    const auto problem = ImportConfigurationText(text, imported);
    QVERIFY2(!problem, problem ? problem->message.c_str() : "");
    QCOMPARE(test::BytesOf(imported.block), test::BytesOf(original.block));
    QCOMPARE(imported.DeviceName, original.DeviceName);
    QCOMPARE(imported.Description, original.Description);
    QCOMPARE(imported.PortNumber, original.PortNumber);
    QCOMPARE(imported.TransferMode, original.TransferMode);
}

} // namespace

class ConfigTextTest : public QObject {
    Q_OBJECT

private slots:
    void roundTripIsExact_data()
    {
        QTest::addColumn<Block>("block");
        QTest::newRow("factory") << FactoryBlock();
        QTest::newRow("all 0x00") << filled(0x00);
        QTest::newRow("all 0xFF") << filled(0xFF);
        QTest::newRow("stepped") << test::SteppedBlock(7, 3);
    }
    void roundTripIsExact()
    {
        QFETCH(Block, block);
        checkRoundTrip(holding(block));
    }

    void roundTripIsExactOnRandomBlocks()
    {
        QRandomGenerator random(17);
        for (int n = 0; n < 10000; ++n) {
            Block block;
            for (auto &byte : block)
                byte = std::uint8_t(random.bounded(256));
            checkRoundTrip(holding(block));
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("block %1").arg(n)));
        }
    }

    // Together the settings own every bit of the block, each bit once.
    void settingsOwnEveryBitOnce()
    {
        std::array<int, BlockSize> owned{};
        for (const Setting &setting : AllSettings()) {
            for (const TouchedBits &bits : SettingTouches(setting)) {
                const auto i = std::size_t(bits.byte);
                QVERIFY2((owned[i] & bits.mask) == 0, setting.key.c_str());
                owned[i] |= bits.mask;
            }
        }
        for (int i = 0; i < BlockSize; ++i)
            QVERIFY2(owned[std::size_t(i)] == 0xFF, qPrintable(QString::number(i)));
    }

    // The factory export pins every key and notation: a renamed key breaks
    // saved texts, so it must show up here as a deliberate change.
    void factoryExportMatchesGolden()
    {
        Configuration factory = holding(FactoryBlock());
        factory.DeviceName = DefaultDeviceName;
        factory.UserName = DefaultUserName;
        factory.BuildingDate = "2024-01-31";
        factory.Description = StartUpDescription;
        factory.PortNumber = 1;
        factory.TransferMode = 1;
        test::CompareWithGolden(ExportConfigurationText(factory), QStringLiteral(Q51_GOLDEN_DIR "/factory_export.txt"));
    }

    // A text holding a few lines changes exactly their bits.
    void partialTextChangesOnlyWhatItNames()
    {
        Configuration config = holding(FactoryBlock());
        // As a Windows editor saves it: a byte-order mark first.
        const auto problem = ImportConfigurationText("\xEF\xBB\xBFq51 configuration text 1\n"
                                                     "# a site's changes\n"
                                                     "communication.rs232.baud_rate = 19200\r\n"
                                                     "MISC.CODE_ID.CODE_39 = '#'\n"
                                                     "misc.characters_edit.insertion_group2_text = \"{F10}x\"\n"
                                                     "barcodes.code_39.fixed_lengths = 10, 20\n",
                                                     config);
        QVERIFY2(!problem, problem ? problem->message.c_str() : "");
        Block expected = FactoryBlock();
        expected[24] = std::uint8_t((expected[24] & ~0x07) | 0x04);
        expected[84] = '#';
        expected[124] = 0xC9;
        expected[125] = 'x';
        for (int i = 126; i < 132; ++i)
            expected[std::size_t(i)] = 0;
        expected[40] = 10;
        expected[41] = 20;
        QCOMPARE(test::BytesOf(config.block), test::BytesOf(expected));
    }

    void badLineIsRefusedWhole_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QByteArray head = "q51 configuration text 1\ncommunication.rs232.baud_rate = 19200\n";
        QTest::newRow("no version") << QByteArray("communication.rs232.baud_rate = 19200\n")
                                    << "line 1: expected \"q51 configuration text 1\" before the first setting";
        QTest::newRow("empty") << QByteArray() << "line 1: expected \"q51 configuration text 1\"";
        QTest::newRow("no equals") << head + "misc.others.accuracy 2 Times\n" << "line 3: expected \"key = value\"";
        QTest::newRow("unknown key") << head + "misc.others.speed = 3\n" << "line 3: unknown key \"misc.others.speed\"";
        QTest::newRow("twice") << head + "\n# again\ncommunication.rs232.baud_rate = 600\n"
                               << "line 5: communication.rs232.baud_rate: already set on line 2";
        QTest::newRow("later version") << QByteArray("# saved by a newer program\nq51 configuration text 2\n")
                                       << "line 2: unknown version 2; this program reads \"q51 configuration text 1\"";
        QTest::newRow("byte-order mark later on") << head + "\xEF\xBB\xBFmisc.others.accuracy = 2 Times\n"
                                                  << "line 3: unknown key \"\xEF\xBB\xBFmisc.others.accuracy\"";
        QTest::newRow("outside the code page")
            << head + "file.device_name = \"\xE6\x97\xA5\xE6\x9C\xAC\xF0\x9F\x98\x80\"\n"
            << QStringLiteral("line 3: file.device_name: \"\u65e5\" (U+65E5) cannot be stored: configuration files "
                              "hold this text in the Windows-1252 code page; use other characters");
        QTest::newRow("malformed UTF-8") << head + "file.description = \"a\xC3\"\n"
                                         << QStringLiteral("line 3: file.description: \"\ufffd\" (U+FFFD) cannot be "
                                                           "stored: configuration files hold this text in the "
                                                           "Windows-1252 code page; use other characters");
        const QByteArray runaway(1000, 'x');
        QTest::newRow("runaway value cut") << head + "misc.others.accuracy = " + runaway + "\n"
                                           << QStringLiteral("line 3: misc.others.accuracy: \"%1...\" is not allowed; "
                                                             "allowed: \"1 Time\", \"2 Times\", \"3 Times\", \"4 "
                                                             "Times\" or Other (0x00 to 0x03)")
                                                  .arg(QString(80, QLatin1Char('x')));
        // One line of a key with a value it refuses: the message names both
        // and what the key allows.
        struct Refusal {
            const char *row, *key, *value, *allowed;
        };
        const char *accuracy = "\"1 Time\", \"2 Times\", \"3 Times\", \"4 Times\" or Other (0x00 to 0x03)";
        const char *insertion = "text of up to 8 characters in double quotes, keys as {F10} or {CR}, or up to 8 "
                                "codes such as \"0xC9 0x78\"";
        const Refusal refusals[]{
            {"bad choice", "misc.others.accuracy", "5 Times", accuracy},
            {"other too big", "misc.others.accuracy", "Other (0x04)", accuracy},
            {"abbreviation", "misc.others.accuracy", "2 T", accuracy},
            {"length 256", "barcodes.code_39.minimum_length", "256", "a number from 0 to 255"},
            {"one fixed length", "barcodes.code_39.fixed_lengths", "12",
             "\"Variable\" or two lengths from 0 to 255, such as \"10, 20\""},
            {"two code-ID characters", "misc.code_id.code_39", "'AB'",
             "none, one character in single quotes ('B'), a control name ({CR}) or a code 0x00 to 0xFF"},
            {"nine codes", "misc.characters_edit.insertion_group1_text", "1 2 3 4 5 6 7 8 9", insertion},
            {"nine characters", "misc.characters_edit.insertion_group1_text", "\"{F10}ABCDEFGH\"", insertion},
            {"reserved bit taken", "reserved.byte_1", "0x01", "a byte using only bits 0x50"},
            {"unquoted header", "file.description", "north door", "text in double quotes"},
            {"port 0", "file.port_number", "0", "a port number from 1 to 4"},
            {"port 5", "file.port_number", "5", "a port number from 1 to 4"},
        };
        for (const Refusal &r : refusals)
            QTest::newRow(r.row) << head + r.key + " = " + r.value + "\n"
                                 << QStringLiteral("line 3: %1: \"%2\" is not allowed; allowed: %3")
                                        .arg(QString::fromUtf8(r.key), QString::fromUtf8(r.value),
                                             QString::fromUtf8(r.allowed));
    }
    void badLineIsRefusedWhole()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        Configuration config = holding(FactoryBlock());
        const Configuration before = config;
        const auto problem = ImportConfigurationText(text.toStdString(), config);
        QVERIFY(problem);
        QCOMPARE(QString::fromStdString(problem->message), message);
        QCOMPARE(test::BytesOf(config.block), test::BytesOf(before.block));
        QCOMPARE(config.Description, before.Description);
    }
};

QTEST_GUILESS_MAIN(ConfigTextTest)
#include "tst_config_text.moc"
