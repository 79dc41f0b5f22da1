#include "schema/misc_fields.h"

namespace q51 {

namespace {

FieldSpec languageField()
{
    FieldSpec f = IndexedOptions("opt61", "", 25, 0xF0,
                                 {"US English", "UK English", "Italian", "Spanish", "French", "German", "Swedish",
                                  "Switzerland", "Hungarian", "Japanese", "Belgium", "Portuguese", "Denmark",
                                  "Netherlands", "Turkey", "Reserved 2"},
                                 0);
    f.columns = 2;
    return f;
}

FieldSpec reverseOutputField()
{
    return IndexedOptions("OptReverse", "Reverse Output Characters", 29, 0x10, {"Disable", "Enable"}, 0);
}

} // namespace

const std::vector<PanelSpec> &MiscPagePanels()
{
    static const std::vector<PanelSpec> panels{
        {"&Language", "Language Selection", "fraCfg6_0", "Language Selection", {languageField()}, "cmdDefault61",
         "Set Default", 1},
        {"Code &ID", "Define Bar Code ID", "fraCfg6_1", "Code ID", {Check("chk62", "Enable Code ID", 26, 0x10, false)},
         "cmdDefault62", "Set All Defaults", 1},
        {"&Others", "Reading Level, Accuracy, Buzzer Beep Type, Command Communication", "fraCfg6_3", "Others",
         {IndexedOptions("opt63", "Reading Level", 29, 0x20, {"Bar Equlas Low", "Bar Equals High"}, 0),
          IndexedOptions("opt64", "Accuracy", 27, 0x03, {"1 Time", "2 Times", "3 Times", "4 Times"}, 0),
          IndexedOptions("opt65", "Buzzer Beep Tone", 27, 0x30, {"Off", "Low", "Medium", "High"}, 3),
          IndexedOptions("optCFG6_10", "Continuous Level", 29, 0x08, {"Slow", "Fast"}, 1),
          IndexedOptions("optCFG6_11", "NoteBook", 29, 0x04, {"Off", "On"}, 0), reverseOutputField()},
         "cmd63_66", "Set All Defaults", 3},
    };
    return panels;
}

FieldSpec ReverseOutputCheckField()
{
    return Check("chk67", "Reverse Output Characters", 29, 0x10, false);
}

std::optional<std::uint8_t> CodeIdFromText(std::string_view singleByteText)
{
    if (singleByteText.size() >= 2)
        return std::nullopt;
    return singleByteText.empty() ? 0 : StoredCodeId(static_cast<unsigned char>(singleByteText[0]));
}

const std::vector<CodeIdRow> &CodeIdRows()
{
    // Rows 21 to 23 have no box. The tab's own defaults differ from the
    // factory block at rows 2, 3 (empty) and 20 ("U").
    static const std::vector<CodeIdRow> rows{
        {0, "UPC-A", true, 'A'},          {1, "UPC-E", true, 'B'},
        {2, "Reserved 1", false, 0},      {3, "Reserved 2", false, 0},
        {4, "Code 39", true, 'E'},        {5, "Code 128", true, 'F'},
        {6, "Interleave 25", true, 'G'},  {7, "Industrial 25", true, 'H'},
        {8, "Matrix 25", true, 'I'},      {9, "CodaBar/NW7", true, 'J'},
        {10, "Code 93", true, 'K'},       {11, "Code 11", true, 'L'},
        {12, "China Postage", true, 'M'}, {13, "MSI/PLESSEY", true, 'N'},
        {14, "BC412", true, 'O'},         {15, "Code 26", true, 'P'},
        {16, "Lcd 25", true, 'Q'},        {17, "Reserve 5", false, 'R'},
        {18, "Reserve 6", false, 'S'},    {19, "Telepen", true, 'T'},
        {20, "Reserve 8", false, 'U'},    {24, "EAN-13", true, 'D'},
        {25, "EAN-8", true, 'C'},         {26, "Mag.Track 1", false, 'X'},
        {27, "Mag.Track 2", false, 'Y'},  {28, "Mag.Track 3", false, 'Z'},
    };
    return rows;
}

const std::vector<EditSymbology> &EditSymbologies()
{
    static const std::vector<EditSymbology> list{
        {"None", NoSymbology},   {"All Symboligies", 18}, {"UPC-A", 0},          {"UPC-E", 1},
        {"EAN-8", 25},           {"EAN-13", 24},          {"Code 39", 4},        {"Code 128", 5},
        {"Interleave 25", 6},    {"Industrial 25", 7},    {"Matrix 25", 8},      {"CodaBar/NW7", 9},
        {"Code 93", 10},         {"Code 11", 11},         {"China Postage", 12}, {"MSI/PLESSEY", 13},
        {"BC412", 14},           {"Code 26", 15},         {"Lcd 25", 16},        {"Telepen", 19},
    };
    return list;
}

int EditSymbologyIndex(int number)
{
    const auto &list = EditSymbologies();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].number == number)
            return static_cast<int>(i);
    }
    return 0; // "None"
}

const EditFrameSpec &DeletionFrame()
{
    static const EditFrameSpec frame{
        "fra68",
        "Setup Deletion",
        "cbo681",
        {"Group1", "Group2", "Group3", "Group4", "Group5", "Group6"},
        "cbo682",
        172,
        3,
        {{"txt683", "Character Position to be Deleted", 1, "position"},
         {"txt684", "Number of Characters to be Deleted", 2, "count"}},
        "Command2",
        "Clear All Deletion",
        "deletion",
    };
    return frame;
}

const EditFrameSpec &InsertionFrame()
{
    static const EditFrameSpec frame{
        "fra69",
        "Setup Insertion",
        "cbo691",
        {"Group1", "Group2", "Group3", "Gourp4", "Group5", "Group6"},
        "cbo692",
        112,
        10,
        {{"txt693", "Character Position to be Inserted", 1, "position"}},
        "cmd68_69",
        "Clear All Insertion",
        "insertion",
    };
    return frame;
}

int RecordStart(const EditFrameSpec &frame, int group)
{
    return frame.firstRecord + frame.recordSize * group;
}

void ClearAllRecords(Configuration &config, const EditFrameSpec &frame)
{
    for (std::size_t g = 0; g < frame.groups.size(); ++g) {
        const auto start = static_cast<std::size_t>(RecordStart(frame, static_cast<int>(g)));
        config.block[start] = NoSymbology;
        for (std::size_t k = 1; k < static_cast<std::size_t>(frame.recordSize); ++k)
            config.block[start + k] = 0;
    }
}

} // namespace q51
