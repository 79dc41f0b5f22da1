#pragma once
// The factory block with a few parameters changed as a user would change
// them on the pages, shared by the report tests and the end-to-end tests.

#include "model/factory_defaults.h"

namespace q51::test {

inline Block EditedFactoryBlock()
{
    Configuration config;
    config.block = FactoryBlock();
    config.SetBits(24, 0x07, 0x04);   // Baud Rate 19200
    config.SetBits(4, 0x80, 0x00);    // Code 39 off
    config.SetBits(27, 0x30, 0x10);   // Buzzer Beep Tone Low
    config.block[36] = 12;            // a code length: no table describes it
    return config.block;
}

} // namespace q51::test
