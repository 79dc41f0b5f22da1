#pragma once
// The request frames the transfer window sends.

#include "link/protocol/bytes.h"
#include "model/configuration.h"

namespace q51::protocol {

// 261 bytes: 02 01 FF, the block, 03, BCC. The block is sent as given:
// write its checksum first (block_checksum.h).
Bytes DownloadFrame(const Block &block);
// 02 80 03 81
Bytes ReadConfigurationRequest();
// 02 85 03 84
Bytes ReadVersionRequest();

} // namespace q51::protocol
