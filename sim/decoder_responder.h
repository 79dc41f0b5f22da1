#pragma once
// The decoder's side of the serial protocol: answers each good request frame
// from its own configuration block and version text, as a well-behaved
// decoder would. Misbehaviour is layered on top by ReplyShaper.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "link/protocol/bytes.h"
#include "model/configuration.h"
#include "model/fixed_text.h"
#include "link/protocol/version_reply.h"
#include "sim/console_responder.h"
#include "sim/frame_reassembler.h"
#include "sim/isp_responder.h"
#include "sim/stored_groups.h"

namespace q51::sim {

// Refusal byte of a decoder that will not take a request.
inline constexpr std::uint8_t Nak = 0x15;

inline constexpr std::string_view DefaultVersionText = "Q51 Decoder Simulator V1.00";

using VersionText = FixedText<protocol::VersionTextSize>;

struct Answer {
    protocol::Bytes reply; // empty: the decoder stays quiet
    std::string what;      // the request in words, for the log
    bool blockStored = false;
};

class DecoderResponder {
public:
    // Starts from the factory block.
    DecoderResponder();
    DecoderResponder(const Block &block, std::string_view versionText);

    // Frames with a bad BCC and unknown commands get no reply. A write whose
    // payload is not a whole block is refused and changes nothing.
    Answer Respond(const ReceivedFrame &frame);
    // The bare frames of a firmware update (isp_responder.h).
    Answer Respond(const IspFrame &frame);

    // A refusing decoder answers every request with NAK in place of ACK
    // (the rest of the reply as usual) and stores no write.
    void SetRefusing(bool refusing) { refusing_ = refusing; }
    // A forgetful decoder acknowledges writes but keeps its block.
    void SetForgettingWrites(bool forgetting) { forgetting_ = forgetting; }
    // Another unit in the same place: its own block, no update under way.
    void StartUnit(const Block &block);
    // The version a firmware update brings: told from the update's end on.
    void SetVersionAfterUpdate(std::string_view text) { versionAfterUpdate_ = VersionText(text); }
    // The status byte a Status command reports (console_responder.h).
    void SetStatusByte(std::uint8_t status) { statusByte_ = status; }
    [[nodiscard]] std::uint8_t statusByte() const { return statusByte_; }

    // The stored scan data and the firmware-update side (stored_groups.h,
    // isp_responder.h).
    void SetStoredGroups(StoredGroups groups) { groups_ = std::move(groups); }
    void SetIspOptions(IspOptions options) { isp_ = IspResponder(std::move(options)); }
    [[nodiscard]] const StoredGroups &storedGroups() const { return groups_; }
    [[nodiscard]] const IspResponder &isp() const { return isp_; }

    [[nodiscard]] const Block &block() const { return block_; }
    [[nodiscard]] const VersionText &versionText() const { return version_; }

private:
    Answer WriteConfiguration(const protocol::Bytes &payload);
    Answer ReadConfiguration() const;
    Answer ReadVersion() const;
    Answer Dispatch(const ReceivedFrame &frame);
    // What a refusing decoder makes of an answer.
    Answer Refused(Answer answer) const;

    Block block_{};
    VersionText version_;
    std::optional<VersionText> versionAfterUpdate_;
    bool refusing_ = false;
    bool forgetting_ = false;
    std::uint8_t statusByte_ = DefaultStatusByte;
    StoredGroups groups_;
    IspResponder isp_;
};

} // namespace q51::sim
