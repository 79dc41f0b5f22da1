#include "tools/station_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "tools/station_port_choice.h"
#include "tools/station_setup.h"
#include "tools/station_texts.h"
#include "tools/station_tile.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

constexpr const char *WindowCaption = "Station";
constexpr int MaxColumns = 6;
constexpr int DigestShown = 12;
constexpr int NameChars = 28;
constexpr std::chrono::seconds CountsRefresh{10};

// Four across up to eight ports, so eight fit a laptop's screen in two rows.
int columnsFor(std::size_t ports)
{
    if (ports <= 4)
        return int(std::max<std::size_t>(ports, 1));
    return std::clamp(int((ports + 1) / 2), 4, MaxColumns);
}

} // namespace

StationWindow::StationWindow(UserDialogs &dialogs, StationServices services, QWidget *parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), services_(std::move(services))
{
    setObjectName(QStringLiteral("frmStation"));
    setWindowTitle(QString::fromLatin1(WindowCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    countsTimer_.setInterval(CountsRefresh);
    connect(&countsTimer_, &QTimer::timeout, this, &StationWindow::showCounts);
    setRunning(false);
    showChosenPorts();
}

StationWindow::~StationWindow()
{
    // Also when the window goes with the program: the unit in hand is
    // recorded before the engine goes.
    if (engine_)
        engine_->stop();
}

void StationWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    setup_ = new StationSetup(dialogs_, this);
    ports_ = new StationPortChoice(this);
    top->addWidget(setup_, 3);
    top->addWidget(ports_, 1);
    layout->addLayout(top);

    auto *middle = new QHBoxLayout;
    tileArea_ = new QWidget(this);
    tileArea_->setObjectName(QStringLiteral("wdgStationTiles"));
    auto *tileColumn = new QVBoxLayout(tileArea_);
    tileColumn->setContentsMargins(0, 0, 0, 0);
    noPorts_ = named(new QLabel(QStringLiteral("No port is ticked: tick the ports the station should watch."),
                                tileArea_),
                     "lblStationNoPorts");
    tileGrid_ = new QGridLayout;
    tileColumn->addWidget(noPorts_);
    tileColumn->addLayout(tileGrid_);
    tileColumn->addStretch();
    middle->addWidget(tileArea_, 1);

    auto *side = new QVBoxLayout;
    golden_ = named(new QLabel(this), "lblStationGolden");
    digest_ = named(new QLabel(this), "lblStationDigest");
    passed_ = named(new QLabel(this), "lblStationPassed");
    failed_ = named(new QLabel(this), "lblStationFailed");
    perHour_ = named(new QLabel(this), "lblStationPerHour");
    warning_ = named(new QLabel(this), "lblStationWarning");
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #c01010; font-weight: bold;"));
    warning_->hide();
    records_ = named(new QListWidget(this), "lstStationRecords");
    records_->setAccessibleName(QStringLiteral("Latest records"));
    auto *recordsLabel = new QLabel(QStringLiteral("&Latest records:"), this);
    recordsLabel->setBuddy(records_);
    for (QWidget *w : {static_cast<QWidget *>(golden_), static_cast<QWidget *>(digest_),
                       static_cast<QWidget *>(passed_), static_cast<QWidget *>(failed_),
                       static_cast<QWidget *>(perHour_), static_cast<QWidget *>(warning_),
                       static_cast<QWidget *>(recordsLabel)})
        side->addWidget(w);
    side->addWidget(records_, 1);
    middle->addLayout(side);
    layout->addLayout(middle, 1);

    auto *buttons = new QHBoxLayout;
    start_ = named(new QPushButton(QStringLiteral("&Start"), this), "cmdStationStart");
    stop_ = named(new QPushButton(QStringLiteral("Sto&p"), this), "cmdStationStop");
    showRecords_ = named(new QPushButton(QStringLiteral("&Records..."), this), "cmdStationRecords");
    for (QPushButton *button : {start_, stop_, showRecords_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    showRecords_->setVisible(bool(services_.showRecords));
    buttons->addStretch();
    layout->addLayout(buttons);

    showGolden({}, {});
    showCounts();
    connect(setup_, &StationSetup::goldenRead, this, &StationWindow::showGolden);
    connect(ports_, &StationPortChoice::changed, this, &StationWindow::showChosenPorts);
    connect(start_, &QPushButton::clicked, this, &StationWindow::start);
    connect(stop_, &QPushButton::clicked, this, &StationWindow::stop);
    connect(showRecords_, &QPushButton::clicked, this, [this] {
        if (services_.showRecords)
            services_.showRecords(this, setup_->records());
    });
}

void StationWindow::makeTiles(std::size_t count)
{
    for (StationTile *tile : tiles_)
        delete tile;
    tiles_.clear();
    const int columns = columnsFor(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto *tile = new StationTile(tileArea_);
        tileGrid_->addWidget(tile, int(i) / columns, int(i) % columns);
        tiles_.push_back(tile);
    }
    noPorts_->setVisible(count == 0);
}

void StationWindow::showChosenPorts()
{
    if (running())
        return; // the tiles are the engine's until it stops
    const std::vector<StationPortTarget> targets = ports_->targets();
    makeTiles(targets.size());
    for (std::size_t i = 0; i < targets.size(); ++i)
        tiles_[i]->showReady(targets[i]);
}

bool StationWindow::start()
{
    if (running())
        return false;
    const std::vector<StationPortTarget> targets = ports_->targets();
    if (targets.empty()) {
        dialogs_.tell(QString::fromLatin1(WindowCaption), QStringLiteral("Tick at least one port for the station "
                                                                         "to watch, then start it."),
                      MessageIcon::Warning);
        return false;
    }
    std::optional<StationPlan> plan = setup_->plan();
    if (!plan)
        return false;
    plan->backupFolder = services_.backupFolder;
    QString problem;
    RecordKeeper keeper = services_.openRecords ? services_.openRecords(setup_->records(), &problem) : RecordKeeper{};
    if (!keeper) {
        dialogs_.tell(QString::fromLatin1(WindowCaption),
                      QStringLiteral("The station cannot start: its records cannot be kept."), MessageIcon::Warning,
                      problem.isEmpty() ? QStringLiteral("No records store is set up.") : problem);
        return false;
    }
    if (engine_)
        engine_->deleteLater(); // the last run's, stopped
    engine_ = new StationEngine(std::move(*plan), std::move(keeper), this);
    if (services_.transports)
        engine_->setTransportFactory(services_.transports);
    for (const StationPortTarget &target : targets)
        engine_->addPort(target);
    connect(engine_, &StationEngine::portChanged, this, &StationWindow::onPortChanged);
    connect(engine_, &StationEngine::unitFinished, this,
            [this](int, const StationRecord &record, const RecordKept &kept) { onUnitFinished(record, kept); });
    connect(engine_, &StationEngine::stopped, this, [this] { setRunning(running()); });
    records_->clear();
    warning_->hide();
    makeTiles(targets.size());
    engine_->start();
    for (std::size_t i = 0; i < tiles_.size(); ++i)
        onPortChanged(int(i));
    setRunning(true);
    showCounts();
    return true;
}

void StationWindow::stop()
{
    if (!running())
        return;
    engine_->stop();
    setRunning(false);
}

void StationWindow::onPortChanged(int index)
{
    if (!engine_ || index < 0 || std::size_t(index) >= tiles_.size() || std::size_t(index) >= engine_->ports().size())
        return;
    tiles_[std::size_t(index)]->showStatus(engine_->ports()[std::size_t(index)]);
    showCounts();
}

void StationWindow::onUnitFinished(const StationRecord &record, const RecordKept &kept)
{
    auto *item = new QListWidgetItem(StationRecordLine(record, kept));
    item->setToolTip(record.problem);
    records_->insertItem(0, item);
    while (records_->count() > LatestRecords)
        delete records_->takeItem(records_->count() - 1);
    if (kept.where == RecordKept::Where::Nowhere) {
        item->setForeground(QColor(0xc0, 0x10, 0x10));
        warning_->setText(QStringLiteral("Warning: the record of the unit on %1 was kept nowhere (%2). The unit "
                                         "counts as failed; check the records store, then test it again.")
                              .arg(record.port, kept.problem));
        warning_->show();
    }
    showCounts();
}

void StationWindow::showGolden(const QString &name, const QString &digest)
{
    const QString elided = golden_->fontMetrics().elidedText(
        name, Qt::ElideMiddle, golden_->fontMetrics().averageCharWidth() * NameChars);
    golden_->setText(QStringLiteral("Golden file: ") + (name.isEmpty() ? QStringLiteral("none read yet") : elided));
    golden_->setToolTip(name);
    digest_->setText(QStringLiteral("Digest: ") + (digest.isEmpty() ? QStringLiteral("-") : digest.left(DigestShown)));
    digest_->setToolTip(digest);
    digest_->setAccessibleDescription(digest);
}

void StationWindow::showCounts()
{
    const bool started = engine_ != nullptr;
    passed_->setText(QStringLiteral("Passed: %1").arg(started ? engine_->passed() : 0));
    failed_->setText(QStringLiteral("Failed: %1").arg(started ? engine_->failed() : 0));
    const double rate = started ? engine_->unitsPerHour(QDateTime::currentDateTimeUtc()) : 0;
    perHour_->setText(QStringLiteral("Per hour: %1").arg(rate, 0, 'f', 1));
}

void StationWindow::setRunning(bool running)
{
    start_->setEnabled(!running);
    stop_->setEnabled(running);
    setup_->setEnabled(!running);
    ports_->setEnabled(!running);
    if (running)
        countsTimer_.start();
    else
        countsTimer_.stop();
}

void StationWindow::closeEvent(QCloseEvent *event)
{
    stop(); // asks nothing: the unit in hand is recorded as failed
    QWidget::closeEvent(event);
}

} // namespace q51
