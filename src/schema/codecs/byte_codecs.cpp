// The block kinds made of whole bytes: numbers, fixed lengths, code IDs,
// insertion text, and the reserved bits no page describes.

#include "schema/caption_text.h"
#include "schema/code_lengths.h"
#include "schema/codecs/codecs.h"
#include "schema/insertion_text.h"
#include "schema/misc_fields.h"
#include "schema/value_notation.h"

namespace q51::codecs {

namespace {

constexpr std::string_view VariableWord = "Variable";
constexpr std::string_view NoCodeIdWord = "none";

class NumberCodec final : public ByteRunCodec {
public:
    NumberCodec() : ByteRunCodec(1) {}
    [[nodiscard]] std::string read(const Setting &setting, const Configuration &config, ValueForm) const override
    {
        return std::to_string(byteAt(setting, config));
    }
    bool write(const Setting &setting, Configuration &config, std::string_view text, ValueSource source) const override
    {
        const auto number = ParseSettingNumber(text, 0, largest(setting, source));
        if (number)
            setByte(setting, config, 0, *number);
        return bool(number);
    }
    [[nodiscard]] std::string allowed(const Setting &setting, ValueSource source) const override
    {
        return "a number from 0 to " + std::to_string(largest(setting, source));
    }

private:
    // A user gets what the page's box takes; a text restores any byte.
    static int largest(const Setting &setting, ValueSource source)
    {
        return source == ValueSource::User ? setting.pageMaximum : 0xFF;
    }
};

// Both bytes 255 mean no fixed length: the one place that rule lives.
class FixedLengthsCodec final : public ByteRunCodec {
public:
    FixedLengthsCodec() : ByteRunCodec(2) {}
    [[nodiscard]] std::string read(const Setting &setting, const Configuration &config, ValueForm) const override
    {
        const int first = byteAt(setting, config, 0);
        const int second = byteAt(setting, config, 1);
        if (IsVariableLength(first, second))
            return std::string(VariableWord);
        return std::to_string(first) + ", " + std::to_string(second);
    }
    bool write(const Setting &setting, Configuration &config, std::string_view text, ValueSource source) const override
    {
        text = Trimmed(text);
        if (SameWords(text, VariableWord)
            || (source == ValueSource::User && !text.empty() && StartsWithWords(VariableWord, text))) {
            setByte(setting, config, 0, VariableLength);
            setByte(setting, config, 1, VariableLength);
            return true;
        }
        const auto lengths = ParseSettingNumbers(text, 2, 0, 0xFF);
        if (!lengths || lengths->size() != 2)
            return false;
        setByte(setting, config, 0, (*lengths)[0]);
        setByte(setting, config, 1, (*lengths)[1]);
        return true;
    }
    [[nodiscard]] std::string allowed(const Setting &, ValueSource) const override
    {
        return "\"Variable\" or two lengths from 0 to 255, such as \"10, 20\"";
    }
};

class CodeIdCodec final : public ByteRunCodec {
public:
    CodeIdCodec() : ByteRunCodec(1) {}
    [[nodiscard]] std::string read(const Setting &setting, const Configuration &config, ValueForm) const override
    {
        const int code = byteAt(setting, config);
        if (code == 0)
            return std::string(NoCodeIdWord);
        if (code < FirstCodeIdCharacter)
            return std::string("{") + ControlCodeNames()[std::size_t(code)] + "}";
        if (code < 127)
            return std::string("'") + char(code) + "'";
        return HexByte(code);
    }
    bool write(const Setting &setting, Configuration &config, std::string_view text, ValueSource source) const override
    {
        const auto code = fromText(Trimmed(text), source);
        if (code)
            setByte(setting, config, 0, *code);
        return bool(code);
    }
    [[nodiscard]] std::string allowed(const Setting &, ValueSource source) const override
    {
        return source == ValueSource::User
            ? "none, one character in single quotes ('B') or a code 0x20 to 0xFF"
            : "none, one character in single quotes ('B'), a control name ({CR}) or a code 0x00 to 0xFF";
    }

private:
    static std::optional<int> fromText(std::string_view text, ValueSource source)
    {
        // The page stores a code below a blank as no code ID.
        if (source == ValueSource::User) {
            const auto code = fromText(text, ValueSource::Text);
            if (code && *code > 0 && *code < FirstCodeIdCharacter)
                return std::nullopt;
            return code;
        }
        if (SameWords(text, NoCodeIdWord))
            return 0;
        if (text.size() == 3 && text.front() == '\'' && text.back() == '\'' && PrintableAscii(text.substr(1, 1)))
            return static_cast<unsigned char>(text[1]);
        if (text.size() > 2 && text.front() == '{' && text.back() == '}') {
            const auto &names = ControlCodeNames();
            for (std::size_t code = 1; code < names.size(); ++code) {
                if (SameWords(text.substr(1, text.size() - 2), names[code]))
                    return int(code);
            }
            return std::nullopt;
        }
        return ParseSettingNumber(text, 0, 0xFF);
    }
};

class InsertionCodesCodec final : public ByteRunCodec {
public:
    InsertionCodesCodec() : ByteRunCodec(int(InsertionCodeCount)) {}
    [[nodiscard]] std::string read(const Setting &setting, const Configuration &config, ValueForm form) const override
    {
        InsertionCodes codes{};
        for (std::size_t i = 0; i < codes.size(); ++i)
            codes[i] = byteAt(setting, config, int(i));
        const std::string text = DecodeInsertionText(codes);
        if (PrintableAscii(text) && (form == ValueForm::Shown || EncodeInsertionText(text) == codes))
            return Quoted(text);
        std::string hex;
        for (const std::uint8_t code : codes)
            hex += (hex.empty() ? "" : " ") + HexByte(code);
        return hex;
    }
    bool write(const Setting &setting, Configuration &config, std::string_view text, ValueSource) const override
    {
        const auto codes = fromText(text);
        if (!codes)
            return false;
        for (std::size_t i = 0; i < codes->size(); ++i)
            setByte(setting, config, int(i), (*codes)[i]);
        return true;
    }
    [[nodiscard]] std::string allowed(const Setting &, ValueSource) const override
    {
        return "text of up to 8 characters in double quotes, keys as {F10} or {CR}, or up to 8 codes such as "
               "\"0xC9 0x78\"";
    }

private:
    static std::optional<InsertionCodes> fromText(std::string_view text)
    {
        if (const auto inner = QuotedText(text)) {
            // More than eight codes would be cut short without a word.
            std::size_t consumed = 0;
            const InsertionCodes codes = EncodeInsertionText(*inner, &consumed);
            if (!PrintableAscii(*inner) || consumed < inner->size())
                return std::nullopt;
            return codes;
        }
        const auto numbers = ParseSettingNumbers(text, InsertionCodeCount, 0, 0xFF);
        if (!numbers || numbers->empty())
            return std::nullopt;
        InsertionCodes codes{};
        for (std::size_t i = 0; i < numbers->size(); ++i)
            codes[i] = std::uint8_t((*numbers)[i]);
        return codes;
    }
};

class ReservedBitsCodec final : public SettingCodec {
public:
    [[nodiscard]] std::vector<TouchedBits> touches(const Setting &setting) const override
    {
        return {{setting.byte, setting.mask}};
    }
    [[nodiscard]] std::string read(const Setting &setting, const Configuration &config, ValueForm) const override
    {
        return HexByte(config.GetBits(setting.byte, setting.mask));
    }
    bool write(const Setting &setting, Configuration &config, std::string_view text, ValueSource) const override
    {
        const auto value = ParseSettingNumber(text, 0, 0xFF);
        if (!value || (*value & ~setting.mask) != 0)
            return false;
        config.SetBits(setting.byte, setting.mask, *value);
        return true;
    }
    [[nodiscard]] std::string allowed(const Setting &setting, ValueSource) const override
    {
        return "a byte using only bits " + HexByte(setting.mask);
    }
};

} // namespace

const SettingCodec &ForNumber() { return Single<NumberCodec>(); }
const SettingCodec &ForFixedLengths() { return Single<FixedLengthsCodec>(); }
const SettingCodec &ForCodeId() { return Single<CodeIdCodec>(); }
const SettingCodec &ForInsertionCodes() { return Single<InsertionCodesCodec>(); }
const SettingCodec &ForReservedBits() { return Single<ReservedBitsCodec>(); }

} // namespace q51::codecs
