#include "cli/link_options.h"

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "link/link_settings_choices.h"
#include "link/serial_settings.h"

namespace q51::cli {

using protocol::InputPos;

std::optional<LinkOptions> ResolveLinkOptions(const CommandLine &line, int defaultPort)
{
    LinkOptions options{{defaultPort, {}}, QString::fromUtf8(DefaultSettings)};
    if (line.port) {
        const auto port = ParsePortChoice(*line.port);
        if (!port) {
            PrintFailure(QStringLiteral("q51ctl: --port takes Com 1 to 4 or a device, not \"%1\"").arg(*line.port));
            return std::nullopt;
        }
        options.port = *port;
    } else if (defaultPort < 1 || defaultPort > 4) {
        options.port.number = 1; // a file may hold any number; Com 1 is the start-up port
    }
    if (line.settings) {
        QString problem;
        if (!parseSerialSettings(*line.settings, &problem)) {
            PrintFailure(QStringLiteral("q51ctl: --settings \"%1\": %2").arg(*line.settings, problem));
            return std::nullopt;
        }
        options.settings = *line.settings;
    }
    return options;
}

int CheckParityAllowsReplies(const CommandLine &line)
{
    if (!line.settings)
        return Success;
    QString problem;
    const auto settings = parseSerialSettings(*line.settings, &problem);
    if (!settings || ParityAllowsReplies(settings->parity))
        return Success; // a bad text is refused where the port is opened
    PrintFailure(QString::fromUtf8(ParityRefusesRepliesText));
    return UsageError;
}

int ExitCodeFor(const ExchangeResult &result, bool failedMeansRefused)
{
    switch (result.end) {
    case ExchangeEnd::TimedOut: return TimedOut;
    case ExchangeEnd::PortLost: return PortLost;
    case ExchangeEnd::Judged: break;
    }
    switch (static_cast<InputPos>(result.verdict)) {
    case InputPos::Accepted: return Success;
    case InputPos::NothingReceived: return TimedOut;
    case InputPos::NotAcknowledged: return Refused;
    case InputPos::Failed: return failedMeansRefused ? Refused : BadReply;
    }
    return BadReply;
}

} // namespace q51::cli
