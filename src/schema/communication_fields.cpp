#include "schema/communication_fields.h"

#include <string>

namespace q51 {

namespace {

const Choice Disable{"Disable", 0};

FieldSpec disableEnable(const char *control, const char *caption, int byte, int mask)
{
    return Options(control, caption, byte, mask, {Disable, {"Enable", mask}}, 0);
}

} // namespace

const std::vector<TerminatorPair> &TerminatorPairs()
{
    static const std::vector<TerminatorPair> pairs{
        {"CR", 0xFF, 0x0D},    {"LF", 0xFF, 0x0A},    {"CR+LF", 0x0D, 0x0A},
        {"HT(TAB)", 0xFF, 0x09}, {"Space", 0xFF, 0x20}, {"STX-ETX (RS232 Mode Only)", 0x02, 0x03},
        {"None", 0xFF, 0xFF},
    };
    return pairs;
}

namespace {

constexpr int CrButton = 0, LfButton = 1, CrLfButton = 2, TabButton = 3, SpaceButton = 4, StxEtxButton = 5,
              NoneButton = 6;

// Chosen from byte 33 first: byte 32 only tells CR+LF from LF.
std::optional<int> readTerminator(const Configuration &c)
{
    switch (c.GetBits(33, 0xFF)) {
    case 0x0D: return CrButton;
    case 0x0A: return c.GetBits(32, 0xFF) == 0x0D ? CrLfButton : LfButton;
    case 0x09: return TabButton;
    case 0x20: return SpaceButton;
    case 0x03: return StxEtxButton;
    default: return NoneButton;
    }
}

void writeTerminator(Configuration &c, int button)
{
    const auto &pairs = TerminatorPairs();
    if (button < 0 || button >= static_cast<int>(pairs.size()))
        return;
    c.block[32] = static_cast<std::uint8_t>(pairs[static_cast<std::size_t>(button)].byte32);
    c.block[33] = static_cast<std::uint8_t>(pairs[static_cast<std::size_t>(button)].byte33);
}

const FieldCodec TerminatorCodec{readTerminator, writeTerminator, {{32, 0xFF}, {33, 0xFF}}};

FieldSpec terminatorField()
{
    std::vector<Choice> choices;
    for (std::size_t i = 0; i < TerminatorPairs().size(); ++i)
        choices.push_back({TerminatorPairs()[i].caption, static_cast<int>(i)});
    FieldSpec f = Options("optCfg43A", "Select Terminator", 32, 0xFF, std::move(choices), CrLfButton);
    f.codec = &TerminatorCodec;
    return f;
}

FieldSpec baudField()
{
    FieldSpec f = Options("optCfg41A", "Baud Rate", 24, 0x07,
                          {{"600", 0}, {"1200", 1}, {"2400", 2}, {"4800", 3}, {"19200", 4}, {"38400", 5}, {"9600", 7}},
                          7);
    f.aliases = {{6, 7}}; // code 6 is shown as 9600
    return f;
}

FieldSpec terminalTypeField()
{
    FieldSpec f = Options("optCfg42A", "Terminal Type", 25, 0x0F,
                          {{"IBM PC/AT,PS/2", 0},
                           {"IBM PC/XT", 1},
                           {"IBM PS/2 25,30", 2},
                           {"NEC 9800", 3},
                           {"Apple Desktop Bus(ADB)", 4},
                           {"IBM 5550", 5},
                           {"IBM 122 Key(I)", 9},
                           {"IBM 102 Key", 10},
                           {"IBM 122 Key(II)", 11},
                           {"Reserved 4", 12},
                           {"Reserved 5", 13},
                           {"Reserved 6", 14}},
                          0);
    f.columns = 2;
    return f;
}

FieldSpec timeOutField()
{
    FieldSpec f = IndexedOptions("optCfg43B", "Time-out Between Characters", 26, 0x07,
                                 {"0 ms", "5 ms", "10ms", "25 ms", "50 ms", "100 ms", "200 ms", "300 ms"}, 0);
    f.columns = 2;
    return f;
}

} // namespace

const std::vector<PanelSpec> &CommunicationPagePanels()
{
    const char *wand = "Wand Emulation Mode Parameters";
    static const std::vector<PanelSpec> panels{
        {"&RS232", "RS232 Mode Parameters", "fraCfg4_0", "",
         {baudField(),
          Options("optCfg41B", "Data Bits", 24, 0x08, {{"7 Data Bits", 0x00}, {"8 Data Bits", 0x08}}, 0x08),
          Options("optCfg41C", "Stop Bits", 24, 0x80, {{"2 Bits", 0x00}, {"1 Bit", 0x80}}, 0x80),
          Options("optCfg41D", "Parity", 24, 0x70,
                  {{"Space", 0x00}, {"Mark", 0x10}, {"Even", 0x20}, {"Odd", 0x30}, {"None", 0x70}}, 0x70),
          disableEnable("optRTSCTS", "RTS/CTS", 27, 0x08), disableEnable("optACKNCK", "ACK/NAK", 27, 0x04),
          disableEnable("optXONXOFF", "XON/XOFF", 29, 0x40)},
         "cmdDefault41", "Set All Defaults", 4},
        {"&Keyboard", "Keyboard Wedge Mode Parameters", "fraCfg4_1", "",
         {terminalTypeField(),
          IndexedOptions("Optcfg42b", "Upper/Lower Case", 29, 0x03, {"Not Changed", "Upper Case", "Lower Case"}, 0),
          disableEnable("optCfg42C", "Send Characters by ALT Method", 29, 0x80),
          Options("optCfg42D", "Select Numerical Pad", 27, 0x40, {{"OFF", 0x00}, {"ON", 0x40}}, 0x00)},
         "cmdDefault42", "Set All Defaults", 2},
        {"&Output Character", "Output Characters Parameters", "fraCfg4_2", "",
         {terminatorField(), timeOutField()}, "cmdDefault43", "Set All Defaults", 2},
        {"&Wand Emul.and OCIA", "Wand Emulation Mode and OCIA Parameters", "fraCfg4_3", "",
         {InFrame(Options("optcfg44A", "TTL Level Representation", 28, 0x40,
                          {{"Bar Equals Low", 0x00}, {"Bar Equals High", 0x40}}, 0x40),
                  wand),
          InFrame(Options("optcfg44B", "Scan Speed Selection", 28, 0x08, {{"Slow", 0x00}, {"Fast", 0x08}}, 0x08),
                  wand),
          InFrame(Options("optcfg44C", "Output Format Selection", 28, 0x80,
                          {{"Output as Code 39 Full ASCII", 0x00}, {"Output as Code 39", 0x80}}, 0x80),
                  wand),
          Options("optCfg46", "OCIA Mode Parameters", 28, 0x30,
                  {{"NCR 8 Bit Format", 0x00}, {"NCR 9 Bit Format", 0x10}, {"Spectra Physics", 0x20},
                   {"Nixdorf", 0x30}},
                  0x00)},
         "cmdDefault44", "Set All Defaults", 2},
    };
    return panels;
}

std::vector<int> DecoderBaudRates()
{
    std::vector<int> rates;
    for (const Choice &choice : baudField().choices)
        rates.push_back(std::stoi(choice.caption));
    return rates;
}

int FactoryDecoderBaudRate()
{
    const FieldSpec field = baudField();
    for (const Choice &choice : field.choices) {
        if (choice.value == field.defaultValue)
            return std::stoi(choice.caption);
    }
    return 0; // the table test holds every default to one of its choices
}

} // namespace q51
