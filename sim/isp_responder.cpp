#include "sim/isp_responder.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"
#include "link/protocol/isp_frames.h"
#include "sim/decoder_responder.h"

namespace q51::sim {

namespace {

using protocol::Bytes;

constexpr std::size_t DataStart = 5;
constexpr std::size_t CheckAt = DataStart + protocol::IspPageDataSize;

// Beside and renamed, so that a reader never sees half an image.
std::string WriteImageFile(const std::string &path, const Bytes &image)
{
    const std::string part = path + ".part";
    std::error_code error;
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(image.data()), static_cast<std::streamsize>(image.size()));
        out.close(); // the last buffer's write can fail too
        if (!out) {
            std::filesystem::remove(part, error);
            return "cannot write " + part;
        }
    }
    std::filesystem::rename(part, path, error);
    return error ? "cannot rename " + part + ": " + error.message() : std::string();
}

// The page a well-formed page frame carries, or nothing.
std::optional<std::size_t> PageOf(const Bytes &frame)
{
    if (frame.size() != protocol::IspPageFrameSize || frame[1] % 2 != 0 || frame[2] != 0x00 || frame[3] != 0xFF
        || frame[4] != frame[1] + 1 || frame[CheckAt + 1] != 0x55 || frame[CheckAt + 2] != 0xAA)
        return std::nullopt;
    if (protocol::Xor(protocol::ByteView(frame).subspan(1, CheckAt - 1)) != frame[CheckAt])
        return std::nullopt;
    return frame[1] / 2;
}

// A whole decimal number up to max, or nothing.
std::optional<std::size_t> Decimal(std::string_view text, std::size_t max)
{
    std::size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > max)
        return std::nullopt;
    return value;
}

} // namespace

bool ParseIspVersion(std::string_view text, IspOptions &options)
{
    std::array<std::uint8_t, 4> version{};
    if (text.size() != 2 * version.size())
        return false;
    for (std::size_t i = 0; i < version.size(); ++i) {
        const char *first = text.data() + 2 * i;
        const auto [end, ec] = std::from_chars(first, first + 2, version[i], 16);
        if (ec != std::errc() || end != first + 2)
            return false;
    }
    options.version = version;
    return true;
}

bool ParsePageRefusal(std::string_view text, IspOptions &options)
{
    // Pages run from 0 to 127; a decoder that refuses a page more than a
    // thousand times is as good as one that always does.
    const std::size_t colon = text.find(':');
    const auto page = Decimal(text.substr(0, colon), protocol::IspImageLimit / protocol::IspPageDataSize - 1);
    const auto times = colon == std::string_view::npos ? std::optional<std::size_t>(1)
                                                       : Decimal(text.substr(colon + 1), 1000);
    if (!page || !times)
        return false;
    options.refusals[*page] = static_cast<int>(*times);
    return true;
}

IspResponder::IspResponder(IspOptions options) : options_(std::move(options)) {}

Answer IspResponder::Access(const Bytes &payload)
{
    active_ = false;
    if (payload.size() != protocol::IspAccessBytes)
        return {{Nak}, "isp access with " + std::to_string(payload.size()) + " bytes: refused", false};
    if (options_.version && !std::equal(payload.begin(), payload.end(), options_.version->begin()))
        return {{protocol::IspWrongVersion}, "isp access: wrong version", false};
    active_ = true;
    erased_ = false;
    image_ = payload;
    return {{protocol::Ack}, "isp access", false};
}

Answer IspResponder::Take(const IspFrame &frame)
{
    if (!active_ || frame.bytes.empty())
        return {{}, "isp frame outside a session: no reply", false};
    switch (frame.bytes.front()) {
    case 0x00: return Erase();
    case 0x01: return Page(frame.bytes);
    default: return End();
    }
}

Answer IspResponder::Erase()
{
    erased_ = true;
    image_.resize(protocol::IspAccessBytes);
    return {{protocol::IspAck}, "isp erase", false};
}

Answer IspResponder::Page(const Bytes &frame)
{
    const std::optional<std::size_t> page = PageOf(frame);
    if (!page)
        return {{Nak}, "isp page garbled: refused", false};
    const std::string what = "isp page " + std::to_string(*page);
    if (!erased_)
        return {{Nak}, what + " before the erase: refused", false};
    if (auto refusal = options_.refusals.find(*page); refusal != options_.refusals.end() && refusal->second > 0) {
        --refusal->second;
        return {{Nak}, what + ": refused as told", false};
    }
    const std::size_t at = protocol::IspAccessBytes + *page * protocol::IspPageDataSize;
    image_.resize(std::max(image_.size(), at + protocol::IspPageDataSize));
    std::copy_n(frame.begin() + DataStart, protocol::IspPageDataSize, image_.begin() + static_cast<std::ptrdiff_t>(at));
    return {{protocol::IspAck}, what + " stored", false};
}

Answer IspResponder::End()
{
    active_ = false;
    ++completed_;
    std::string what = "isp end: image of " + std::to_string(image_.size()) + " bytes kept";
    if (!options_.dumpImageFile.empty()) {
        if (const std::string error = WriteImageFile(options_.dumpImageFile, image_); !error.empty())
            what += " (" + error + ")";
    }
    return {{}, what, false};
}

} // namespace q51::sim
