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
    config.block[40] = 12;            // Code 39 first fixed length
    config.block[84] = 0x1B;          // Code 39 code ID: ESC
    config.block[172] = 4;            // deletion group 1: Code 39,
    config.block[174] = 2;            //   two characters
    config.block[122] = 5;            // insertion group 2: Code 128,
    config.block[124] = 0xC9;         //   "{F10}x"
    config.block[125] = 'x';
    config.block[22] = 0x5A;          // a reserved byte
    return config.block;
}

} // namespace q51::test
