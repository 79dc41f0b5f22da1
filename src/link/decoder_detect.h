#pragma once
// Finds a decoder whatever its link settings: the firmware version query at
// every baud rate a decoder can be set to, most common first, with 8 data
// bits, no parity and 1 stop bit, the port reopened for each as the
// transfer window's baud choice does. Every rate is tried, so a port that
// answers at more than one is told as such rather than guessed at. The
// window and q51ctl both run this one sequence.

#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

#include <QString>

#include "link/serial_settings.h"
#include "link/task.h"

namespace q51 {

class Transport;

// One setting to try and how long to wait there for the whole reply
// (unscaled): the wire time of the request and the reply at that speed,
// plus an equal share of what the whole sweep may take beyond them.
struct DetectProbe {
    SerialSettings settings;
    std::chrono::milliseconds wait{0};
};

// The settings in the order tried. A port where nothing answers is done
// within the time one version query waits (3 s): the waits take nine
// tenths of it, the rest is left for reopening the port between them.
[[nodiscard]] std::vector<DetectProbe> DetectPlan();

enum class ProbeHeard {
    Version,    // a version reply that checks out: a decoder answered here
    Noise,      // bytes, but no version reply: a decoder at another speed, or a refusal
    Nothing,    // silence until the wait ran out
    NotOffered, // the port cannot be set to this speed, so it was not tried
};

struct ProbeResult {
    SerialSettings settings;
    ProbeHeard heard = ProbeHeard::Nothing;
    QString version; // Version only: the 30 characters, trailing blanks kept
    double milliseconds = 0; // from the request to the end of its wait
};

enum class DetectEnd {
    Found,           // exactly one setting answered
    Ambiguous,       // more than one did: which one is the decoder's cannot be told
    NotFound,        // none did
    PortUnavailable, // the port could not be opened (problem says why)
    PortLost,        // the port went away during the sweep
};

struct DetectResult {
    DetectEnd end = DetectEnd::NotFound;
    std::vector<ProbeResult> probes; // in the order tried
    QString problem;

    [[nodiscard]] std::vector<ProbeResult> answers() const;
    [[nodiscard]] bool heardNoise() const;
    // The probes' own time, without reopening the port between them.
    [[nodiscard]] double probeMilliseconds() const;
};

// Told after every probe: its result, and how many of how many are done.
using ProbeReport = std::function<void(const ProbeResult &probe, std::size_t done, std::size_t count)>;

// Runs the sweep on the port (Com portNumber, or the device the transport
// was pointed at) and leaves it closed. Destroying the task stops it where
// it waits, silently.
Task<DetectResult> DetectDecoder(Transport &port, int portNumber, ProbeReport onProbe = {});

} // namespace q51
