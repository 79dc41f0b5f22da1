#pragma once
// The decoder's in-system programming sequence: an access frame carrying the
// image's first four bytes (the decoder checks them against its hardware),
// an erase frame, the rest of the image in 512-byte pages, and an end frame.
// Only the access frame uses the usual STX frame; the others are bare.

#include <cstddef>
#include <cstdint>

#include "link/protocol/bytes.h"

namespace q51::protocol {

// Images must be smaller than this: page numbers end at 127.
inline constexpr std::size_t IspImageLimit = 65536;
// Image bytes carried by the access frame; the pages start after them.
inline constexpr std::size_t IspAccessBytes = 4;
inline constexpr std::size_t IspPageDataSize = 512;
// One page frame: 01, four address bytes, the data, check byte, 55 AA. The
// port's transmit buffer holds exactly one.
inline constexpr std::size_t IspPageFrameSize = 520;

// The decoder's answers: the access frame is acknowledged with ACK or turned
// down with WrongVersion; erase and pages are acknowledged with IspAck.
inline constexpr std::uint8_t IspWrongVersion = 0x1B;
inline constexpr std::uint8_t IspAck = 0xAA;

// 02 12 03, image bytes 0..3 (0x00 past the end of a shorter image), 03, BCC.
Bytes IspAccessFrame(ByteView image);
// 00 55 AA
Bytes IspEraseFrame();
// 05 55 AA
Bytes IspEndFrame();

// Pages follow while their first image byte (4 + 512 k) is not beyond the
// image, so an image of n >= 4 bytes has (n - 4) / 512 + 1 of them, the last
// possibly all padding; a shorter one has none.
std::size_t IspPageCount(std::size_t imageSize);

// The frame of page `page` (0 to IspPageCount - 1, at most 127): image
// bytes past the end are 0x00. The check byte is the XOR of offsets 1 to 516.
Bytes IspPageFrame(ByteView image, std::size_t page);

// The progress bar counts to this: one more than the whole 512-byte blocks
// of the image (the pages themselves start 4 bytes in).
std::size_t IspProgressMaximum(std::size_t imageSize);

// How a reply chunk is read: only its first byte counts.
enum class IspReply : std::int16_t {
    NothingReceived = 0,
    Accepted = 1,
    Refused = 2,
    WrongVersion = 7,
};

// Access frame: ACK accepts, IspWrongVersion is the wrong image, anything
// else refuses.
IspReply JudgeIspAccessReply(ByteView chunk);
// Erase and page frames: IspAck accepts, anything else refuses.
IspReply JudgeIspStepReply(ByteView chunk);

} // namespace q51::protocol
