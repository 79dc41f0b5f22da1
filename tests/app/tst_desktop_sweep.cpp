// Every window a user can reach, as the program opens it: each page and
// each of its tabs, the transfer window, the service windows, the
// key-insertion dialogs, the production station and the About box. One sweep checks what a user
// and assistive technology meet there: nothing squashed below its minimum
// size or drawn over a neighbour (at the normal and at larger fonts), every
// control in view without scrolling on the common small screens, a name on
// every control, every option announced under its own group's caption, and
// the accessibility action of every option and check box writing the block
// exactly as a click does.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryFile>
#include <QTest>
#include <QToolBar>

#include <functional>

#include "app/child_windows.h"
#include "schema/caption_text.h"
#include "editor/find_setting_dialog.h"
#include "link/port_names.h"
#include "tools/station_texts.h"
#include "tools/station_tile.h"
#include "support/shell_fixture.h"

using namespace q51;
using test::Shell;

namespace {

// A window of the program, opened in a fresh shell.
struct Reachable {
    const char *name;
    std::function<QWidget *(Shell &)> open;
    // What the window must show besides, on a small screen.
    std::function<QStringList(QWidget *)> smallScreenProblems = {};
};

QWidget *openedDialog(Shell &s, std::function<QDialog *(QWidget *)> make)
{
    QDialog *dialog = make(s.window.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show(); // not exec(): the sweep looks at it while it is up
    return dialog;
}

constexpr int StationPorts = 8;

// The station with eight adapters ticked that are not there: never started,
// so nothing is opened.
QWidget *openStation(Shell &s)
{
    QList<DetectedPort> adapters;
    for (int i = 0; i < StationPorts; ++i) {
        DetectedPort port;
        port.device = QStringLiteral("/nonexistent/q51-sweep-ttyUSB%1").arg(i);
        port.description = QStringLiteral("FT232R USB UART");
        port.serialNumber = QStringLiteral("A50285B%1").arg(i);
        port.usbAdapter = true;
        adapters << port;
    }
    SetPortCatalogue(std::make_shared<FixedPortCatalogue>(adapters));
    QWidget *station = MakeToolWindowFactories(s.config, s.dialogs, s.portIo).station(s.window.get());
    station->show();
    SetPortCatalogue(nullptr); // the other rows see the machine's (test's) ports
    return station;
}

// Every tile can be read from across the room: the state's word at least
// three times the normal font, whole in every state.
QStringList stationTileProblems(QWidget *window)
{
    QStringList problems;
    const auto tiles = window->findChildren<StationTile *>();
    if (tiles.size() != StationPorts)
        problems << QStringLiteral("%1 tiles shown, %2 ports ticked").arg(tiles.size()).arg(StationPorts);
    const int normal = QFontInfo(QApplication::font()).pixelSize();
    for (StationTile *tile : tiles) {
        QLabel *state = tile->stateLabel();
        if (QFontInfo(state->font()).pixelSize() < 3 * normal)
            problems << QStringLiteral("a tile's state is %1 px, the normal font %2 px")
                            .arg(QFontInfo(state->font()).pixelSize())
                            .arg(normal);
        StationPortStatus status;
        status.target.name = QStringLiteral("/dev/ttyUSB0");
        status.problem = QStringLiteral("No such device: /dev/ttyUSB0.");
        status.version = QStringLiteral("V5.12");
        for (StationPortState each : {StationPortState::NoPort, StationPortState::Waiting, StationPortState::Working,
                                      StationPortState::Passed, StationPortState::Failed, StationPortState::Stopped}) {
            status.state = each;
            tile->showStatus(status);
            if (state->fontMetrics().horizontalAdvance(state->text()) > state->contentsRect().width())
                problems << QStringLiteral("\"%1\" is cut in a tile %2 px wide").arg(state->text()).arg(tile->width());
        }
    }
    return problems;
}

QWidget *keyDialog(Shell &s, const char *button)
{
    QWidget *page = s.open("mnuConfigMisc");
    page->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                             : page->findChild<QDialog *>(QString(), Qt::FindChildrenRecursively);
}

const QList<Reachable> &reachableWindows()
{
    static const QList<Reachable> windows{
        {"main window", [](Shell &s) -> QWidget * { return s.window.get(); }},
        {"Interface", [](Shell &s) { return s.open("mnuConfigInterface"); }},
        {"Communication", [](Shell &s) { return s.open("mnuConfigComm"); }},
        {"Bar Codes", [](Shell &s) { return s.open("mnuConfigBar"); }},
        {"Miscellaneous", [](Shell &s) { return s.open("mnuConfigMisc"); }},
        {"Transmit", [](Shell &s) { return s.open("mnuConfigTransmit"); }},
        {"ISP", [](Shell &s) { return s.open("mnuToolISP"); }},
        {"Read Memory", [](Shell &s) { return s.open("mnuToolMemory", "Memory"); }},
        {"Send Command",
         [](Shell &s) {
             return openedDialog(s, MakeToolWindowFactories(s.config, s.dialogs, s.portIo).commandConsole);
         }},
        {"KR Test",
         [](Shell &s) {
             return openedDialog(s, MakeToolWindowFactories(s.config, s.dialogs, s.portIo).keyboardTest);
         }},
        {"Find Decoder",
         [](Shell &s) {
             return openedDialog(s, MakeToolWindowFactories(s.config, s.dialogs, s.portIo).findDecoder);
         }},
        {"Compare with Decoder",
         [](Shell &s) {
             return openedDialog(s, MakeToolWindowFactories(s.config, s.dialogs, s.portIo, &s.document).compare);
         }},
        {"Station", openStation, stationTileProblems},
        {"Station Records",
         [](Shell &s) -> QWidget * {
             // Through the station's own button, on a database that is not
             // there: its status line says so.
             QWidget *station = openStation(s);
             station->findChild<QLineEdit *>(QStringLiteral("txtStationRecords"))
                 ->setText(QStringLiteral("/nonexistent/q51-sweep/records.sqlite"));
             station->findChild<QPushButton *>(QStringLiteral("cmdStationRecords"))->click();
             return station->findChild<QDialog *>(QStringLiteral("frmStationRecords"));
         }},
        {"Find Setting",
         [](Shell &s) -> QWidget * {
             s.trigger("mnuEditFind");
             return &s.window->findSetting();
         }},
        {"Changed Settings",
         [](Shell &s) -> QWidget * {
             s.trigger("mnuEditChanged");
             return s.window->findChild<QWidget *>(QStringLiteral("changedSettingsDock"));
         }},
        {"Function Keys", [](Shell &s) { return keyDialog(s, "Command1"); }},
        {"Control Keys", [](Shell &s) { return keyDialog(s, "Command3"); }},
        {"About",
         [](Shell &s) -> QWidget * {
             s.trigger("mnuHelpAbout");
             return s.window->findChild<QWidget *>(QStringLiteral("frmAbout"));
         }},
    };
    return windows;
}

// The application font scaled for one test row, and put back after it.
class ScaledFont {
public:
    explicit ScaledFont(double scale) : normal_(QApplication::font())
    {
        QFont scaled = normal_;
        scaled.setPointSizeF(normal_.pointSizeF() * scale);
        QApplication::setFont(scaled);
    }
    ~ScaledFont() { QApplication::setFont(normal_); }
    ScaledFont(const ScaledFont &) = delete;
    ScaledFont &operator=(const ScaledFont &) = delete;

private:
    QFont normal_;
};

bool shown(const QWidget *w, const QWidget *top)
{
    return w->isVisibleTo(top) && w->isVisible();
}

// Runs check on the window once per combination of its tabs' pages, so
// that every tab is looked at as it is shown.
void forEveryTab(QWidget *window, const std::function<void(const QString &where)> &check)
{
    check(QStringLiteral("opened"));
    for (QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        if (!shown(tabs, window))
            continue;
        const int was = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            check(tabs->objectName() + QLatin1Char(':') + tabs->tabText(i));
        }
        tabs->setCurrentIndex(was);
    }
}

QString describe(const QWidget *w)
{
    QString text;
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        text = b->text();
    else if (auto *l = qobject_cast<const QLabel *>(w))
        text = l->text();
    else if (auto *g = qobject_cast<const QGroupBox *>(w))
        text = g->title();
    return QStringLiteral("%1 %2 \"%3\"").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text);
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

bool hasCaption(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLabel *>(w) ||
           qobject_cast<const QGroupBox *>(w);
}

QStringList layoutProblems(QWidget *window)
{
    QStringList problems;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!shown(w, window) || w->isWindow())
            continue;
        if (w->minimumSize() == w->maximumSize() || qobject_cast<QComboBox *>(w->parentWidget()) ||
            qobject_cast<QAbstractItemView *>(w->parentWidget()))
            continue; // a size fixed on purpose, or a list's own text box or header, which the list sizes
        const QSize least = w->minimumSizeHint().expandedTo(w->minimumSize());
        if (least.isValid() && (w->width() < least.width() || w->height() < least.height()))
            problems << QStringLiteral("%1 is %2, needs %3").arg(describe(w), sizeText(w->size()), sizeText(least));
        if (!hasCaption(w))
            continue;
        for (QObject *o : w->parent()->children()) {
            auto *other = qobject_cast<QWidget *>(o);
            if (!other || other <= w || !hasCaption(other) || !shown(other, window) || other->isWindow())
                continue;
            if (w->geometry().intersects(other->geometry()))
                problems << describe(w) + QStringLiteral(" overlaps ") + describe(other);
        }
    }
    return problems;
}

// Controls a user edits, chooses from or presses.
bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QToolBar *>(w);
}

// On a screen with `room` for a window: the top-level window fits it, and
// the window looked at (inside the main window's area, say) and every
// control and caption in it lie wholly inside everything around them, so
// all is in view without scrolling.
QStringList outOfViewProblems(QWidget *window, QSize room)
{
    QStringList problems;
    QWidget *top = window->window();
    if (top->width() > room.width() || top->height() > room.height())
        problems << QStringLiteral("%1 is %2, the screen has room for %3")
                        .arg(describe(top), sizeText(top->size()), sizeText(room));
    QList<QWidget *> seeing{window};
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (shown(w, window) && w->window() == top && (isControl(w) || hasCaption(w)) && !w->size().isEmpty())
            seeing << w; // an empty box is drawn nowhere on purpose
    }
    for (QWidget *w : std::as_const(seeing)) {
        const QRect whole(w->mapTo(top, QPoint()), w->size());
        QRect seen = whole & top->rect();
        for (QWidget *around = w; around != top; around = around->parentWidget())
            seen &= QRect(around->mapTo(top, QPoint()), around->size());
        if (seen != whole)
            problems << describe(w) + QStringLiteral(" is out of view");
    }
    return problems;
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
    const QString name = face ? face->text(QAccessible::Name).trimmed() : QString();
    // An unnamed list reads out its current entry: that is no name.
    if (auto *list = qobject_cast<QComboBox *>(w); list && w->accessibleName().isEmpty() && name == list->currentText())
        return {};
    return name;
}

// The caption drawn above an option's group: the title of the nearest
// titled frame around it, or else a label that names a widget around it.
QString drawnGroupCaption(const QWidget *option)
{
    for (const QWidget *w = option->parentWidget(); w && !w->isWindow(); w = w->parentWidget()) {
        if (auto *box = qobject_cast<const QGroupBox *>(w); box && !box->title().isEmpty())
            return box->title();
        if (!w->parentWidget())
            break;
        for (const QLabel *label : w->parentWidget()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
            if (label->buddy() == w)
                return label->text();
        }
    }
    return {};
}

// What assistive technology announces an option under: the name of its
// nearest named ancestor.
QString announcedGroup(QWidget *option)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(option);
    for (QAccessibleInterface *up = face ? face->parent() : nullptr; up; up = up->parent()) {
        const QString name = up->text(QAccessible::Name).trimmed();
        if (!name.isEmpty())
            return name;
    }
    return {};
}

QStringList namingProblems(QWidget *window)
{
    QStringList problems;
    for (QRadioButton *option : window->findChildren<QRadioButton *>()) {
        if (!shown(option, window))
            continue;
        const QString caption = QString::fromStdString(PlainCaption(drawnGroupCaption(option).toStdString()));
        const QString announced = announcedGroup(option);
        if (caption.isEmpty() || announced != caption)
            problems << QStringLiteral("%1 is announced under \"%2\", its group's caption is \"%3\"")
                            .arg(describe(option), announced, caption);
    }
    QHash<QString, QWidget *> pressNames; // buttons and boxes: one name, one control
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!shown(w, window) || !isControl(w) || qobject_cast<const QRadioButton *>(w) ||
            qobject_cast<const QCheckBox *>(w) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const QString name = accessibleName(w);
        if (name.isEmpty()) {
            problems << describe(w) + QStringLiteral(" has no accessible name");
            continue;
        }
        if (QWidget *twin = pressNames.value(name); twin && twin->parentWidget() == w->parentWidget())
            problems << describe(w) + QStringLiteral(" and ") + describe(twin) + QStringLiteral(" are both called ") + name;
        pressNames.insert(name, w);
    }
    return problems;
}

} // namespace

class DesktopSweepTest : public QObject {
    Q_OBJECT
private slots:
    void nothingSquashedOrOverlapped_data();
    void nothingSquashedOrOverlapped();
    void everyControlHasAName_data();
    void everyControlHasAName();
    void everythingInViewOnSmallScreens_data();
    void everythingInViewOnSmallScreens();
    void accessibleToggleWritesAsAClick_data();
    void accessibleToggleWritesAsAClick();
    void hiddenReplyBoxesAreNoTabStops_data();
    void hiddenReplyBoxesAreNoTabStops();
    void mainWindowFitsTheScreenAndItsPages();
};

void DesktopSweepTest::nothingSquashedOrOverlapped_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<double>("fontScale");
    const struct {
        const char *name;
        double scale;
    } fonts[] = {{"normal font", 1.0}, {"one step larger", 1.2}};
    for (int i = 0; i < reachableWindows().size(); ++i) {
        for (const auto &font : fonts)
            QTest::addRow("%s, %s", reachableWindows()[i].name, font.name) << i << font.scale;
    }
}

void DesktopSweepTest::nothingSquashedOrOverlapped()
{
    QFETCH(int, window);
    QFETCH(double, fontScale);
    const ScaledFont font(fontScale);
    Shell s;
    QPointer<QWidget> w = reachableWindows()[window].open(s);
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w->window()));
    QStringList problems;
    forEveryTab(w, [&](const QString &where) {
        for (const QString &p : layoutProblems(w))
            problems << where + QStringLiteral(": ") + p;
    });
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void DesktopSweepTest::everythingInViewOnSmallScreens_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QSize>("room");
    QTest::addColumn<double>("fontScale");
    // Each screen in the pixels a program lays out in: scaling by 150 %
    // leaves 1280x720 at the usual font; a 120-DPI font is a quarter larger.
    // A task bar along the bottom takes its share.
    constexpr int TaskBar = 48;
    const struct {
        const char *name;
        QSize screen;
        double fontScale;
    } screens[] = {{"1920x1080 at 150 %", {1280, 720}, 1.0}, {"1366x768 with a 120-DPI font", {1366, 768}, 1.25}};
    for (int i = 0; i < reachableWindows().size(); ++i) {
        for (const auto &screen : screens)
            QTest::addRow("%s, %s", reachableWindows()[i].name, screen.name)
                << i << screen.screen - QSize(0, TaskBar) << screen.fontScale;
    }
}

void DesktopSweepTest::everythingInViewOnSmallScreens()
{
    QFETCH(int, window);
    QFETCH(QSize, room);
    QFETCH(double, fontScale);
    const QSize testScreen = QGuiApplication::primaryScreen()->availableSize();
    if (room.width() > testScreen.width() || room.height() > testScreen.height())
        QSKIP("the test's own screen is smaller than this one");
    const ScaledFont font(fontScale);
    Shell s;
    // As the main window opens on that screen: bounded by what it offers.
    const QSize windowRoom = room - MainWindow::OpeningFrameAllowance;
    s.window->resize(s.window->size().boundedTo(windowRoom));
    QPointer<QWidget> w = reachableWindows()[window].open(s);
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w->window()));
    QStringList problems;
    forEveryTab(w, [&](const QString &where) {
        for (const QString &p : layoutProblems(w) + outOfViewProblems(w, windowRoom))
            problems << where + QStringLiteral(": ") + p;
    });
    if (const auto &more = reachableWindows()[window].smallScreenProblems)
        problems << more(w);
    problems.removeDuplicates();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void DesktopSweepTest::everyControlHasAName_data()
{
    QTest::addColumn<int>("window");
    for (int i = 0; i < reachableWindows().size(); ++i)
        QTest::addRow("%s", reachableWindows()[i].name) << i;
}

void DesktopSweepTest::everyControlHasAName()
{
    QFETCH(int, window);
    Shell s;
    QPointer<QWidget> w = reachableWindows()[window].open(s);
    QVERIFY(w);
    QStringList problems;
    forEveryTab(w, [&](const QString &where) {
        for (const QString &p : namingProblems(w))
            problems << where + QStringLiteral(": ") + p;
    });
    problems.removeDuplicates();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void DesktopSweepTest::accessibleToggleWritesAsAClick_data()
{
    QTest::addColumn<QByteArray>("page");
    for (const char *page : {"mnuConfigInterface", "mnuConfigComm", "mnuConfigBar", "mnuConfigMisc"})
        QTest::newRow(page) << QByteArray(page);
}

// Every option and check box of a page, operated once by its accessibility
// action and once by a click, from the same block: the two blocks agree.
void DesktopSweepTest::accessibleToggleWritesAsAClick()
{
    QFETCH(QByteArray, page);
    Shell s;
    QWidget *content = s.open(page.constData());
    QVERIFY(content);
    int checked = 0;
    for (QAbstractButton *b : content->findChildren<QAbstractButton *>()) {
        if (!b->isCheckable() || !b->isEnabled() || b->isChecked() || b->objectName().isEmpty())
            continue;
        const Block before = s.config.block;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(b);
        QVERIFY(face && face->actionInterface());
        face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY2(b->isChecked(), qPrintable(b->objectName()));
        const Block byAction = s.config.block;

        s.config.block = before;
        const QString name = b->objectName();
        s.trigger(page.constData()); // close the page and open it again on the earlier block
        content = s.open(page.constData());
        auto *again = content->findChild<QAbstractButton *>(name);
        if (again->isChecked()) // the reload selected it: nothing to click
            continue;
        again->click();
        QVERIFY2(s.config.block == byAction, qPrintable(name));
        QVERIFY2(byAction != before || b->objectName().endsWith(QLatin1String("_other")), qPrintable(name));
        ++checked;
        if (checked % 8 == 0) { // a fresh page now and then, so that buttons hidden by earlier choices come back
            s.trigger(page.constData());
            content = s.open(page.constData());
        }
    }
    QVERIFY(checked > 0);
}

void DesktopSweepTest::hiddenReplyBoxesAreNoTabStops_data()
{
    QTest::addColumn<int>("window");
    for (const char *name : {"Transmit", "Send Command"}) {
        for (int i = 0; i < reachableWindows().size(); ++i) {
            if (QByteArray(reachableWindows()[i].name) == name)
                QTest::newRow(name) << i;
        }
    }
}

// Out of the Tab chain and drawn nowhere, yet able to take the focus the
// decoder's keystrokes need.
void DesktopSweepTest::hiddenReplyBoxesAreNoTabStops()
{
    QFETCH(int, window);
    Shell s;
    QWidget *w = reachableWindows()[window].open(s);
    auto *box = w->findChild<QLineEdit *>(QStringLiteral("Text1"));
    QVERIFY(box);
    QCOMPARE(box->focusPolicy(), Qt::NoFocus);
    QVERIFY(box->size().isEmpty());
    w->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w->window()));
    box->setFocus();
    QVERIFY(box->hasFocus());
}

// On the laptop screen the main window opens within the screen, with room
// for every page at the normal font; where the screen is too small for
// one, the window takes what the screen offers and the area scrolls.
void DesktopSweepTest::mainWindowFitsTheScreenAndItsPages()
{
    Shell s;
    const QSize room = s.window->screen()->availableSize() - MainWindow::OpeningFrameAllowance;
    QVERIFY(s.window->width() <= room.width() && s.window->height() <= room.height());
    for (const char *page : {"mnuConfigInterface", "mnuConfigComm", "mnuConfigBar", "mnuConfigMisc"}) {
        QWidget *content = s.open(page);
        auto *sub = qobject_cast<QMdiSubWindow *>(content->parentWidget());
        QVERIFY(sub);
        const QSize viewport = s.window->mdiArea()->viewport()->size();
        QVERIFY2(sub->width() <= viewport.width() || s.window->width() == room.width(), page);
        QVERIFY2(sub->height() <= viewport.height() || s.window->height() == room.height(), page);
    }
}

// The screen a user of a small laptop has: 1366x768, at the DPI the test
// entry names (96, or 144 for a high-density screen).
int main(int argc, char **argv)
{
    const QByteArray dpi = qEnvironmentVariableIsEmpty("Q51_SCREEN_DPI") ? QByteArray("96") : qgetenv("Q51_SCREEN_DPI");
    QTemporaryFile screens;
    if (!screens.open())
        return 2;
    screens.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": )" + dpi +
                  "}]}");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    QTEST_DISABLE_KEYPAD_NAVIGATION
    DesktopSweepTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_desktop_sweep.moc"
