#pragma once
// Outcome of a stored-data request; the messages the window shows are keyed
// on it.

#include <cstdint>

namespace q51::protocol {

enum class StoredDataStatus : std::uint8_t {
    NothingReceived = 0,    // no (whole) reply before the timeout
    Accepted = 1,
    CheckSumError = 2,      // the reply frame's check byte does not match
    DataLengthInvalid = 3,  // read reply: length high byte above 116
    CommandError = 4,       // byte 1 not STX, or byte 2 not the expected reply command
    NotAcknowledged = 5,    // first byte not ACK
    NoCommandSequence = 6,  // read reply: first part shorter than 7 bytes
    NoDataInRange = 7,      // read reply: length high byte 0xFF
    GroupCheckSumError = 8, // read reply: a group record's check byte does not match
    GroupLengthInvalid = 9, // read reply: a group record's length byte is 0, or it runs past the records
};

} // namespace q51::protocol
