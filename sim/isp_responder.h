#pragma once
// The decoder's side of the firmware update. An access frame whose four
// image bytes the decoder accepts starts a session; the session answers
// the erase and each page with AA and keeps the image it is given, until
// the end frame. Any other request ends the session, as a decoder leaving
// its loader would.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "link/protocol/bytes.h"
#include "sim/isp_frame_reader.h"

namespace q51::sim {

struct Answer; // decoder_responder.h

struct IspOptions {
    // The first four image bytes this decoder takes; any others get the
    // wrong-version answer. Unset: every image is taken.
    std::optional<std::array<std::uint8_t, 4>> version;
    // Page number -> how many times it is refused before it is taken.
    std::map<std::size_t, int> refusals;
    // Written (beside and renamed) with the kept image when the end frame
    // arrives; empty: not written.
    std::string dumpImageFile;
};

// Command-line forms: the version as eight hex digits ("01020304"); a
// refusal as PAGE or PAGE:TIMES (once when TIMES is left out). False, and
// the options unchanged, for text of another form.
bool ParseIspVersion(std::string_view text, IspOptions &options);
bool ParsePageRefusal(std::string_view text, IspOptions &options);

class IspResponder {
public:
    explicit IspResponder(IspOptions options = {});

    Answer Access(const protocol::Bytes &payload);
    // Erase, page and end frames; only during a session.
    Answer Take(const IspFrame &frame);
    // A request of the ordinary protocol arrived: the session is over.
    void Leave() { active_ = false; }

    [[nodiscard]] bool Active() const { return active_; }
    // The access frame's four bytes and every page taken since the erase,
    // each at its place; 0x00 where nothing was sent.
    [[nodiscard]] const protocol::Bytes &image() const { return image_; }
    // End frames seen, which is when the image is complete.
    [[nodiscard]] int completedImages() const { return completed_; }

private:
    Answer Erase();
    Answer Page(const protocol::Bytes &frame);
    Answer End();

    IspOptions options_;
    bool active_ = false;
    bool erased_ = false;
    int completed_ = 0;
    protocol::Bytes image_;
};

} // namespace q51::sim
