#include "schema/setting_catalog.h"

#include <array>
#include <cctype>
#include <map>

#include "schema/caption_text.h"
#include "schema/code_lengths.h"
#include "schema/field_access.h"
#include "schema/field_tables.h"
#include "schema/insertion_text.h"
#include "schema/misc_fields.h"
#include "schema/number_box_rule.h"
#include "schema/page_catalog.h"
#include "schema/setting_codec.h"
#include "schema/symbology_fields.h"
#include "schema/symbology_option_fields.h"

namespace q51 {

namespace {

inline constexpr int FirstChecksumByte = 254;
// The Characters Edit tab, built by hand, sits after this generated panel.
inline constexpr std::string_view PanelBeforeCharactersEdit = "fraCfg6_1";
inline constexpr int CodeIdCount = 29; // symbology numbers 0 to 28

std::string pageCaption(const char *objectName)
{
    for (const ChildWindowInfo &info : ChildWindows) {
        if (std::string_view(info.objectName) == objectName)
            return info.caption;
    }
    return objectName;
}

struct Place {
    std::string pageKey;
    std::string page;
    std::string panelKey;
    std::string panel;
};

Setting placed(const Place &place, const std::string &keyTail, std::string caption, SettingKind kind, int byte = 0)
{
    Setting s;
    s.key = place.pageKey + "." + place.panelKey + "." + keyTail;
    s.page = place.page;
    s.panel = place.panel;
    s.caption = std::move(caption);
    s.kind = kind;
    s.byte = byte;
    return s;
}

void addHeader(std::vector<Setting> &out)
{
    const Place header{"file", "File", "header", "Header"};
    const std::array<std::pair<const char *, std::string Configuration::*>, 4> strings{{
        {"Device Name", &Configuration::DeviceName},
        {"User Name", &Configuration::UserName},
        {"Building Date", &Configuration::BuildingDate},
        {"Description", &Configuration::Description},
    }};
    for (const auto &[caption, member] : strings) {
        Setting s = placed(header, KeyPart(caption), caption, SettingKind::HeaderText);
        s.key = "file." + KeyPart(caption); // two parts: the file has no panels
        s.role = SettingRole::Header;
        s.text = member;
        out.push_back(std::move(s));
    }
    const std::array<std::pair<const char *, std::int16_t Configuration::*>, 2> numbers{{
        {"Port Number", &Configuration::PortNumber},
        {"Transfer Mode", &Configuration::TransferMode},
    }};
    for (const auto &[caption, member] : numbers) {
        Setting s = placed(header, KeyPart(caption), caption, SettingKind::HeaderNumber);
        s.key = "file." + KeyPart(caption);
        s.role = SettingRole::Header;
        s.number = member;
        out.push_back(std::move(s));
    }
}

void addField(std::vector<Setting> &out, const Place &place, const PanelSpec &panel, const FieldSpec &field)
{
    // A field alone in its frame may leave the caption to the frame.
    const std::string caption = PlainCaption(field.caption.empty() ? panel.frameCaption : field.caption);
    const std::string shown = field.frame.empty() ? caption : PlainCaption(field.frame) + " / " + caption;
    Setting s = placed(place, KeyPart(caption), shown, SettingKind::Field);
    s.field = field;
    out.push_back(std::move(s));
}

void addLengths(std::vector<Setting> &out, const Place &place, const LengthSlot &slot, const std::string &prefix)
{
    const std::string keyPrefix = prefix.empty() ? "" : KeyPart(prefix) + "_";
    const std::string captionPrefix = prefix.empty() ? "" : prefix + " / ";
    out.push_back(placed(place, keyPrefix + "minimum_length", captionPrefix + "Minimum Length", SettingKind::Number,
                         MinimumLengthByte(slot.slot)));
    out.back().pageMaximum = MaxMinimumLength;
    out.push_back(placed(place, keyPrefix + "fixed_lengths", captionPrefix + "Fixed Lengths",
                         SettingKind::FixedLengths, FixedLengthByte(slot.slot, 0)));
}

std::string codeIdLabel(int symbology)
{
    for (const CodeIdRow &row : CodeIdRows()) {
        if (row.symbology == symbology)
            return row.label;
    }
    return "Symbology " + std::to_string(symbology); // no box on the page
}

void addCodeIds(std::vector<Setting> &out, const Place &place)
{
    for (int i = 0; i < CodeIdCount; ++i) {
        const std::string label = codeIdLabel(i);
        out.push_back(placed(place, KeyPart(label), label + " Code ID", SettingKind::CodeId, CodeIdFirstByte + i));
    }
}

FieldSpec editSymbologyField(const EditFrameSpec &frame, int start)
{
    std::vector<Choice> choices;
    for (const EditSymbology &entry : EditSymbologies())
        choices.push_back({entry.caption, entry.number});
    return Options(frame.symbologyList, "Symboligy Selection", start, 0xFF, std::move(choices), NoSymbology);
}

void addEditFrame(std::vector<Setting> &out, const Place &place, const EditFrameSpec &frame)
{
    for (std::size_t g = 0; g < frame.groups.size(); ++g) {
        const int start = RecordStart(frame, static_cast<int>(g));
        const std::string key = std::string(frame.key) + "_group" + std::to_string(g + 1) + "_";
        const std::string caption = std::string(frame.caption) + " / " + frame.groups[g] + " / ";
        Setting symbology = placed(place, key + "symbology", caption + "Symboligy Selection", SettingKind::Field);
        symbology.field = editSymbologyField(frame, start);
        out.push_back(std::move(symbology));
        for (const NumberBoxSpec &number : frame.numbers) {
            out.push_back(placed(place, key + number.key, caption + number.label, SettingKind::Number,
                                 start + number.offset));
            out.back().pageMaximum = NumberBoxLimit - 1;
        }
        if (&frame == &InsertionFrame())
            out.push_back(placed(place, key + "text", caption + "Characters to be Inserted",
                                 SettingKind::InsertionCodes, start + InsertionTextOffset));
    }
}

void addCharactersEdit(std::vector<Setting> &out, const Place &page)
{
    const Place place{page.pageKey, page.page, "characters_edit", "Characters Edit"};
    addEditFrame(out, place, DeletionFrame());
    addEditFrame(out, place, InsertionFrame());
}

std::array<int, BlockSize> ownedBits(const std::vector<Setting> &settings)
{
    std::array<int, BlockSize> owned{};
    for (const Setting &s : settings) {
        for (const TouchedBits &bits : SettingTouches(s))
            owned[std::size_t(bits.byte)] |= bits.mask;
    }
    return owned;
}

void addReserved(std::vector<Setting> &out)
{
    const auto owned = ownedBits(out);
    const Place reserved{"reserved", "Reserved", "", "Bytes no page describes"};
    const Place checksum{"checksum", "Checksum", "", "Derived on every download"};
    for (int i = 0; i < BlockSize; ++i) {
        const int free = ~owned[std::size_t(i)] & 0xFF;
        if (free == 0)
            continue;
        const bool derived = i >= FirstChecksumByte;
        const Place &place = derived ? checksum : reserved;
        std::string caption = "Byte " + std::to_string(i);
        if (free != 0xFF)
            caption += " bits " + HexByte(free);
        Setting s = placed(place, "", caption, SettingKind::ReservedBits, i);
        s.key = place.pageKey + ".byte_" + std::to_string(i);
        s.role = derived ? SettingRole::Derived : SettingRole::Reserved;
        s.mask = free;
        out.push_back(std::move(s));
    }
}

// Two captions may give the same key; the control's name tells them apart.
void makeKeysUnique(std::vector<Setting> &settings)
{
    std::map<std::string, int> count;
    for (const Setting &s : settings)
        ++count[s.key];
    for (Setting &s : settings) {
        if (count[s.key] > 1)
            s.key += "_" + KeyPart(s.field.control);
    }
}

std::vector<Setting> buildCatalog()
{
    std::vector<Setting> out;
    addHeader(out);
    std::vector<bool> slotShown(BlockSize, false);
    for (const PageFieldTable &table : AllPageFieldTables()) {
        const std::string page = pageCaption(table.page);
        for (const PanelSpec &panel : table.panels()) {
            const std::string panelCaption = PlainCaption(panel.tabCaption.empty() ? panel.frameCaption
                                                                                    : panel.tabCaption);
            const Place place{table.key, page, KeyPart(panelCaption), panelCaption};
            for (const FieldSpec &field : panel.fields)
                addField(out, place, panel, field);
            if (panel.objectName == SymbologyListPanel().objectName)
                addField(out, place, panel, UpcEanSummaryField());
            for (const SymbologyOptionPanel &option : SymbologyOptionPanels()) {
                if (option.panel.objectName == panel.objectName) {
                    addLengths(out, place, *FindLengthSlot(option.lengthSlot), "");
                    slotShown[std::size_t(option.lengthSlot)] = true;
                }
            }
            if (panel.objectName == PanelBeforeCharactersEdit) {
                addCodeIds(out, place);
                addCharactersEdit(out, place);
            }
        }
        if (std::string_view(table.key) == "barcodes") {
            // Slots no tab shows still hold lengths.
            const Place other{table.key, page, "other_length_slots", "Other Length Slots"};
            for (const LengthSlot &slot : LengthSlots()) {
                if (!slotShown[std::size_t(slot.slot)])
                    addLengths(out, other, slot, "Slot " + std::to_string(slot.slot));
            }
        }
    }
    addReserved(out);
    makeKeysUnique(out);
    return out;
}

std::vector<std::string_view> keyParts(std::string_view key)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t dot = key.find('.'); dot != std::string_view::npos; dot = key.find('.', start)) {
        parts.push_back(key.substr(start, dot - start));
        start = dot + 1;
    }
    parts.push_back(key.substr(start));
    return parts;
}

bool abbreviates(std::string_view typed, std::string_view key)
{
    if (StartsWithWords(key, typed))
        return true;
    const auto typedParts = keyParts(typed);
    const auto keyPartsOfKey = keyParts(key);
    if (typedParts.size() != keyPartsOfKey.size())
        return false;
    for (std::size_t i = 0; i < typedParts.size(); ++i) {
        if (!StartsWithWords(keyPartsOfKey[i], typedParts[i]))
            return false;
    }
    return true;
}

} // namespace

const std::vector<Setting> &AllSettings()
{
    static const std::vector<Setting> settings = buildCatalog();
    return settings;
}

std::vector<TouchedBits> SettingTouches(const Setting &setting)
{
    return CodecOf(setting.kind).touches(setting);
}

const Setting *FindSetting(std::string_view key)
{
    // Keys are lower case; a text names them in any case.
    static const std::map<std::string, const Setting *, std::less<>> byKey = [] {
        std::map<std::string, const Setting *, std::less<>> all;
        for (const Setting &s : AllSettings())
            all.emplace(s.key, &s);
        return all;
    }();
    std::string lower(key);
    for (char &c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto found = byKey.find(lower);
    return found == byKey.end() ? nullptr : found->second;
}

const Setting *SettingAt(SettingKind kind, int byte)
{
    static const std::map<std::pair<SettingKind, int>, const Setting *> byPlace = [] {
        std::map<std::pair<SettingKind, int>, const Setting *> all;
        for (const Setting &s : AllSettings()) {
            const auto touched = SettingTouches(s);
            if (!touched.empty())
                all.emplace(std::pair(s.kind, touched.front().byte), &s);
        }
        return all;
    }();
    const auto found = byPlace.find({kind, byte});
    return found == byPlace.end() ? nullptr : found->second;
}

const Setting *SettingOfField(std::string_view control)
{
    static const std::map<std::string, const Setting *, std::less<>> byControl = [] {
        std::map<std::string, const Setting *, std::less<>> all;
        for (const Setting &s : AllSettings()) {
            if (s.kind == SettingKind::Field)
                all.emplace(s.field.control, &s);
        }
        return all;
    }();
    const auto found = byControl.find(control);
    return found == byControl.end() ? nullptr : found->second;
}

int SettingPage(const Setting &setting)
{
    switch (setting.kind) {
    case SettingKind::HeaderText: return Page::Interface;
    case SettingKind::HeaderNumber: return Page::Transmit;
    default: break;
    }
    if (setting.role != SettingRole::Parameter)
        return Page::None;
    for (const ChildWindowInfo &info : ChildWindows) {
        if (setting.page == info.caption)
            return info.page;
    }
    return Page::None;
}

std::vector<const Setting *> MatchSettings(std::string_view typed)
{
    if (const Setting *exact = FindSetting(typed))
        return {exact};
    std::vector<const Setting *> matches;
    if (typed.empty())
        return matches;
    for (const Setting &s : AllSettings()) {
        if (abbreviates(typed, s.key))
            matches.push_back(&s);
    }
    return matches;
}

} // namespace q51
