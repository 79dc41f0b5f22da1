#pragma once
// The ports a verb talks to: one --port (or the verb's default), --port
// given more than once, or --ports all for every adapter the port
// catalogue detects. Each with what the summary tells of it.

#include <optional>
#include <vector>

#include <QList>
#include <QString>

#include "cli/command_line.h"
#include "link/port_catalogue.h"

namespace q51::cli {

struct PortTarget {
    PortChoice choice; // what is opened
    QString name;      // as the summary shows it: the device, or "COM 2"
    QString adapter;   // what the catalogue knows of it; empty for a port it does not list
    QString serial;    // the adapter's serial number, when it reports one
    int n = 1;         // its place among the ports, from 1
};

struct PortTargets {
    std::vector<PortTarget> ports;
    bool several = false;   // more than one --port, or --ports: every port gets a summary line
    bool described = false; // adapter and serial filled in; else DescribePort() later
};

// Nothing, with *problem set, for a bad --port, --ports other than "all",
// both together, one device named twice, or no adapter to be found.
// Several ports are described here when --ports, a Com n or adaptersFirst
// (a file name with {serial}) needs it; one port never is.
std::optional<PortTargets> ResolvePortTargets(const CommandLine &line, int defaultPort, const PortCatalogue &catalogue,
                                              QString *problem, bool adaptersFirst = false);

// The adapter and serial number the catalogue knows for the port.
void DescribePort(PortTarget &target, const QList<DetectedPort> &detected);

// The port's part of an output file name: the device below /dev with its
// slashes made dashes ("pts-3", "ttyUSB0"), or "COM2".
QString PortFileName(const PortTarget &target);

// The output path for one port: {port}, {n} and {serial} replaced ({serial}
// by the port's file name where the adapter reports none).
QString ExpandOutputPattern(const QString &pattern, const PortTarget &target);

} // namespace q51::cli
