#include "schema/insertion_text.h"

#include <algorithm>
#include <optional>

namespace q51 {

namespace {

// The three-character slots the decoder's own key table uses: F1 to F12,
// INS, DEL, then the control codes NUL to US. A name counts only where it
// first occurs, and only if that occurrence starts a slot.
constexpr std::string_view SlotTable = "F1 F2 F3 F4 F5 F6 F7 F8 F9 F10F11F12INSDEL"
                                       "NULSOHSTXETXEOTENQACKBELBS HT LF VT FF CR SO SI "
                                       "DLEDC1DC2DC3DC4NAKSYNETBCANEM SUBESCFS GS RS US ";
constexpr std::size_t SlotWidth = 3;
constexpr std::size_t FirstControlSlot = 14;

struct LongName {
    std::string_view name;
    int code;
};
constexpr std::array<LongName, 6> LongNames{{
    {"HOME", 206}, {"PGUP", 207}, {"PGDN", 208}, {"LEFT", 210}, {"RIGHT", 211}, {"DOWN", 213},
}};

constexpr std::size_t ShortestName = 2;

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::optional<int> slotCode(std::string_view name)
{
    const std::size_t at = SlotTable.find(name);
    if (at == std::string_view::npos || at % SlotWidth != 0)
        return std::nullopt;
    const std::size_t slot = at / SlotWidth;
    if (slot < FirstControlSlot)
        return FirstKeyCode + static_cast<int>(slot);
    return static_cast<int>(slot - FirstControlSlot);
}

// The code of an upper-case name found between braces, if it names a key.
std::optional<int> keyCode(std::string name)
{
    if (name == "UP")
        return 212;
    if (name.size() == 2)
        name += ' ';
    if (name.size() > SlotWidth) {
        for (const LongName &n : LongNames) {
            if (n.name == name)
                return n.code;
        }
        return std::nullopt;
    }
    if (name == "END")
        return 209;
    return slotCode(name);
}

} // namespace

const std::array<const char *, 32> &ControlCodeNames()
{
    static constexpr std::array<const char *, 32> names{
        "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",  "VT",  "FF",  "CR", "SO", "SI",
        "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS", "RS", "US",
    };
    return names;
}

const std::array<const char *, LastKeyCode - FirstKeyCode + 1> &KeyNames()
{
    static constexpr std::array<const char *, LastKeyCode - FirstKeyCode + 1> names{
        "F1",  "F2",  "F3",   "F4",   "F5",   "F6",  "F7",   "F8",    "F9", "F10",  "F11",
        "F12", "Ins", "Del", "Home", "PgUp", "PgDn", "End", "Left", "Right", "Up", "Down",
    };
    return names;
}

std::string DecodeInsertionText(std::span<const std::uint8_t> codes)
{
    std::string text;
    const std::size_t count = std::min(codes.size(), InsertionCodeCount);
    for (std::size_t k = 0; k < count; ++k) {
        const int code = codes[k];
        if (code == 0)
            break;
        if (code < static_cast<int>(ControlCodeNames().size()))
            text.append("{").append(ControlCodeNames()[static_cast<std::size_t>(code)]).append("}");
        else if (code <= LastCharacterCode)
            text += static_cast<char>(code);
        else if (code <= LastKeyCode)
            text.append("{").append(KeyNames()[static_cast<std::size_t>(code - FirstKeyCode)]).append("}");
        // codes above the keys stand for nothing and are not shown
    }
    return text;
}

InsertionCodes EncodeInsertionText(std::string_view text, std::size_t *consumed)
{
    InsertionCodes codes{};
    std::size_t n = 0;
    std::size_t at = 0;
    while (at < text.size() && n < codes.size()) {
        const char c = text[at];
        if (c == '{') {
            const std::size_t close = text.find('}', at + 1);
            if (close != std::string_view::npos && close - at - 1 >= ShortestName) {
                if (const auto code = keyCode(upperAscii(text.substr(at + 1, close - at - 1)))) {
                    codes[n++] = static_cast<std::uint8_t>(*code);
                    at = close + 1;
                    continue;
                }
            }
        }
        codes[n++] = static_cast<std::uint8_t>(c);
        ++at;
    }
    if (consumed)
        *consumed = at;
    return codes;
}

bool IsInsertableText(std::string_view text)
{
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code == 0 || code > LastCharacterCode)
            return false;
    }
    return true;
}

} // namespace q51
