#pragma once
// Miscellaneous page: keyboard language, code-ID characters, the
// character-edit groups and the reader options, described as data.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "schema/panel_description.h"

namespace q51 {

// The generated panels: Language, Code ID (its check box; the character
// boxes are built by hand) and Others. The Characters Edit tab between
// Code ID and Others is built by hand.
const std::vector<PanelSpec> &MiscPagePanels();

// "Reverse Output Characters" on the Characters Edit tab: a second control
// of byte 29 bit 4, which the Others tab's "Reverse Output Characters"
// group owns in the tables.
FieldSpec ReverseOutputCheckField();

// One code-ID character box per symbology number, at byte 80 + symbology.
inline constexpr int CodeIdFirstByte = 80;
struct CodeIdRow {
    int symbology;
    const char *label;
    bool visible;
    std::uint8_t tabDefault; // what the tab's "Set All Defaults" stores
};
const std::vector<CodeIdRow> &CodeIdRows();

// A code-ID box holds one character. Codes below a blank stand for no
// code ID and are stored as 0.
inline constexpr int FirstCodeIdCharacter = 32;
constexpr std::uint8_t StoredCodeId(int code)
{
    return static_cast<std::uint8_t>(code < FirstCodeIdCharacter ? 0 : code);
}
// The code a box's single-byte text stores, or nothing for text of two or
// more characters, which the box refuses.
std::optional<std::uint8_t> CodeIdFromText(std::string_view singleByteText);

// The symbology lists of the deletion and insertion frames, in list order,
// each entry with the number it stores.
struct EditSymbology {
    const char *caption;
    int number;
};
inline constexpr int NoSymbology = 255;
const std::vector<EditSymbology> &EditSymbologies();
// The list entry standing for a stored number; "None" when none does.
int EditSymbologyIndex(int number);

// A frame of six character-edit records: the symbology byte first, then
// the bytes its number boxes edit.
struct NumberBoxSpec {
    const char *control;
    const char *label;
    int offset; // within the record
    const char *key; // last word of the text form's key
};
struct EditFrameSpec {
    const char *objectName;
    const char *caption;
    const char *groupList;
    std::vector<const char *> groups;
    const char *symbologyList;
    int firstRecord;
    int recordSize;
    std::vector<NumberBoxSpec> numbers;
    const char *clearButton;
    const char *clearCaption;
    const char *key; // "deletion", "insertion": in the text form's keys
};
const EditFrameSpec &DeletionFrame();
const EditFrameSpec &InsertionFrame();
inline constexpr int InsertionTextOffset = 2; // eight character codes follow

// Block index of a group's record.
int RecordStart(const EditFrameSpec &frame, int group);
// Every record back to "None", with all its other bytes 0.
void ClearAllRecords(Configuration &config, const EditFrameSpec &frame);

} // namespace q51
