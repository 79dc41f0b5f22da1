// The editor over every setting: Find Setting finds each by its key and its
// caption and opens its control with the focus on it; every control
// explains its setting and can reset it; Edit > Undo and Redo follow the
// history; Changed Settings lists what differs and resets it.

#include <QtTest>

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QUndoStack>

#include "document/edit_history.h"
#include "document/setting_reference.h"
#include "editor/changed_settings_panel.h"
#include "editor/find_setting_dialog.h"
#include "pages/binding/setting_mark.h"
#include "schema/setting_search.h"
#include "schema/setting_values.h"
#include "support/shell_fixture.h"

using namespace q51;
using q51::test::Shell;

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// The name a screen reader gives the focused control: its own, or for a
// choice in an option group, the group's.
QString settingNameAt(QWidget *focused)
{
    if (!focused)
        return {};
    // On Linux a list's accessible name is its current entry; its own name
    // reaches the screen reader as the label relation.
    if (qobject_cast<QComboBox *>(focused))
        return focused->accessibleName();
    if (qobject_cast<QRadioButton *>(focused) && qobject_cast<QGroupBox *>(focused->parentWidget()))
        return accessibleName(focused->parentWidget());
    return accessibleName(focused);
}

// The control the window marks as showing the setting, on the open page.
QWidget *controlOf(const Shell &s, const Setting &setting)
{
    for (SettingMark *mark : s.window->findChildren<SettingMark *>()) {
        if (mark->covers(setting) && mark->control()->isVisible())
            return mark->control();
    }
    return nullptr;
}

const Setting &settingOf(const char *key)
{
    const Setting *found = FindSetting(key);
    if (!found)
        qFatal("no setting %s", key);
    return *found;
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT

private slots:
    void everySettingIsFoundAndOpened();
    void findQueries_data();
    void findQueries();
    void findByKeyboardAlone();
    void undoAndRedoFollowTheHistory();
    void contextMenuResetsAndCopies();
    void changedSettingsListsAndResets();
};

void EditorTest::everySettingIsFoundAndOpened()
{
    Shell s;
    s.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    int opened = 0;
    for (const Setting &setting : AllSettings()) {
        const char *key = setting.key.c_str();
        const auto byKey = SearchSettings(setting.key);
        QVERIFY2(!byKey.empty() && byKey.front().setting == &setting, key);
        // Captions repeat across tabs ("Check Digit"): the setting ranks with the best.
        const auto byCaption = SearchSettings(setting.caption);
        QVERIFY2(!byCaption.empty(), key);
        const auto found = std::find_if(byCaption.begin(), byCaption.end(),
                                        [&](const SettingMatch &m) { return m.setting == &setting; });
        QVERIFY2(found != byCaption.end() && found->score == byCaption.front().score, key);

        const int page = SettingPage(setting);
        if (page < Page::Interface || page > Page::Miscellaneous)
            continue;
        if (!s.window->goToSetting(setting))
            continue; // hidden or greyed on its page: counted below
        ++opened;
        QWidget *focused = QApplication::focusWidget();
        QVERIFY2(focused, key);
        // A check box is named by its own words ("Variable" of Fixed Lengths).
        QVERIFY2(settingNameAt(focused) == SettingControlName(setting) || qobject_cast<QCheckBox *>(focused),
                 qPrintable(QStringLiteral("%1: focus on %2 %3 named \"%4\"")
                                .arg(QLatin1String(key), QLatin1String(focused->metaObject()->className()),
                                     focused->objectName(), settingNameAt(focused))));
        // The control that shows it explains it, from the catalogue.
        QWidget *marked = focused;
        while (marked && !SettingMark::of(marked))
            marked = marked->parentWidget();
        QVERIFY2(marked && SettingMark::of(marked)->shown().key == setting.key, key);
        QVERIFY2(marked->toolTip().startsWith(QString::fromStdString(setting.key) + QLatin1Char('\n')), key);
    }
    // Of the 188 settings the four pages hold, 25 are hidden or greyed
    // (reserved symbologies, code IDs no row shows, slots no tab shows).
    QVERIFY2(opened >= 163, qPrintable(QString::number(opened)));
}

void EditorTest::findQueries_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("expected"); // a key among the best results
    QTest::newRow("caption") << "baud rate" << "communication.rs232.baud_rate";
    QTest::newRow("abbreviated key") << "comm.rs232.baud" << "communication.rs232.baud_rate";
    QTest::newRow("one typo") << "bauf rate" << "communication.rs232.baud_rate";
    QTest::newRow("swapped letters") << "baud rtae" << "communication.rs232.baud_rate";
    QTest::newRow("value") << "19200" << "communication.rs232.baud_rate";
    QTest::newRow("byte") << "byte 24" << QString::fromStdString(SettingAt(SettingKind::CodeId, 24)
                                                                     ? SettingAt(SettingKind::CodeId, 24)->key
                                                                     : std::string());
    QTest::newRow("hex byte") << "0x18" << QString();
}

void EditorTest::findQueries()
{
    QFETCH(QString, query);
    QFETCH(QString, expected);
    const auto matches = SearchSettings(query.toStdString());
    QVERIFY(!matches.empty());
    if (expected.isEmpty()) {
        // A byte: every result at the best score owns bits of it.
        const int byte = query.startsWith(QLatin1String("0x")) ? query.mid(2).toInt(nullptr, 16) : query.mid(5).toInt();
        for (const SettingMatch &m : matches) {
            if (m.score != matches.front().score)
                break;
            const auto bits = SettingTouches(*m.setting);
            QVERIFY2(std::any_of(bits.begin(), bits.end(), [&](const TouchedBits &b) { return b.byte == byte; }),
                     m.setting->key.c_str());
        }
        return;
    }
    const auto best = std::find_if(matches.begin(), matches.end(), [&](const SettingMatch &m) {
        return QString::fromStdString(m.setting->key) == expected;
    });
    QVERIFY(best != matches.end());
    QCOMPARE(best->score, matches.front().score);
}

void EditorTest::findByKeyboardAlone()
{
    Shell s;
    s.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QTest::keyClick(s.window.get(), Qt::Key_F, Qt::ControlModifier);
    FindSettingDialog &find = s.window->findSetting();
    QVERIFY(find.isVisible());
    QCOMPARE(find.focusWidget(), find.box());
    QTest::keyClicks(find.box(), QStringLiteral("baud rate"));
    QVERIFY(find.results()->topLevelItemCount() > 0);
    QVERIFY(find.results()->topLevelItem(0)->text(0).endsWith(QLatin1String("Baud Rate")));
    QTest::keyClick(find.box(), Qt::Key_Down); // into the results, and back to the first
    QCOMPARE(find.focusWidget(), find.results());
    QTest::keyClick(find.results(), Qt::Key_Up);
    QTest::keyClick(find.results(), Qt::Key_Return);
    QVERIFY(!find.isVisible());
    QCOMPARE(s.config.ActivePage, Page::Communication);
    QCOMPARE(settingNameAt(s.window->focusWidget()), QStringLiteral("Baud Rate"));
}

void EditorTest::undoAndRedoFollowTheHistory()
{
    Shell s;
    QAction *undo = s.window->action(QStringLiteral("mnuEditUndo"));
    QAction *redo = s.window->action(QStringLiteral("mnuEditRedo"));
    QVERIFY(!undo->isEnabled());
    const Block factory = s.config.block;

    // A click on the page is a step named after the setting and its value.
    QVERIFY(s.window->goToSetting(settingOf("communication.rs232.baud_rate")));
    QWidget *group = controlOf(s, settingOf("communication.rs232.baud_rate"));
    QVERIFY(group);
    QRadioButton *b19200 = nullptr;
    for (auto *button : group->findChildren<QRadioButton *>())
        if (button->text() == QLatin1String("19200"))
            b19200 = button;
    QVERIFY(b19200);
    b19200->click();
    QCOMPARE(undo->text(), QStringLiteral("&Undo Set Baud Rate to 19200"));
    QVERIFY(s.config.HasUnsavedChanges());
    s.trigger("mnuEditUndo");
    QCOMPARE(s.config.block, factory);
    QVERIFY(!s.config.HasUnsavedChanges()); // back to the saved contents
    QVERIFY(!b19200->isChecked());          // and the page shows it
    QCOMPARE(redo->text(), QStringLiteral("&Redo Set Baud Rate to 19200"));
    s.trigger("mnuEditRedo");
    QVERIFY(b19200->isChecked());

    // Set All Defaults, from a page-less window, is one step.
    s.trigger("mnuConfigComm");
    s.dialogs.answers.enqueue(Answer::Yes);
    s.trigger("mnuConfigDefault");
    QCOMPARE(s.config.block, factory);
    QCOMPARE(undo->text(), QStringLiteral("&Undo Set All Defaults"));
    s.trigger("mnuEditUndo");
    QCOMPARE(SettingValue(settingOf("communication.rs232.baud_rate"), s.config, ValueForm::Shown), "19200");
    QVERIFY(s.config.block != factory);

    // New starts a fresh history.
    s.dialogs.answers.enqueue(Answer::No);
    s.trigger("mnuFileNew");
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo"));
}

void EditorTest::contextMenuResetsAndCopies()
{
    Shell s;
    const Setting &baud = settingOf("communication.rs232.baud_rate");
    s.document.setValue(baud, "19200");
    QVERIFY(s.window->goToSetting(baud));
    SettingMark *mark = SettingMark::of(controlOf(s, baud));
    QVERIFY(mark);
    std::unique_ptr<QMenu> menu(mark->createMenu());
    auto *reset = menu->findChild<QAction *>(QStringLiteral("resetToFactoryValue"));
    auto *copy = menu->findChild<QAction *>(QStringLiteral("copyKey"));
    QVERIFY(reset && copy && reset->isEnabled());
    QCOMPARE(reset->text(), QStringLiteral("Reset to Factory Value"));
    reset->trigger();
    QCOMPARE(SettingValue(baud, s.config, ValueForm::Shown), SettingValue(baud, FactoryConfiguration(), ValueForm::Shown));
    QCOMPARE(s.window->history().stack().undoText(), QStringLiteral("Reset Baud Rate to Factory Value"));
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("communication.rs232.baud_rate"));
    // At its factory value there is nothing to reset.
    menu.reset(mark->createMenu());
    QVERIFY(!menu->findChild<QAction *>(QStringLiteral("resetToFactoryValue"))->isEnabled());
}

void EditorTest::changedSettingsListsAndResets()
{
    Shell s;
    ChangedSettingsPanel &panel = s.window->changedSettings();
    auto *count = s.window->findChild<QLabel *>(QStringLiteral("changedSettingsCount"));
    QVERIFY(count);
    QCOMPARE(count->text(), QStringLiteral("0 settings differ from the factory values"));
    s.trigger("mnuEditChanged");
    QVERIFY(panel.isVisible());

    const Setting &baud = settingOf("communication.rs232.baud_rate");
    const Setting &name = settingOf("file.device_name");
    s.document.setValue(baud, "19200");
    s.document.setValue(name, "\"Line 3\"");
    // The header has no factory value; against the saved file it counts.
    QCOMPARE(panel.rows()->topLevelItemCount(), 1);
    QCOMPARE(panel.rows()->topLevelItem(0)->text(2), QStringLiteral("19200"));
    QCOMPARE(count->text(), QStringLiteral("1 setting differs from the factory values"));
    panel.setReference(Reference::SavedFile);
    QCOMPARE(panel.rows()->topLevelItemCount(), 2);
    panel.setReference(Reference::Factory);

    panel.rows()->setCurrentItem(panel.rows()->topLevelItem(0));
    panel.findChild<QPushButton *>(QStringLiteral("changedSettingsReset"))->click();
    QCOMPARE(panel.rows()->topLevelItemCount(), 0);
    s.trigger("mnuEditUndo");
    QCOMPARE(panel.rows()->topLevelItemCount(), 1);

    // A row opens its control.
    emit panel.rows()->itemActivated(panel.rows()->topLevelItem(0), 0);
    QCOMPARE(s.config.ActivePage, Page::Communication);
}

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
