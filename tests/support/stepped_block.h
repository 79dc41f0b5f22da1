#pragma once
// Test blocks whose neighbouring bytes differ, so that a byte lost, moved
// or left unwritten shows.

#include <QByteArray>

#include "model/configuration.h"

namespace q51::test {

// Byte i is i * step + offset, modulo 256.
inline Block SteppedBlock(int step, int offset = 0)
{
    Block b{};
    for (int i = 0; i < BlockSize; ++i)
        b[std::size_t(i)] = std::uint8_t(i * step + offset);
    return b;
}

// 255 down to 0.
inline Block DescendingBlock()
{
    return SteppedBlock(-1, 255);
}

inline QByteArray BytesOf(const Block &block)
{
    return QByteArray(reinterpret_cast<const char *>(block.data()), qsizetype(block.size()));
}

} // namespace q51::test
