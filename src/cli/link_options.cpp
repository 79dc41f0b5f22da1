#include "cli/link_options.h"

#include "cli/exit_codes.h"
#include "cli/verbs.h"
#include "link/link_settings_choices.h"
#include "link/serial_settings.h"

namespace q51::cli {

using protocol::InputPos;

int CheckParityAllowsReplies(const CommandLine &line)
{
    if (!line.settings)
        return Success;
    QString problem;
    const auto settings = parseSerialSettings(*line.settings, &problem);
    if (!settings || ParityAllowsReplies(settings->parity))
        return Success; // a bad text is refused where the port is opened
    return Usage(QString::fromUtf8(ParityRefusesRepliesText));
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
