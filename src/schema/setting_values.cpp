#include "schema/setting_values.h"

#include <cctype>

#include "schema/caption_text.h"
#include "schema/code_lengths.h"
#include "schema/field_access.h"
#include "schema/insertion_text.h"
#include "schema/misc_fields.h"
#include "schema/symbology_fields.h"

namespace q51 {

namespace {

constexpr std::string_view OtherPrefix = "Other (";
constexpr std::string_view VariableWord = "Variable";
constexpr std::string_view NoCodeIdWord = "none";

// Decimal ("-12", "200") or hex ("0x7B") within [low, high]; nothing else.
std::optional<int> parseNumber(std::string_view text, int low, int high)
{
    text = Trimmed(text);
    bool negative = false;
    int base = 10;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
            : (base == 16 && std::isxdigit(static_cast<unsigned char>(c)))
            ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
            : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
    }
    if (negative)
        value = -value;
    if (value < low || value > high)
        return std::nullopt;
    return int(value);
}

// Whitespace- or comma-separated numbers.
std::optional<std::vector<int>> parseNumbers(std::string_view text, std::size_t most, int low, int high)
{
    std::vector<int> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ',' || std::isspace(static_cast<unsigned char>(text[i]))))
            ++i;
        std::size_t end = i;
        while (end < text.size() && text[end] != ',' && !std::isspace(static_cast<unsigned char>(text[end])))
            ++end;
        if (end == i)
            break;
        const auto number = parseNumber(text.substr(i, end - i), low, high);
        if (!number || numbers.size() == most)
            return std::nullopt;
        numbers.push_back(*number);
        i = end;
    }
    return numbers;
}

std::optional<std::string_view> quotedText(std::string_view text)
{
    text = Trimmed(text);
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::nullopt;
    return text.substr(1, text.size() - 2);
}

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

bool printableAscii(std::string_view text)
{
    for (const char c : text) {
        if (c < 32 || c > 126)
            return false;
    }
    return true;
}

// ---- page table fields

std::string otherValue(const Setting &setting, const Configuration &config)
{
    std::string codes;
    for (const TouchedBits &bits : SettingTouches(setting)) {
        codes += codes.empty() ? "" : ", ";
        codes += HexByte(config.GetBits(bits.byte, bits.mask) >> MaskShift(bits.mask));
    }
    return std::string(OtherPrefix) + codes + ")";
}

std::optional<std::string> writeOther(const Setting &setting, Configuration &config, std::string_view text,
                                      ValueSource source)
{
    const auto touches = SettingTouches(setting);
    const auto codes = parseNumbers(text, touches.size(), 0, 0xFF);
    if (!codes || codes->size() != touches.size())
        return AllowedValues(setting, source);
    for (std::size_t i = 0; i < touches.size(); ++i) {
        const int shift = MaskShift(touches[i].mask);
        if (((*codes)[i] << shift & ~touches[i].mask) != 0)
            return AllowedValues(setting, source);
    }
    for (std::size_t i = 0; i < touches.size(); ++i)
        config.SetBits(touches[i].byte, touches[i].mask, (*codes)[i] << MaskShift(touches[i].mask));
    return std::nullopt;
}

const Choice *choiceNamed(const FieldSpec &field, std::string_view text, bool abbreviations)
{
    for (const Choice &choice : field.choices) {
        if (SameWords(PlainCaption(choice.caption), text))
            return &choice;
    }
    if (!abbreviations || text.empty())
        return nullptr;
    const Choice *found = nullptr;
    for (const Choice &choice : field.choices) {
        if (!StartsWithWords(PlainCaption(choice.caption), text))
            continue;
        if (found && PlainCaption(found->caption) != PlainCaption(choice.caption))
            return nullptr; // ambiguous
        if (!found)
            found = &choice;
    }
    return found;
}

std::optional<std::string> writeField(const Setting &setting, Configuration &config, std::string_view text,
                                      ValueSource source)
{
    if (StartsWithWords(text, OtherPrefix) && text.back() == ')')
        return writeOther(setting, config, text.substr(OtherPrefix.size(), text.size() - OtherPrefix.size() - 1),
                          source);
    const Choice *choice = choiceNamed(setting.field, text, source == ValueSource::User);
    if (!choice)
        return AllowedValues(setting, source);
    WriteField(setting.field, config, choice->value);
    return std::nullopt;
}

bool sameBits(const Setting &setting, const Configuration &a, const Configuration &b)
{
    for (const TouchedBits &bits : SettingTouches(setting)) {
        if (a.GetBits(bits.byte, bits.mask) != b.GetBits(bits.byte, bits.mask))
            return false;
    }
    return true;
}

std::string fieldValue(const Setting &setting, const Configuration &config, ValueForm form)
{
    const auto value = ReadField(setting.field, config);
    const Choice *choice = value ? FindChoice(setting.field, *value) : nullptr;
    if (!choice)
        return otherValue(setting, config);
    const std::string caption = PlainCaption(choice->caption);
    if (form == ValueForm::Exact) {
        // The caption must write back these very bits whatever the field
        // held before (some choices leave bits as they were), or it is no
        // name for them.
        for (const int fill : {0x00, 0xFF}) {
            Configuration copy = config;
            for (const TouchedBits &bits : SettingTouches(setting))
                copy.SetBits(bits.byte, bits.mask, fill & bits.mask);
            if (writeField(setting, copy, caption, ValueSource::Text) || !sameBits(setting, copy, config))
                return otherValue(setting, config);
        }
    }
    return caption;
}

// ---- code IDs

std::string codeIdValue(int code)
{
    if (code == 0)
        return std::string(NoCodeIdWord);
    if (code < FirstCodeIdCharacter)
        return std::string("{") + ControlCodeNames()[std::size_t(code)] + "}";
    if (code < 127)
        return std::string("'") + char(code) + "'";
    return HexByte(code);
}

std::optional<int> codeIdFromText(std::string_view text, ValueSource source)
{
    // The page stores a code below a blank as no code ID.
    if (source == ValueSource::User) {
        const auto code = codeIdFromText(text, ValueSource::Text);
        if (code && *code > 0 && *code < FirstCodeIdCharacter)
            return std::nullopt;
        return code;
    }
    if (SameWords(text, NoCodeIdWord))
        return 0;
    if (text.size() == 3 && text.front() == '\'' && text.back() == '\'' && printableAscii(text.substr(1, 1)))
        return static_cast<unsigned char>(text[1]);
    if (text.size() > 2 && text.front() == '{' && text.back() == '}') {
        const auto &names = ControlCodeNames();
        for (std::size_t code = 1; code < names.size(); ++code) {
            if (SameWords(text.substr(1, text.size() - 2), names[code]))
                return int(code);
        }
        return std::nullopt;
    }
    return parseNumber(text, 0, 0xFF);
}

// ---- insertion text

InsertionCodes storedCodes(const Setting &setting, const Configuration &config)
{
    InsertionCodes codes{};
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = config.block[std::size_t(setting.byte) + i];
    return codes;
}

std::string insertionValue(const Setting &setting, const Configuration &config, ValueForm form)
{
    const InsertionCodes codes = storedCodes(setting, config);
    const std::string text = DecodeInsertionText(codes);
    if (printableAscii(text) && (form == ValueForm::Shown || EncodeInsertionText(text) == codes))
        return quoted(text);
    std::string hex;
    for (const std::uint8_t code : codes)
        hex += (hex.empty() ? "" : " ") + HexByte(code);
    return hex;
}

std::optional<InsertionCodes> insertionFromText(std::string_view text)
{
    if (const auto inner = quotedText(text)) {
        // More than eight codes would be cut short without a word.
        std::size_t consumed = 0;
        const InsertionCodes codes = EncodeInsertionText(*inner, &consumed);
        if (!printableAscii(*inner) || consumed < inner->size())
            return std::nullopt;
        return codes;
    }
    const auto numbers = parseNumbers(text, InsertionCodeCount, 0, 0xFF);
    if (!numbers || numbers->empty())
        return std::nullopt;
    InsertionCodes codes{};
    for (std::size_t i = 0; i < numbers->size(); ++i)
        codes[i] = std::uint8_t((*numbers)[i]);
    return codes;
}

// ---- fixed lengths

std::string fixedLengthsValue(const Setting &setting, const Configuration &config)
{
    const int first = config.block[std::size_t(setting.byte)];
    const int second = config.block[std::size_t(setting.byte) + 1];
    if (first == VariableLength && second == VariableLength)
        return std::string(VariableWord);
    return std::to_string(first) + ", " + std::to_string(second);
}

std::optional<std::string> writeFixedLengths(const Setting &setting, Configuration &config, std::string_view text,
                                             ValueSource source)
{
    if (SameWords(text, VariableWord) || (source == ValueSource::User && !text.empty() && StartsWithWords(VariableWord, text))) {
        config.block[std::size_t(setting.byte)] = VariableLength;
        config.block[std::size_t(setting.byte) + 1] = VariableLength;
        return std::nullopt;
    }
    const auto lengths = parseNumbers(text, 2, 0, 0xFF);
    if (!lengths || lengths->size() != 2)
        return AllowedValues(setting, source);
    config.block[std::size_t(setting.byte)] = std::uint8_t((*lengths)[0]);
    config.block[std::size_t(setting.byte) + 1] = std::uint8_t((*lengths)[1]);
    return std::nullopt;
}

} // namespace

std::string SettingValue(const Setting &setting, const Configuration &config, ValueForm form)
{
    const int byte = config.block[std::size_t(setting.byte)];
    switch (setting.kind) {
    case SettingKind::Field:
        return fieldValue(setting, config, form);
    case SettingKind::Number:
        return std::to_string(byte);
    case SettingKind::FixedLengths:
        return fixedLengthsValue(setting, config);
    case SettingKind::CodeId:
        return codeIdValue(byte);
    case SettingKind::InsertionCodes:
        return insertionValue(setting, config, form);
    case SettingKind::ReservedBits:
        return HexByte(byte & setting.mask);
    case SettingKind::HeaderText:
        return quoted(config.*setting.text);
    case SettingKind::HeaderNumber:
        return std::to_string(config.*setting.number);
    }
    return {};
}

std::optional<std::string> WriteSettingValue(const Setting &setting, Configuration &config, std::string_view text,
                                             ValueSource source)
{
    text = Trimmed(text);
    const auto byteAt = [&](int value) {
        config.block[std::size_t(setting.byte)] = std::uint8_t(value);
        return std::nullopt;
    };
    switch (setting.kind) {
    case SettingKind::Field:
        return writeField(setting, config, text, source);
    case SettingKind::Number:
        if (const auto number = parseNumber(text, 0, source == ValueSource::User ? setting.pageMaximum : 0xFF))
            return byteAt(*number);
        break;
    case SettingKind::FixedLengths:
        return writeFixedLengths(setting, config, text, source);
    case SettingKind::CodeId:
        if (const auto code = codeIdFromText(text, source))
            return byteAt(*code);
        break;
    case SettingKind::InsertionCodes:
        if (const auto codes = insertionFromText(text)) {
            for (std::size_t i = 0; i < codes->size(); ++i)
                config.block[std::size_t(setting.byte) + i] = (*codes)[i];
            return std::nullopt;
        }
        break;
    case SettingKind::ReservedBits:
        if (const auto value = parseNumber(text, 0, 0xFF); value && (*value & ~setting.mask) == 0) {
            config.SetBits(setting.byte, setting.mask, *value);
            return std::nullopt;
        }
        break;
    case SettingKind::HeaderText:
        if (const auto inner = quotedText(text)) {
            config.*setting.text = std::string(*inner);
            return std::nullopt;
        }
        break;
    case SettingKind::HeaderNumber:
        if (const auto number = parseNumber(text, -32768, 32767)) {
            config.*setting.number = std::int16_t(*number);
            return std::nullopt;
        }
        break;
    }
    return AllowedValues(setting, source);
}

std::string AllowedValues(const Setting &setting, ValueSource source)
{
    const bool user = source == ValueSource::User;
    switch (setting.kind) {
    case SettingKind::Field: {
        std::string list;
        for (const Choice &choice : setting.field.choices) {
            const std::string caption = PlainCaption(choice.caption);
            if (list.find("\"" + caption + "\"") == std::string::npos)
                list += (list.empty() ? "" : ", ") + quoted(caption);
        }
        std::string other;
        for (const TouchedBits &bits : SettingTouches(setting))
            other += (other.empty() ? "" : ", ") + HexByte(0) + " to " + HexByte(bits.mask >> MaskShift(bits.mask));
        return list + " or " + std::string(OtherPrefix) + other + ")";
    }
    case SettingKind::Number:
        return "a number from 0 to " + std::to_string(user ? setting.pageMaximum : 0xFF);
    case SettingKind::FixedLengths:
        return "\"Variable\" or two lengths from 0 to 255, such as \"10, 20\"";
    case SettingKind::CodeId:
        return user ? "none, one character in single quotes ('B') or a code 0x20 to 0xFF"
                    : "none, one character in single quotes ('B'), a control name ({CR}) or a code 0x00 to 0xFF";
    case SettingKind::InsertionCodes:
        return "text of up to 8 characters in double quotes, keys as {F10} or {CR}, or up to 8 codes such as "
               "\"0xC9 0x78\"";
    case SettingKind::ReservedBits:
        return "a byte using only bits " + HexByte(setting.mask);
    case SettingKind::HeaderText:
        return "text in double quotes";
    case SettingKind::HeaderNumber:
        return "a number from -32768 to 32767";
    }
    return {};
}

void ApplyPageRules(const Setting &setting, Configuration &config)
{
    if (setting.kind == SettingKind::Field && IsSymbologyListControl(setting.field.control))
        UpdateUpcEanSummary(config);
}

bool SettingDiffers(const Setting &setting, const Configuration &a, const Configuration &b)
{
    switch (setting.kind) {
    case SettingKind::HeaderText:
        return a.*setting.text != b.*setting.text;
    case SettingKind::HeaderNumber:
        return a.*setting.number != b.*setting.number;
    default:
        return !sameBits(setting, a, b);
    }
}

} // namespace q51
