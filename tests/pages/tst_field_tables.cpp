#include <QtTest>

#include <QAbstractButton>
#include <QRadioButton>
#include <set>

#include "pages/binding/field_binding.h"
#include "schema/field_access.h"
#include "schema/field_tables.h"

using namespace q51;

Q_DECLARE_METATYPE(const FieldSpec *)

// Checks every page's field tables as data, and every field through its
// generated widgets: each choice, clicked on a block of 0x00 and of 0xFF,
// reads back as itself and moves no bit outside the field.
class FieldTablesTest : public QObject {
    Q_OBJECT
private slots:
    void tablesAreConsistent();
    void noTwoFieldsShareABit();
    void everyChoiceReadsBack_data();
    void everyChoiceReadsBack();
    void storedValueWithoutChoiceIsShownAndKept();
    void aliasIsShownAsItsChoiceAndNormalised();
};

static std::vector<const FieldSpec *> allFields()
{
    std::vector<const FieldSpec *> out;
    for (const auto &table : AllPageFieldTables())
        for (const auto &panel : table.panels())
            for (const auto &field : panel.fields)
                out.push_back(&field);
    return out;
}

void FieldTablesTest::tablesAreConsistent()
{
    for (const auto &table : AllPageFieldTables()) {
        std::set<std::string> controls;
        for (const auto &panel : table.panels()) {
            for (const auto &field : panel.fields) {
                const QByteArray where = QByteArray(table.page) + "/" + field.control.c_str();
                QVERIFY2(controls.insert(field.control).second, where + " is named twice");
                QVERIFY2(!field.choices.empty(), where);
                std::set<int> values;
                for (const auto &choice : field.choices) {
                    QVERIFY2(values.insert(choice.value).second, where + " has two choices with one value");
                    if (!field.codec)
                        QVERIFY2((choice.value & ~field.mask) == 0, where + " has a value outside its mask");
                }
                QVERIFY2(FindChoice(field, field.defaultValue), where + " has a default that is no choice");
                for (const auto &[from, to] : field.aliases) {
                    QVERIFY2(FindChoice(field, to), where + " aliases to no choice");
                    QVERIFY2(!FindChoice(field, from), where + " aliases a value that has a choice");
                }
            }
        }
    }
}

void FieldTablesTest::noTwoFieldsShareABit()
{
    std::array<int, BlockSize> owned{};
    std::array<std::string, BlockSize> owner;
    for (const FieldSpec *field : allFields()) {
        for (const auto &t : FieldTouches(*field)) {
            const auto i = static_cast<std::size_t>(t.byte);
            QVERIFY2((owned[i] & t.mask) == 0,
                     qPrintable(QStringLiteral("%1 and %2 share bits of byte %3")
                                    .arg(QString::fromStdString(field->control), QString::fromStdString(owner[i]))
                                    .arg(t.byte)));
            owned[i] |= t.mask;
            owner[i] = field->control;
        }
    }
}

void FieldTablesTest::everyChoiceReadsBack_data()
{
    QTest::addColumn<const FieldSpec *>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("fill");
    for (const FieldSpec *field : allFields()) {
        for (const auto &choice : field->choices) {
            for (int fill : {0x00, 0xFF})
                QTest::addRow("%s=%s on %02X", field->control.c_str(), choice.caption.c_str(), fill)
                    << field << choice.value << fill;
        }
    }
}

void FieldTablesTest::everyChoiceReadsBack()
{
    QFETCH(const FieldSpec *, field);
    QFETCH(int, value);
    QFETCH(int, fill);
    Configuration config;
    config.block.fill(static_cast<std::uint8_t>(fill));
    QWidget parent;
    ConfigDocument document(config);
    FieldBinding binding(*field, document, &parent);
    QAbstractButton *button = binding.button(value);
    QVERIFY(button);
    const Block before = config.block;
    QSignalSpy selected(&binding, &FieldBinding::selected);
    if (button->isEnabled() && field->kind == FieldKind::Options)
        button->click(); // what the user does
    else if (button->isEnabled() && field->kind == FieldKind::Check && button->isChecked() != (value != 0))
        button->click();
    else
        binding.select(value); // hidden or greyed: only code chooses it
    QCOMPARE(selected.count(), 1);
    QCOMPARE(binding.shownValue(), std::optional<int>(value));
    QCOMPARE(ReadField(*field, config), std::optional<int>(value));

    std::array<int, BlockSize> allowed{};
    for (const auto &t : FieldTouches(*field))
        allowed[static_cast<std::size_t>(t.byte)] |= t.mask;
    for (int i = 0; i < BlockSize; ++i) {
        const auto k = static_cast<std::size_t>(i);
        QVERIFY2(((before[k] ^ config.block[k]) & ~allowed[k]) == 0, qPrintable(QStringLiteral("byte %1 moved").arg(i)));
    }

    // A page opened on this block shows the same choice and writes nothing new.
    const Block written = config.block;
    FieldBinding reopened(*field, document, &parent);
    reopened.load();
    QCOMPARE(reopened.shownValue(), std::optional<int>(value));
    QCOMPARE(config.block, written);
    if (field->kind == FieldKind::Options) {
        QVERIFY(reopened.button(value)->isChecked());
        QVERIFY(!reopened.otherButton()->isChecked());
    }
}

static const FieldSpec *fieldNamed(const char *control)
{
    for (const FieldSpec *f : allFields()) {
        if (f->control == control)
            return f;
    }
    return nullptr;
}

void FieldTablesTest::storedValueWithoutChoiceIsShownAndKept()
{
    struct Case {
        const char *control;
        int byte;
        int stored;
        const char *shown;
    };
    const Case cases[] = {
        {"optCfg41D", 24, 0x5F, "Other (0x05)"}, // parity code 5
        {"optCfg41D", 24, 0x6F, "Other (0x06)"},
        {"optCfg42A", 25, 0x07, "Other (0x07)"}, // terminal type 7
        {"optCfg42A", 25, 0x0F, "Other (0x0F)"},
        {"Optcfg42b", 29, 0x03, "Other (0x03)"}, // case code 3
    };
    for (const auto &c : cases) {
        const FieldSpec *field = fieldNamed(c.control);
        QVERIFY(field);
        Configuration config;
        config.block[static_cast<std::size_t>(c.byte)] = static_cast<std::uint8_t>(c.stored);
        QWidget parent;
        ConfigDocument document(config);
        FieldBinding binding(*field, document, &parent);
        binding.load();
        QCOMPARE(int(config.block[static_cast<std::size_t>(c.byte)]), c.stored);
        QVERIFY(!binding.shownValue());
        QVERIFY(binding.otherButton()->isChecked());
        QVERIFY(!binding.otherButton()->isEnabled());
        QVERIFY(!binding.otherButton()->isHidden());
        QCOMPARE(binding.otherButton()->text(), QString::fromLatin1(c.shown));
        // The user's choice replaces it.
        binding.button(field->defaultValue)->click();
        QCOMPARE(ReadField(*field, config), std::optional<int>(field->defaultValue));
        QVERIFY(binding.otherButton()->isHidden());
    }
}

void FieldTablesTest::aliasIsShownAsItsChoiceAndNormalised()
{
    const FieldSpec *baud = fieldNamed("optCfg41A");
    Configuration config;
    config.block[24] = 0xF6; // code 6
    QWidget parent;
    ConfigDocument document(config);
    FieldBinding binding(*baud, document, &parent);
    binding.load();
    QCOMPARE(binding.button(7)->text(), QStringLiteral("9600"));
    QVERIFY(binding.button(7)->isChecked());
    QCOMPARE(int(config.block[24]), 0xF7);
}

QTEST_MAIN(FieldTablesTest)
#include "tst_field_tables.moc"
