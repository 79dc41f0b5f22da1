#include "link/protocol/isp_frames.h"

#include <algorithm>
#include <array>

#include "link/protocol/commands.h"
#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"

namespace q51::protocol {

namespace {

// Closes every bare frame of the sequence.
constexpr std::uint8_t TrailerFirst = 0x55;
constexpr std::uint8_t TrailerSecond = 0xAA;

constexpr std::uint8_t EraseCommand = 0x00;
constexpr std::uint8_t PageCommand = 0x01;
constexpr std::uint8_t EndCommand = 0x05;

// Bytes [from, from + count) of the image, 0x00 where it has none.
void CopyPadded(ByteView image, std::size_t from, std::size_t count, std::uint8_t *out)
{
    std::fill(out, out + count, std::uint8_t{0});
    if (from >= image.size())
        return;
    const std::size_t available = std::min(count, image.size() - from);
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(from), available, out);
}

} // namespace

Bytes IspAccessFrame(ByteView image)
{
    std::array<std::uint8_t, IspAccessBytes> first{};
    CopyPadded(image, 0, IspAccessBytes, first.data());
    return BuildFrame(Command::IspAccess, first);
}

Bytes IspEraseFrame()
{
    return {EraseCommand, TrailerFirst, TrailerSecond};
}

Bytes IspEndFrame()
{
    return {EndCommand, TrailerFirst, TrailerSecond};
}

std::size_t IspPageCount(std::size_t imageSize)
{
    return imageSize < IspAccessBytes ? 0 : (imageSize - IspAccessBytes) / IspPageDataSize + 1;
}

Bytes IspPageFrame(ByteView image, std::size_t page)
{
    // The address bytes hold page * 512 and page * 512 + 511, high byte first
    // for the start and low byte first for the end.
    const auto high = static_cast<std::uint8_t>(page * 2);
    Bytes frame(IspPageFrameSize);
    frame[0] = PageCommand;
    frame[1] = high;
    frame[2] = 0x00;
    frame[3] = 0xFF;
    frame[4] = static_cast<std::uint8_t>(high + 1);
    CopyPadded(image, IspAccessBytes + page * IspPageDataSize, IspPageDataSize, frame.data() + 5);
    const std::size_t checkAt = 5 + IspPageDataSize;
    frame[checkAt] = Xor(ByteView(frame).subspan(1, checkAt - 1));
    frame[checkAt + 1] = TrailerFirst;
    frame[checkAt + 2] = TrailerSecond;
    return frame;
}

std::size_t IspProgressMaximum(std::size_t imageSize)
{
    return imageSize / IspPageDataSize + 1;
}

IspReply JudgeIspAccessReply(ByteView chunk)
{
    if (chunk.empty())
        return IspReply::NothingReceived;
    if (chunk[0] == Ack)
        return IspReply::Accepted;
    return chunk[0] == IspWrongVersion ? IspReply::WrongVersion : IspReply::Refused;
}

IspReply JudgeIspStepReply(ByteView chunk)
{
    if (chunk.empty())
        return IspReply::NothingReceived;
    return chunk[0] == IspAck ? IspReply::Accepted : IspReply::Refused;
}

} // namespace q51::protocol
