#pragma once
// The block each unit of a production line arrives with: unit 1 has the
// starting block, every later unit a few setting bytes of its own, so a
// station can tell the units apart by what it backs up.

#include "model/configuration.h"

namespace q51::sim {

// unit counts from 1. The checksum bytes are kept right when they were right
// in the starting block, and left as they are when they were not.
Block UnitBlock(const Block &start, int unit);

} // namespace q51::sim
