#pragma once
// Communication page: RS232 line settings and handshakes, keyboard-wedge
// options, terminator and character time-out, wand and OCIA formats.

#include <vector>

#include "schema/panel_description.h"

namespace q51 {

const std::vector<PanelSpec> &CommunicationPagePanels();

// The terminator pair (byte 32, byte 33) of each button, in button order.
struct TerminatorPair {
    const char *caption;
    int byte32;
    int byte33;
};
const std::vector<TerminatorPair> &TerminatorPairs();

// The baud rates the decoder can be set to (the "Baud Rate" choices), in
// the page's order, and the one a factory block holds.
std::vector<int> DecoderBaudRates();
int FactoryDecoderBaudRate();

} // namespace q51
