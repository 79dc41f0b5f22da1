#pragma once
// A decoder attached as a keyboard wedge, for in-process tests of the
// keyboard path: it stands in for the port-I/O library, records every write
// with its time, and answers as the decoder would, by typing real key
// events into whichever widget has the keyboard focus.
//
// It reads what is written to the keyboard controller's data port: five
// wake-up letters ("A" download, "U" upload, "C" version, status or
// trigger) get "S"; then it takes 512 hex characters of a block (answering
// "P"), types its block as 512 hex characters, or takes an 8-character
// request ("02850384" version, "02830382" status, "02820383" trigger) and
// answers "P" followed by the 40-character version reply, "P" followed by
// the 12-character status reply, or "P" alone.
//
// Never construct the real port-I/O backend in a test: it would write to
// the machine's keyboard controller. This is what tests use instead.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include "link/portio/port_io.h"
#include "model/configuration.h"

namespace q51::sim {

enum class WedgeFault {
    None,
    NeverAnswers,       // types nothing at all, not even "S"
    LowerCase,          // marks and hex digits typed in lower case
    ShortReply,         // a data reply one character short
    BadChecksum,        // block checksum, version BCC or status XOR spoiled
    LowerCaseHeader,    // the version reply's header typed "02061d"
    SilentAfterRequest, // "S", then nothing: no "P", no data
    NotAStatusReply,    // a status reply whose XOR checks out but whose second byte is not 02
    Garbage,            // every answer after "S" typed as noise of the same length
    StallMidReply,      // after "S", only the first keystrokesBeforeCut keystrokes of its answers
    UnpluggedMidReply,  // the same, then deaf and mute for good
    ExtraKeystrokes,    // noise typed a turnaround after the exchange's last answer
};

struct PortWrite {
    std::uint16_t port = 0;
    std::uint8_t value = 0;
    std::chrono::steady_clock::time_point at;
};

class KeyboardWedge final : public PortIo {
public:
    // Starts from the factory block.
    KeyboardWedge();
    ~KeyboardWedge() override;

    bool InitializeWinIo() override;
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override;
    void ShutdownWinIo() override;

    // --- the decoder ---
    Block block{};
    std::string versionText = "Q51 Keyboard Wedge Double V1.0"; // 30 characters
    std::uint8_t statusByte = 0x2B;

    // --- how it behaves ---
    WedgeFault fault = WedgeFault::None;
    // How many exchanges (counted by the "S" it types, or would type)
    // misbehave before it behaves; negative: all of them.
    int faultyExchanges = -1;
    // Bursts of five wake-up letters it lets go by before answering "S".
    int burstsBeforeReady = 1;
    // Between a mark and the data it types after it: a decoder gives the
    // host time to get ready for the data.
    std::chrono::milliseconds turnaround{20};
    // Keystrokes typed per pass of the event loop, within one reply, and
    // the pause between such passes.
    int keystrokesPerPass = 16;
    std::chrono::milliseconds keystrokeGap{0};
    // Where StallMidReply and UnpluggedMidReply cut the answers, counted
    // from the keystroke after "S".
    int keystrokesBeforeCut = 2;
    // What ExtraKeystrokes types: hex digits, which would spoil a reply
    // they were taken into.
    QString extraKeystrokes = QStringLiteral("0F3");
    bool initializes = true;

    // --- what happened ---
    [[nodiscard]] const std::vector<PortWrite> &writes() const { return writes_; }
    // The bytes written to one port, in order, as characters.
    [[nodiscard]] std::string written(std::uint16_t port) const;
    // Writes to one port with their times.
    [[nodiscard]] std::vector<PortWrite> writesTo(std::uint16_t port) const;
    void clearLog() { writes_.clear(); }
    [[nodiscard]] int initCalls() const { return initCalls_; }
    [[nodiscard]] int shutdownCalls() const { return shutdownCalls_; }
    // Everything typed so far, and keystrokes typed while no widget had the focus.
    [[nodiscard]] const QString &typed() const { return typed_; }
    [[nodiscard]] int lostKeystrokes() const { return lost_; }
    [[nodiscard]] bool typing() const { return !pending_.isEmpty(); }

private:
    enum class State { Idle, TakingBlock, TakingRequest };

    void take(char c);
    void wakeUp(char letter);
    void blockTaken();
    void requestTaken();
    bool misbehaves(WedgeFault which) const;
    bool typesLowerCase() const { return misbehaves(WedgeFault::LowerCase); }

    QString hex(const std::string &bytes) const;
    QString typedBlock() const;
    QString typedVersion() const;
    QString typedStatus() const;
    QString shortened(QString reply) const;

    // Queues an answer after "S", after a pause; `last` marks the
    // exchange's final answer.
    void answer(QString text, std::chrono::milliseconds after, bool last);
    // Queues text to type, after a pause.
    void type(const QString &text, std::chrono::milliseconds after = std::chrono::milliseconds(0),
              bool readyMark = false);
    // Whether a keystroke after "S" is swallowed by a cut in the line.
    bool cutHere();
    void typeNext();
    void press(QChar c);

    std::vector<PortWrite> writes_;
    int initCalls_ = 0;
    int shutdownCalls_ = 0;

    State state_ = State::Idle;
    char letter_ = 0;
    int letters_ = 0;
    std::string taken_;
    int exchanges_ = 0; // exchanges begun, counted at "S"

    QObject context_; // owns the typing timer's connection; dies with the double
    QTimer typist_;
    struct Keystrokes {
        QString text;
        std::chrono::milliseconds pause;
        bool readyMark = false;
    };
    QList<Keystrokes> pending_;
    QString typed_;
    int lost_ = 0;
    int typedSinceReady_ = 0;
    bool unplugged_ = false;
};

} // namespace q51::sim
