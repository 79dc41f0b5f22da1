#pragma once
// SIGINT, SIGTERM and SIGHUP turned into a readable descriptor (the
// self-pipe trick), so the poll loop wakes for them without races; SIGUSR1
// too, which asks the device to vanish or come back, and SIGUSR2, which
// asks for the next unit in its place.

namespace q51::sim {

class TerminationSignals {
public:
    // Throws std::system_error. Only one instance may exist at a time.
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // Readable once a signal has arrived.
    [[nodiscard]] int fd() const;

    struct Arrived {
        bool stop = false;  // SIGINT, SIGTERM or SIGHUP
        int vanishToggles = 0; // SIGUSR1s
        int newUnits = 0;      // SIGUSR2s
    };
    // Reads what has arrived since the last call.
    [[nodiscard]] Arrived Take() const;
};

} // namespace q51::sim
