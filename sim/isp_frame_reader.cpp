#include "sim/isp_frame_reader.h"

#include <utility>

#include "link/protocol/isp_frames.h"

namespace q51::sim {

namespace {

std::size_t FrameSize(std::uint8_t first)
{
    switch (first) {
    case 0x00: return protocol::IspEraseFrame().size();
    case 0x01: return protocol::IspPageFrameSize;
    case 0x05: return protocol::IspEndFrame().size();
    default: return 0;
    }
}

} // namespace

bool IspFrameReader::StartsFrame(std::uint8_t b)
{
    return FrameSize(b) > 0;
}

std::optional<IspFrame> IspFrameReader::Feed(std::uint8_t b)
{
    if (pending_.empty() && !StartsFrame(b))
        return std::nullopt;
    pending_.push_back(b);
    if (pending_.size() < FrameSize(pending_.front()))
        return std::nullopt;
    return IspFrame{std::exchange(pending_, {})};
}

std::size_t IspFrameReader::DropPending()
{
    return std::exchange(pending_, {}).size();
}

} // namespace q51::sim
