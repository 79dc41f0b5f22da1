#include "schema/check_digit_field.h"

namespace q51 {

const std::vector<std::string> &ThreeWayCheckDigitCaptions()
{
    static const std::vector<std::string> captions{"Do Not Calculate Check Digit",
                                                   "Calculate Check Digit and Not Transmit",
                                                   "Calculate Check Digit and Transmit"};
    return captions;
}

const std::vector<std::string> &FiveWayCheckDigitCaptions()
{
    static const std::vector<std::string> captions{
        "Do Not Calculate Check Digit",          "Calculate Check 1 Digit and Transmit",
        "Calculate Check 1 Digit and Not Transmit", "Calculate Check 2 Digits and Transmit",
        "Calculate Check 2 Digits and Not Transmit"};
    return captions;
}

namespace detail {

FieldSpec CheckDigitOptions(std::string control, std::string caption, int byte, bool fiveWay,
                            const FieldCodec &codec, const std::vector<int> &choices, int defaultChoice)
{
    const auto &captions = fiveWay ? FiveWayCheckDigitCaptions() : ThreeWayCheckDigitCaptions();
    std::vector<Choice> options;
    for (int choice : choices)
        options.push_back({captions.at(static_cast<std::size_t>(choice)), choice});
    FieldSpec f = Options(std::move(control), std::move(caption), byte,
                          fiveWay ? FiveWayCheckDigitMask : ThreeWayCheckDigitMask, std::move(options), defaultChoice);
    f.codec = &codec;
    // Choice 0 is "bit 6 clear": rewriting it on opening would set bit 5
    // (and bit 4) in a block that never asked for it.
    f.loadShowsOnly = true;
    return f;
}

} // namespace detail

} // namespace q51
