#pragma once
// The checksum the decoder expects in the last two block bytes: byte 254 is
// the sum of bytes 0..253 divided by 256, byte 255 the sum modulo 256. The
// sum is at most 254 * 255, so byte 254 never exceeds 253.

#include <cstdint>

#include "model/configuration.h"

namespace q51::protocol {

inline constexpr int ChecksumHighIndex = 254;
inline constexpr int ChecksumLowIndex = 255;

struct BlockChecksum {
    std::uint8_t high = 0;
    std::uint8_t low = 0;
    friend bool operator==(const BlockChecksum &, const BlockChecksum &) = default;
};

BlockChecksum ComputeBlockChecksum(const Block &block);
// Overwrites bytes 254 and 255 of the block with its checksum.
void WriteBlockChecksum(Block &block);

} // namespace q51::protocol
