#pragma once
// What the window and the keyboard-port helper say to each other over a pipe.
// The helper is the only process that may reach the keyboard controller, so
// it trusts nothing it reads: every request is one short text line naming
// one byte for one port, and only the data port and the characters the
// keyboard line sends (the wake-up letters and hex digits) are written.
//
//   window -> helper   "out 60 41\n"         write 0x41 to port 0x60
//   helper -> window   "ready\n"             once, when it holds the port
//                      "unavailable: why\n"  instead of ready, then it ends
//                      "busy: why\n"         instead of ready, then it ends: the
//                                            port is reachable but another
//                                            helper holds the line
//                      "refused: why\n"      for a request it did not carry out

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q51::keyboard_helper {

inline constexpr std::string_view ReadyLine = "ready";
inline constexpr std::string_view UnavailablePrefix = "unavailable: ";
inline constexpr std::string_view BusyPrefix = "busy: ";
inline constexpr std::string_view RefusedPrefix = "refused: ";

// Longer lines are refused whole, so a stream of garbage cannot grow memory.
inline constexpr std::size_t MaxRequestLength = 32;

// The shortest pause the keyboard line makes after a write (after each
// wake-up letter); the helper never writes faster than this.
inline constexpr int MinimumWriteGapMicroseconds = 2000;

struct PortWrite {
    std::uint16_t port = 0;
    std::uint8_t value = 0;
};

// The bytes the keyboard line writes: "0".."9", "A".."F" (hex text, which
// also holds the download and query wake-up letters) and the upload letter.
[[nodiscard]] bool IsKeyboardLineByte(std::uint8_t value);

// A request line (without its newline) is either a write to carry out or a
// refusal saying why not.
struct Verdict {
    std::optional<PortWrite> write;
    std::string refusal;
};
[[nodiscard]] Verdict JudgeRequest(std::string_view line);

// The request line for a write, newline included.
[[nodiscard]] std::string RequestLine(std::uint16_t port, std::uint8_t value);

// Splits a byte stream into request lines of at most MaxRequestLength
// characters. A longer line comes out once, as `overlong`, when its newline
// arrives.
class RequestLineReader {
public:
    struct Line {
        std::string text;
        bool overlong = false;
    };
    // Takes one byte; returns a line when it completes one.
    std::optional<Line> feed(char byte);

private:
    std::string pending_;
    bool overlong_ = false;
};

} // namespace q51::keyboard_helper
