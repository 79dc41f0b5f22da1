// q51ctl detect: the firmware version query at every speed a decoder can be
// set to, on the ports named, each told where a decoder answered.

#include <QJsonArray>
#include <QJsonObject>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/port_runner.h"
#include "cli/verbs.h"
#include "link/decoder_detect.h"
#include "link/decoder_detect_texts.h"

namespace q51::cli {

namespace {

int exitCodeFor(const DetectResult &result)
{
    switch (result.end) {
    case DetectEnd::Found: return Success;
    case DetectEnd::Ambiguous: return Ambiguous;
    case DetectEnd::NotFound: return result.heardNoise() ? BadReply : TimedOut;
    case DetectEnd::PortUnavailable: return PortUnavailable;
    case DetectEnd::PortLost: return PortLost;
    }
    return TimedOut;
}

const char *heardName(ProbeHeard heard)
{
    switch (heard) {
    case ProbeHeard::Version: return "version";
    case ProbeHeard::Noise: return "noise";
    case ProbeHeard::Nothing: return "nothing";
    case ProbeHeard::NotOffered: return "not_offered";
    }
    return "nothing";
}

QJsonObject resultJson(const DetectResult &result)
{
    QJsonArray answers;
    QJsonArray probes;
    for (const ProbeResult &probe : result.probes) {
        const QString settings = serialSettingsText(probe.settings);
        probes.append(QJsonObject{{QStringLiteral("settings"), settings},
                                  {QStringLiteral("heard"), QString::fromLatin1(heardName(probe.heard))},
                                  {QStringLiteral("milliseconds"), qRound(probe.milliseconds * 10) / 10.0}});
        if (probe.heard == ProbeHeard::Version)
            answers.append(QJsonObject{{QStringLiteral("settings"), settings},
                                       {QStringLiteral("baud"), probe.settings.baudRate},
                                       {QStringLiteral("version"), TerminalText(ShownVersion(probe.version))}});
    }
    return {{QStringLiteral("answers"), answers}, {QStringLiteral("probes"), probes}};
}

Task<int> detectOn(PortJob job, bool json)
{
    PortVoice &voice = job.voice;
    const DetectResult result = co_await DetectDecoder(
        job.session.port(), job.session.portNumber(),
        [&voice](const ProbeResult &, std::size_t done, std::size_t count) {
            voice.progress(QStringLiteral("detect"), qint64(done), qint64(count));
        });
    voice.progressEnd();
    const int code = exitCodeFor(result);
    const bool swept = result.end != DetectEnd::PortUnavailable && result.end != DetectEnd::PortLost;
    if (json && swept) {
        voice.json(resultJson(result));
    } else if (!json) {
        for (const ProbeResult &answer : result.answers())
            voice.result(serialSettingsText(answer.settings) + QStringLiteral(": ")
                         + TerminalText(ShownVersion(answer.version)));
    }
    const QString summary = DetectSummary(result);
    if (code == Success)
        voice.outcome(summary);
    else
        voice.failure(summary, DetectAdvice(result));
    co_return code;
}

} // namespace

int RunDetect(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    if (line.settings)
        return Usage(QStringLiteral("detect tries every baud rate itself and takes no --settings"));
    // Every speed is written to the port: only to ports the user names.
    if (line.ports.isEmpty() && !line.portSet)
        return Usage(QStringLiteral("detect writes to the port at every speed: name it with --port, or use "
                                    "--ports all for every USB serial adapter"));
    const std::vector<DetectProbe> plan = DetectPlan();
    const SerialSettings first = plan.empty() ? DefaultSettings : plan.front().settings;
    return RunOnNamedPorts(line, [&line](PortJob job) { return detectOn(job, line.json); }, 1, first);
}

} // namespace q51::cli
