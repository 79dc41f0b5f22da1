// The document over every setting of the catalogue: a value written through
// it changes exactly the bits its codec owns and is announced once, naming
// the setting; the open pages show it.

#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>

#include <memory>

#include "document/config_document.h"
#include "model/factory_defaults.h"
#include "pages/barcodes/barcode_page.h"
#include "pages/binding/field_binding.h"
#include "pages/communication/communication_page.h"
#include "pages/interface/interface_page.h"
#include "pages/misc/misc_page.h"
#include "schema/caption_text.h"
#include "schema/code_lengths.h"
#include "schema/field_access.h"
#include "schema/misc_fields.h"
#include "schema/setting_codec.h"
#include "support/scripted_dialogs.h"
#include "support/setting_samples.h"

using namespace q51;

Q_DECLARE_METATYPE(const Setting *)

namespace {

bool sharesBits(const Setting &a, const Setting &b)
{
    for (const TouchedBits &x : SettingTouches(a)) {
        for (const TouchedBits &y : SettingTouches(b)) {
            if (x.byte == y.byte && (x.mask & y.mask))
                return true;
        }
    }
    return a.kind == b.kind && a.key == b.key;
}

} // namespace

class ConfigDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everySettingThroughTheDocument_data();
    void everySettingThroughTheDocument();
    void refusedValueWritesAndAnnouncesNothing();
    void cleanupTestCase();

private:
    int shownOnPages_ = 0; // rows whose value a page control showed
    Configuration config_;
    std::unique_ptr<ConfigDocument> document_;
    test::ScriptedDialogs dialogs_;
    std::vector<std::unique_ptr<ParameterPage>> pages_;

    // What the open pages show for the setting, in the codec's Shown
    // notation; empty when no page control stands for it alone.
    QString shown(const Setting &setting) const;
};

void ConfigDocumentTest::initTestCase()
{
    LoadFactoryDefaults(config_);
    document_ = std::make_unique<ConfigDocument>(config_);
    pages_.push_back(std::make_unique<InterfacePage>(*document_));
    pages_.push_back(std::make_unique<CommunicationPage>(*document_));
    pages_.push_back(std::make_unique<BarCodePage>(*document_, dialogs_));
    pages_.push_back(std::make_unique<MiscPage>(*document_, dialogs_));
    dialogs_.messages.clear();
}

QString ConfigDocumentTest::shown(const Setting &setting) const
{
    if (setting.kind == SettingKind::Field) {
        for (const auto &page : pages_) {
            if (const FieldBinding *binding = page->binding(setting.field.control)) {
                const auto value = binding->shownValue();
                const Choice *choice = value ? FindChoice(setting.field, *value) : nullptr;
                return choice ? QString::fromStdString(PlainCaption(choice->caption)) : QStringLiteral("Other");
            }
        }
        return {};
    }
    const auto box = [this](const QString &name) -> QLineEdit * {
        for (const auto &page : pages_) {
            if (auto *found = page->findChild<QLineEdit *>(name))
                return found;
        }
        return nullptr;
    };
    const int byte = setting.byte;
    if (setting.kind == SettingKind::Number && byte >= MinimumLengthByte(0) && byte <= MinimumLengthByte(17)) {
        const QLineEdit *minimum = box(QStringLiteral("TxtMin_%1").arg(byte - MinimumLengthByte(0)));
        return minimum ? minimum->text() : QString();
    }
    if (setting.kind == SettingKind::FixedLengths) {
        const int slot = (byte - FixedLengthByte(0, 0)) / 2;
        const QLineEdit *first = box(QStringLiteral("txtFix1_%1").arg(slot));
        const QLineEdit *second = box(QStringLiteral("txtFix2_%1").arg(slot));
        if (!first || !second)
            return {};
        return first->isEnabled() ? first->text() + QStringLiteral(", ") + second->text() : QStringLiteral("Variable");
    }
    if (setting.kind == SettingKind::CodeId) {
        const QLineEdit *code = box(QStringLiteral("txt62_%1").arg(byte - CodeIdFirstByte));
        if (!code)
            return {};
        return code->text().isEmpty() ? QStringLiteral("none") : QStringLiteral("'%1'").arg(code->text());
    }
    if (setting.kind == SettingKind::HeaderText && setting.key == "file.device_name") {
        const QLineEdit *name = box(QStringLiteral("txtDeviceName"));
        return name ? QLatin1Char('"') + name->text() + QLatin1Char('"') : QString();
    }
    return {};
}

void ConfigDocumentTest::everySettingThroughTheDocument_data()
{
    QTest::addColumn<const Setting *>("setting");
    QTest::addColumn<QString>("value");
    for (const Setting &setting : AllSettings()) {
        for (const std::string &value : test::sampleValues(setting))
            QTest::addRow("%s = %s", setting.key.c_str(), value.c_str()) << &setting << QString::fromStdString(value);
    }
}

void ConfigDocumentTest::everySettingThroughTheDocument()
{
    QFETCH(const Setting *, setting);
    QFETCH(QString, value);
    const Configuration before = config_;
    QSignalSpy announced(document_.get(), &ConfigDocument::settingsChanged);

    QVERIFY(!document_->setValue(*setting, value.toStdString()));

    // Exactly the codec's bits may move.
    std::array<int, BlockSize> owned{};
    for (const TouchedBits &bits : SettingTouches(*setting))
        owned[std::size_t(bits.byte)] |= bits.mask;
    for (int i = 0; i < BlockSize; ++i)
        QVERIFY2(((before.block[std::size_t(i)] ^ config_.block[std::size_t(i)]) & ~owned[std::size_t(i)]) == 0,
                 qPrintable(QStringLiteral("byte %1 changed outside the setting").arg(i)));

    // One announcement when the value changed, naming it with both values;
    // other settings named only where they share its bits.
    const bool changed = SettingDiffers(*setting, before, config_);
    QCOMPARE(announced.size(), changed ? 1 : 0);
    if (changed) {
        const auto changes = announced.first().first().value<QList<SettingChange>>();
        bool named = false;
        for (const SettingChange &change : changes) {
            QVERIFY2(change.setting == setting || sharesBits(*change.setting, *setting), change.setting->key.c_str());
            if (change.setting == setting) {
                named = true;
                QCOMPARE(change.before, SettingValue(*setting, before, ValueForm::Exact));
                QCOMPARE(change.after, SettingValue(*setting, config_, ValueForm::Exact));
            }
        }
        QVERIFY(named);
    }

    // The open pages follow.
    const QString onPage = shown(*setting);
    if (!onPage.isEmpty()) {
        ++shownOnPages_;
        const QString expected = QString::fromStdString(SettingValue(*setting, config_, ValueForm::Shown));
        QCOMPARE(onPage, expected.startsWith(QLatin1String("Other")) ? QStringLiteral("Other") : expected);
    }
    QVERIFY(dialogs_.messages.isEmpty());
}

void ConfigDocumentTest::refusedValueWritesAndAnnouncesNothing()
{
    const Setting *baud = FindSetting("communication.rs232.baud_rate");
    QVERIFY(baud);
    const Configuration before = config_;
    QSignalSpy announced(document_.get(), &ConfigDocument::settingsChanged);
    const auto refused = document_->setValue(*baud, "12345");
    QVERIFY(refused);
    QVERIFY(refused->find("19200") != std::string::npos);
    QCOMPARE(config_.block, before.block);
    QCOMPARE(announced.size(), 0);
}

// Most settings have a control of their own; a sweep that found none
// would prove nothing about the pages.
void ConfigDocumentTest::cleanupTestCase()
{
    QVERIFY2(shownOnPages_ > 400, qPrintable(QString::number(shownOnPages_)));
}

QTEST_MAIN(ConfigDocumentTest)
#include "tst_config_document.moc"
