#pragma once
// Reads the decoder's reply to a stored-data read as it arrives, part by
// part. The reply is ACK, 02 61, a two-byte length L (high byte first), L + 1
// bytes of group records, ETX and BCC (the XOR of everything from STX on is
// 0). A group record is its length n (the whole record, this byte and the
// check byte included), n - 2 data bytes and the XOR of those data bytes.
//
// Records are handed out as soon as each is complete, so what came before a
// failure is kept. Nothing past the reply's own length is read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/protocol/bytes.h"
#include "link/protocol/stored_data_status.h"

namespace q51::protocol {

// Above this the length high byte is not believed; 0xFF says the range
// holds no data.
inline constexpr std::uint8_t MaxGroupDataLengthHigh = 116;
inline constexpr std::uint8_t NoGroupDataLengthHigh = 0xFF;
// A first part shorter than this cannot hold ACK and the header.
inline constexpr std::size_t GroupDataFirstPartMinimum = 7;

struct GroupRecord {
    int group = 0;
    Bytes data;
};

class StoredReadParser {
public:
    // Records are numbered from firstGroup (0 when all groups were asked for).
    explicit StoredReadParser(int firstGroup = 0);

    // The first part: ACK, the header and whatever arrived with them. Its
    // checks run in this order, a later failing one replacing an earlier:
    // ACK (NotAcknowledged); at least 7 bytes (NoCommandSequence, and no
    // further checks); STX and reply command (CommandError); length high
    // byte at most 116 (DataLengthInvalid) and not 0xFF (NoDataInRange).
    // Only the first call counts.
    void TakeFirstPart(ByteView chunk);
    // Every later part. Ignored before the first part and once finished.
    void TakeMore(ByteView chunk);

    // The first part's checks passed: records follow.
    [[nodiscard]] bool HeaderAccepted() const { return recordBytes_ > 0; }
    // The reply was read to its end, or a check failed.
    [[nodiscard]] bool Finished() const { return finished_; }
    // Accepted while the reply is being read and once it ended well.
    [[nodiscard]] StoredDataStatus status() const { return status_; }
    // The group a GroupCheckSumError or GroupLengthInvalid names.
    [[nodiscard]] std::optional<int> failedGroup() const { return failedGroup_; }

    // Records completed since the last call, in order.
    std::vector<GroupRecord> TakeRecords();

    // Record bytes in the reply (L + 1) and reply bytes read after the
    // 5-byte header so far; for a progress bar.
    [[nodiscard]] std::size_t recordBytes() const { return recordBytes_; }
    [[nodiscard]] std::size_t bytesSeen() const { return bytesSeen_; }

private:
    void Take(ByteView bytes);
    void Step(std::uint8_t b);
    void Fail(StoredDataStatus status, int group);

    int groupNo_;
    bool firstTaken_ = false;
    bool finished_ = false;
    StoredDataStatus status_ = StoredDataStatus::NothingReceived;
    std::optional<int> failedGroup_;
    std::uint8_t frameXor_ = 0;
    std::size_t recordBytes_ = 0;
    std::size_t bytesSeen_ = 0;
    std::size_t groupLeft_ = 0; // bytes of the current record still to come
    std::uint8_t groupXor_ = 0;
    Bytes groupData_;
    std::vector<GroupRecord> done_;
};

} // namespace q51::protocol
