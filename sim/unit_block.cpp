#include "sim/unit_block.h"

#include <algorithm>

#include "link/protocol/block_checksum.h"

namespace q51::sim {

namespace {

// The minimum code lengths of the first two symbologies: any value from 1
// to 99 is one a decoder takes, so a unit's block stays a usable one.
constexpr std::size_t FirstVariedByte = 192;
constexpr std::size_t SecondVariedByte = 193;
constexpr int LowestValue = 1;
constexpr int Values = 99;

// value moved on by `by` places round the range 1..99.
std::uint8_t Stepped(std::uint8_t value, int by)
{
    const int from = std::clamp<int>(value, LowestValue, LowestValue + Values - 1) - LowestValue;
    return static_cast<std::uint8_t>(LowestValue + (from + by) % Values);
}

} // namespace

Block UnitBlock(const Block &start, int unit)
{
    if (unit <= 1)
        return start;
    const bool checksumRight = protocol::ComputeBlockChecksum(start)
                               == protocol::BlockChecksum{start[protocol::ChecksumHighIndex],
                                                          start[protocol::ChecksumLowIndex]};
    Block block = start;
    const int step = unit - 1;
    block[FirstVariedByte] = Stepped(start[FirstVariedByte], step % Values);
    block[SecondVariedByte] = Stepped(start[SecondVariedByte], step / Values % Values);
    if (checksumRight)
        protocol::WriteBlockChecksum(block);
    return block;
}

} // namespace q51::sim
