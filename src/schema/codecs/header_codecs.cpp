// The values a file keeps beside the block: the header strings, the port
// number and the transfer mode. They own no block bits.

#include "schema/codecs/codecs.h"
#include "schema/value_notation.h"

namespace q51::codecs {

namespace {

class HeaderCodec : public SettingCodec {
public:
    [[nodiscard]] std::vector<TouchedBits> touches(const Setting &) const override { return {}; }
};

class HeaderTextCodec final : public HeaderCodec {
public:
    [[nodiscard]] std::string read(const Setting &setting, const Configuration &config, ValueForm) const override
    {
        return Quoted(config.*setting.text);
    }
    bool write(const Setting &setting, Configuration &config, std::string_view text, ValueSource) const override
    {
        const auto inner = QuotedText(text);
        if (inner)
            config.*setting.text = std::string(*inner);
        return bool(inner);
    }
    [[nodiscard]] std::string allowed(const Setting &, ValueSource) const override { return "text in double quotes"; }
    [[nodiscard]] bool differs(const Setting &setting, const Configuration &a, const Configuration &b) const override
    {
        return a.*setting.text != b.*setting.text;
    }
};

class HeaderNumberCodec final : public HeaderCodec {
public:
    [[nodiscard]] std::string read(const Setting &setting, const Configuration &config, ValueForm) const override
    {
        return std::to_string(config.*setting.number);
    }
    bool write(const Setting &setting, Configuration &config, std::string_view text, ValueSource) const override
    {
        const auto number = ParseSettingNumber(text, -32768, 32767);
        if (number)
            config.*setting.number = std::int16_t(*number);
        return bool(number);
    }
    [[nodiscard]] std::string allowed(const Setting &, ValueSource) const override
    {
        return "a number from -32768 to 32767";
    }
    [[nodiscard]] bool differs(const Setting &setting, const Configuration &a, const Configuration &b) const override
    {
        return a.*setting.number != b.*setting.number;
    }
};

} // namespace

const SettingCodec &ForHeaderText() { return Single<HeaderTextCodec>(); }
const SettingCodec &ForHeaderNumber() { return Single<HeaderNumberCodec>(); }

} // namespace q51::codecs
