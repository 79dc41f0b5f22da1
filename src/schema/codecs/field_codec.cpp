// A page table's field: its choice's caption, or "Other (0x05)" for stored
// bits no choice stands for, which the text form writes back as they were.

#include "schema/caption_text.h"
#include "schema/codecs/codecs.h"
#include "schema/field_access.h"
#include "schema/value_notation.h"

namespace q51::codecs {

namespace {

constexpr std::string_view OtherPrefix = "Other (";

class FieldCodec final : public SettingCodec {
public:
    [[nodiscard]] std::vector<TouchedBits> touches(const Setting &setting) const override
    {
        return FieldTouches(setting.field);
    }

    [[nodiscard]] std::string read(const Setting &setting, const Configuration &config, ValueForm form) const override
    {
        const auto value = ReadField(setting.field, config);
        const Choice *choice = value ? FindChoice(setting.field, *value) : nullptr;
        if (!choice)
            return other(setting, config);
        const std::string caption = PlainCaption(choice->caption);
        if (form == ValueForm::Exact) {
            // The caption must write back these very bits whatever the
            // field held before (some choices leave bits as they were), or
            // it is no name for them.
            for (const int fill : {0x00, 0xFF}) {
                Configuration copy = config;
                for (const TouchedBits &bits : touches(setting))
                    copy.SetBits(bits.byte, bits.mask, fill & bits.mask);
                if (!write(setting, copy, caption, ValueSource::Text) || differs(setting, copy, config))
                    return other(setting, config);
            }
        }
        return caption;
    }

    bool write(const Setting &setting, Configuration &config, std::string_view text, ValueSource source) const override
    {
        if (StartsWithWords(text, OtherPrefix) && text.back() == ')')
            return writeOther(setting, config, text.substr(OtherPrefix.size(), text.size() - OtherPrefix.size() - 1));
        const Choice *choice = choiceNamed(setting.field, text, source == ValueSource::User);
        if (!choice)
            return false;
        WriteField(setting.field, config, choice->value);
        return true;
    }

    [[nodiscard]] std::string allowed(const Setting &setting, ValueSource) const override
    {
        std::string list;
        for (const Choice &choice : setting.field.choices) {
            const std::string caption = PlainCaption(choice.caption);
            if (list.find("\"" + caption + "\"") == std::string::npos)
                list += (list.empty() ? "" : ", ") + Quoted(caption);
        }
        std::string codes;
        for (const TouchedBits &bits : touches(setting))
            codes += (codes.empty() ? "" : ", ") + HexByte(0) + " to " + HexByte(bits.mask >> MaskShift(bits.mask));
        return list + " or " + std::string(OtherPrefix) + codes + ")";
    }

private:
    std::string other(const Setting &setting, const Configuration &config) const
    {
        std::string codes;
        for (const TouchedBits &bits : touches(setting)) {
            codes += codes.empty() ? "" : ", ";
            codes += HexByte(config.GetBits(bits.byte, bits.mask) >> MaskShift(bits.mask));
        }
        return std::string(OtherPrefix) + codes + ")";
    }

    bool writeOther(const Setting &setting, Configuration &config, std::string_view text) const
    {
        const auto bits = touches(setting);
        const auto codes = ParseSettingNumbers(text, bits.size(), 0, 0xFF);
        if (!codes || codes->size() != bits.size())
            return false;
        for (std::size_t i = 0; i < bits.size(); ++i) {
            if (((*codes)[i] << MaskShift(bits[i].mask) & ~bits[i].mask) != 0)
                return false;
        }
        for (std::size_t i = 0; i < bits.size(); ++i)
            config.SetBits(bits[i].byte, bits[i].mask, (*codes)[i] << MaskShift(bits[i].mask));
        return true;
    }

    static const Choice *choiceNamed(const FieldSpec &field, std::string_view text, bool abbreviations)
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
};

} // namespace

const SettingCodec &ForField() { return Single<FieldCodec>(); }

} // namespace q51::codecs
