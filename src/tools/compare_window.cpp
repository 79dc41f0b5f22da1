#include "tools/compare_window.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "document/config_document.h"
#include "link/decoder_backups.h"
#include "model/factory_defaults.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"
#include "tools/backup_list_dialog.h"
#include "ui/user_dialogs.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

constexpr const char *WindowCaption = "Compare with Decoder";
constexpr const char *Heading = "Settings in which the open configuration and the decoder's differ.";
constexpr const char *ReadButton = "Read Decoder";
constexpr const char *SendButton = "Send Ticked to Decoder";
constexpr const char *TakeButton = "Take Ticked into File";
constexpr const char *BackupsButton = "Backups...";
constexpr const char *StopButton = "Stop";
constexpr const char *CloseButton = "Close";
constexpr const char *FilterAll = "All";
constexpr const char *FilterTicked = "Ticked";

enum Column { SettingColumn, FileColumn, DecoderColumn, FactoryColumn };
constexpr const char *Columns[]{"Setting", "File", "Decoder", "Factory"};

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString valueText(const Setting &setting, const Configuration &config)
{
    return QString::fromStdString(SettingValue(setting, config, ValueForm::Shown));
}

const Setting *settingOf(const QTreeWidgetItem *item)
{
    return static_cast<const Setting *>(item->data(SettingColumn, Qt::UserRole).value<const void *>());
}

Configuration factoryConfiguration()
{
    Configuration factory;
    LoadFactoryDefaults(factory);
    return factory;
}

} // namespace

CompareWindow::CompareWindow(ConfigDocument &document, UserDialogs &dialogs, const TransportFactory &makePort,
                             QString backupFolder, QWidget *parent)
    : QDialog(parent), document_(document), dialogs_(dialogs), port_(*this, dialogs, makePort),
      backupFolder_(backupFolder.isEmpty() ? DefaultBackupFolder() : std::move(backupFolder))
{
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(text(WindowCaption));
    port_.onEnd = [this] { stop(); };
    buildControls();
    // The file may change while the window is open (Take, undo): the rows follow.
    connect(&document_, &ConfigDocument::settingsChanged, this, &CompareWindow::fillRows);
}

CompareWindow::~CompareWindow()
{
    port_.end();
}

void CompareWindow::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(named(new QLabel(text(Heading), this), "lblHeading"));

    auto *filterRow = new QHBoxLayout;
    auto *filterLabel = new QLabel(QStringLiteral("&Show:"), this);
    filter_ = named(new QComboBox(this), "cboFilter");
    filter_->addItems({text(FilterAll), text(FilterTicked)});
    filterLabel->setBuddy(filter_);
    filter_->setAccessibleName(QStringLiteral("Show"));
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filter_);
    filterRow->addStretch();
    layout->addLayout(filterRow);

    table_ = named(new QTreeWidget(this), "tblDifferences");
    table_->setRootIsDecorated(false);
    table_->setAccessibleName(QStringLiteral("Differing settings"));
    QStringList headers;
    for (const char *column : Columns)
        headers << text(column);
    table_->setHeaderLabels(headers);
    QHeaderView *header = table_->header();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setAccessibleName(QStringLiteral("Columns"));
    layout->addWidget(table_, 1);

    progress_ = named(new QProgressBar(this), "prgStep");
    progress_->setValue(0);
    layout->addWidget(progress_);
    status_ = named(new QLabel(this), "lblStatus");
    status_->setWordWrap(true);
    status_->setText(QStringLiteral("\"%1\" reads the decoder's configuration over the transfer window's link.")
                         .arg(text(ReadButton)));
    layout->addWidget(status_);

    auto *buttons = new QHBoxLayout;
    read_ = named(new QPushButton(text(ReadButton), this), "cmdRead");
    send_ = named(new QPushButton(text(SendButton), this), "cmdSend");
    take_ = named(new QPushButton(text(TakeButton), this), "cmdTake");
    backups_ = named(new QPushButton(text(BackupsButton), this), "cmdBackups");
    stop_ = named(new QPushButton(text(StopButton), this), "cmdStop");
    close_ = named(new QPushButton(text(CloseButton), this), "cmdClose");
    for (QPushButton *button : {read_, send_, take_, backups_, stop_, close_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    setBusy(false);

    connect(filter_, &QComboBox::currentIndexChanged, this, &CompareWindow::applyFilter);
    connect(table_, &QTreeWidget::itemChanged, this, [this] {
        applyFilter();
        setBusy(busy());
    });
    connect(read_, &QPushButton::clicked, this, &CompareWindow::readDecoder);
    connect(send_, &QPushButton::clicked, this, &CompareWindow::sendTicked);
    connect(take_, &QPushButton::clicked, this, &CompareWindow::takeTicked);
    connect(backups_, &QPushButton::clicked, this, &CompareWindow::showBackups);
    connect(stop_, &QPushButton::clicked, this, &CompareWindow::stop);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

std::vector<const Setting *> CompareWindow::rows() const
{
    std::vector<const Setting *> settings;
    for (int i = 0; i < table_->topLevelItemCount(); ++i)
        settings.push_back(settingOf(table_->topLevelItem(i)));
    return settings;
}

std::vector<const Setting *> CompareWindow::ticked() const
{
    std::vector<const Setting *> settings;
    for (int i = 0; i < table_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = table_->topLevelItem(i);
        if (item->checkState(SettingColumn) == Qt::Checked)
            settings.push_back(settingOf(item));
    }
    return settings;
}

void CompareWindow::setTicked(const Setting &setting, bool tick)
{
    for (int i = 0; i < table_->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = table_->topLevelItem(i);
        if (settingOf(item) == &setting)
            item->setCheckState(SettingColumn, tick ? Qt::Checked : Qt::Unchecked);
    }
}

void CompareWindow::readDecoder()
{
    if (busy() || !port_.open(document_.config()))
        return;
    status_->clear();
    run(ReadDecoderBlock(*port_.transport(), document_.config(),
                         [this](ApplyStep step, qsizetype n, qsizetype of) { onProgress(step, n, of); }),
        false);
}

void CompareWindow::sendTicked()
{
    const std::vector<const Setting *> settings = ticked();
    if (busy() || !decoder_ || settings.empty() || !port_.open(document_.config()))
        return;
    ApplyRequest request{document_.config(), settings, false, backupFolder_,
                         BackupPortLabel(document_.config().PortNumber)};
    run(ApplyToDecoder(*port_.transport(), std::move(request),
                       [this](ApplyStep step, qsizetype n, qsizetype of) { onProgress(step, n, of); }),
        true);
}

void CompareWindow::run(Task<ApplyResult> task, bool sending)
{
    setBusy(true);
    task_.emplace(std::move(task));
    // Taken up from the event loop: the task must not be let go of from
    // inside its own ending.
    task_->start([this, sending] { QTimer::singleShot(0, this, [this, sending] { onEnded(sending); }); });
}

void CompareWindow::onProgress(ApplyStep step, qsizetype gathered, qsizetype expected)
{
    QString words = ApplyStepText(step);
    words[0] = words[0].toUpper();
    status_->setText(words + QStringLiteral("..."));
    progress_->setRange(0, int(std::max<qsizetype>(expected, 1)));
    progress_->setValue(int(expected > 0 ? gathered : 0));
}

void CompareWindow::onEnded(bool sending)
{
    if (!task_ || !task_->done())
        return;
    const ApplyResult result = task_->result();
    task_.reset();
    port_.release();
    setBusy(false);
    progress_->setValue(0);
    // What the decoder holds now, as far as is known.
    if (result.ok())
        decoder_ = sending ? result.readBack : result.before;
    else if (result.failed > ApplyStep::ReadBackup)
        decoder_.reset(); // sent or not, it is not known: read it again
    fillRows();
    QString said;
    if (result.ok() && sending)
        said = QStringLiteral("Sent, read back and verified. The decoder's earlier configuration is in %1.")
                   .arg(QDir::toNativeSeparators(result.backupPath));
    else if (!result.ok() && !result.backupPath.isEmpty())
        said = QStringLiteral("The decoder's earlier configuration is in %1; the open configuration is unchanged. "
                              "Read the decoder again before sending.")
                   .arg(QDir::toNativeSeparators(result.backupPath));
    else if (!result.ok())
        said = QStringLiteral("Check the link settings and the cable, then read the decoder again.");
    status_->setText(result.ok() ? said : result.problem + QLatin1Char(' ') + said);
    emit exchangeEnded(result.ok());
    // Last: the box runs its own event loop.
    if (!result.ok())
        dialogs_.tell(text(WindowCaption), result.problem, MessageIcon::Warning, said);
}

void CompareWindow::fillRows()
{
    std::vector<const Setting *> wasUnticked;
    for (int i = 0; i < table_->topLevelItemCount(); ++i) {
        if (table_->topLevelItem(i)->checkState(SettingColumn) != Qt::Checked)
            wasUnticked.push_back(settingOf(table_->topLevelItem(i)));
    }
    const QSignalBlocker quiet(table_);
    table_->clear();
    if (decoder_) {
        static const Configuration factory = factoryConfiguration();
        const Configuration &file = document_.config();
        for (const Setting *setting : DifferingSettings(file, *decoder_)) {
            auto *item = new QTreeWidgetItem(table_, {QString::fromStdString(setting->Name()), valueText(*setting, file),
                                                      valueText(*setting, *decoder_), valueText(*setting, factory)});
            item->setData(SettingColumn, Qt::UserRole, QVariant::fromValue(static_cast<const void *>(setting)));
            item->setToolTip(SettingColumn, QString::fromStdString(setting->key));
            const bool untick = std::find(wasUnticked.begin(), wasUnticked.end(), setting) != wasUnticked.end();
            item->setCheckState(SettingColumn, untick ? Qt::Unchecked : Qt::Checked);
        }
        if (!busy())
            status_->setText(table_->topLevelItemCount() == 0
                                 ? QStringLiteral("The decoder holds the open configuration.")
                                 : QStringLiteral("%1 settings differ.").arg(table_->topLevelItemCount()));
    }
    applyFilter();
    setBusy(busy());
}

void CompareWindow::applyFilter()
{
    const bool tickedOnly = filter_->currentIndex() == 1;
    for (int i = 0; i < table_->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = table_->topLevelItem(i);
        item->setHidden(tickedOnly && item->checkState(SettingColumn) != Qt::Checked);
    }
}

void CompareWindow::takeTicked()
{
    const std::vector<const Setting *> settings = ticked();
    if (busy() || !decoder_ || settings.empty())
        return;
    const Configuration decoder = *decoder_;
    document_.change([&](Configuration &c) { TakeSettings(settings, decoder, c); },
                     QStringLiteral("Take Ticked into File"));
}

void CompareWindow::showBackups()
{
    if (!backupList_)
        backupList_ = new BackupListDialog(this);
    backupList_->showFolder(backupFolder_);
}

void CompareWindow::stop()
{
    if (!task_)
        return;
    task_.reset(); // stops where it waits: its exchange ends silently
    port_.release();
    setBusy(false);
    decoder_.reset();
    fillRows();
    status_->setText(QStringLiteral("Stopped. Read the decoder again to see what it holds."));
}

void CompareWindow::setBusy(bool isBusy)
{
    const bool anyTicked = !ticked().empty();
    read_->setEnabled(!isBusy);
    send_->setEnabled(!isBusy && decoder_ && anyTicked);
    take_->setEnabled(!isBusy && decoder_ && anyTicked);
    stop_->setEnabled(isBusy);
    close_->setEnabled(true);
}

void CompareWindow::done(int result)
{
    port_.end();
    QDialog::done(result);
}

} // namespace q51
