#pragma once
// A page control described as data: which block bits it owns, which choices
// it offers and what each writes. Pages are built from tables of these, and
// the widgets and the read/write code are generated from them, so a field's
// behaviour is stated once. Plain C++: the tables can be checked without
// building a single widget.

#include <optional>
#include <string>
#include <vector>

#include "model/configuration.h"

namespace q51 {

struct Choice {
    std::string caption;
    int value = 0;            // written under the field's mask, or handed to its codec
    bool visible = true;      // hidden choices exist and can be selected from code
    bool enabled = true;
};

// Bits a field may change: everything else in the block is left alone.
struct TouchedBits {
    int byte = 0;
    int mask = 0;
};

// For fields whose storage is not "one value under one mask": the interface
// spread over two bytes, the reading mode split over two bytes, the
// terminator pair. Read returns the value of the choice to show, or nothing
// for a stored value no choice stands for.
struct FieldCodec {
    std::optional<int> (*read)(const Configuration &config) = nullptr;
    void (*write)(Configuration &config, int value) = nullptr;
    std::vector<TouchedBits> touches;
};

enum class FieldKind { Options, Check };

struct FieldSpec {
    FieldKind kind = FieldKind::Options;
    std::string control; // objectName of the group (or of the check box)
    std::string caption; // frame caption, or the check box's text
    int byte = 0;
    int mask = 0;
    std::vector<Choice> choices; // a check box has two: cleared (0) and ticked (mask)
    int defaultValue = 0;        // what the panel's default button selects
    // Stored values shown as another choice: (stored, shown), e.g. baud code 6 as "9600" (7).
    std::vector<std::pair<int, int>> aliases;
    const FieldCodec *codec = nullptr;
    int columns = 1; // how the option buttons are laid out
    bool visible = true;
    bool enabled = true;
    // Caption of a frame this field shares with its neighbours of the same
    // frame (a check box under "Check Digit", say); empty: no extra frame.
    std::string frame;
    // Opening shows the stored choice without writing it back. For fields
    // whose read ignores some bits (the check-digit fields look at bit 6
    // first), a write-back would change the block merely by opening a page.
    bool loadShowsOnly = false;
};

// Builders that keep the tables short.
FieldSpec Options(std::string control, std::string caption, int byte, int mask, std::vector<Choice> choices,
                  int defaultValue);
FieldSpec Check(std::string control, std::string caption, int byte, int mask, bool defaultTicked);

// An option group whose value is the index itself, shifted into the mask:
// captions[i] writes i << shift(mask).
FieldSpec IndexedOptions(std::string control, std::string caption, int byte, int mask,
                         const std::vector<std::string> &captions, int defaultIndex);

// The field placed in a frame it shares with its neighbours of that frame.
FieldSpec InFrame(FieldSpec field, std::string frame);

// The lowest set bit of a mask, as a shift.
int MaskShift(int mask);

} // namespace q51
