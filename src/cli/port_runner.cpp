#include "cli/port_runner.h"

#include <QElapsedTimer>
#include <QEventLoop>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/json_output.h"
#include "cli/live_lines.h"
#include "cli/run_summary.h"
#include "cli/stop_signals.h"
#include "cli/verbs.h"
#include "link/port_names.h"
#include "link/serial_settings.h"

namespace q51::cli {

namespace {

// The one port printed as it goes.
int runOne(const RunPlan &plan, const PortWork &work)
{
    const PortTarget &target = plan.targets.ports.front();
    PrintingVoice voice;
    DeviceSession session(target.choice, plan.settings);
    if (!session.open(voice))
        return PortUnavailable;
    QEventLoop loop;
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::stopRequested, &loop, &QEventLoop::quit);
    // Declared last, so a stopped task (and the exchange it waits on) goes
    // before the port it talks through.
    Task<int> task = work({session, voice, target});
    task.start([&loop] { loop.quit(); });
    if (!task.done())
        loop.exec();
    if (task.done())
        return task.result();
    voice.progressEnd();
    voice.failure(QStringLiteral("Stopped."));
    return Stopped;
}

// Several ports side by side, at most plan.jobs at once.
class SeveralPorts {
public:
    SeveralPorts(const RunPlan &plan, const PortWork &work)
        : plan_(plan), work_(work), live_(records_, !plan.json && LiveLinesWanted(plan.quiet)),
          described_(plan.targets.described)
    {
        for (const PortTarget &target : plan.targets.ports) {
            auto record = std::make_unique<PortRecord>();
            record->target = target;
            record->voice.changed = [this] { live_.touch(); };
            records_.push_back(std::move(record));
            running_.emplace_back();
        }
    }

    int run()
    {
        StopSignals stop;
        QObject::connect(&stop, &StopSignals::stopRequested, &loop_, [this] { stopAll(); });
        startMore();
        if (!allEnded())
            loop_.exec();
        describe();
        live_.finish();
        const int code = OverallExitCode(records_, stopped_);
        for (const auto &record : records_) {
            for (const QString &line : record->voice.failureLines)
                PrintFailure(record->target.name + QStringLiteral(": ") + line);
        }
        if (plan_.json) {
            PrintJson(SummaryJson(records_, code));
        } else {
            PrintBytes(PortDataBlocks(records_).toLocal8Bit());
            PrintResult(SummaryTable(records_));
        }
        return code;
    }

private:
    struct Running {
        std::unique_ptr<DeviceSession> session;
        std::optional<Task<int>> task;
        QElapsedTimer clock;
    };

    bool allEnded() const
    {
        return std::all_of(records_.begin(), records_.end(), [](const auto &r) {
            return r->state == PortState::Finished || r->state == PortState::Stopped;
        });
    }

    void startMore()
    {
        const std::size_t limit = plan_.jobs > 0 ? std::size_t(plan_.jobs) : records_.size();
        while (!stopped_ && busy_ < limit && next_ < records_.size())
            begin(next_++);
        if (next_ == records_.size())
            QTimer::singleShot(0, &loop_, [this] { describe(); }); // while every port waits for the wire
    }

    // The adapters for the summary, unless known from the start.
    void describe()
    {
        if (described_)
            return;
        described_ = true;
        const QList<DetectedPort> detected = CurrentPortCatalogue().detect();
        for (const auto &record : records_)
            DescribePort(record->target, detected);
    }

    void begin(std::size_t i)
    {
        PortRecord &record = *records_[i];
        Running &running = running_[i];
        record.state = PortState::Running;
        ++busy_;
        running.clock.start();
        running.session = std::make_unique<DeviceSession>(record.target.choice, plan_.settings);
        live_.touch();
        if (!running.session->open(record.voice)) {
            QTimer::singleShot(0, &loop_, [this, i] { end(i, PortUnavailable); });
            return;
        }
        running.task.emplace(work_({*running.session, record.voice, record.target}));
        // Ended from the event loop, never from inside the finishing task.
        running.task->start([this, i] {
            QTimer::singleShot(0, &loop_, [this, i] {
                if (running_[i].task) // not stopped meanwhile
                    end(i, running_[i].task->result());
            });
        });
    }

    void end(std::size_t i, int code)
    {
        PortRecord &record = *records_[i];
        if (record.state != PortState::Running)
            return;
        settle(i, PortState::Finished, code);
        startMore();
        if (allEnded())
            loop_.quit();
    }

    // Its state and code, the port closed and its task let go.
    void settle(std::size_t i, PortState state, int code)
    {
        PortRecord &record = *records_[i];
        Running &running = running_[i];
        if (record.state == PortState::Running) {
            record.seconds = double(running.clock.nsecsElapsed()) / 1e9;
            --busy_;
        }
        running.task.reset(); // a stopped task's exchange goes with it
        if (running.session)
            running.session->close();
        record.state = state;
        record.code = code;
        live_.touch();
    }

    void stopAll()
    {
        stopped_ = true;
        for (std::size_t i = 0; i < records_.size(); ++i) {
            const PortState state = records_[i]->state;
            if (state == PortState::Running || state == PortState::Waiting)
                settle(i, PortState::Stopped, Stopped);
        }
        loop_.quit();
    }

    const RunPlan &plan_;
    const PortWork &work_;
    PortRecords records_;
    std::vector<Running> running_;
    LiveLines live_;
    QEventLoop loop_;
    std::size_t next_ = 0;
    std::size_t busy_ = 0;
    bool stopped_ = false;
    bool described_;
};

} // namespace

int PlanRun(const CommandLine &line, int defaultPort, const SerialSettings &defaultSettings, RunPlan &plan,
            bool adaptersFirst)
{
    QString problem;
    auto targets = ResolvePortTargets(line, defaultPort, CurrentPortCatalogue(), &problem, adaptersFirst);
    if (!targets)
        return Usage(problem);
    plan.targets = std::move(*targets);
    plan.settings = defaultSettings;
    if (line.settings) {
        const auto chosen = parseSerialSettings(*line.settings, &problem);
        if (!chosen)
            return Usage(QStringLiteral("--settings \"%1\": %2").arg(Echoed(*line.settings), problem));
        plan.settings = *chosen;
    }
    if (line.jobs) {
        bool number = false;
        plan.jobs = line.jobs->toInt(&number);
        if (!number || plan.jobs < 1)
            return Usage(QStringLiteral("--jobs takes a number from 1 up, not \"%1\"").arg(Echoed(*line.jobs)));
    }
    plan.json = line.json;
    plan.quiet = line.quiet;
    return Success;
}

int RunOnPorts(const RunPlan &plan, const PortWork &work)
{
    if (!plan.targets.several)
        return runOne(plan, work);
    return SeveralPorts(plan, work).run();
}

int RunOnNamedPorts(const CommandLine &line, const PortWork &work, int defaultPort,
                    const SerialSettings &defaultSettings)
{
    RunPlan plan;
    if (const int code = PlanRun(line, defaultPort, defaultSettings, plan); code != Success)
        return code;
    return RunOnPorts(plan, work);
}

} // namespace q51::cli
