#include "link/decoder_apply.h"

#include "link/awaited_exchange.h"
#include "link/decoder_backups.h"
#include "link/protocol/block_checksum.h"
#include "link/protocol/exchange_limits.h"
#include "link/transmit_exchanges.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"

namespace q51 {

namespace {

struct StepWords {
    ApplyStep step;
    const char *text;
};

constexpr StepWords StepTexts[]{
    {ApplyStep::ReadBackup, "reading the decoder's configuration for the backup"},
    {ApplyStep::SaveBackup, "saving the backup"},
    {ApplyStep::Download, "sending the configuration to the decoder"},
    {ApplyStep::ReadBack, "reading the configuration back"},
    {ApplyStep::Verify, "comparing the configuration read back"},
    {ApplyStep::Done, "done"},
};

bool comparable(const Setting &setting)
{
    return setting.role != SettingRole::Header && setting.role != SettingRole::Derived;
}

QString failedText(ApplyStep step, const QString &why)
{
    QString text = ApplyStepText(step);
    text[0] = text[0].toUpper();
    return text + QStringLiteral(" failed: ") + why;
}

// One transfer of the transfer window; false with the result's failure
// filled in when it did not succeed.
Task<bool> transferStep(Transport &port, ApplyStep step, TransferKind kind, Configuration &config,
                        ApplyResult &result, const ApplyProgress &onProgress)
{
    std::function<void(qsizetype, qsizetype)> progress;
    if (onProgress)
        progress = [&onProgress, step](qsizetype n, qsizetype expected) { onProgress(step, n, expected); };
    const TransferDone done = co_await Transferred(port, kind, config, progress);
    if (!done.ok) {
        result.failed = step;
        result.exchange = done.exchange;
        result.problem = failedText(step, done.why);
    }
    co_return done.ok;
}

} // namespace

std::vector<const Setting *> DifferingSettings(const Configuration &a, const Configuration &b)
{
    std::vector<const Setting *> differing;
    for (const Setting &setting : AllSettings()) {
        if (comparable(setting) && SettingDiffers(setting, a, b))
            differing.push_back(&setting);
    }
    return differing;
}

bool TakeSettings(const std::vector<const Setting *> &settings, const Configuration &from, Configuration &to)
{
    for (const Setting *setting : settings) {
        const std::string value = SettingValue(*setting, from, ValueForm::Exact);
        if (WriteSettingValue(*setting, to, value, ValueSource::Text))
            return false;
    }
    return true;
}

Task<TransferDone> Transferred(Transport &port, TransferKind kind, Configuration &config,
                               std::function<void(qsizetype, qsizetype)> progress)
{
    const qsizetype expected = qsizetype(kind == TransferKind::Upload ? protocol::UploadLimits.receiveThreshold
                                                                      : protocol::DownloadLimits.receiveThreshold);
    std::function<void(qsizetype)> gathered;
    if (progress) {
        progress(0, expected);
        gathered = [progress, expected](qsizetype n) { progress(n, expected); };
    }
    TransferDone done;
    done.exchange = co_await Exchanged(port, PrepareTransfer(kind, config), gathered);
    const TransferReport report = CompleteTransfer(kind, done.exchange, config);
    done.ok = done.exchange.end == ExchangeEnd::Judged && done.exchange.verdict == 1;
    if (!done.ok) {
        done.why = report.text.trimmed();
        if (!report.detail.isEmpty())
            done.why += QLatin1Char(' ') + report.detail;
    }
    co_return done;
}

QString ApplyStepText(ApplyStep step)
{
    for (const StepWords &words : StepTexts) {
        if (words.step == step)
            return QString::fromUtf8(words.text);
    }
    return {};
}

Task<ApplyResult> ReadDecoderBlock(Transport &port, Configuration file, ApplyProgress onProgress)
{
    ApplyResult result;
    result.before = file;
    co_await transferStep(port, ApplyStep::ReadBackup, TransferKind::Upload, result.before, result, onProgress);
    co_return result;
}

Task<ApplyResult> ApplyToDecoder(Transport &port, ApplyRequest request, ApplyProgress onProgress)
{
    ApplyResult result = co_await ReadDecoderBlock(port, request.file, onProgress);
    if (!result.ok())
        co_return result;

    if (onProgress)
        onProgress(ApplyStep::SaveBackup, 0, 0);
    Configuration backup = result.before;
    backup.PortNumber = request.file.PortNumber;
    const QString folder = request.backupFolder.isEmpty() ? DefaultBackupFolder() : request.backupFolder;
    const BackupSaved saved = SaveBackup(folder, backup, request.portLabel);
    if (saved.path.isEmpty()) {
        result.failed = ApplyStep::SaveBackup;
        result.problem = failedText(ApplyStep::SaveBackup, saved.problem);
        co_return result;
    }
    result.backupPath = saved.path;

    result.sent = result.before;
    if (request.wholeBlock)
        result.sent.block = request.file.block;
    else if (!TakeSettings(request.settings, request.file, result.sent)) {
        result.failed = ApplyStep::Download;
        result.problem = failedText(ApplyStep::Download, QStringLiteral("a setting of the file does not fit the block."));
        co_return result;
    }
    // The download writes the checksum into the block it sends.
    if (!co_await transferStep(port, ApplyStep::Download, TransferKind::Download, result.sent, result, onProgress))
        co_return result;

    result.readBack = result.sent;
    if (!co_await transferStep(port, ApplyStep::ReadBack, TransferKind::Upload, result.readBack, result, onProgress))
        co_return result;

    if (onProgress)
        onProgress(ApplyStep::Verify, 0, 0);
    if (result.readBack.block != result.sent.block) {
        result.failed = ApplyStep::Verify;
        result.mismatched = DifferingSettings(result.sent, result.readBack);
        result.problem = failedText(ApplyStep::Verify, QStringLiteral("the decoder holds a different configuration "
                                                                      "than was sent (%1 settings differ).")
                                                           .arg(result.mismatched.size()));
        co_return result;
    }
    if (onProgress)
        onProgress(ApplyStep::Done, 0, 0);
    co_return result;
}

} // namespace q51
