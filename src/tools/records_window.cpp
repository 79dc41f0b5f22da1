#include "tools/records_window.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "records/open_records.h"
#include "records/record_fields.h"
#include "records/since_time.h"
#include "ui/widget_helpers.h"

namespace q51 {

namespace {

// "found_digest" -> "Found digest": the stored column names, for people.
QString columnTitle(const char *column)
{
    QString title = QString::fromLatin1(column).replace(QLatin1Char('_'), QLatin1Char(' '));
    title[0] = title[0].toUpper();
    return title;
}

} // namespace

RecordsWindow::RecordsWindow(const QString &records, QWidget *parent) : QDialog(parent), records_(records)
{
    setObjectName(QStringLiteral("frmStationRecords"));
    setWindowTitle(QStringLiteral("Station Records"));

    auto *filters = new QFormLayout;
    since_ = named(new QLineEdit(this), "txtRecordsSince");
    since_->setPlaceholderText(QStringLiteral("any time; e.g. 2026-12-09, 2026-12-09T10:00, 2h, 7d"));
    filters->addRow(QStringLiteral("&Since:"), since_);
    result_ = named(new QComboBox(this), "cboRecordsResult");
    result_->addItem(QStringLiteral("Passed and failed"));
    result_->addItem(QStringLiteral("Passed"), true);
    result_->addItem(QStringLiteral("Failed"), false);
    filters->addRow(QStringLiteral("&Result:"), result_);
    port_ = named(new QLineEdit(this), "txtRecordsPort");
    port_->setPlaceholderText(QStringLiteral("every port"));
    filters->addRow(QStringLiteral("&Port:"), port_);
    since_->setAccessibleName(QStringLiteral("Since"));
    result_->setAccessibleName(QStringLiteral("Result"));
    port_->setAccessibleName(QStringLiteral("Port"));

    const auto fields = RecordFields();
    table_ = named(new QTableWidget(0, int(fields.size()), this), "lstRecords");
    table_->setAccessibleName(QStringLiteral("Records"));
    QStringList titles;
    for (const RecordField &field : fields)
        titles << columnTitle(field.column);
    table_->setHorizontalHeaderLabels(titles);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setAccessibleName(QStringLiteral("Columns"));
    status_ = named(new QLabel(this), "lblRecordsStatus");
    status_->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *refreshButton = named(buttons->addButton(QStringLiteral("R&efresh"), QDialogButtonBox::ActionRole),
                                 "cmdRecordsRefresh");
    connect(refreshButton, &QPushButton::clicked, this, &RecordsWindow::refresh);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit *edit : {since_, port_})
        connect(edit, &QLineEdit::returnPressed, this, &RecordsWindow::refresh);
    connect(result_, &QComboBox::currentIndexChanged, this, &RecordsWindow::refresh);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    resize(900, 480);
    refresh();
}

RecordsWindow::~RecordsWindow() = default;

std::optional<RecordFilter> RecordsWindow::filter()
{
    RecordFilter filter;
    if (const QString since = since_->text().trimmed(); !since.isEmpty()) {
        filter.since = ParseSinceTime(since, QDateTime::currentDateTime());
        if (!filter.since) {
            status_->setText(QStringLiteral("\u201c%1\u201d is no time: write a date (2026-12-09), a date and time "
                                            "(2026-12-09T10:00) or a span back from now (30m, 2h, 7d).")
                                 .arg(since));
            return std::nullopt;
        }
    }
    if (const QVariant passed = result_->currentData(); passed.isValid())
        filter.passed = passed.toBool();
    if (const QString port = port_->text().trimmed(); !port.isEmpty())
        filter.ports << port;
    return filter;
}

void RecordsWindow::refresh()
{
    table_->setRowCount(0);
    const std::optional<RecordFilter> chosen = filter();
    if (!chosen)
        return;
    QString problem;
    const auto store = OpenRecordStore(records_, &problem, RecordStore::Missing::Refuse);
    if (!store) {
        status_->setText(problem);
        return;
    }
    const FoundRecords found = store->query(*chosen);
    if (!found.problem.isEmpty()) {
        status_->setText(found.problem);
        return;
    }
    const auto fields = RecordFields();
    table_->setRowCount(int(found.records.size()));
    int row = 0;
    // Newest first: the query gives them by time.
    for (auto record = found.records.rbegin(); record != found.records.rend(); ++record, ++row) {
        for (std::size_t column = 0; column < fields.size(); ++column)
            table_->setItem(row, int(column), new QTableWidgetItem(FieldText(fields[column], *record)));
    }
    table_->resizeColumnsToContents();
    status_->setText(found.records.empty() ? QStringLiteral("No records match.")
                                           : QStringLiteral("%1 records.").arg(found.records.size()));
}

} // namespace q51
