#pragma once
// The simulator program (q51sim) on its own pseudo-terminal, for one
// end-to-end test. The test target defines Q51_SIM_PATH.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>

namespace q51::test {

class SimulatorProcess {
public:
    // Generous: the machine may be busy running the rest of the suite.
    static constexpr int Patience = 20000;

    ~SimulatorProcess()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished(5000);
    }

    // Starts it and learns its devices from the first lines it prints: one,
    // or as many as "--count" in the arguments asks for.
    bool start(const QStringList &arguments)
    {
        const qsizetype count = arguments.indexOf(QStringLiteral("--count"));
        const int expected = count >= 0 ? arguments.value(count + 1).toInt() : 1;
        process_.start(QStringLiteral(Q51_SIM_PATH), arguments);
        if (!process_.waitForStarted(Patience))
            return false;
        const QString prefix = QStringLiteral("q51sim: ");
        while (devices_.size() < expected) {
            while (!process_.canReadLine()) {
                if (!process_.waitForReadyRead(Patience))
                    return false;
            }
            const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
            if (!line.startsWith(prefix))
                return false;
            devices_ << line.mid(prefix.size());
        }
        return true;
    }

    // The device vanishes as an unplugged adapter does, or comes back under
    // the same --link name; the log says "vanished" or "back on".
    bool toggleVanish() { return ::kill(pid_t(process_.processId()), SIGUSR1) == 0; }

    // The decoder in hand leaves and, after --unit-gap, the next unit is
    // plugged in; the log says "unit N left" and "unit N plugged in on".
    bool nextUnit() { return ::kill(pid_t(process_.processId()), SIGUSR2) == 0; }

    // Stops it as Ctrl+C would and waits until it has ended.
    bool stop()
    {
        process_.terminate();
        return process_.waitForFinished(Patience);
    }

    [[nodiscard]] QString device() const { return devices_.value(0); }
    [[nodiscard]] const QStringList &devices() const { return devices_; }
    // Everything logged so far, one line per request.
    QString log()
    {
        log_ += QString::fromLocal8Bit(process_.readAllStandardError());
        return log_;
    }

private:
    QProcess process_;
    QStringList devices_;
    QString log_;
};

} // namespace q51::test
