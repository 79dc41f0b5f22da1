#include "link/protocol/stored_read_parser.h"

#include <utility>

#include "link/protocol/commands.h"
#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"

namespace q51::protocol {

namespace {

constexpr std::size_t HeaderSize = 5; // ACK, STX, command, two length bytes

} // namespace

StoredReadParser::StoredReadParser(int firstGroup) : groupNo_(firstGroup) {}

void StoredReadParser::TakeFirstPart(ByteView chunk)
{
    if (firstTaken_)
        return;
    firstTaken_ = true;
    status_ = StoredDataStatus::Accepted;
    if (chunk.empty() || chunk[0] != Ack)
        status_ = StoredDataStatus::NotAcknowledged;
    if (chunk.size() < GroupDataFirstPartMinimum) {
        status_ = StoredDataStatus::NoCommandSequence;
        finished_ = true;
        return;
    }
    if (chunk[1] != Stx || chunk[2] != Command::GroupDataReply)
        status_ = StoredDataStatus::CommandError;
    if (chunk[3] > MaxGroupDataLengthHigh)
        status_ = StoredDataStatus::DataLengthInvalid;
    if (chunk[3] == NoGroupDataLengthHigh)
        status_ = StoredDataStatus::NoDataInRange;
    if (status_ != StoredDataStatus::Accepted) {
        finished_ = true;
        return;
    }
    frameXor_ = Xor(chunk.subspan(1, HeaderSize - 1));
    recordBytes_ = std::size_t{chunk[3]} * 256 + chunk[4] + 1;
    Take(chunk.subspan(HeaderSize));
}

void StoredReadParser::TakeMore(ByteView chunk)
{
    if (firstTaken_)
        Take(chunk);
}

std::vector<GroupRecord> StoredReadParser::TakeRecords()
{
    return std::exchange(done_, {});
}

void StoredReadParser::Take(ByteView bytes)
{
    for (const std::uint8_t b : bytes) {
        if (finished_)
            return; // anything after the reply is not part of it
        Step(b);
    }
}

void StoredReadParser::Step(std::uint8_t b)
{
    frameXor_ ^= b;
    if (bytesSeen_ < recordBytes_) {
        if (groupLeft_ == 0) {
            // A length byte. 0 would make the record shorter than itself.
            if (b == 0)
                return Fail(StoredDataStatus::GroupLengthInvalid, groupNo_);
            groupLeft_ = std::size_t{b} - 1;
            groupXor_ = 0;
            groupData_.clear();
        } else if (--groupLeft_ > 0) {
            groupXor_ ^= b;
            groupData_.push_back(b);
        } else {
            if (b != groupXor_)
                return Fail(StoredDataStatus::GroupCheckSumError, groupNo_);
            done_.push_back({groupNo_, std::move(groupData_)});
            groupData_.clear();
            ++groupNo_;
        }
    }
    ++bytesSeen_;
    // A record that claims more bytes than the records hold would be lost
    // without a word if the reply were then taken as complete.
    if (bytesSeen_ == recordBytes_ && groupLeft_ > 0)
        return Fail(StoredDataStatus::GroupLengthInvalid, groupNo_);
    // The records, ETX and BCC: the reply is complete.
    if (bytesSeen_ > recordBytes_ + 1) {
        finished_ = true;
        status_ = frameXor_ == 0 ? StoredDataStatus::Accepted : StoredDataStatus::CheckSumError;
    }
}

void StoredReadParser::Fail(StoredDataStatus status, int group)
{
    finished_ = true;
    status_ = status;
    failedGroup_ = group;
}

} // namespace q51::protocol
