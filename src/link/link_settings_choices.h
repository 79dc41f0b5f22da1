#pragma once
// The option groups of the transfer window as data: what each group is
// called, what its options read, and what choosing one writes into the
// serial link settings. The window builds its groups from this table and
// the opening steps find the stored choice through it.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include <QString>

#include "link/serial_settings.h"

namespace q51 {

struct Configuration;

enum class LinkSetting { TransferMode, Port, Baud, DataBits, StopBits, Parity };

// One position of the framing text ("N,8,1") and the letter each option puts there.
struct FramingField {
    std::size_t position; // 1-based: 1 parity, 3 data bits, 5 stop bits
    std::string_view letters; // letters[index] for option index
};

struct LinkChoiceGroup {
    LinkSetting setting;
    const char *controlName; // objectName of the button group
    const char *frameName;   // objectName of the box around it
    const char *caption;     // the box's caption
    std::span<const char *const> options; // captions by index
    int initialIndex;        // selected when the window is built
    std::optional<FramingField> framing;  // framing groups only
};

// The six groups, in the order the window lays them out.
std::span<const LinkChoiceGroup> LinkChoiceGroups();
const LinkChoiceGroup &LinkChoiceGroupFor(LinkSetting setting);

// Writes option `index` of the group into the settings: TransferMode,
// PortNumber (index + 1), BaudText (the option's caption) or one position of
// FramingText. An index the group does not have writes nothing.
void ApplyLinkChoice(Configuration &config, LinkSetting setting, int index);

// The option the stored settings stand for; nothing when they stand for
// none, e.g. a port number outside 1..4 read from a file.
std::optional<int> StoredLinkChoice(const Configuration &config, LinkSetting setting);

// The serial link at these settings on Com portNumber, chosen as the
// transfer window's own options would choose it: By RS232, the port, the
// baud rate, data bits, stop bits and parity. Nothing is written, and
// false returned, when one of them is no option of the window (38400
// baud, a port above 4).
bool ChooseSerialLink(Configuration &config, int portNumber, const SerialSettings &settings);
[[nodiscard]] bool OffersSerialLink(int portNumber, const SerialSettings &settings);

// BaudText and FramingText as one value, for the port; nothing, with the
// reason in *problem, when they spell no valid settings.
std::optional<SerialSettings> SerialSettingsOf(const Configuration &config, QString *problem = nullptr);

// Only TransferMode 0 means the keyboard path; any other value read from a
// file is treated as RS232, the mode the window shows for it.
bool IsKeyboardMode(const Configuration &config);

// Under odd or even parity the decoder's replies cannot be taken in, so the
// window offers no upload and no version query.
bool ParityAllowsReplies(const Configuration &config);
bool ParityAllowsReplies(char parityLetter);
// Why a request that awaits a reply is refused under odd or even parity.
inline constexpr const char *ParityRefusesRepliesText =
    "Upload To PC and Get Firmware Version are not available under Even or Odd parity: the decoder's replies "
    "cannot be taken in. Choose None, Mark or Space.";

} // namespace q51
