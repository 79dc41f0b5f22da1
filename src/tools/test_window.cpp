#include "tools/test_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include "link/intervals.h"
#include "link/spelled_bytes.h"
#include "model/configuration.h"
#include "tools/test_window_texts.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

namespace t = test_window_text;

// A box is emptied when a line arrives after more than this many.
constexpr int LinesBeforeClearing = 40;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TestWindow::TestWindow(Configuration &config, UserDialogs &dialogs, const TransportFactory &makePort,
                       QWidget *parent)
    : QDialog(parent), config_(config), port_(*this, dialogs, makePort)
{
    setObjectName(QStringLiteral("DDT"));
    setWindowTitle(text(t::WindowCaption));
    port_.onFirstShow = [this] { runOpeningSteps(); };
    port_.onEnd = [this] { batch_.stop(); };
    batch_.setSingleShot(true);
    connect(&batch_, &QTimer::timeout, this, &TestWindow::showBatch);
    port_.followAdapter(true, [this](const QString &line) { appendLine(rs232_, line); });
    if (Transport *port = port_.transport()) {
        connect(port, &Transport::bytesArrived, this, &TestWindow::onBytesArrived);
        connect(port, &Transport::portLost, this, &TestWindow::onPortLost);
    }
    buildControls();
}

TestWindow::~TestWindow()
{
    port_.end();
}

void TestWindow::buildControls()
{
    auto *layout = new QGridLayout(this);
    portLabel_ = named(new QLabel(this), "LblPort");
    layout->addWidget(portLabel_, 0, 0, 1, 2);

    auto *keyboardHeading = named(new QLabel(text(t::KeyboardHeading), this), "Label2");
    layout->addWidget(keyboardHeading, 1, 0);
    keyboard_ = named(new QPlainTextEdit(this), "txtKB");
    keyboardHeading->setBuddy(keyboard_);
    keyboard_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(keyboard_, 2, 0);
    auto *clearKeyboard = named(new QPushButton(text(t::ClearButton), this), "Command2");
    // Two buttons read "Clear": a screen reader hears which box each empties.
    clearKeyboard->setAccessibleName(text(t::ClearButton) + QLatin1Char(' ') + text(t::KeyboardHeading));
    layout->addWidget(clearKeyboard, 3, 0);

    auto *rs232Heading = named(new QLabel(text(t::Rs232Heading), this), "Label4");
    layout->addWidget(rs232Heading, 1, 1);
    rs232_ = named(new QPlainTextEdit(this), "TxtRS232");
    rs232Heading->setBuddy(rs232_);
    rs232_->setReadOnly(true);
    rs232_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(rs232_, 2, 1);
    auto *clearRs232 = named(new QPushButton(text(t::ClearButton), this), "Command1");
    clearRs232->setAccessibleName(text(t::ClearButton) + QLatin1Char(' ') + text(t::Rs232Heading));
    layout->addWidget(clearRs232, 3, 1);

    lineBreaks_ = named(new QCheckBox(text(t::LineBreakOption), this), "Check1");
    lineBreaks_->setChecked(true);
    layout->addWidget(lineBreaks_, 4, 1);

    keyboard_->installEventFilter(this);
    rs232_->installEventFilter(this);
    // Buttons must not take Enter keys meant for the keyboard box.
    for (QPushButton *button : {clearKeyboard, clearRs232}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(clearKeyboard, &QPushButton::clicked, this, [this] {
        keyboard_->clear();
        focusKeyboardBox();
    });
    connect(clearRs232, &QPushButton::clicked, this, [this] {
        rs232_->clear();
        focusKeyboardBox();
    });
    connect(lineBreaks_, &QCheckBox::toggled, this, &TestWindow::focusKeyboardBox);
}

void TestWindow::runOpeningSteps()
{
    portLabel_->setText(text(t::PortPrefix) + QString::number(config_.PortNumber) + text(t::PortSeparator)
                        + QString::fromStdString(config_.SettingsString()));
    // Without the port the keyboard box still works: the window stays.
    if (port_.open(config_))
        port_.transport()->discardReceive();
    keyboardLines_ = 0;
    rs232Lines_ = 0;
    focusKeyboardBox();
}

void TestWindow::onBytesArrived()
{
    // The rest of a scan follows within moments: show it as one batch.
    if (!batch_.isActive())
        batch_.start(scaledInterval(Interval::TestWindowBatch));
}

void TestWindow::showBatch()
{
    if (!port_.transport())
        return;
    const QByteArray bytes = port_.transport()->readAll();
    if (bytes.isEmpty())
        return;
    if (rs232Lines_ > LinesBeforeClearing) {
        rs232_->clear();
        rs232Lines_ = 0;
    }
    QString shown = SpellOutBytes(bytes);
    if (lineBreaks_->isChecked()) {
        shown += QLatin1Char('\n');
        ++rs232Lines_;
    }
    appendText(rs232_, shown);
}

void TestWindow::onPortLost()
{
    // The box says so; the port comes back by itself with its adapter.
    batch_.stop();
}

bool TestWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == keyboard_ && event->type() == QEvent::KeyPress) {
        // Before the key itself is entered.
        if (keyboardLines_ > LinesBeforeClearing) {
            keyboard_->clear();
            keyboardLines_ = 0;
        }
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            ++keyboardLines_;
    } else if (watched == rs232_ && event->type() == QEvent::FocusIn) {
        // Typed input always goes to the keyboard box.
        focusKeyboardBox();
    }
    return QDialog::eventFilter(watched, event);
}

void TestWindow::focusKeyboardBox()
{
    keyboard_->setFocus();
}

void TestWindow::done(int result)
{
    port_.end();
    QDialog::done(result);
}

} // namespace q51
