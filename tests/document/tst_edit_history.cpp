// The undo history over the document: any sequence of edits, made through
// the calls the controls make, undoes to the first block and header and
// redoes to the last; steps are named and typing is one step; Changed
// Settings lists exactly the settings whose bits differ from the factory.

#include <QtTest>

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QUndoStack>

#include "document/config_document.h"
#include "document/edit_history.h"
#include "document/setting_reference.h"
#include "model/factory_defaults.h"
#include "schema/setting_values.h"
#include "support/setting_samples.h"

using namespace q51;

namespace {

const Setting &setting(const char *key)
{
    const Setting *found = FindSetting(key);
    if (!found)
        qFatal("no setting %s", key);
    return *found;
}

std::vector<const Setting *> editable()
{
    std::vector<const Setting *> out;
    for (const Setting &s : AllSettings()) {
        if (s.role != SettingRole::Derived)
            out.push_back(&s);
    }
    return out;
}

Block randomBlock(QRandomGenerator &random)
{
    Block block;
    for (auto &byte : block)
        byte = static_cast<std::uint8_t>(random.bounded(256));
    return block;
}

} // namespace

class EditHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void randomEditsUndoToTheFirstStateAndRedoToTheLast();
    void stepsAreNamed_data();
    void stepsAreNamed();
    void typingIsOneStepUntilTheFocusMoves();
    void newAndOpenStartAFreshHistory();
    void undoingToTheSavedContentsMeansUnchanged();
    void undoingAnUploadKeepsThePortChosenForIt();
    void changedSettingsAreTheSettingsWhoseBitsDiffer();

private:
    // One edit as some control, dialog or command makes it.
    void randomEdit(QRandomGenerator &random);

    Configuration config_;
    std::unique_ptr<ConfigDocument> document_;
    std::unique_ptr<EditHistory> history_;
    std::vector<const Setting *> editable_ = editable();
};

void EditHistoryTest::init()
{
    config_ = Configuration{};
    LoadFactoryDefaults(config_);
    config_.TakeSavedCopy();
    history_.reset();
    document_ = std::make_unique<ConfigDocument>(config_);
    history_ = std::make_unique<EditHistory>(*document_);
}

void EditHistoryTest::randomEdit(QRandomGenerator &random)
{
    const Setting &s = *editable_[random.bounded(quint32(editable_.size()))];
    switch (random.bounded(6)) {
    case 0: // a click on an option, a check box
        if (s.kind == SettingKind::Field && !s.field.choices.empty()) {
            document_->selectField(s.field, s.field.choices[random.bounded(quint32(s.field.choices.size()))].value);
            break;
        }
        [[fallthrough]];
    case 1: { // a box's text
        const auto values = test::sampleValues(s);
        document_->setValue(s, values[random.bounded(quint32(values.size()))]);
        break;
    }
    case 2: // the context menu's reset
        ResetToFactoryValue(*document_, s);
        break;
    case 3: // a panel's "Set Default": several fields, one step
    {
        const ConfigDocument::StepScope step(*document_, QStringLiteral("Set Default"));
        for (int i = 0; i < 3; ++i) {
            const Setting &other = *editable_[random.bounded(quint32(editable_.size()))];
            ResetToFactoryValue(*document_, other);
        }
        break;
    }
    case 4: // an upload: the link writes the block, then the document catches up
        config_.block[random.bounded(BlockSize)] = static_cast<std::uint8_t>(random.bounded(256));
        document_->catchUp(QStringLiteral("Upload To PC"));
        break;
    default:
        document_->change([](Configuration &c) { LoadFactoryDefaults(c); }, QStringLiteral("Set All Defaults"));
        break;
    }
}

void EditHistoryTest::randomEditsUndoToTheFirstStateAndRedoToTheLast()
{
    QRandomGenerator random(20261209);
    QUndoStack &stack = history_->stack();
    for (int sequence = 0; sequence < 10000; ++sequence) {
        // Each sequence starts where the last one ended; now and then from
        // a random block (announcing a whole block is the costly part).
        if (sequence % 100 == 0) {
            config_.block = randomBlock(random);
            document_->catchUp();
        }
        stack.clear();
        const DocumentState first = StateOf(config_);
        std::vector<DocumentState> states{first};
        const int edits = 1 + int(random.bounded(4));
        for (int i = 0; i < edits; ++i) {
            history_->endTyping(); // each edit its own step, so states line up with steps
            const int before = stack.count();
            randomEdit(random);
            if (stack.count() > before)
                states.push_back(StateOf(config_));
            else
                QCOMPARE(StateOf(config_), states.back()); // no step, no change
        }
        QCOMPARE(stack.count(), int(states.size()) - 1);
        for (int i = int(states.size()) - 2; i >= 0; --i) {
            stack.undo();
            QVERIFY2(StateOf(config_) == states[std::size_t(i)], qPrintable(QString::number(sequence)));
        }
        QVERIFY(StateOf(config_) == first);
        while (stack.canRedo())
            stack.redo();
        QVERIFY2(StateOf(config_) == states.back(), qPrintable(QString::number(sequence)));
    }
}

void EditHistoryTest::stepsAreNamed_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("name");
    QTest::newRow("option") << "communication.rs232.baud_rate" << "19200" << "Set Baud Rate to 19200";
    QTest::newRow("header") << "file.device_name" << "\"Line 3\"" << "Set Device Name to \"Line 3\"";
}

void EditHistoryTest::stepsAreNamed()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, name);
    QVERIFY(!document_->setValue(setting(key.toLatin1().constData()), value.toStdString()));
    QCOMPARE(history_->stack().undoText(), name);
    document_->setValue(setting("communication.rs232.baud_rate"), "19200");
    document_->change([](Configuration &c) { LoadFactoryDefaults(c); }, QStringLiteral("Set All Defaults"));
    QCOMPARE(history_->stack().undoText(), QStringLiteral("Set All Defaults"));
}

void EditHistoryTest::typingIsOneStepUntilTheFocusMoves()
{
    const Setting &name = setting("file.device_name");
    QUndoStack &stack = history_->stack();
    const DocumentState start = StateOf(config_);
    for (const char *typed : {"\"L\"", "\"Li\"", "\"Lin\""})
        document_->setValue(name, typed);
    QCOMPARE(stack.count(), 1);
    history_->endTyping();
    document_->setValue(name, "\"Line\"");
    QCOMPARE(stack.count(), 2);
    stack.undo();
    stack.undo();
    QVERIFY(StateOf(config_) == start);

    // Typed back to where it started: no step is left.
    stack.clear();
    history_->endTyping();
    const std::string was = SettingValue(name, config_, ValueForm::Exact);
    document_->setValue(name, "\"x\"");
    document_->setValue(name, was);
    QCOMPARE(stack.count(), 0);

    // A click in between is a step of its own and ends the typing.
    document_->setValue(name, "\"A\"");
    document_->setValue(setting("communication.rs232.baud_rate"), "19200");
    document_->setValue(name, "\"AB\"");
    QCOMPARE(stack.count(), 3);
}

void EditHistoryTest::newAndOpenStartAFreshHistory()
{
    document_->setValue(setting("communication.rs232.baud_rate"), "19200");
    QVERIFY(history_->stack().canUndo());
    QSignalSpy announced(document_.get(), &ConfigDocument::settingsChanged);
    document_->replace([](Configuration &c) { LoadFactoryDefaults(c); });
    QCOMPARE(announced.size(), 1);
    QCOMPARE(history_->stack().count(), 0);
}

void EditHistoryTest::undoingToTheSavedContentsMeansUnchanged()
{
    QVERIFY(!config_.HasUnsavedChanges());
    document_->setValue(setting("communication.rs232.baud_rate"), "19200");
    document_->setValue(setting("file.user_name"), "\"Ann\"");
    QVERIFY(config_.HasUnsavedChanges());
    history_->stack().undo();
    QVERIFY(config_.HasUnsavedChanges());
    history_->stack().undo();
    QVERIFY(!config_.HasUnsavedChanges());
}

void EditHistoryTest::undoingAnUploadKeepsThePortChosenForIt()
{
    const Block before = config_.block;
    config_.PortNumber = 3; // the transfer window's port choice, then its upload
    config_.block[24] ^= 0x0F;
    document_->catchUp(QStringLiteral("Upload To PC"));
    QCOMPARE(history_->stack().undoText(), QStringLiteral("Upload To PC"));
    history_->stack().undo();
    QCOMPARE(config_.block, before);
    QCOMPARE(config_.PortNumber, std::int16_t(3));
}

void EditHistoryTest::changedSettingsAreTheSettingsWhoseBitsDiffer()
{
    QRandomGenerator random(7);
    const Block &factory = FactoryConfiguration().block;
    for (int round = 0; round < 50; ++round) {
        document_->change([&](Configuration &c) { c.block = randomBlock(random); }, QStringLiteral("Upload To PC"));
        // From the catalogue's bits, not from the codecs' comparison.
        QList<const Setting *> expected;
        for (const Setting &s : AllSettings()) {
            if (!HasFactoryValue(s))
                continue;
            for (const TouchedBits &bits : SettingTouches(s)) {
                if ((config_.block[std::size_t(bits.byte)] ^ factory[std::size_t(bits.byte)]) & bits.mask) {
                    expected.append(&s);
                    break;
                }
            }
        }
        const QList<const Setting *> listed = ChangedSettings(config_, Reference::Factory);
        QCOMPARE(listed, expected);
        document_->change([](Configuration &c) { LoadFactoryDefaults(c); }, QStringLiteral("Set All Defaults"));
        QVERIFY(ChangedSettings(config_, Reference::Factory).isEmpty());
        history_->stack().undo();
        QCOMPARE(ChangedSettings(config_, Reference::Factory), expected);
    }
}

QTEST_GUILESS_MAIN(EditHistoryTest)
#include "tst_edit_history.moc"
