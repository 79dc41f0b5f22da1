#include "tools/stored_data_window.h"

#include <algorithm>

#include <QButtonGroup>
#include <QFocusEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "link/group_number_text.h"
#include "link/protocol/stored_data_replies.h"
#include "link/stored_data_texts.h"
#include "link/transport.h"
#include "model/configuration.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

namespace t = stored_data_text;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}



} // namespace

StoredDataWindow::StoredDataWindow(Configuration &config, UserDialogs &dialogs, const TransportFactory &makePort,
                                   QWidget *parent)
    : QWidget(parent), config_(config), dialogs_(dialogs), port_(*this, dialogs, makePort)
{
    setObjectName(QStringLiteral("Memory"));
    setWindowTitle(text(t::Heading));
    // The main window makes way for it once it is up (the transfer window's
    // opening and closing steps); shown again, it is the same window.
    port_.onFirstShow = [this] {
        start_->clear();
        end_->clear();
    };
    port_.onEnd = [this] { abortRequest(); };
    buildControls();
}

StoredDataWindow::~StoredDataWindow()
{
    port_.end();
}

void StoredDataWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);

    auto *heading = named(new QLabel(text(t::Heading), this), "Label1");
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);

    auto *frame = named(new QGroupBox(text(t::OptionFrame), this), "fraRead");
    auto *frameLayout = new QGridLayout(frame);
    auto *options = named(new QButtonGroup(frame), "OptRead");
    allOption_ = named(new QRadioButton(text(t::AllGroupsOption), frame), "OptRead_0");
    rangeOption_ = named(new QRadioButton(text(t::RangeOption), frame), "OptRead_1");
    options->addButton(allOption_, 0);
    options->addButton(rangeOption_, 1);
    allOption_->setChecked(true);
    frameLayout->addWidget(allOption_, 0, 0, 1, 2);
    frameLayout->addWidget(rangeOption_, 1, 0, 1, 2);
    auto *startLabel = named(new QLabel(text(t::StartLabel), frame), "Label2");
    start_ = named(new QLineEdit(frame), "TxtStartNO");
    startLabel->setBuddy(start_);
    auto *endLabel = named(new QLabel(text(t::EndLabel), frame), "Label3");
    end_ = named(new QLineEdit(frame), "TxtEndNo");
    endLabel->setBuddy(end_);
    startLabel_ = startLabel;
    endLabel_ = endLabel;
    frameLayout->addWidget(startLabel_, 2, 0);
    frameLayout->addWidget(start_, 2, 1);
    frameLayout->addWidget(endLabel_, 3, 0);
    frameLayout->addWidget(end_, 3, 1);
    layout->addWidget(frame);
    chooseRange(false);

    auto *buttonRow = new QHBoxLayout;
    const std::pair<const char *, const char *> buttons[] = {
        {"CmdRead", t::ReadButton}, {"CmdSize", t::SizesButton}, {"CmdFree", t::FreeSpaceButton},
        {"CmdClear", t::ClearButton}, {"CmdClose", t::CloseButton}};
    for (const auto &[name, caption] : buttons) {
        auto *button = named(new QPushButton(text(caption), this), name);
        buttonRow->addWidget(button);
        buttons_.push_back(button);
    }
    layout->addLayout(buttonRow);

    memory_ = named(new QPlainTextEdit(this), "TxtMemory");
    memory_->setAccessibleName(text(t::DataLogName));
    memory_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(memory_, 1);
    progress_ = named(new QProgressBar(this), "ProgressBar1");
    progress_->setValue(0);
    layout->addWidget(progress_);

    connect(options, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            chooseRange(id == 1);
    });
    start_->installEventFilter(this);
    connect(end_, &QLineEdit::textChanged, this, &StoredDataWindow::checkGroupNumber);

    const StoredDataRequest kinds[] = {StoredDataRequest::Read, StoredDataRequest::Sizes,
                                       StoredDataRequest::FreeSpace, StoredDataRequest::Clear};
    for (std::size_t i = 0; i < std::size(kinds); ++i)
        connect(buttons_[i], &QPushButton::clicked, this, [this, kind = kinds[i]] { run(kind); });
    connect(buttons_.back(), &QPushButton::clicked, &port_, &WindowPort::closeWindow);
}

void StoredDataWindow::chooseRange(bool range)
{
    for (QWidget *widget : {startLabel_, endLabel_, static_cast<QWidget *>(start_), static_cast<QWidget *>(end_)})
        widget->setEnabled(range);
}

bool StoredDataWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the start box checks it; a box of our own taking the focus
    // (another window activating) is not leaving it.
    if (watched == start_ && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkGroupNumber(start_->text());
    }
    return QWidget::eventFilter(watched, event);
}

void StoredDataWindow::checkGroupNumber(const QString &typed)
{
    // The text stays as typed: the request checks it again before it runs.
    if (!ParseGroupNumber(typed))
        dialogs_.tell(text(t::InputMessage), text(t::NumberOutOfRange));
}

void StoredDataWindow::run(StoredDataRequest kind)
{
    if (requestRunning())
        return;
    const StoredDataRequestInfo &info = StoredDataRequestInfoFor(kind);
    const QPointer<StoredDataWindow> alive(this);
    const Answer answer = dialogs_.ask(Message{text(info.confirmationTitle), text(info.confirmation),
                                               MessageButtons::OkCancel, MessageIcon::None, Answer::Ok, {}});
    if (!alive || answer != Answer::Ok)
        return;
    if (!port_.open(config_))
        return;
    std::optional<protocol::GroupRange> range;
    if (!readRange(info, range))
        return;

    setBusy(true);
    Exchange::Request request;
    if (kind == StoredDataRequest::Read) {
        parser_ = std::make_shared<protocol::StoredReadParser>(range ? range->start : 0);
        request = PrepareGroupRead(range, parser_, readHandlers());
    } else {
        request = PrepareStoredDataRequest(kind, range);
    }
    exchange_ = new Exchange(*port_.transport(), std::move(request), this);
    connect(exchange_, &Exchange::finished, this,
            [this, kind](const ExchangeResult &result) { onFinished(kind, result); });
    if (kind == StoredDataRequest::Sizes) {
        progress_->setRange(0, static_cast<int>(protocol::GroupSizesReplySize));
        progress_->setValue(0);
        connect(exchange_, &Exchange::progressed, this, [this](qsizetype gathered) {
            progress_->setValue(static_cast<int>(std::min<qsizetype>(gathered, progress_->maximum())));
        });
    }
    exchange_->start();
}

bool StoredDataWindow::readRange(const StoredDataRequestInfo &info, std::optional<protocol::GroupRange> &range)
{
    range.reset();
    if (!info.takesRange || !rangeOption_->isChecked())
        return true;
    const std::optional<int> first = ParseGroupNumber(start_->text());
    const std::optional<int> last = ParseGroupNumber(end_->text());
    const char *problem = nullptr;
    if (!first)
        problem = t::StartInvalid;
    else if (!last)
        problem = t::EndInvalid;
    else if (*last < *first)
        problem = t::EndBeforeStart;
    if (problem) {
        port_.release();
        dialogs_.tell(text(info.resultTitle), text(problem));
        return false;
    }
    range = protocol::GroupRange{*first, *last};
    return true;
}

GroupReadHandlers StoredDataWindow::readHandlers()
{
    GroupReadHandlers handlers;
    handlers.started = [this] { memory_->clear(); };
    handlers.records = [this](const std::vector<protocol::GroupRecord> &records) {
        // Directly behind each other, as the decoder kept them.
        QString shown;
        for (const protocol::GroupRecord &record : records)
            shown += GroupRecordText(record);
        appendText(memory_, shown);
    };
    handlers.progressed = [this](std::size_t seen, std::size_t total) {
        progress_->setRange(0, static_cast<int>(total));
        progress_->setValue(static_cast<int>(std::min(seen, total)));
    };
    return handlers;
}

void StoredDataWindow::onFinished(StoredDataRequest kind, const ExchangeResult &result)
{
    if (exchange_) {
        exchange_->deleteLater();
        exchange_ = nullptr;
    }
    const StoredDataReport report = CompleteStoredDataRequest(kind, result, parser_.get());
    parser_.reset();
    if (report.display)
        memory_->setPlainText(*report.display);
    // Every request lets go of the port when it ends, so the transfer window
    // and q51ctl find it free.
    port_.release();
    setBusy(false);
    // Last: the box runs its own event loop, and nothing here may depend on
    // this window surviving it.
    if (!report.text.isEmpty())
        dialogs_.tell(report.title, report.text, MessageIcon::None, report.detail);
}

void StoredDataWindow::setBusy(bool busy)
{
    // All four requests hold the buttons: a second request on the same port
    // would cut the first one's reply off.
    for (QPushButton *button : buttons_)
        button->setEnabled(!busy);
}

void StoredDataWindow::abortRequest()
{
    if (!exchange_)
        return;
    exchange_->abort();
    exchange_->deleteLater();
    exchange_ = nullptr;
    parser_.reset();
    setBusy(false);
}

} // namespace q51
