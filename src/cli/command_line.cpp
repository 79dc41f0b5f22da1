#include "cli/command_line.h"

#include <algorithm>

#include <QRegularExpression>

#include "schema/config_text.h"

namespace q51::cli {

const std::vector<OptionSpec> &OptionTable()
{
    static const std::vector<OptionSpec> options{
        {"--port", nullptr, [](CommandLine &l, const QString &v) { l.ports << v; }}, // again, for more ports
        {"--ports", nullptr, [](CommandLine &l, const QString &v) { l.portSet = v; }},
        {"--jobs", nullptr, [](CommandLine &l, const QString &v) { l.jobs = v; }},
        {"--output", nullptr, [](CommandLine &l, const QString &v) { l.output = v; }},
        {"--settings", nullptr, [](CommandLine &l, const QString &v) { l.settings = v; }},
        {"--only", nullptr, [](CommandLine &l, const QString &v) { l.only << v; }},
        {"--backup", nullptr, [](CommandLine &l, const QString &v) { l.backup = v; }},
        {"--golden", nullptr, [](CommandLine &l, const QString &v) { l.golden = v; }},
        {"--firmware", nullptr, [](CommandLine &l, const QString &v) { l.firmware = v; }},
        {"--firmware-version", nullptr, [](CommandLine &l, const QString &v) { l.firmwareVersion = v; }},
        {"--operator", nullptr, [](CommandLine &l, const QString &v) { l.operatorName = v; }},
        {"--records", nullptr, [](CommandLine &l, const QString &v) { l.records = v; }},
        {"--since", nullptr, [](CommandLine &l, const QString &v) { l.since = v; }},
        {"--result", nullptr, [](CommandLine &l, const QString &v) { l.result = v; }},
        {"--csv", &CommandLine::csv},
        {"--verify", &CommandLine::verify},
        {"--device", &CommandLine::device},
        {"--json", &CommandLine::json},
        {"--all-bytes", &CommandLine::allBytes},
        {"--accept-damaged", &CommandLine::acceptDamaged},
        {"--quiet", &CommandLine::quiet},
        {"-q", &CommandLine::quiet},
        {"--help", &CommandLine::help},
        {"-h", &CommandLine::help},
        {"--version", &CommandLine::version},
    };
    return options;
}

std::optional<CommandLine> ParseCommandLine(const QStringList &arguments, QString *problem)
{
    CommandLine line;
    QStringList positional;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            positional << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        std::optional<QString> inlineValue;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(QLatin1Char('='))) {
            inlineValue = arg.section(QLatin1Char('='), 1);
            arg = arg.section(QLatin1Char('='), 0, 0);
        }
        const auto &table = OptionTable();
        const auto option = std::find_if(table.begin(), table.end(),
                                         [&arg](const OptionSpec &o) { return arg == QLatin1String(o.name); });
        if (option == table.end() || (option->flag && inlineValue)) {
            *problem = QStringLiteral("unknown option '%1'").arg(Echoed(arguments[i]));
            return std::nullopt;
        }
        if (option->flag) {
            line.*(option->flag) = true;
        } else if (inlineValue) {
            option->store(line, *inlineValue);
        } else if (i + 1 < arguments.size()) {
            option->store(line, arguments[++i]);
        } else {
            *problem = QStringLiteral("%1 needs a value").arg(arg);
            return std::nullopt;
        }
    }
    if (positional.isEmpty()) {
        line.help = line.help || !line.version;
        return line;
    }
    line.verb = positional.takeFirst();
    line.arguments = positional;
    return line;
}

std::optional<PortChoice> ParsePortChoice(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    static const QRegularExpression comNumber(QStringLiteral("^(?:com\\s*)?(\\d+)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const auto match = comNumber.match(trimmed);
    if (match.hasMatch()) {
        const int number = match.captured(1).toInt();
        if (!IsOfferedPortNumber(number))
            return std::nullopt;
        return PortChoice{number, {}};
    }
    return PortChoice{1, trimmed};
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: q51ctl VERB [ARGUMENTS] [--port DEVICE|COMn]... [--settings 9600,N,8,1] [-q]\n"
        "\n"
        "Talking to a decoder:\n"
        "  download FILE [--verify]   send the configuration in FILE; --verify reads it back\n"
        "                             (--backup DIR: after a backup, verified, as apply)\n"
        "  apply FILE [--only KEY]... back up the decoder's block, send FILE's settings\n"
        "                             (or only KEYs), read back, verify [--backup DIR]\n"
        "  backups [--backup DIR]     list the backups, oldest first\n"
        "  upload FILE                read the decoder's configuration into FILE\n"
        "  upload --output PATTERN    the same, into a file per port (see below)\n"
        "  version [--json]           print the firmware version\n"
        "  status [--json]            print the decoder's status byte in words\n"
        "  trigger                    send the Trigger command\n"
        "  isp IMAGE                  update the firmware from IMAGE (*.bin)\n"
        "  memory read [START END]    print stored groups, all or START to END\n"
        "  memory sizes               print the size of every stored group\n"
        "  memory free                print the free group space\n"
        "  memory clear [START END]   clear stored groups, all or START to END\n"
        "  ports                      list the serial ports and the Com n each stands for\n"
        "  doctor [PORT]              say why a port cannot be used, and the command that fixes it\n"
        "  detect [--json]            find a decoder on the named ports at any baud rate\n"
        "\n"
        "The production station:\n"
        "  station --golden FILE      watch the ports (--port ..., --ports all); each decoder\n"
        "                             plugged in is backed up, given FILE (and --firmware IMAGE\n"
        "                             --firmware-version TEXT when its version differs), read\n"
        "                             back and compared; one PASS/FAIL line per unit, each\n"
        "                             recorded [--records URL] [--operator NAME] [--backup DIR]\n"
        "                             [--json]. Runs until Ctrl+C; a unit in hand is recorded\n"
        "                             as failed. Records go to a spool while the database\n"
        "                             cannot be written, and are sent when it can.\n"
        "  records [--since TIME] [--result pass|fail] [--port P]... [--csv|--json]\n"
        "                             [--records URL]: the units kept, by time. TIME is\n"
        "                             2026-12-09, 2026-12-09T10:00[+01:00] (local time\n"
        "                             when no zone) or back from now: 30m, 2h, 7d. URL is\n"
        "                             a SQLite file (sqlite:PATH or a path; default\n"
        "                             ~/.local/share/q51setup/records.sqlite) or\n"
        "                             postgresql://[user[:password]@][host][:port]/dbname\n"
        "                             [?host=/socket/dir]. A database that cannot be\n"
        "                             opened or read exits with 3 (bad file).\n"
        "\n"
        "Configurations by name:\n"
        "  report FILE | --device     every setting with its value [--json]\n"
        "  diff A (B | --device)      the settings that differ [--all-bytes] [--json]\n"
        "  export FILE [OUT]          the configuration as text (\"key = value\" lines)\n"
        "  import TEXT [OUT]          a configuration file from text; keys left out keep factory values\n"
        "  get FILE KEY...            print values [--json]\n"
        "  set FILE KEY=VALUE...      change values in place, all or none\n"
        "  keys [PREFIX]              list every key (or those starting with PREFIX)\n"
        "\n"
        "--accept-damaged lets the verbs that read a .cfg (download, report, diff,\n"
        "export, get, set) use one with missing or unreadable lines, as the window\n"
        "does; without it such a file is refused. \"--\" ends the options.\n"
        "\n"
        "FILE, TEXT and OUT may be '-' for stdin or stdout. Keys and choices may be\n"
        "abbreviated where that is unambiguous. -q silences outcome lines such as\n"
        "\"Download OK!\"; results go to stdout, outcomes and errors to stderr.\n"
        "--port takes Com 1 to 4 (\"2\", \"COM2\") or a device such as /dev/ttyUSB0;\n"
        "without it, download uses the port stored in FILE and the rest Com 1.\n"
        "\n"
        "Many decoders at once: every verb that talks to a decoder takes --port\n"
        "again, or --ports all (every USB serial adapter detected); they run side by\n"
        "side, a line per port on a terminal, then a summary (--json: as data).\n"
        "--jobs N runs at most N at once. upload writes a file per port from\n"
        "--output 'dec-{port}.cfg' ({port}, {n} the port's place, {serial}).\n"
        "Ctrl+C stops every exchange and writes no file half.\n"
        "\n"
        "VERB --help prints this text too; --version prints the program version.\n"
        "\n"
        "Exit status: 0 success, 1 diff found differences, 2 usage error, 3 bad file,\n"
        "4 port unavailable, 5 time-out, 6 refused by the decoder, 7 bad reply,\n"
        "8 connection lost, 9 verify or apply found a different block, 10 some ports failed\n"
        "(each port's own code is in the summary), 11 detect found answers at more\n"
        "than one setting, 130 stopped by Ctrl+C.\n");
}

QString Echoed(const QString &value)
{
    return QString::fromStdString(EchoedValue(value.toStdString()));
}

QString VersionText()
{
    return QStringLiteral("q51ctl ") + QStringLiteral(Q51_VERSION);
}

} // namespace q51::cli
