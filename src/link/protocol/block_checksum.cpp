#include "link/protocol/block_checksum.h"

#include <numeric>

namespace q51::protocol {

BlockChecksum ComputeBlockChecksum(const Block &block)
{
    const unsigned sum = std::accumulate(block.begin(), block.begin() + ChecksumHighIndex, 0u);
    return {static_cast<std::uint8_t>(sum / 256), static_cast<std::uint8_t>(sum % 256)};
}

void WriteBlockChecksum(Block &block)
{
    const BlockChecksum c = ComputeBlockChecksum(block);
    block[ChecksumHighIndex] = c.high;
    block[ChecksumLowIndex] = c.low;
}

} // namespace q51::protocol
