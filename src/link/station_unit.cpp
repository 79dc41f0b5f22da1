#include "link/station_unit.h"

#include "link/awaited_exchange.h"
#include "link/decoder_apply.h"
#include "link/decoder_backups.h"
#include "link/firmware_update.h"
#include "link/firmware_update_choices.h"
#include "link/port_reopen.h"
#include "link/transmit_exchanges.h"

namespace q51 {

namespace {

bool fail(StationRecord &record, UnitStep step, const QString &why)
{
    QString text = UnitStepText(step);
    text[0] = text[0].toUpper();
    record.passed = false;
    record.failedStep = step;
    record.problem = text + QStringLiteral(" failed: ") + why;
    return false;
}

// A transfer as one step of the cycle.
Task<bool> transferAs(Transport &port, UnitStep step, TransferKind kind, Configuration &config,
                      StationRecord &record, const UnitProgress &onProgress)
{
    std::function<void(qsizetype, qsizetype)> progress;
    if (onProgress)
        progress = [&onProgress, step](qsizetype done, qsizetype total) { onProgress(step, done, total); };
    const TransferDone done = co_await Transferred(port, kind, config, progress);
    co_return done.ok || fail(record, step, done.why);
}

// The firmware step: the update at its own settings, then the version asked
// again at the plan's settings.
Task<bool> updateFirmware(Transport &port, const StationPlan &plan, int portNumber, StationRecord &record,
                          const UnitProgress &onProgress)
{
    QString problem;
    if (!reopenPort(port, FirmwareUpdateLink, portNumber, &problem))
        co_return fail(record, UnitStep::Firmware, problem);
    FirmwareUpdate update(port, *plan.firmware);
    if (onProgress)
        QObject::connect(&update, &FirmwareUpdate::pagesAccepted, [&onProgress](int pages) {
            onProgress(UnitStep::Firmware, pages, 0);
        });
    const auto [end, lost] = co_await WhenGiven<std::pair<FirmwareUpdateEnd, bool>>([&update](auto give) {
        QObject::connect(&update, &FirmwareUpdate::finished,
                         [give](FirmwareUpdateEnd e, bool portLost) { give(std::pair(e, portLost)); });
        update.start();
    });
    if (end != FirmwareUpdateEnd::Succeeded || lost)
        co_return fail(record, UnitStep::Firmware, QString::fromUtf8(FirmwareUpdateEndText(end)));
    if (!reopenPort(port, plan.settings, portNumber, &problem))
        co_return fail(record, UnitStep::Firmware, problem);
    const ExchangeResult asked = co_await Exchanged(port, VersionQuery());
    const std::optional<QString> after =
        asked.end == ExchangeEnd::Judged ? AcceptedVersionText(asked.reply) : std::nullopt;
    if (!after)
        co_return fail(record, UnitStep::Firmware, QStringLiteral("the decoder did not tell its version after the update."));
    record.firmwareAfter = TrimmedVersion(*after);
    if (!SameVersion(*after, plan.firmwareVersion))
        co_return fail(record, UnitStep::Firmware,
                       QStringLiteral("the decoder reports version \u201c%1\u201d after the update, not \u201c%2\u201d.")
                           .arg(record.firmwareAfter, TrimmedVersion(plan.firmwareVersion)));
    co_return true;
}

} // namespace

Task<bool> RunUnit(Transport &port, const StationPlan &plan, UnitPort where, std::optional<QString> version,
                   StationRecord &record, UnitProgress onProgress)
{
    const Block golden = GoldenBlock(plan);
    record.goldenDigest = BlockDigest(golden);
    record.passed = false;
    if (onProgress)
        onProgress(UnitStep::Identify, 0, 0);
    if (!version)
        co_return fail(record, UnitStep::Identify, QStringLiteral("the decoder answered, but not with its version."));
    record.decoderVersion = TrimmedVersion(*version);

    Configuration found = plan.golden;
    if (!co_await transferAs(port, UnitStep::Backup, TransferKind::Upload, found, record, onProgress))
        co_return false;
    record.foundDigest = BlockDigest(found.block);
    const QString folder = plan.backupFolder.isEmpty() ? DefaultBackupFolder() : plan.backupFolder;
    if (const BackupSaved saved = SaveBackup(folder, found, where.label); saved.path.isEmpty())
        co_return fail(record, UnitStep::Backup, saved.problem);

    if (plan.firmware) {
        record.firmwareBefore = record.decoderVersion;
        record.firmwareAfter = record.decoderVersion;
        if (!SameVersion(*version, plan.firmwareVersion)) {
            if (onProgress)
                onProgress(UnitStep::Firmware, 0, 0);
            if (!co_await updateFirmware(port, plan, where.number, record, onProgress))
                co_return false;
        }
    }

    Configuration sent = plan.golden;
    if (!co_await transferAs(port, UnitStep::Download, TransferKind::Download, sent, record, onProgress))
        co_return false;
    Configuration back = plan.golden;
    if (!co_await transferAs(port, UnitStep::ReadBack, TransferKind::Upload, back, record, onProgress))
        co_return false;
    if (onProgress)
        onProgress(UnitStep::Verify, 0, 0);
    if (back.block != golden) {
        std::size_t differing = 0;
        for (std::size_t i = 0; i < golden.size(); ++i)
            differing += back.block[i] != golden[i];
        co_return fail(record, UnitStep::Verify,
                       QStringLiteral("the decoder holds a different configuration than was sent "
                                      "(%1 bytes differ).")
                           .arg(differing));
    }
    record.passed = true;
    record.failedStep.reset();
    record.problem.clear();
    co_return true;
}

} // namespace q51
