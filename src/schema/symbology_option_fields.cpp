#include "schema/symbology_option_fields.h"

#include "schema/check_digit_field.h"

namespace q51 {

namespace {

FieldSpec disableEnable(const char *control, const char *caption, int byte, int mask)
{
    return Options(control, caption, byte, mask, {{"Disable", 0}, {"Enable", mask}}, 0);
}

// Codabar start (high nibble) and stop (low nibble) letters of byte 30, one
// bit per letter. A nibble naming no single letter shows as "A/B/C/D".
FieldSpec codabarLetters(const char *control, const char *caption, int mask)
{
    const int shift = mask == 0xF0 ? 4 : 0;
    std::vector<Choice> letters{{"A/B/C/D", 0xF << shift}};
    for (int bit = 0; bit < 4; ++bit)
        letters.push_back({std::string(1, static_cast<char>('A' + bit)), (1 << bit) << shift});
    FieldSpec f = Options(control, caption, 30, mask, std::move(letters), 0xF << shift);
    for (int nibble = 0; nibble < 0xF; ++nibble) {
        if ((nibble & (nibble - 1)) != 0 || nibble == 0)
            f.aliases.emplace_back(nibble << shift, 0xF << shift);
    }
    return f;
}

PanelSpec panel(const char *tab, const char *toolTip, int index, const char *title, std::vector<FieldSpec> fields,
                const char *defaultButton)
{
    return {tab, toolTip, "fraCfg5_" + std::to_string(index), title, std::move(fields), defaultButton,
            "Set All Defaults", 2};
}

FieldSpec greyed(FieldSpec f)
{
    f.enabled = false; // shown, not changeable; the panel's defaults still write it
    return f;
}

} // namespace

std::string LengthFrameName(int slot)
{
    return "fraCodeLength_" + std::to_string(slot);
}

const std::vector<SymbologyOptionPanel> &SymbologyOptionPanels()
{
    static const std::vector<SymbologyOptionPanel> panels{
        {panel("Code &39", "Code 39 Parameters", 2, "Code 39 Parameters",
               {InFrame(Options("Opt53A1", "Output as", 4, 0x10, {{"Full ASCII", 0x00}, {"Standard", 0x10}}, 0x10),
                        "Type of Code"),
                InFrame(Check("chk53A2", "Italian Pharmacy/Code 32", 4, 0x08, false), "Type of Code"),
                ThreeWayCheckDigit<4>("opt53B"),
                InFrame(Check("chk53C", "Output Start/Stop Character", 4, 0x04, false), "Start/Stop Character"),
                disableEnable("OptAsterisk", "Decode Asterisk", 4, 0x02)},
               "cmdDefault53"),
         2, "Code Length"},
        {panel("Code 12&8", "Code 128 Parameters", 3, "Code 128 Parameters",
               {ThreeWayCheckDigit<5>("opt54A"), InFrame(Check("chk54B", "Append FNC2", 5, 0x08, false), "Append FNC2")},
               "cmdDefault54"),
         3, "Set Up Code Lehgth"},
        {panel("&Interleave 25", "Interleave 25 Parameters", 4, "Interleave 25 Parameters",
               {ThreeWayCheckDigit<6>("opt55A"),
                Options("Opt55B", "Setup Number of Character", 6, 0x08, {{"Odd", 0x00}, {"Even", 0x08}}, 0x08),
                disableEnable("Option1", "Brazil 25", 6, 0x04)},
               "cmdDefault55"),
         4, "Code Lehgth"},
        {panel("In&dustrial 25", "Industrial 25 Parameters", 5, "Industrial 25 Parameters",
               {ThreeWayCheckDigit<7>("opt56A")}, "cmdDefault56"),
         5, "Code Lehgth"},
        {panel("&Matrix 25", "Matrix 25 Parameters", 6, "Matrix 25 Parameters", {ThreeWayCheckDigit<8>("opt57A")},
               "cmdDefault57"),
         6, "Code Lehgth"},
        {panel("Coda&Bar", "CodaBar Parameters", 7, "Codabar Parameters",
               {codabarLetters("opt58B1", "Transmission Type of Start", 0xF0),
                codabarLetters("opt58B2", "Transmission Type of Stop", 0x0F),
                Check("chk58A", "Setup Start/Stop Characters Upon Transmission", 9, 0x10, false)},
               "cmdDefault58"),
         7, "Code Length"},
        {panel("Code &93", "Code 93 Parameters", 8, "Code 93 Parameters",
               {FiveWayCheckDigit<10>("opt59A", {0, 4}, 4, "Check Digit(s)")}, "cmdDefault59"),
         8, "Code Length"},
        {panel("Code &11", "Code 11 Parameters", 9, "Code 11 Parameters",
               {FiveWayCheckDigit<11>("opt510A", {0, 1, 2, 3, 4}, 0, "Check Digit(s)")}, "cmdDefault510"),
         9, "Code Length"},
        {panel("MSI/&PLESSEY", "MSI/PLESSEY Code Parameters", 10, "MSI/PLESSEY Code Parameters",
               {ThreeWayCheckDigit<13>("opt511A")}, "cmdDefault511"),
         11, "Code Length"},
        {panel("BC &412", "BC 412 Code Parameters", 11, "BC412 Code Parameters", {ThreeWayCheckDigit<14>("opt512A")},
               "cmdDefault512"),
         12, "Code Length"},
        {panel("China P&ostage", "China Postage Code Parameters", 12, "China Postage Parameters",
               {greyed(ThreeWayCheckDigit<12>("opt513A"))}, "cmdDefault513"),
         10, "Code Length"},
        {panel("Code 2&6", "Code 26", 13, "Code 26 Parameters", {ThreeWayCheckDigit<15>("optRSVA")}, "CmdDFTRSV1"),
         13, "Code Length"},
        {panel("Lcd 25", "Lcd 25", 14, "Lcd 25 Parameters", {ThreeWayCheckDigit<16>("optRSVA2")}, "cmdDFTRSV2"), 14,
         "Code Length"},
        {panel("&Telepen", "Telepen Code", 15, "Telepen Parameters",
               {Options("OptMode", "Mode", 19, 0x08, {{"ASCII Mode", 0x00}, {"Numeric Mode", 0x08}}, 0x00),
                ThreeWayCheckDigit<19>("optRSVA3")},
               "cmdDFTRSV3"),
         17, "Code Length"},
    };
    return panels;
}

const std::vector<EnableRule> &SymbologyEnableRules()
{
    static const std::vector<EnableRule> rules{
        {"chk53A2", 0x08, {"Opt53A1"}},                         // Italian Pharmacy: no "Output as"
        {"Option1", 0x04, {"opt55A", "Opt55B", LengthFrameName(4)}}, // Brazil 25
    };
    return rules;
}

} // namespace q51
