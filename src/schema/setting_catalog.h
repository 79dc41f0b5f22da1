#pragma once
// Every part of a configuration by name: the header strings and transfer
// settings a file carries, every field of the page tables, the hand-built
// boxes (code lengths, code-ID characters, deletion and insertion groups),
// and the bits no page describes. Generated from the schema, so the text
// form, get/set, reports and diffs all name the same things the same way,
// and together the settings cover every bit of the block.

#include <string>
#include <string_view>
#include <vector>

#include "schema/field_types.h"

namespace q51 {

enum class SettingKind {
    Field,          // a page table's field (option group, check box, symbology list)
    Number,         // one byte shown as a decimal number
    FixedLengths,   // two bytes: "Variable" (both 255) or two lengths
    CodeId,         // one byte shown as a character
    InsertionCodes, // eight bytes of insertion text
    ReservedBits,   // bits no page describes, shown as a hex byte
    HeaderText,     // a header string of the file
    HeaderNumber,   // the port number or transfer mode of the file
};

enum class SettingRole {
    Header,    // travels with the file, not with the block
    Parameter, // a page shows it
    Reserved,  // no page describes it
    Derived,   // the checksum: every download rewrites it
};

struct Setting {
    std::string key;     // "barcodes.code_39.check_digit": stable, lower case
    std::string page;    // "Bar Codes and Others"
    std::string panel;   // "Code 39"
    std::string caption; // "Check Digit"
    SettingKind kind = SettingKind::Field;
    SettingRole role = SettingRole::Parameter;
    FieldSpec field;     // SettingKind::Field
    int byte = 0;        // the (first) byte of the other block kinds
    int mask = 0xFF;     // SettingKind::ReservedBits
    int pageMaximum = 0xFF; // SettingKind::Number: the largest value the page takes
    std::string Configuration::*text = nullptr;         // SettingKind::HeaderText
    std::int16_t Configuration::*number = nullptr;      // SettingKind::HeaderNumber

    // "Page / Panel / Caption"
    [[nodiscard]] std::string Name() const { return page + " / " + panel + " / " + caption; }
};

// In page and panel order, the file's own values first.
const std::vector<Setting> &AllSettings();

// The block bits a setting owns; none for the header values.
std::vector<TouchedBits> SettingTouches(const Setting &setting);

// Settings a typed key stands for: the one whose key equals it
// (case-insensitive), else every key it abbreviates, part by part
// ("bar.code_39.check" for "barcodes.code_39.check_digit") or as a whole.
std::vector<const Setting *> MatchSettings(std::string_view typed);
// Exact keys only (case-insensitive), for the text form.
const Setting *FindSetting(std::string_view key);
// The setting of that kind whose bits start at byte, for the hand-built
// page controls that bind by place; nullptr when there is none.
const Setting *SettingAt(SettingKind kind, int byte);
// The page table field's setting, by the field's control name.
const Setting *SettingOfField(std::string_view control);
// The ActivePage number of the window that shows the setting; Page::None
// for the bits no page describes.
int SettingPage(const Setting &setting);

} // namespace q51
