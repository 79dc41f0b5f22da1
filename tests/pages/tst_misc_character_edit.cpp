#include <QtTest>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "misc_typing.h"
#include "pages/misc/misc_page.h"
#include "schema/number_box_rule.h"
#include "support/documented.h"
#include "support/page_driver.h"
#include "support/scripted_dialogs.h"

using namespace q51;
using namespace q51::test;

using Codes = QList<int>;

namespace {

constexpr int Deletion = 172;
constexpr int Insertion = 112;

template <typename T>
T *child(QWidget &page, const char *name)
{
    return page.findChild<T *>(QString::fromLatin1(name));
}

Codes bytes(const Configuration &c, int first, int count)
{
    Codes out;
    for (int i = first; i < first + count; ++i)
        out << c.block[static_cast<std::size_t>(i)];
    return out;
}

void setBytes(Configuration &c, int first, const Codes &codes)
{
    for (int i = 0; i < codes.size(); ++i)
        c.block[static_cast<std::size_t>(first + i)] = static_cast<std::uint8_t>(codes[i]);
}

Codes padded(Codes codes, int size)
{
    while (codes.size() < size)
        codes << 0;
    return codes;
}

// The user picks a group (or reselects the one shown).
void pickGroup(QWidget &page, const char *list, int group)
{
    auto *combo = child<QComboBox>(page, list);
    combo->setCurrentIndex(group);
    emit combo->activated(group);
}

void retype(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    typeText(box, text);
}

} // namespace

class CharacterEditTest : public QObject {
    Q_OBJECT
private slots:
    void numberRule_data();
    void numberRule();
    void groupCaptionsAndSymbologies();
    void deletionGroupShown();
    void insertionGroupShownWithoutWriting();
    void symbologyListStoresNumbers();
    void noneOverAnUnknownNumberIsWrittenWhenChosen();
    void numberBoxesWriteTheCurrentRecord();
    void numberTooLargeRefillsTheSameBox();
    void negativeNumbersAreRefused();
    void insertionTextIsEncodedAsTyped_data();
    void insertionTextIsEncodedAsTyped();
    void emptiedTextLeavesTheCharacters();
    void textWithoutSingleByteCodesIsRefused_data();
    void textWithoutSingleByteCodesIsRefused();
    void clearAllDeletion();
    void clearAllInsertion();
};

void CharacterEditTest::numberRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<int>("value");
    const int store = int(NumberBoxReading::Verdict::Store);
    const int large = int(NumberBoxReading::Verdict::TooLarge);
    const int negative = int(NumberBoxReading::Verdict::Negative);
    QTest::newRow("digits") << "5" << store << 5;
    QTest::newRow("shown form") << " 12" << store << 12;
    QTest::newRow("trailing text") << "12abc" << store << 12;
    QTest::newRow("no number") << "abc" << store << 0;
    QTest::newRow("empty") << "" << store << 0;
    QTest::newRow("99") << "99" << store << 99;
    QTest::newRow("99.4") << "99.4" << store << 99;
    QTest::newRow("99.5 rounds to 100") << "99.5" << large << 0;
    QTest::newRow("2.5 to even") << "2.5" << store << 2;
    QTest::newRow("3.5 to even") << "3.5" << store << 4;
    QTest::newRow("2.51 up") << "2.51" << store << 3;
    QTest::newRow(".5") << ".5" << store << 0;
    QTest::newRow("plus") << "+7" << store << 7;
    QTest::newRow("100") << "100" << large << 0;
    QTest::newRow("150") << "150" << large << 0;
    QTest::newRow("beyond 16 bits") << "70000" << large << 0;
    QTest::newRow("huge") << "99999999999999999999999999" << large << 0;
    QTest::newRow("minus") << "-3" << negative << 0;
    QTest::newRow("minus nearly 0") << "-0.4" << store << 0;
    QTest::newRow("minus alone") << "-" << store << 0;
    QTest::newRow("no exponent") << "1e2" << store << 1;
}

void CharacterEditTest::numberRule()
{
    QFETCH(QString, text);
    QFETCH(int, verdict);
    QFETCH(int, value);
    const NumberBoxReading r = ReadNumberBox(text.toStdString());
    QCOMPARE(int(r.verdict), verdict);
    QCOMPARE(r.value, value);
}

void CharacterEditTest::groupCaptionsAndSymbologies()
{
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    const QStringList deletion{"Group1", "Group2", "Group3", "Group4", "Group5", "Group6"};
    const QStringList insertion{"Group1", "Group2", "Group3", "Gourp4", "Group5", "Group6"};
    const QStringList symbologies{"None",          "All Symboligies", "UPC-A",       "UPC-E",         "EAN-8",
                                  "EAN-13",        "Code 39",         "Code 128",    "Interleave 25", "Industrial 25",
                                  "Matrix 25",     "CodaBar/NW7",     "Code 93",     "Code 11",       "China Postage",
                                  "MSI/PLESSEY",   "BC412",           "Code 26",     "Lcd 25",        "Telepen"};
    const auto items = [&](const char *name) {
        QStringList out;
        auto *combo = child<QComboBox>(page, name);
        for (int i = 0; i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    };
    QCOMPARE(items("cbo681"), deletion);
    QCOMPARE(items("cbo691"), insertion);
    QCOMPARE(items("cbo682"), symbologies);
    QCOMPARE(items("cbo692"), symbologies);
    QCOMPARE(child<QGroupBox>(page, "fra68")->title(), QStringLiteral("Setup Deletion"));
    QCOMPARE(child<QGroupBox>(page, "fra69")->title(), QStringLiteral("Setup Insertion"));
    QCOMPARE(child<QPushButton>(page, "Command2")->text(), QStringLiteral("Clear All Deletion"));
    QCOMPARE(child<QPushButton>(page, "cmd68_69")->text(), QStringLiteral("Clear All Insertion"));
    QCOMPARE(child<QPushButton>(page, "Command1")->text(), QStringLiteral("Function Keys"));
    QCOMPARE(child<QPushButton>(page, "Command3")->text(), QStringLiteral("Control Keys"));
}

void CharacterEditTest::deletionGroupShown()
{
    Configuration c;
    setBytes(c, Deletion, {25, 1, 2});
    setBytes(c, Deletion + 6, {4, 5, 12});
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QCOMPARE(child<QComboBox>(page, "cbo682")->currentText(), QStringLiteral("EAN-8"));
    QCOMPARE(child<QLineEdit>(page, "txt683")->text(), QStringLiteral(" 1"));
    pickGroup(page, "cbo681", 2);
    QCOMPARE(child<QComboBox>(page, "cbo682")->currentText(), QStringLiteral("Code 39"));
    QCOMPARE(child<QLineEdit>(page, "txt683")->text(), QStringLiteral(" 5"));
    QCOMPARE(child<QLineEdit>(page, "txt684")->text(), QStringLiteral(" 12"));
}

void CharacterEditTest::insertionGroupShownWithoutWriting()
{
    Configuration c;
    // Symbology 3 has no entry; 0xE0 stands for nothing; 'z' lies after a 0.
    setBytes(c, Insertion + 30, {3, 7, 'A', 0x0D, 0xC9, 'x', 0xE0, 'b', 0, 'z'});
    // A stored position of 100 or more is shown, not corrected.
    setBytes(c, Insertion + 40, {19, 150, '{', 'C', 'R', '}'});
    const Block before = c.block;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    pickGroup(page, "cbo691", 3);
    QCOMPARE(child<QComboBox>(page, "cbo691")->currentText(), QStringLiteral("Gourp4"));
    QCOMPARE(child<QComboBox>(page, "cbo692")->currentText(), QStringLiteral("None"));
    QCOMPARE(child<QLineEdit>(page, "txt693")->text(), QStringLiteral(" 7"));
    QCOMPARE(child<QLineEdit>(page, "txt694")->text(), QStringLiteral("A{CR}{F10}xb"));
    pickGroup(page, "cbo691", 4);
    QCOMPARE(child<QComboBox>(page, "cbo692")->currentText(), QStringLiteral("Telepen"));
    QCOMPARE(child<QLineEdit>(page, "txt693")->text(), QStringLiteral(" 150"));
    QCOMPARE(child<QLineEdit>(page, "txt694")->text(), QStringLiteral("{CR}"));
    QVERIFY(c.block == before);
    QVERIFY(d.messages.isEmpty());
}

void CharacterEditTest::symbologyListStoresNumbers()
{
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    pickGroup(page, "cbo691", 5);
    auto *list = child<QComboBox>(page, "cbo692");
    const int numbers[] = {255, 18, 0, 1, 25, 24, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 19};
    for (int i = list->count() - 1; i >= 0; --i) {
        list->setCurrentIndex(i);
        QCOMPARE(int(c.block[Insertion + 50]), numbers[i]);
    }
    QCOMPARE(bytes(c, Insertion, 50), padded({}, 50)); // other records untouched
    QCOMPARE(bytes(c, Deletion, 18), padded({}, 18));
}

void CharacterEditTest::noneOverAnUnknownNumberIsWrittenWhenChosen()
{
    Configuration c;
    c.block[Deletion] = 3;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    auto *list = child<QComboBox>(page, "cbo682");
    QCOMPARE(list->currentText(), QStringLiteral("None"));
    QCOMPARE(int(c.block[Deletion]), 3);
    emit list->activated(0); // the user picks "None", the entry shown
    QCOMPARE(int(c.block[Deletion]), 255);
}

void CharacterEditTest::numberBoxesWriteTheCurrentRecord()
{
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    pickGroup(page, "cbo681", 1);
    retype(child<QLineEdit>(page, "txt683"), QStringLiteral("42"));
    retype(child<QLineEdit>(page, "txt684"), QStringLiteral("7"));
    pickGroup(page, "cbo691", 2);
    retype(child<QLineEdit>(page, "txt693"), QStringLiteral("99"));
    QCOMPARE(bytes(c, Deletion, 6), (Codes{0, 0, 0, 0, 42, 7}));
    QCOMPARE(int(c.block[Insertion + 21]), 99);
    QCOMPARE(int(c.block[Insertion + 1]), 0);
    QVERIFY(d.messages.isEmpty());
    pickGroup(page, "cbo681", 0);
    pickGroup(page, "cbo681", 1);
    QCOMPARE(child<QLineEdit>(page, "txt683")->text(), QStringLiteral(" 42"));
}

void CharacterEditTest::numberTooLargeRefillsTheSameBox()
{
    Configuration c;
    setBytes(c, Deletion, {4, 3, 9});
    setBytes(c, Insertion, {4, 2, 'A', 'B'});
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QLineEdit *count = child<QLineEdit>(page, "txt684");
    retype(count, QStringLiteral("150")); // "1", "15", then "150"
    QCOMPARE(d.messages.size(), 1);
    const Message &m = d.messages.first();
    QCOMPARE(m.text, QStringLiteral("You must input a number less than 100"));
    QCOMPARE(m.title, QStringLiteral("Decoder Configuration Setup"));
    QCOMPARE(m.icon, MessageIcon::Information);
    QCOMPARE(m.buttons, MessageButtons::Ok);
    QCOMPARE(int(c.block[Deletion + 2]), 15);
    QCOMPARE(count->text(), QStringLiteral(" 15"));
    QCOMPARE(child<QLineEdit>(page, "txt683")->text(), QStringLiteral(" 3"));
    QCOMPARE(child<QLineEdit>(page, "txt694")->text(), QStringLiteral("AB"));
    QCOMPARE(bytes(c, Insertion, 4), (Codes{4, 2, 'A', 'B'}));

    // Pasted at once: the value stored before stays.
    QLineEdit *position = child<QLineEdit>(page, "txt693");
    position->setText(QStringLiteral("250"));
    QCOMPARE(d.messages.size(), 2);
    QCOMPARE(position->text(), QStringLiteral(" 2"));
    QCOMPARE(int(c.block[Insertion + 1]), 2);
}

void CharacterEditTest::negativeNumbersAreRefused()
{
    Configuration c;
    setBytes(c, Deletion, {4, 3, 9});
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QLineEdit *position = child<QLineEdit>(page, "txt683");
    retype(position, QStringLiteral("-5"));
    QCOMPARE(position->text(), QStringLiteral("-"));
    QCOMPARE(int(c.block[Deletion + 1]), 0); // "-" alone reads as 0
    position->setText(QStringLiteral("-8")); // from code: the stored value comes back
    QCOMPARE(position->text(), QStringLiteral(" 0"));
    QCOMPARE(int(c.block[Deletion + 1]), 0);
    QVERIFY(d.messages.isEmpty());
}

void CharacterEditTest::insertionTextIsEncodedAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Codes>("stored");
    QTest::addColumn<QString>("reshown");
    QTest::newRow("{F10}x") << "{F10}x" << Codes{0xC9, 0x78} << "{F10}x";
    QTest::newRow("{cr}") << "{cr}" << Codes{0x0D} << "{CR}";
    QTest::newRow("{Up}") << "{Up}" << Codes{0xD4} << "{Up}";
    QTest::newRow("{X}") << "{X}" << Codes{0x7B, 0x58, 0x7D} << "{X}";
    QTest::newRow("{ABC}") << "{ABC}" << Codes{0x7B, 0x41, 0x42, 0x43, 0x7D} << "{ABC}";
    QTest::newRow("ten letters") << "ABCDEFGHIJ" << Codes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'} << "ABCDEFGH";
    QTest::newRow("{NUL} mid-text") << "A{NUL}B" << Codes{0x41, 0x00, 0x42} << "A";
    QTest::newRow("euro") << "\u20AC5" << Codes{0x80, '5'} << "\u20AC5";
}

void CharacterEditTest::insertionTextIsEncodedAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(Codes, stored);
    QFETCH(QString, reshown);
    Configuration c;
    setBytes(c, Insertion + 20, {5, 1, 'o', 'l', 'd', 'o', 'l', 'd', 'o', 'l'});
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    pickGroup(page, "cbo691", 2);
    QLineEdit *text = child<QLineEdit>(page, "txt694");
    QCOMPARE(text->text(), QStringLiteral("oldoldol"));
    retype(text, typed);
    QCOMPARE(bytes(c, Insertion + 22, 8), padded(stored, 8));
    QCOMPARE(bytes(c, Insertion + 20, 2), (Codes{5, 1}));
    QCOMPARE(bytes(c, Insertion + 10, 10), padded({}, 10)); // the neighbours are untouched
    QCOMPARE(bytes(c, Insertion + 30, 10), padded({}, 10));
    pickGroup(page, "cbo691", 0);
    QCOMPARE(text->text(), QString());
    pickGroup(page, "cbo691", 2);
    QCOMPARE(text->text(), reshown);
}

void CharacterEditTest::emptiedTextLeavesTheCharacters()
{
    Configuration c;
    setBytes(c, Insertion, {5, 1, 'A', 'B', 'C'});
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QLineEdit *text = child<QLineEdit>(page, "txt694");
    text->setFocus();
    text->selectAll();
    QTest::keyClick(text, Qt::Key_Delete);
    QCOMPARE(text->text(), QString());
    QCOMPARE(bytes(c, Insertion, 10), padded({5, 1, 'A', 'B', 'C'}, 10));
    pickGroup(page, "cbo691", 0);
    QCOMPARE(text->text(), QStringLiteral("ABC"));
}

void CharacterEditTest::textWithoutSingleByteCodesIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<Codes>("stored");
    QTest::newRow("CJK") << "a\u4E2Db" << "ab" << Codes{'a', 'b'};
    QTest::newRow("emoji") << "a\U0001F600b" << "ab" << Codes{'a', 'b'};
    // Codes from 192 up are keys: typing "À" must not store F1.
    QTest::newRow("A grave") << "a\u00C0b" << "ab" << Codes{'a', 'b'};
    QTest::newRow("e acute") << "caf\u00E9" << "caf" << Codes{'c', 'a', 'f'};
    QTest::newRow("191 allowed") << "\u00BF" << "\u00BF" << Codes{0xBF};
}

void CharacterEditTest::textWithoutSingleByteCodesIsRefused()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(Codes, stored);
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QLineEdit *text = child<QLineEdit>(page, "txt694");
    typeText(text, typed);
    QCOMPARE(text->text(), shown);
    QCOMPARE(bytes(c, Insertion + 2, 8), padded(stored, 8));
    // Set from code, the text the record holds comes back.
    text->setText(QStringLiteral("x\u4E2D"));
    QCOMPARE(text->text(), shown);
    QCOMPARE(bytes(c, Insertion + 2, 8), padded(stored, 8));
    QVERIFY(d.messages.isEmpty());
}

void CharacterEditTest::clearAllDeletion()
{
    Configuration c;
    for (int i = 100; i < 210; ++i)
        c.block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    const Block before = c.block;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    pickGroup(page, "cbo681", 3);
    press(&page, "Command2");
    for (int g = 0; g < 6; ++g)
        QCOMPARE(bytes(c, Deletion + 3 * g, 3), (Codes{255, 0, 0}));
    for (int i = 0; i < 256; ++i) {
        if (i < Deletion || i >= Deletion + 18)
            QVERIFY2(c.block[static_cast<std::size_t>(i)] == before[static_cast<std::size_t>(i)],
                     qPrintable(QString::number(i)));
    }
    QCOMPARE(child<QComboBox>(page, "cbo681")->currentIndex(), 0);
    QCOMPARE(child<QComboBox>(page, "cbo682")->currentText(), QStringLiteral("None"));
    QCOMPARE(child<QLineEdit>(page, "txt683")->text(), QStringLiteral(" 0"));
    QCOMPARE(child<QLineEdit>(page, "txt684")->text(), QStringLiteral(" 0"));
}

void CharacterEditTest::clearAllInsertion()
{
    Configuration c;
    for (int i = 100; i < 210; ++i)
        c.block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    const Block before = c.block;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    pickGroup(page, "cbo691", 5);
    press(&page, "cmd68_69");
    for (int g = 0; g < 6; ++g)
        QCOMPARE(bytes(c, Insertion + 10 * g, 10), padded({255}, 10));
    for (int i = 0; i < 256; ++i) {
        if (i < Insertion || i >= Insertion + 60)
            QVERIFY2(c.block[static_cast<std::size_t>(i)] == before[static_cast<std::size_t>(i)],
                     qPrintable(QString::number(i)));
    }
    QCOMPARE(child<QComboBox>(page, "cbo691")->currentText(), QStringLiteral("Group1"));
    QCOMPARE(child<QComboBox>(page, "cbo692")->currentText(), QStringLiteral("None"));
    QCOMPARE(child<QLineEdit>(page, "txt693")->text(), QStringLiteral(" 0"));
    QCOMPARE(child<QLineEdit>(page, "txt694")->text(), QString());
}

QTEST_MAIN(CharacterEditTest)
#include "tst_misc_character_edit.moc"
