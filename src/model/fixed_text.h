#pragma once
// A text of exactly N characters: a longer assignment is cut, a shorter one
// padded with blanks. Used for the serial framing "N,8,1", which is always
// edited by replacing one position.

#include <cstddef>
#include <string>
#include <string_view>

namespace q51 {

template <std::size_t N>
class FixedText {
public:
    FixedText() : text_(N, ' ') {}
    FixedText(std::string_view s) { assign(s); } // NOLINT: assignment-like by design

    void assign(std::string_view s)
    {
        text_.assign(s.substr(0, N));
        text_.resize(N, ' ');
    }
    FixedText &operator=(std::string_view s)
    {
        assign(s);
        return *this;
    }
    // Position is 1-based, as the framing positions are named (1 = parity).
    [[nodiscard]] char at(std::size_t position) const { return text_.at(position - 1); }
    void setAt(std::size_t position, char c) { text_.at(position - 1) = c; }

    [[nodiscard]] const std::string &str() const { return text_; }
    friend bool operator==(const FixedText &a, std::string_view b) { return a.text_ == b; }

private:
    std::string text_;
};

} // namespace q51
