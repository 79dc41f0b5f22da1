#include "link/decoder_detect.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include <QElapsedTimer>

#include "link/awaited_exchange.h"
#include "link/intervals.h"
#include "link/port_reopen.h"
#include "link/protocol/exchange_limits.h"
#include "link/protocol/requests.h"
#include "link/transmit_exchanges.h"
#include "link/transmit_texts.h"
#include "link/transport.h"
#include "schema/communication_fields.h"

namespace q51 {

namespace {

constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit
// Of the whole sweep's time, the part its waits may take; the rest is for
// reopening the port between them.
constexpr int WaitShareTenths = 9;

// The factory rate first, then the faster ones from the nearest up, then
// the slower ones from the nearest down: decoders are seldom set slower
// than they leave the factory.
std::vector<int> ratesMostCommonFirst()
{
    std::vector<int> rates = DecoderBaudRates();
    const int factory = FactoryDecoderBaudRate();
    const auto rank = [factory](int rate) {
        return std::pair{rate == factory ? 0 : rate > factory ? 1 : 2, rate > factory ? rate : -rate};
    };
    std::sort(rates.begin(), rates.end(), [&rank](int a, int b) { return rank(a) < rank(b); });
    return rates;
}

// The request and the whole reply on the wire at that speed, rounded up.
long long wireMilliseconds(int baud)
{
    const auto bytes = static_cast<long long>(protocol::ReadVersionRequest().size()
                                              + protocol::VersionLimits.receiveThreshold);
    return (bytes * BitsPerByte * 1000 + baud - 1) / baud;
}

} // namespace

std::vector<DetectProbe> DetectPlan()
{
    const std::vector<int> rates = ratesMostCommonFirst();
    if (rates.empty())
        return {};
    std::vector<long long> wires;
    for (const int rate : rates)
        wires.push_back(wireMilliseconds(rate));
    const long long budget = nominalInterval(Interval::VersionReply).count() * WaitShareTenths / 10;
    const long long wired = std::accumulate(wires.begin(), wires.end(), 0LL);
    const long long share = std::max(0LL, (budget - wired) / static_cast<long long>(rates.size()));
    std::vector<DetectProbe> plan;
    for (std::size_t i = 0; i < rates.size(); ++i)
        plan.push_back({SerialSettings{rates[i], 'N', 8, 1}, std::chrono::milliseconds(wires[i] + share)});
    return plan;
}

std::vector<ProbeResult> DetectResult::answers() const
{
    std::vector<ProbeResult> answered;
    std::copy_if(probes.begin(), probes.end(), std::back_inserter(answered),
                 [](const ProbeResult &p) { return p.heard == ProbeHeard::Version; });
    return answered;
}

bool DetectResult::heardNoise() const
{
    return std::any_of(probes.begin(), probes.end(), [](const ProbeResult &p) { return p.heard == ProbeHeard::Noise; });
}

double DetectResult::probeMilliseconds() const
{
    return std::accumulate(probes.begin(), probes.end(), 0.0,
                           [](double sum, const ProbeResult &p) { return sum + p.milliseconds; });
}

Task<DetectResult> DetectDecoder(Transport &port, int portNumber, ProbeReport onProbe)
{
    DetectResult result;
    const std::vector<DetectProbe> plan = DetectPlan();
    for (const DetectProbe &probe : plan) {
        ProbeResult tried;
        tried.settings = probe.settings;
        QString problem;
        OpenFailure failure;
        if (!reopenPort(port, probe.settings, portNumber, &problem, &failure)) {
            // A speed the driver cannot do says nothing about the port.
            if (failure.kind != OpenFailureKind::UnsupportedSettings) {
                result.end = DetectEnd::PortUnavailable;
                result.problem = problem;
                co_return result;
            }
            tried.heard = ProbeHeard::NotOffered;
        } else {
            Exchange::Request request = VersionQuery();
            request.wait = probe.wait;
            QElapsedTimer clock;
            clock.start();
            const ExchangeResult reply = co_await Exchanged(port, std::move(request));
            tried.milliseconds = double(clock.nsecsElapsed()) / 1e6;
            if (reply.end == ExchangeEnd::PortLost) {
                port.close();
                result.end = DetectEnd::PortLost;
                result.problem = QString::fromUtf8(transmit_text::PortLostDetail);
                co_return result;
            }
            const std::optional<QString> version =
                reply.end == ExchangeEnd::Judged ? AcceptedVersionText(reply.reply) : std::nullopt;
            tried.heard = version ? ProbeHeard::Version : reply.reply.isEmpty() ? ProbeHeard::Nothing : ProbeHeard::Noise;
            tried.version = version.value_or(QString());
        }
        result.probes.push_back(tried);
        if (onProbe)
            onProbe(tried, result.probes.size(), plan.size());
    }
    port.close();
    const std::size_t answered = result.answers().size();
    result.end = answered == 0 ? DetectEnd::NotFound : answered == 1 ? DetectEnd::Found : DetectEnd::Ambiguous;
    co_return result;
}

} // namespace q51
