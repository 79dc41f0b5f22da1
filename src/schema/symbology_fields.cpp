#include "schema/symbology_fields.h"

namespace q51 {

namespace {

constexpr int UpcEanByte = 0;
constexpr int UpcEanSummaryBit = 0x80;
constexpr int UpcEanEnableBits = 0x07; // UPC-A, EAN-13, EAN-8

} // namespace

const std::vector<Symbology> &Symbologies()
{
    using enum ListEntry;
    static const std::vector<Symbology> list{
        {0, "UPC-A", 0, 0x04, Shown, true},          {1, "UPC-E", 1, 0x80, Shown, true},
        {2, "Reserved 1", 2, 0x80, Hidden, false},   {3, "Reserved 2", 3, 0x80, Hidden, false},
        {4, "Code 39", 4, 0x80, Shown, true},        {5, "Code 128", 5, 0x80, Shown, true},
        {6, "Interleave 25", 6, 0x80, Shown, true},  {7, "Industrial 25", 7, 0x80, Shown, false},
        {8, "Matrix 25", 8, 0x80, Shown, false},     {9, "CodaBar/NW7", 9, 0x80, Shown, true},
        {10, "Code 93", 10, 0x80, Shown, false},     {11, "Code 11", 11, 0x80, Shown, false},
        {12, "China Postage", 12, 0x80, Shown, false}, {13, "MSI/PLESSEY", 13, 0x80, Shown, false},
        {14, "BC412", 14, 0x80, Greyed, false},      {15, "Code 26", 15, 0x80, Shown, false},
        {16, "Lcd 25", 16, 0x80, Shown, false},      {17, "Reserved 5", 17, 0x80, Hidden, false},
        {18, "Reserved 6", 18, 0x80, Hidden, false}, {19, "Telepen", 19, 0x80, Shown, false},
        {20, "Reserved 8", 20, 0x80, Hidden, false}, {21, "Reserved 9", 21, 0x80, Hidden, false},
        {22, "EAN-13/JAN-13", 0, 0x02, Shown, true}, {23, "EAN-8/JAN-8", 0, 0x01, Shown, true},
    };
    return list;
}

constexpr std::string_view ListControlPrefix = "chk51_";

std::string SymbologyListControl(int number)
{
    return std::string(ListControlPrefix) + std::to_string(number);
}

bool IsSymbologyListControl(std::string_view control)
{
    return control.starts_with(ListControlPrefix);
}

FieldSpec UpcEanSummaryField()
{
    FieldSpec f = Check("", "Any of UPC-A, EAN-13, EAN-8 Enabled", UpcEanByte, UpcEanSummaryBit, true);
    f.visible = false;
    return f;
}

PanelSpec SymbologyListPanel()
{
    std::vector<FieldSpec> entries;
    for (const Symbology &s : Symbologies()) {
        FieldSpec f = Check(SymbologyListControl(s.number), s.caption, s.byte, s.mask, s.defaultOn);
        f.visible = s.entry != ListEntry::Hidden; // the list buttons still set and clear it
        f.enabled = s.entry == ListEntry::Shown;
        entries.push_back(std::move(f));
    }
    return {"&Symboligies", "Symboligies Selection", "fraCfg5_0", "Symboligies Selection",
            std::move(entries), "cmDefault51", "Set All Defaults", 3};
}

PanelSpec UpcEanPanel()
{
    const char *reading = "Reading Type";
    const char *checkDigit = "Check Digit";
    return {"&UPC/EAN/JAN",
            "UPC/EAN/JAN Parameters",
            "fraCfg5_1",
            "UPC/EAN/JAN Parameters",
            {
                InFrame(Check("chkUpcAEan13", "UPC-A=EAN-13", 0, 0x40, false), reading),
                InFrame(Check("chkIsbn", "Enable ISBN", 1, 0x08, false), reading),
                InFrame(Check("chkIssn", "Enable ISSN", 1, 0x04, false), reading),
                InFrame(Check("ChkSupplement", "Auto Discriminate Supplementals", 27, 0x80, true), reading),
                IndexedOptions("optCfg52B", "Supplemental Code Setup", 1, 0x03,
                               {"Transmit 2 and 5 Code", "Transmit 2 Code", "Transmit 5 Code", "Not Transmit"}, 3),
                InFrame(Check("chk52C1", "UPC-A Transmission", 0, 0x20, true), checkDigit),
                InFrame(Check("chk52C2", "UPC-E Transmission", 1, 0x20, true), checkDigit),
                InFrame(Check("chk52C3", "EAN-8/JAN-8 Transmission", 0, 0x08, true), checkDigit),
                InFrame(Check("chk52C4", "EAN-13/JAN-13 Transmission", 0, 0x10, true), checkDigit),
            },
            "cmdDefault52C",
            "Set All Defaults",
            3};
}

void UpdateUpcEanSummary(Configuration &config)
{
    const bool any = config.GetBits(UpcEanByte, UpcEanEnableBits) != 0;
    config.SetBits(UpcEanByte, UpcEanSummaryBit, any ? UpcEanSummaryBit : 0);
}

} // namespace q51
