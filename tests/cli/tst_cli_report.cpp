// Report and diff texts, checked against golden text reviewed by hand: the
// factory block and an edited one, naming code lengths, code IDs and the
// character-edit groups. Set Q51_UPDATE_GOLDEN=1 to rewrite the golden
// files after a deliberate change, then review the git diff.

#include <QTest>

#include "edited_block.h"
#include "model/factory_defaults.h"
#include "schema/config_report.h"
#include "schema/setting_catalog.h"
#include "support/golden_file.h"

using namespace q51;

namespace {

Configuration holding(const Block &block)
{
    Configuration config;
    config.block = block;
    return config;
}

void compareWithGolden(const std::string &actual, const char *name)
{
    test::CompareWithGolden(actual, QStringLiteral(Q51_GOLDEN_DIR "/") + QString::fromUtf8(name));
}

int lineCount(const std::string &text)
{
    return int(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

class CliReportTest : public QObject {
    Q_OBJECT

private slots:
    void factoryReportMatchesGolden()
    {
        compareWithGolden(ReportConfiguration(holding(FactoryBlock()), false), "factory_report.txt");
    }

    void editedReportMatchesGolden()
    {
        compareWithGolden(ReportConfiguration(holding(test::EditedFactoryBlock()), false), "edited_report.txt");
    }

    void diffNamesOnlyTheChanges()
    {
        compareWithGolden(DiffConfigurations(holding(FactoryBlock()), holding(test::EditedFactoryBlock()), {}),
                          "factory_vs_edited.diff");
    }

    void diffOfEqualBlocksIsEmpty()
    {
        QCOMPARE(DiffConfigurations(holding(FactoryBlock()), holding(FactoryBlock()), {true, true}), std::string());
    }

    // One line per setting; the header values only when asked for.
    void reportHasOneLinePerSetting()
    {
        int header = 0;
        for (const Setting &setting : AllSettings())
            header += setting.role == SettingRole::Header;
        const auto all = int(AllSettings().size());
        QCOMPARE(lineCount(ReportConfiguration(holding(FactoryBlock()), false)), all - header);
        QCOMPARE(lineCount(ReportConfiguration(holding(FactoryBlock()), true)), all);
    }

    // A change to any setting's lowest bit shows under its name; the
    // checksum only with derived bytes, the header only in its section.
    void everySettingChangeIsNamed()
    {
        const Configuration factory = holding(FactoryBlock());
        for (const Setting &setting : AllSettings()) {
            Configuration changed = factory;
            const auto touches = SettingTouches(setting);
            if (touches.empty())
                changed.PortNumber = 9; // the header values share one test
            else
                changed.block[std::size_t(touches.front().byte)] ^= std::uint8_t(touches.front().mask &
                                                                                  -touches.front().mask);
            const std::string all = DiffConfigurations(factory, changed, {true, true});
            const bool named = all.find(setting.Name() + ": ") != std::string::npos;
            QVERIFY2(named || touches.empty(), (setting.key + ": " + all).c_str());
            const std::string usual = DiffConfigurations(factory, changed, {});
            const bool hidden = setting.role == SettingRole::Derived || setting.role == SettingRole::Header;
            QVERIFY2(usual.empty() == hidden, (setting.key + ": " + usual).c_str());
        }
        Configuration renamed = factory;
        renamed.DeviceName = "Dock 4";
        QCOMPARE(DiffConfigurations(factory, renamed, {true, false}),
                 std::string(HeaderDiffHeading) + "File / Header / Device Name: \"\" -> \"Dock 4\"\n");
    }
};

QTEST_GUILESS_MAIN(CliReportTest)
#include "tst_cli_report.moc"
