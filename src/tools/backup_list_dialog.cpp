#include "tools/backup_list_dialog.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/decoder_backups.h"
#include "ui/widget_helpers.h"

namespace q51 {

BackupListDialog::BackupListDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBackups"));
    setWindowTitle(QStringLiteral("Backups"));
    auto *layout = new QVBoxLayout(this);
    folder_ = named(new QLabel(this), "lblFolder");
    folder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folder_->setWordWrap(true);
    layout->addWidget(folder_);
    files_ = named(new QListWidget(this), "lstBackups");
    files_->setAccessibleName(QStringLiteral("Backups"));
    layout->addWidget(files_, 1);
    auto *close = named(new QPushButton(QStringLiteral("Close"), this), "cmdClose");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close);
}

void BackupListDialog::showFolder(const QString &folder)
{
    files_->clear();
    const std::vector<BackupEntry> backups = ListBackups(folder);
    for (const BackupEntry &backup : backups) {
        auto *item = new QListWidgetItem(backup.fileName, files_);
        item->setToolTip(QDir::toNativeSeparators(backup.path));
    }
    const QString shown = QDir::toNativeSeparators(folder);
    folder_->setText(backups.empty() ? QStringLiteral("No backups yet in %1.").arg(shown)
                                     : QStringLiteral("In %1. \"q51ctl download FILE\" puts one back on a decoder.")
                                           .arg(shown));
    show();
    raise();
}

} // namespace q51
