#include "link/transmit_exchanges.h"

#include "link/protocol/block_checksum.h"
#include "link/protocol/download_reply.h"
#include "link/protocol/exchange_limits.h"
#include "link/protocol/requests.h"
#include "link/protocol/upload_reply.h"
#include "link/protocol/version_reply.h"
#include "link/transmit_texts.h"
#include "model/configuration.h"
#include "model/windows1252.h"

namespace q51 {

namespace {

using protocol::InputPos;
namespace t = transmit_text;

QByteArray toQt(const protocol::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

protocol::ByteView view(const QByteArray &bytes)
{
    return protocol::AsBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

InputPos judge(TransferKind kind, const QByteArray &reply)
{
    switch (kind) {
    case TransferKind::Download: return protocol::JudgeDownloadReply(view(reply));
    case TransferKind::Upload: return protocol::JudgeUploadReply(view(reply)).state;
    case TransferKind::Version: return protocol::JudgeVersionReply(view(reply)).state;
    }
    return InputPos::NothingReceived;
}

TransferReport report(const char *caption, const char *text)
{
    return {QString::fromUtf8(caption), QString::fromUtf8(text), {}};
}

// No whole reply in time, under the caption of the operation.
TransferReport timeOutReport(TransferKind kind)
{
    return report(kind == TransferKind::Download ? t::CfgMessage : t::UploadMessage, t::TimeOutError);
}

TransferReport downloadReport(InputPos state)
{
    return report(t::CfgMessage, state == InputPos::Accepted ? t::DownloadOk : t::DownloadFailed);
}

TransferReport uploadReport(InputPos state, const QByteArray &reply, Configuration &config)
{
    switch (state) {
    case InputPos::Accepted:
        if (const auto judged = protocol::JudgeUploadReply(view(reply)); judged.block) {
            config.block = *judged.block;
            return report(t::UploadMessage, t::UploadOk);
        }
        break;
    case InputPos::Failed: break;
    case InputPos::NotAcknowledged: return report(t::SendCommandMessage, t::SendCommandFailed);
    case InputPos::NothingReceived: return timeOutReport(TransferKind::Upload);
    }
    return report(t::UploadMessage, t::UploadFailed);
}

TransferReport versionReport(InputPos state, const QByteArray &reply)
{
    switch (state) {
    case InputPos::Accepted:
        return {QString::fromUtf8(t::UploadMessage),
                QString::fromUtf8(t::VersionInformation) + AcceptedVersionText(reply).value_or(QString()), {}};
    case InputPos::Failed: break;
    case InputPos::NotAcknowledged: return report(t::SendCommandMessage, t::SendCommandFailed);
    case InputPos::NothingReceived: return timeOutReport(TransferKind::Version);
    }
    TransferReport refused = report(t::SendCommandMessage, t::VersionCommandFailed);
    refused.stoppedEarly = true;
    return refused;
}

} // namespace

Exchange::Request PrepareTransfer(TransferKind kind, Configuration &config)
{
    Exchange::Request request;
    request.judge = [kind](const QByteArray &reply) { return static_cast<int>(judge(kind, reply)); };
    switch (kind) {
    case TransferKind::Download:
        protocol::WriteBlockChecksum(config.block);
        request.bytes = toQt(protocol::DownloadFrame(config.block));
        request.threshold = static_cast<int>(protocol::DownloadLimits.receiveThreshold);
        request.timeout = Interval::DownloadReply;
        break;
    case TransferKind::Upload:
        request.bytes = toQt(protocol::ReadConfigurationRequest());
        request.threshold = static_cast<int>(protocol::UploadLimits.receiveThreshold);
        request.timeout = Interval::UploadReply;
        break;
    case TransferKind::Version: return VersionQuery();
    }
    return request;
}

Exchange::Request VersionQuery()
{
    Exchange::Request request;
    request.judge = [](const QByteArray &reply) { return static_cast<int>(judge(TransferKind::Version, reply)); };
    request.bytes = toQt(protocol::ReadVersionRequest());
    request.threshold = static_cast<int>(protocol::VersionLimits.receiveThreshold);
    request.timeout = Interval::VersionReply;
    return request;
}

std::optional<QString> AcceptedVersionText(const QByteArray &reply)
{
    const protocol::VersionReply judged = protocol::JudgeVersionReply(view(reply));
    if (judged.state != InputPos::Accepted)
        return std::nullopt;
    // Each byte is one character of the single-byte code page the decoder's
    // texts are written in; ASCII comes out unchanged.
    return QString::fromStdString(Windows1252ToUtf8(judged.text));
}

TransferReport CompleteTransfer(TransferKind kind, const ExchangeResult &result, Configuration &config)
{
    if (result.end != ExchangeEnd::Judged) {
        TransferReport timedOut = timeOutReport(kind);
        if (result.end == ExchangeEnd::PortLost)
            timedOut.detail = QString::fromUtf8(t::PortLostDetail);
        return timedOut;
    }
    // The verdict came from judge() on these same bytes.
    const auto state = static_cast<InputPos>(result.verdict);
    if (state == InputPos::NothingReceived)
        return timeOutReport(kind);
    switch (kind) {
    case TransferKind::Download: return downloadReport(state);
    case TransferKind::Upload: return uploadReport(state, result.reply, config);
    case TransferKind::Version: return versionReport(state, result.reply);
    }
    return {};
}

} // namespace q51
