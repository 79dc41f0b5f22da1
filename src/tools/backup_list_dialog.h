#pragma once
// The backups of decoders' blocks in one folder, newest last, for the
// Compare with Decoder window's "Backups..." button. Not modal.

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;

namespace q51 {

class BackupListDialog final : public QDialog {
    Q_OBJECT
public:
    explicit BackupListDialog(QWidget *parent = nullptr);

    // Lists the folder as it is now.
    void showFolder(const QString &folder);

private:
    QLabel *folder_ = nullptr;
    QListWidget *files_ = nullptr;
};

} // namespace q51
