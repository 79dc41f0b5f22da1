#include "link/protocol/typed_replies.h"

#include "link/protocol/block_checksum.h"
#include "link/protocol/frame.h"
#include "link/protocol/hex_text.h"
#include "link/protocol/keyboard_line.h"
#include "link/protocol/version_reply.h"

namespace q51::protocol {

namespace {

// bytes.size() hex pairs from the start of text, which holds at least that many.
bool DecodePairs(std::string_view text, std::span<std::uint8_t> bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto value = HexPairValue(text[2 * i], text[2 * i + 1]);
        if (!value)
            return false;
        bytes[i] = *value;
    }
    return true;
}

} // namespace

std::optional<Block> DecodeTypedBlock(std::string_view typed)
{
    if (typed.size() != keyboard::TypedBlockLength)
        return std::nullopt;
    Block block{};
    if (!DecodePairs(typed, block))
        return std::nullopt;
    const BlockChecksum expected = ComputeBlockChecksum(block);
    if (block[ChecksumHighIndex] != expected.high || block[ChecksumLowIndex] != expected.low)
        return std::nullopt;
    return block;
}

std::optional<std::string> DecodeTypedVersion(std::string_view typed)
{
    if (typed.size() != keyboard::TypedVersionLength)
        return std::nullopt;
    constexpr std::size_t HeadLength = 6; // "02061D"
    constexpr std::size_t TailLength = 4; // ETX and BCC
    const std::string_view text = typed.substr(HeadLength, VersionTextSize);
    std::string fixed(typed.substr(0, HeadLength));
    fixed += typed.substr(HeadLength + VersionTextSize, TailLength);
    if (std::string_view(fixed).substr(0, TypedVersionHeader.size()) != TypedVersionHeader)
        return std::nullopt;

    // STX, command, length, ETX, BCC; then the text bytes.
    std::array<std::uint8_t, 5> frameBytes{};
    if (!DecodePairs(fixed, frameBytes))
        return std::nullopt;
    if ((Xor(frameBytes) ^ Xor(AsBytes(text))) != 0)
        return std::nullopt;
    return std::string(text);
}

std::optional<StatusBytes> DecodeTypedStatus(std::string_view typed)
{
    if (typed.size() != keyboard::TypedStatusLength)
        return std::nullopt;
    StatusBytes status{};
    if (!DecodePairs(typed, status) || Xor(status) != 0)
        return std::nullopt;
    return status;
}

} // namespace q51::protocol
