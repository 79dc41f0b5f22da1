#include "schema/field_access.h"

namespace q51 {

const Choice *FindChoice(const FieldSpec &field, int value)
{
    for (const auto &choice : field.choices) {
        if (choice.value == value)
            return &choice;
    }
    return nullptr;
}

std::optional<int> ReadField(const FieldSpec &field, const Configuration &config)
{
    if (field.codec && field.codec->read) {
        const auto value = field.codec->read(config);
        if (value && !FindChoice(field, *value))
            return std::nullopt; // e.g. a check-digit code the group has no button for
        return value;
    }
    int stored = config.GetBits(field.byte, field.mask);
    for (const auto &[from, to] : field.aliases) {
        if (stored == from) {
            stored = to;
            break;
        }
    }
    if (!FindChoice(field, stored))
        return std::nullopt;
    return stored;
}

int StoredCode(const FieldSpec &field, const Configuration &config)
{
    return config.GetBits(field.byte, field.mask) >> MaskShift(field.mask);
}

void WriteField(const FieldSpec &field, Configuration &config, int value)
{
    if (field.codec && field.codec->write) {
        field.codec->write(config, value);
        return;
    }
    config.SetBits(field.byte, field.mask, value);
}

std::vector<TouchedBits> FieldTouches(const FieldSpec &field)
{
    if (field.codec)
        return field.codec->touches;
    return {{field.byte, field.mask}};
}

} // namespace q51
