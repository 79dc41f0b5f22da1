#include "link/stored_data_exchanges.h"

#include <string>

#include "link/protocol/stored_data_limits.h"
#include "link/protocol/stored_data_replies.h"
#include "link/stored_data_texts.h"
#include "model/windows1252.h"

namespace q51 {

namespace {

namespace t = stored_data_text;
using protocol::StoredDataStatus;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray toQt(const protocol::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

protocol::ByteView view(const QByteArray &bytes)
{
    return protocol::AsBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

const StoredDataRequestInfo Infos[] = {
    {t::ConfirmRead, t::ReadMemoryMessage, t::ReadMemoryMessage, true, true},
    {t::ConfirmSizes, t::ReadMemoryMessage, t::GetSizeMessage, false, false},
    {t::ConfirmFreeSpace, t::ReadFreeMemoryMessage, t::ReadFreeMemoryMessage, false, false},
    {t::ConfirmClear, t::ClearMemoryMessage, t::ClearMemoryMessage, true, true},
};

QString groupText(const char *what, std::optional<int> group)
{
    return text(t::GroupPrefix) + QString::number(group.value_or(0)) + text(what);
}

QString statusText(StoredDataRequest kind, StoredDataStatus status, std::optional<int> group)
{
    switch (status) {
    case StoredDataStatus::NothingReceived: return text(t::TimeOutError);
    case StoredDataStatus::Accepted:
        switch (kind) {
        case StoredDataRequest::Read: return text(t::ReadOk);
        case StoredDataRequest::Sizes: return text(t::SizesOk);
        case StoredDataRequest::Clear: return text(t::ClearOk);
        case StoredDataRequest::FreeSpace: return {};
        }
        return {};
    case StoredDataStatus::CheckSumError:
        return text(kind == StoredDataRequest::Sizes ? t::SizesCheckSumError : t::CheckSumError);
    case StoredDataStatus::DataLengthInvalid: return text(t::DataLengthInvalid);
    case StoredDataStatus::CommandError: return text(t::CommandError);
    case StoredDataStatus::NotAcknowledged:
        switch (kind) {
        case StoredDataRequest::Read: return text(t::ReadNotAcknowledged);
        case StoredDataRequest::FreeSpace: return text(t::FreeSpaceNotAcknowledged);
        case StoredDataRequest::Sizes:
        case StoredDataRequest::Clear: return text(t::NotAcknowledged);
        }
        return text(t::NotAcknowledged);
    case StoredDataStatus::NoCommandSequence: return text(t::NoCommandSequence);
    case StoredDataStatus::NoDataInRange: return text(t::NoDataInRange);
    case StoredDataStatus::GroupCheckSumError: return groupText(t::GroupCheckSumError, group);
    case StoredDataStatus::GroupLengthInvalid: return groupText(t::GroupLengthInvalid, group);
    }
    return text(t::CommandError);
}

// Five groups a line.
QString sizesListing(const std::vector<std::uint8_t> &sizes)
{
    QString listing;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        listing += text(t::GroupPrefix) + QString::number(i) + text(t::GroupSeparator) + QString::number(sizes[i]);
        listing += i % 5 == 4 ? QLatin1Char('\n') : QLatin1Char('\t');
    }
    return listing;
}

void report(const GroupReadHandlers &handlers, protocol::StoredReadParser &parser)
{
    const std::vector<protocol::GroupRecord> records = parser.TakeRecords();
    if (!records.empty() && handlers.records)
        handlers.records(records);
    if (handlers.progressed)
        handlers.progressed(parser.bytesSeen(), parser.recordBytes());
}

} // namespace

const StoredDataRequestInfo &StoredDataRequestInfoFor(StoredDataRequest kind)
{
    return Infos[static_cast<int>(kind)];
}

Exchange::Request PrepareGroupRead(const std::optional<protocol::GroupRange> &range,
                                   std::shared_ptr<protocol::StoredReadParser> parser, GroupReadHandlers handlers)
{
    Exchange::Request request;
    request.bytes = toQt(protocol::ReadGroupsRequest(range));
    request.threshold = static_cast<int>(protocol::GroupDataLimits.receiveThreshold);
    request.timeout = Interval::GroupDataReply;
    request.settle = Interval::StoredReplySettle;
    request.judge = [parser, handlers](const QByteArray &firstPart) {
        parser->TakeFirstPart(view(firstPart));
        if (parser->HeaderAccepted()) {
            if (handlers.started)
                handlers.started();
            report(handlers, *parser);
        }
        return static_cast<int>(parser->status());
    };
    request.continuation = [parser, handlers](int) -> std::optional<Exchange::Continuation> {
        if (parser->Finished())
            return std::nullopt;
        return Exchange::Continuation{
            Interval::GroupDataRestFirst, Interval::GroupDataRestNext,
            [parser, handlers](const QByteArray &chunk) -> std::optional<int> {
                parser->TakeMore(view(chunk));
                report(handlers, *parser);
                if (!parser->Finished())
                    return std::nullopt;
                return static_cast<int>(parser->status());
            }};
    };
    return request;
}

Exchange::Request PrepareStoredDataRequest(StoredDataRequest kind, const std::optional<protocol::GroupRange> &range)
{
    Exchange::Request request;
    switch (kind) {
    case StoredDataRequest::Sizes:
        request.bytes = toQt(protocol::GroupSizesRequest());
        request.threshold = static_cast<int>(protocol::GroupSizesLimits.receiveThreshold);
        request.timeout = Interval::GroupSizesReply;
        // No settling: the threshold is the whole reply, so nothing more is
        // due once it is reached and a pause would only add to the wait.
        request.judge = [](const QByteArray &reply) {
            return static_cast<int>(protocol::JudgeGroupSizesReply(view(reply)).status);
        };
        break;
    case StoredDataRequest::FreeSpace:
        request.bytes = toQt(protocol::FreeSpaceRequest());
        request.threshold = static_cast<int>(protocol::FreeSpaceLimits.receiveThreshold);
        request.timeout = Interval::FreeSpaceReply;
        request.judge = [](const QByteArray &reply) {
            return static_cast<int>(protocol::JudgeFreeSpaceReply(view(reply)).status);
        };
        break;
    case StoredDataRequest::Clear:
        request.bytes = toQt(protocol::ClearGroupsRequest(range));
        request.threshold = static_cast<int>(protocol::ClearLimits.receiveThreshold);
        request.timeout = Interval::ClearReply;
        request.judge = [](const QByteArray &reply) {
            return static_cast<int>(protocol::JudgeClearReply(view(reply)));
        };
        break;
    case StoredDataRequest::Read:
        // Reads need their parser: PrepareGroupRead.
        break;
    }
    return request;
}

StoredDataReport CompleteStoredDataRequest(StoredDataRequest kind, const ExchangeResult &result,
                                           const protocol::StoredReadParser *parser)
{
    const StoredDataRequestInfo &info = StoredDataRequestInfoFor(kind);
    StoredDataReport out;
    out.title = text(info.resultTitle);
    if (result.end != ExchangeEnd::Judged) {
        // Only a read waits for the rest of a reply it has begun.
        out.text = text(result.continued ? t::ReplyCutShort : t::TimeOutError);
        if (result.end == ExchangeEnd::PortLost)
            out.detail = text(transmit_text::PortLostDetail);
        return out;
    }

    auto status = static_cast<StoredDataStatus>(result.verdict);
    std::optional<int> group;
    switch (kind) {
    case StoredDataRequest::Read:
        if (parser)
            group = parser->failedGroup();
        break;
    case StoredDataRequest::Sizes: {
        const protocol::GroupSizesReply sizes = protocol::JudgeGroupSizesReply(view(result.reply));
        status = sizes.status;
        // Shown also when the check fails: the listing was already made.
        if (status == StoredDataStatus::Accepted || status == StoredDataStatus::CheckSumError)
            out.display = sizesListing(sizes.sizes);
        break;
    }
    case StoredDataRequest::FreeSpace: {
        const protocol::FreeSpaceReply free = protocol::JudgeFreeSpaceReply(view(result.reply));
        status = free.status;
        if (status == StoredDataStatus::Accepted)
            out.display = text(t::FreeSpacePrefix) + QString::number(free.freeGroups);
        break;
    }
    case StoredDataRequest::Clear: break;
    }
    if (status != StoredDataStatus::Accepted || info.reportsSuccess)
        out.text = statusText(kind, status, group);
    return out;
}

QString GroupRecordText(const protocol::GroupRecord &record)
{
    const std::string bytes(record.data.begin(), record.data.end());
    return text(t::GroupPrefix) + QString::number(record.group) + text(t::GroupSeparator)
           + QString::fromStdString(Windows1252ToUtf8(bytes));
}

} // namespace q51
