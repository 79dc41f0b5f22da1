// Report and diff texts, checked against golden text reviewed by hand:
// the factory block and an edited one. Set Q51_UPDATE_GOLDEN=1 to rewrite
// the golden files after a deliberate change, then review the git diff.

#include <QFile>
#include <QTest>

#include "cli/config_report.h"
#include "edited_block.h"
#include "model/factory_defaults.h"
#include "schema/field_access.h"
#include "schema/field_tables.h"

using namespace q51;

namespace {

QString golden(const QString &name)
{
    return QStringLiteral(Q51_GOLDEN_DIR "/") + name;
}

void compareWithGolden(const std::string &actual, const QString &name)
{
    const QString path = golden(name);
    if (qEnvironmentVariableIntValue("Q51_UPDATE_GOLDEN") == 1) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(actual.data(), qint64(actual.size()));
    }
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray expected = file.readAll();
    QCOMPARE(QByteArray::fromStdString(actual), expected);
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
        compareWithGolden(cli::ReportConfiguration(FactoryBlock()), QStringLiteral("factory_report.txt"));
    }

    void editedReportMatchesGolden()
    {
        compareWithGolden(cli::ReportConfiguration(test::EditedFactoryBlock()), QStringLiteral("edited_report.txt"));
    }

    void diffNamesOnlyTheChanges()
    {
        compareWithGolden(cli::DiffConfigurations(FactoryBlock(), test::EditedFactoryBlock()),
                          QStringLiteral("factory_vs_edited.diff"));
    }

    void diffOfEqualBlocksIsEmpty()
    {
        QCOMPARE(cli::DiffConfigurations(FactoryBlock(), FactoryBlock()), std::string());
    }

    // Every described field has its line, whatever the tables grow to.
    void reportHasOneLinePerField()
    {
        int fields = 0;
        for (const PageFieldTable &table : AllPageFieldTables())
            for (const PanelSpec &panel : table.panels())
                fields += int(panel.fields.size());
        const std::string report = cli::ReportConfiguration(FactoryBlock());
        const auto otherBytes = report.find("Bytes the page tables do not describe:");
        QVERIFY(otherBytes != std::string::npos);
        QCOMPARE(lineCount(report.substr(0, otherBytes)), fields);
    }

    // A change to each field's bits shows in the diff under that field,
    // and a change outside every table shows as a raw byte.
    void everyFieldChangeIsNamed()
    {
        for (const PageFieldTable &table : AllPageFieldTables()) {
            for (const PanelSpec &panel : table.panels()) {
                for (const FieldSpec &field : panel.fields) {
                    Block changed = FactoryBlock();
                    const TouchedBits bits = FieldTouches(field).front();
                    changed[std::size_t(bits.byte)] ^= std::uint8_t(bits.mask & -bits.mask); // lowest bit
                    const std::string diff = cli::DiffConfigurations(FactoryBlock(), changed);
                    const std::string &caption = field.caption.empty() ? panel.frameCaption : field.caption;
                    QVERIFY2(diff.find(" / " + caption + ": ") != std::string::npos,
                             (field.control + ": " + diff).c_str());
                }
            }
        }
        Block checksum = FactoryBlock();
        checksum[255] = 0x12;
        checksum[254] = FactoryBlock()[254];
        const QString before = QStringLiteral("%1").arg(FactoryBlock()[255], 2, 16, QLatin1Char('0')).toUpper();
        const QString expected =
            QStringLiteral("Bytes the page tables do not describe:\nByte 255: 0x%1 -> 0x12\n").arg(before);
        if (FactoryBlock()[255] != 0x12)
            QCOMPARE(QString::fromStdString(cli::DiffConfigurations(FactoryBlock(), checksum)), expected);
    }
};

QTEST_GUILESS_MAIN(CliReportTest)
#include "tst_cli_report.moc"
