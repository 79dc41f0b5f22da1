#pragma once
// On a terminal, one line per port on stderr, redrawn in place as the
// ports move on: state, a progress bar where there is one, and the latest
// outcome. Redrawn at most a few times a second, so thirty-two busy ports
// cost next to no CPU; nothing at all when stderr is no terminal.

#include <QTimer>

#include "cli/port_record.h"

namespace q51::cli {

class LiveLines {
public:
    LiveLines(const PortRecords &records, bool enabled);
    // Something changed: a redraw is due.
    void touch();
    // The last state drawn, the lines left for the summary to follow.
    void finish();

private:
    void draw();

    const PortRecords &records_;
    bool enabled_;
    int drawn_ = 0;
    QTimer timer_;
};

// Whether live lines suit this run: stderr a terminal, and not -q.
bool LiveLinesWanted(bool quiet);

} // namespace q51::cli
