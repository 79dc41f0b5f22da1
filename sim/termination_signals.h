#pragma once
// SIGINT, SIGTERM and SIGHUP turned into a readable descriptor (the
// self-pipe trick), so the poll loop wakes for them without races.

namespace q51::sim {

class TerminationSignals {
public:
    // Throws std::system_error. Only one instance may exist at a time.
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // Readable once a termination signal has arrived.
    [[nodiscard]] int fd() const;
};

} // namespace q51::sim
