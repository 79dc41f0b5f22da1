#pragma once
// "Records...": the station's records, filtered as q51ctl records filters
// them (since a time, passed or failed, a port), newest first. Reads the
// database only: one that is not there is not made.

#include <QDialog>

#include "records/record_store.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace q51 {

class RecordsWindow final : public QDialog {
    Q_OBJECT
public:
    // records: the location as --records names it; empty: the default.
    explicit RecordsWindow(const QString &records, QWidget *parent = nullptr);
    ~RecordsWindow() override;

    // Queries again with the filters as they stand.
    void refresh();
    [[nodiscard]] const QTableWidget &table() const { return *table_; }

private:
    [[nodiscard]] std::optional<RecordFilter> filter();

    QString records_;
    QLineEdit *since_ = nullptr;
    QComboBox *result_ = nullptr;
    QLineEdit *port_ = nullptr;
    QTableWidget *table_ = nullptr;
    QLabel *status_ = nullptr;
};

} // namespace q51
