#pragma once
// Tools > "Compare with Decoder...": reads the decoder's block over the
// current link and lists every setting in which it differs from the open
// configuration, with the file's, the decoder's and the factory value and a
// tick per row. The ticked settings go to the decoder (after a backup of
// its block, read back and verified) or into the file as one undoable step.
// Modal; closing it mid-exchange ends the exchange silently.

#include <optional>
#include <vector>

#include <QDialog>

#include "link/decoder_apply.h"
#include "tools/window_port.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace q51 {

class BackupListDialog;
class ConfigDocument;
class UserDialogs;

class CompareWindow final : public QDialog {
    Q_OBJECT
public:
    // Talks to the decoder only when asked ("Read Decoder"). backupFolder:
    // empty for the user's data folder.
    CompareWindow(ConfigDocument &document, UserDialogs &dialogs, const TransportFactory &makePort,
                  QString backupFolder = {}, QWidget *parent = nullptr);
    ~CompareWindow() override;

    [[nodiscard]] bool busy() const { return task_.has_value(); }
    // The settings of the rows, in order, and those ticked.
    [[nodiscard]] std::vector<const Setting *> rows() const;
    [[nodiscard]] std::vector<const Setting *> ticked() const;
    void setTicked(const Setting &setting, bool ticked);

    void done(int result) override;

signals:
    // An exchange ended (not when closing the window stopped it).
    void exchangeEnded(bool ok);

private:
    void buildControls();
    void readDecoder();
    void sendTicked();
    void takeTicked();
    void showBackups();
    void stop();
    void run(Task<ApplyResult> task, bool sending);
    void onEnded(bool sending);
    void onProgress(ApplyStep step, qsizetype gathered, qsizetype expected);
    void fillRows();
    void applyFilter();
    void setBusy(bool busy);

    ConfigDocument &document_;
    UserDialogs &dialogs_;
    WindowPort port_;
    QString backupFolder_;
    std::optional<Configuration> decoder_; // the decoder's block as last read

    QPushButton *read_ = nullptr;
    QPushButton *send_ = nullptr;
    QPushButton *take_ = nullptr;
    QPushButton *backups_ = nullptr;
    QPushButton *stop_ = nullptr;
    QPushButton *close_ = nullptr;
    QComboBox *filter_ = nullptr;
    QTreeWidget *table_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QLabel *status_ = nullptr;
    BackupListDialog *backupList_ = nullptr;

    std::optional<Task<ApplyResult>> task_;
};

} // namespace q51
