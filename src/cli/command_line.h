#pragma once
// q51ctl's command line: a verb, its arguments and the link options, in
// any order ("download x.cfg --verify --port /dev/pts/3").

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

namespace q51::cli {

struct CommandLine {
    QString verb;
    QStringList arguments;         // after the verb, options removed
    QStringList ports;             // --port, each time it is given
    std::optional<QString> portSet; // --ports (only "all")
    std::optional<QString> jobs;   // --jobs: how many ports at once
    std::optional<QString> output; // --output: upload's file, a pattern for several ports
    std::optional<QString> settings; // --settings
    QStringList only;              // --only: the keys apply sends, each time it is given
    std::optional<QString> backup; // --backup: the folder of backups
    std::optional<QString> golden; // --golden: the station's site configuration
    std::optional<QString> firmware; // --firmware: the station's firmware image
    std::optional<QString> firmwareVersion; // --firmware-version: the version text the image brings
    std::optional<QString> operatorName; // --operator: who runs the station
    std::optional<QString> records; // --records: where the station's records are kept
    std::optional<QString> since;  // --since: records from this time on
    std::optional<QString> result; // --result: pass or fail
    bool csv = false;              // --csv
    bool verify = false;           // --verify
    bool device = false;           // --device
    bool help = false;             // --help, -h or no verb at all
    bool version = false;          // --version
    bool json = false;             // --json
    bool allBytes = false;         // --all-bytes
    bool quiet = false;            // -q, --quiet
    bool acceptDamaged = false;    // --accept-damaged: use a .cfg with damaged lines
};

// Every option the parser knows, once: a switch sets its flag, an option
// with a value stores it. Completion is generated from this too.
struct OptionSpec {
    const char *name;
    bool CommandLine::*flag = nullptr;
    void (*store)(CommandLine &line, const QString &value) = nullptr;
};
const std::vector<OptionSpec> &OptionTable();

// Nothing, with *problem set, for an unknown option or one missing its value.
// "--" ends the options: every word after it is an argument.
std::optional<CommandLine> ParseCommandLine(const QStringList &arguments, QString *problem);

// Com 1 to 4, or a device that stands in for Com 1.
struct PortChoice {
    int number = 1;
    QString device; // empty: the usual mapping of Com number applies
};

// "1", "COM1", "Com 1", "com 4": that port; anything else names a device.
// Nothing for an empty text or a Com number outside 1 to 4.
std::optional<PortChoice> ParsePortChoice(const QString &text);

QString UsageText();

// A value echoed in an error message, cut so a runaway one stays readable.
QString Echoed(const QString &value);

// The program's version, as --version prints it.
QString VersionText();

} // namespace q51::cli
