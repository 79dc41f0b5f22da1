#pragma once
// The one configuration instance every window works on: the decoder's
// 256-byte block, the copy last loaded from or written to a file, and the
// few shared values that travel with it. Plain C++ so that the file format,
// the protocol and a command-line front end can use it without Qt.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "model/fixed_text.h"

namespace q51 {

inline constexpr int BlockSize = 256;
using Block = std::array<std::uint8_t, BlockSize>;

// Raised for an index, mask or value outside a byte: a caller bug, never user
// input. Nothing outside the block is ever touched.
class FieldAccessError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// Which page or window the main window has open (ActivePage).
namespace Page {
inline constexpr std::int16_t None = 0;
inline constexpr std::int16_t Interface = 1;
inline constexpr std::int16_t Communication = 2;
inline constexpr std::int16_t BarCodes = 3;
inline constexpr std::int16_t Miscellaneous = 4;
inline constexpr std::int16_t Transmit = 5;
}

namespace TransferModes {
inline constexpr std::int16_t ByKeyboard = 0;
inline constexpr std::int16_t ByRs232 = 1;
}

inline constexpr const char *NewFileName = "New File";

// What a file stores besides the block. Typed work in these counts as an
// unsaved change too, so New, Open and Exit ask before dropping it.
struct DocumentHeader {
    std::string DeviceName;
    std::string UserName;
    std::string BuildingDate;
    std::string Description;
    std::int16_t PortNumber = 1;
    std::int16_t TransferMode = TransferModes::ByRs232;
    bool operator==(const DocumentHeader &) const = default;
};

struct Configuration {
    Block block{};
    Block savedCopy{};
    DocumentHeader savedHeader;

    // Header strings, held as UTF-8; the file stores them as Windows-1252.
    std::string DeviceName;
    std::string UserName;
    std::string BuildingDate;
    std::string Description;

    std::string FileName = NewFileName;
    std::int16_t PortNumber = 1;
    std::int16_t TransferMode = TransferModes::ByRs232;
    std::string BaudText = "9600";
    FixedText<5> FramingText{"N,8,1"};
    std::int32_t KeyDelay = 5;
    std::int16_t ActivePage = Page::None;

    // block[index] = (block[index] & ~mask) | value. The value is OR-ed in as
    // given, already shifted into place by the caller.
    void SetBits(int index, int mask, int value);
    // block[index] & mask, unshifted.
    [[nodiscard]] std::uint8_t GetBits(int index, int mask) const;

    // Packed check-digit fields of the bar-code pages: three-way (mask 0x60)
    // or five-way (mask 0x70). A choice the field has no code for writes
    // nothing and returns false.
    bool SetCheckDigitMode(int index, int choice, bool fiveWay);
    [[nodiscard]] std::uint8_t GetCheckDigitMode(int index, bool fiveWay) const;

    // Unsaved changes: some byte of the block differs from the saved copy,
    // or a header string, the port or the transfer mode from the saved header.
    [[nodiscard]] bool HasUnsavedChanges() const;
    [[nodiscard]] int FirstChangedIndex() const; // -1 when none
    void TakeSavedCopy()
    {
        savedCopy = block;
        TakeSavedHeader();
    }
    // The header alone: after New the block's saved copy keeps the last
    // file's contents, but the fresh header strings are not the user's work.
    void TakeSavedHeader() { savedHeader = Header(); }
    [[nodiscard]] DocumentHeader Header() const
    {
        return {DeviceName, UserName, BuildingDate, Description, PortNumber, TransferMode};
    }

    [[nodiscard]] bool IsNewFile() const { return FileName == NewFileName; }
    // Settings string handed to the serial port, e.g. "9600,N,8,1".
    [[nodiscard]] std::string SettingsString() const { return BaudText + "," + FramingText.str(); }
};

// Throws FieldAccessError unless 0 <= index <= 255.
void CheckBlockIndex(int index);

} // namespace q51
