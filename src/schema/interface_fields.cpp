#include "schema/interface_fields.h"

namespace q51 {

namespace {

// The interface is spread over byte 26 bits 7..5 and byte 23 bit 7. Bits
// 6..5 of byte 26 are looked at first, then bit 7, then byte 23, so a
// byte 26 with bits 7 and 5 set reads as wand emulation and RS232 wins over
// a set USB bit.
std::optional<int> readInterface(const Configuration &c)
{
    const int b26 = c.GetBits(26, 0xE0);
    if ((b26 & 0x60) == 0x20)
        return InterfaceChoice::Wand;
    if ((b26 & 0x60) == 0x40)
        return InterfaceChoice::Ocia;
    if (b26 & 0x80)
        return InterfaceChoice::Rs232;
    if (c.GetBits(23, 0x80))
        return InterfaceChoice::Usb;
    return InterfaceChoice::Keyboard;
}

void writeInterface(Configuration &c, int choice)
{
    switch (choice) {
    case InterfaceChoice::Wand: c.SetBits(26, 0x60, 0x20); break;
    case InterfaceChoice::Ocia: c.SetBits(26, 0x60, 0x40); break;
    case InterfaceChoice::Rs232: c.SetBits(26, 0xE0, 0x80); break;
    case InterfaceChoice::Usb:
        c.SetBits(23, 0x80, 0x80);
        c.SetBits(26, 0xE0, 0x00);
        break;
    default:
        c.SetBits(26, 0xE0, 0x00);
        c.SetBits(23, 0x80, 0x00);
        break;
    }
}

const FieldCodec InterfaceCodec{readInterface, writeInterface, {{26, 0xE0}, {23, 0x80}}};

// Modes 0 to 7 live in byte 28 bits 2..0 (byte 35 cleared); modes 8 to 15
// in byte 35 bits 3..0, byte 28 left as it was.
std::optional<int> readReadingMode(const Configuration &c)
{
    const int high = c.GetBits(35, 0x0F);
    return high >= 8 ? high : c.GetBits(28, 0x07);
}

void writeReadingMode(Configuration &c, int mode)
{
    if (mode < 8) {
        c.SetBits(28, 0x07, mode);
        c.SetBits(35, 0x0F, 0);
    } else {
        c.SetBits(35, 0x0F, mode);
    }
}

const FieldCodec ReadingModeCodec{readReadingMode, writeReadingMode, {{28, 0x07}, {35, 0x0F}}};

FieldSpec interfaceField()
{
    FieldSpec f = Options("optCFG3_1", "Interface", 26, 0xE0,
                          {{"Keyboard Mode", InterfaceChoice::Keyboard},
                           {"RS232 Mode", InterfaceChoice::Rs232},
                           {"Wand Emulation", InterfaceChoice::Wand},
                           {"OCIA Mode", InterfaceChoice::Ocia},
                           {"USB Mode", InterfaceChoice::Usb}},
                          InterfaceChoice::Keyboard);
    f.codec = &InterfaceCodec;
    return f;
}

FieldSpec secondPortField()
{
    FieldSpec f = IndexedOptions("OptCfg3_2", "2nd Port Input Device Selection", 26, 0x08,
                                 {"MSR", "Bar Code Scanner"}, 0);
    f.visible = false;
    f.enabled = false;
    for (Choice &c : f.choices)
        c.enabled = false;
    return f;
}

FieldSpec memoryField()
{
    FieldSpec f = Check("ChkMemory", "Enable Memory", 23, 0x20, false);
    f.visible = false;
    return f;
}

FieldSpec readingModeField()
{
    std::vector<Choice> modes{{"Trigger On/Off", 0},          {"Good Read Off", 1},
                              {"Continuous/Trigger Off", 2},  {"Continuous/Auto Power On", 3},
                              {"Flash", 4},                   {"Testing", 5},
                              {"Flash/Auto Power On", 6},     {"Reserved 1", 7}};
    for (int k = 8; k <= 15; ++k)
        modes.push_back({"Reserved " + std::to_string(k - 6), k, k <= 11});
    FieldSpec f = Options("OptCfg3_3", "CCD and  Laser Scanner Reading Mode", 28, 0x07, std::move(modes), 1);
    f.codec = &ReadingModeCodec;
    f.columns = 2;
    return f;
}

} // namespace

const std::vector<PanelSpec> &InterfacePagePanels()
{
    static const std::vector<PanelSpec> panels{
        {"&Interface", "Interface Selection and 2nd Port Input Device Selection", "fraCfg3_1", "",
         {interfaceField(), secondPortField(), memoryField()}, "cmdDefault31_2", "Set Default", 1},
        {"&Reading Mode", "1st Input Port for CCD & Laser Scanner Reading Mode", "fraCfg3_2", "",
         {readingModeField()}, "cmdDefault33", "Set Default", 1},
    };
    return panels;
}

} // namespace q51
