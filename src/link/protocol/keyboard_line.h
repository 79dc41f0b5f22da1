#pragma once
// The keyboard-wedge line: what the host writes to the keyboard controller,
// what the decoder types back, and the timing both sides were tuned to. The
// host wakes the decoder with a letter written a few times per tick until it
// types "S" (ready); data goes down as hex text, one character code per
// write, each followed by the key delay; the decoder answers "P" (accepted)
// or types its data as text.

#include <cstddef>
#include <cstdint>

namespace q51::protocol::keyboard {

// The keyboard controller's data port and the first interrupt controller's
// mask register, which the protocol clears (0x00) after every typed answer.
inline constexpr std::uint16_t DataPort = 0x60;
inline constexpr std::uint16_t InterruptMaskPort = 0x21;
inline constexpr std::uint8_t UnmaskAllInterrupts = 0x00;

// Wake-up letters: which exchange the host is about to start.
inline constexpr char DownloadLetter = 'A';
inline constexpr char UploadLetter = 'U';
inline constexpr char QueryLetter = 'C'; // version, status and trigger
inline constexpr int LettersPerTick = 5;

// The decoder's typed marks, compared without regard to case.
inline constexpr char ReadyMark = 'S';
inline constexpr char AcceptedMark = 'P';

// Handshake ticks before the host gives up: the transfer window, and the
// command console.
inline constexpr int TransferHandshakeTicks = 20;
inline constexpr int ConsoleHandshakeTicks = 50;

// Lengths of the typed replies.
inline constexpr std::size_t TypedBlockLength = 512;  // the block as hex pairs
inline constexpr std::size_t TypedVersionLength = 40; // hex header, 30 text characters, hex ETX and BCC
inline constexpr std::size_t TypedStatusLength = 12;  // six bytes as hex pairs

// Milliseconds.
namespace ms {
inline constexpr int KeyDelay = 5;         // after each data character
inline constexpr int LetterPause = 2;      // after each wake-up letter
inline constexpr int ReadyToData = 25;     // between the handshake and the first data character
inline constexpr int DownloadTick = 30;    // handshake tick before a download
inline constexpr int ReplyTick = 50;       // handshake tick before an upload or a version query
inline constexpr int ConsoleTick = 40;     // handshake tick of the command console
inline constexpr int DownloadAccepted = 3000;    // "P" after the block
inline constexpr int UploadData = 10000;         // the 512 characters of the block
inline constexpr int VersionAccepted = 1000;     // "P" after the version request
inline constexpr int VersionData = 5000;         // the 40 characters of the version reply
inline constexpr int CommandAccepted = 3000;     // "P" after a status or trigger request
inline constexpr int StatusData = 3000;          // the 12 characters of the status reply
} // namespace ms

} // namespace q51::protocol::keyboard
