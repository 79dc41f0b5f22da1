#pragma once
// The scan data a decoder keeps as numbered groups, and its answers to the
// stored-data requests: read all or a range, group sizes, free group space,
// clear all or a range. Groups are numbered from 0 in the order stored;
// clearing some moves the later ones down.

#include <cstddef>
#include <string>
#include <vector>

#include "link/protocol/bytes.h"

namespace q51::sim {

struct Answer; // decoder_responder.h

inline constexpr std::size_t DefaultGroupCapacity = 2000;
// A group record's length byte counts itself and the check byte too.
inline constexpr std::size_t MaxGroupDataSize = 253;

class StoredGroups {
public:
    // Groups longer than MaxGroupDataSize are cut; empty ones are dropped,
    // since a size of 0 ends the size listing. At most `capacity` are kept.
    explicit StoredGroups(std::vector<std::string> groups = {}, std::size_t capacity = DefaultGroupCapacity);

    // Sample groups "DATA0000", "DATA0001", ... for trying the window.
    static std::vector<std::string> Samples(std::size_t count);

    // payload empty: all groups; else the range request's four bytes. As
    // many whole records as one reply holds; "no data" when none is in the
    // range. A range payload that is not four bytes is refused.
    Answer Read(const protocol::Bytes &payload) const;
    Answer Sizes() const;
    // The reply carries the free space minus one, so a full memory reads as
    // one free group.
    Answer FreeSpace() const;
    Answer Clear(const protocol::Bytes &payload);

    [[nodiscard]] const std::vector<std::string> &groups() const { return groups_; }

private:
    std::vector<std::string> groups_;
    std::size_t capacity_;
};

} // namespace q51::sim
