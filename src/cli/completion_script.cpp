// Writes q51ctl's bash completion at build time: the template's logic with
// the words taken from the tables the parser and RunVerb use, so a new verb
// or option is completed without anyone remembering to add it.
// Usage: q51ctl_completion TEMPLATE OUTPUT

#include <cstdio>

#include <QFile>
#include <QStringList>

#include "cli/command_line.h"
#include "cli/verbs.h"

using namespace q51::cli;

namespace {

// The template's name for what a verb's arguments are.
const char *argumentKind(ArgumentWords words)
{
    switch (words) {
    case ArgumentWords::None: return "none";
    case ArgumentWords::Files: return "files";
    case ArgumentWords::ConfigFile: return "config";
    case ArgumentWords::ConfigThenKeys: return "config-keys";
    case ArgumentWords::ConfigThenAssignments: return "config-assignments";
    case ArgumentWords::Keys: return "keys";
    case ArgumentWords::Image: return "image";
    case ArgumentWords::MemoryRequest: return "memory";
    case ArgumentWords::Port: return "port";
    }
    return "files";
}

QString words()
{
    QStringList verbs, options, valueOptions, verbOptions, verbArguments;
    for (const OptionSpec &option : OptionTable()) {
        options << QString::fromLatin1(option.name);
        if (option.store)
            valueOptions << QString::fromLatin1(option.name);
    }
    for (const VerbWords &verb : VerbWordsTable()) {
        verbs << verb.verb;
        verbOptions << QStringLiteral("        %1) echo '%2' ;;").arg(verb.verb, verb.options.join(QLatin1Char(' ')));
        verbArguments << QStringLiteral("        %1) echo %2 ;;").arg(verb.verb, QString::fromLatin1(argumentKind(verb.arguments)));
    }
    return QStringLiteral("_q51ctl_verbs='%1'\n"
                          "_q51ctl_options='%2'\n"
                          "_q51ctl_value_options='%3'\n"
                          "_q51ctl_memory_requests='%4'\n"
                          "_q51ctl_verb_options()\n{\n    case $1 in\n%5\n    esac\n}\n"
                          "_q51ctl_verb_arguments()\n{\n    case $1 in\n%6\n    esac\n}")
        .arg(verbs.join(QLatin1Char(' ')), options.join(QLatin1Char(' ')), valueOptions.join(QLatin1Char(' ')),
             MemoryRequestWords().join(QLatin1Char(' ')), verbOptions.join(QLatin1Char('\n')),
             verbArguments.join(QLatin1Char('\n')));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("Usage: q51ctl_completion TEMPLATE OUTPUT\n", stderr);
        return 2;
    }
    QFile in(QFile::decodeName(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "q51ctl_completion: %s: %s\n", argv[1], qPrintable(in.errorString()));
        return 1;
    }
    QString script = QString::fromUtf8(in.readAll());
    if (!script.contains(QLatin1String("@WORDS@"))) {
        std::fprintf(stderr, "q51ctl_completion: %s has no @WORDS@ line to fill in\n", argv[1]);
        return 1;
    }
    script.replace(QLatin1String("@WORDS@"), words());
    QFile out(QFile::decodeName(argv[2]));
    const QByteArray bytes = script.toUtf8();
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() || !out.flush()) {
        std::fprintf(stderr, "q51ctl_completion: %s: %s\n", argv[2], qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
