#include "schema/field_types.h"

namespace q51 {

int MaskShift(int mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

FieldSpec Options(std::string control, std::string caption, int byte, int mask, std::vector<Choice> choices,
                  int defaultValue)
{
    FieldSpec f;
    f.kind = FieldKind::Options;
    f.control = std::move(control);
    f.caption = std::move(caption);
    f.byte = byte;
    f.mask = mask;
    f.choices = std::move(choices);
    f.defaultValue = defaultValue;
    return f;
}

FieldSpec Check(std::string control, std::string caption, int byte, int mask, bool defaultTicked)
{
    FieldSpec f;
    f.kind = FieldKind::Check;
    f.control = std::move(control);
    f.caption = std::move(caption);
    f.byte = byte;
    f.mask = mask;
    f.choices = {{"cleared", 0}, {"ticked", mask}};
    f.defaultValue = defaultTicked ? mask : 0;
    return f;
}

FieldSpec IndexedOptions(std::string control, std::string caption, int byte, int mask,
                         const std::vector<std::string> &captions, int defaultIndex)
{
    std::vector<Choice> choices;
    const int shift = MaskShift(mask);
    for (std::size_t i = 0; i < captions.size(); ++i)
        choices.push_back({captions[i], static_cast<int>(i) << shift});
    return Options(std::move(control), std::move(caption), byte, mask, std::move(choices), defaultIndex << shift);
}

FieldSpec InFrame(FieldSpec field, std::string frame)
{
    field.frame = std::move(frame);
    return field;
}

} // namespace q51
