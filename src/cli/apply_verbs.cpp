// apply, download --backup and backups: a file's settings sent to the
// decoder after a backup of its block, read back and verified.

#include <QDir>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/file_arguments.h"
#include "cli/link_options.h"
#include "cli/port_runner.h"
#include "cli/verbs.h"
#include "link/decoder_apply.h"
#include "link/decoder_backups.h"
#include "schema/setting_catalog.h"

namespace q51::cli {

namespace {

int exitCodeFor(const ApplyResult &result)
{
    switch (result.failed) {
    case ApplyStep::Done: return Success;
    case ApplyStep::SaveBackup: return BadFile;
    case ApplyStep::Verify: return VerifyMismatch;
    case ApplyStep::Download: return ExitCodeFor(result.exchange, true);
    case ApplyStep::ReadBackup:
    case ApplyStep::ReadBack: break;
    }
    return ExitCodeFor(result.exchange);
}

QString mismatchDetail(const ApplyResult &result)
{
    QStringList keys;
    for (const Setting *setting : result.mismatched)
        keys << QString::fromStdString(setting->key);
    return keys.join(QLatin1Char('\n'));
}

Task<int> applyOn(PortJob job, ApplyRequest request)
{
    request.portLabel = BackupPortLabel(job.target.choice.number, job.target.choice.device);
    const ApplyResult result = co_await ApplyToDecoder(
        job.session.port(), request, [&voice = job.voice](ApplyStep step, qsizetype done, qsizetype total) {
            voice.progress(ApplyStepText(step), done, total);
        });
    job.voice.progressEnd();
    if (!result.backupPath.isEmpty()) {
        job.voice.wrote(result.backupPath);
        job.voice.outcome(QStringLiteral("Backup saved: ") + QDir::toNativeSeparators(result.backupPath));
    }
    if (!result.ok()) {
        QString detail = result.failed == ApplyStep::Verify ? mismatchDetail(result) : QString();
        if (!result.backupPath.isEmpty())
            detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) +
                      QStringLiteral("The decoder's earlier configuration is in the backup; "
                                     "'q51ctl download BACKUP' puts it back.");
        job.voice.failure(result.problem, detail);
        co_return exitCodeFor(result);
    }
    const std::size_t changed = DifferingSettings(result.before, result.readBack).size();
    job.voice.outcome(QStringLiteral("Apply OK! %1 settings changed, read back and verified.").arg(changed));
    co_return Success;
}

QString backupFolderOf(const CommandLine &line)
{
    return line.backup.value_or(DefaultBackupFolder());
}

} // namespace

Task<int> DownloadWithBackup(PortJob job, const Configuration &config, const QString &backupFolder)
{
    ApplyRequest request{config, {}, true, backupFolder, {}};
    co_return co_await applyOn(job, std::move(request));
}

int RunApply(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 1, "one FILE"))
        return *usage;
    Configuration config = StartUpConfiguration();
    if (const int code = LoadConfigurationArgument(line.arguments.first(), config, DamagedFilesOf(line));
        code != Success)
        return code;
    if (const int code = CheckStoredPort(line, config); code != Success)
        return code;
    ApplyRequest request{config, {}, false, backupFolderOf(line), {}};
    for (const QString &typed : line.only) {
        for (const QString &key : typed.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            int code = Success;
            const Setting *setting = ResolveKey(key.trimmed(), code);
            if (!setting)
                return code;
            if (setting->role == SettingRole::Header || setting->role == SettingRole::Derived)
                return Usage(QStringLiteral("'%1' is not part of the decoder's block").arg(Echoed(key)));
            request.settings.push_back(setting);
        }
    }
    if (line.only.isEmpty()) {
        for (const Setting &setting : AllSettings()) {
            if (setting.role != SettingRole::Header && setting.role != SettingRole::Derived)
                request.settings.push_back(&setting);
        }
    }
    return RunOnNamedPorts(line, [&](PortJob job) { return applyOn(job, request); }, config.PortNumber);
}

int RunBackups(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    for (const BackupEntry &backup : ListBackups(backupFolderOf(line))) {
        const QString taken = backup.taken.isValid() ? backup.taken.toString(Qt::ISODate) : QStringLiteral("-");
        PrintResult(QStringLiteral("%1  %2  %3").arg(taken, backup.port.isEmpty() ? QStringLiteral("-") : backup.port,
                                                      QDir::toNativeSeparators(backup.path)));
    }
    return Success;
}

} // namespace q51::cli
