#pragma once
// The four requests of the stored-data window: what each asks before it
// runs, the exchange it sends, and the message and text it ends with. The
// window only starts them and shows the outcome.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

#include "link/exchange.h"
#include "link/protocol/stored_data_requests.h"
#include "link/protocol/stored_read_parser.h"

namespace q51 {

enum class StoredDataRequest { Read, Sizes, FreeSpace, Clear };

struct StoredDataRequestInfo {
    const char *confirmation;
    const char *confirmationTitle;
    const char *resultTitle; // also of the range messages
    bool takesRange;         // all groups or a range, by the window's option
    bool reportsSuccess;     // the others speak only of failures
};

const StoredDataRequestInfo &StoredDataRequestInfoFor(StoredDataRequest kind);

// What a read does with the reply as it arrives.
struct GroupReadHandlers {
    // The first part checked out: the listing starts afresh.
    std::function<void()> started;
    // Records complete so far, in order, each once.
    std::function<void(const std::vector<protocol::GroupRecord> &records)> records;
    // Reply bytes read after the header, and how many there are in all.
    std::function<void(std::size_t seen, std::size_t total)> progressed;
};

// The exchange of a read. The parser reads the reply part by part; the
// exchange goes on while it wants more.
Exchange::Request PrepareGroupRead(const std::optional<protocol::GroupRange> &range,
                                   std::shared_ptr<protocol::StoredReadParser> parser,
                                   GroupReadHandlers handlers);

// The exchange of a size, free-space or clear request.
Exchange::Request PrepareStoredDataRequest(StoredDataRequest kind, const std::optional<protocol::GroupRange> &range);

struct StoredDataReport {
    QString title;
    QString text; // empty: nothing to tell
    QString detail;
    std::optional<QString> display; // replaces the text box, when set
};

// How a finished request ends. A lost port reads as a time-out with a
// word on why. For a read, pass the parser its exchange used.
StoredDataReport CompleteStoredDataRequest(StoredDataRequest kind, const ExchangeResult &result,
                                           const protocol::StoredReadParser *parser = nullptr);

// "Group 0 : AB"; the data bytes are single-byte characters.
QString GroupRecordText(const protocol::GroupRecord &record);

} // namespace q51
