#pragma once
// The simulator program (q51sim) on its own pseudo-terminal, for one
// end-to-end test. The test target defines Q51_SIM_PATH.

#include <QProcess>
#include <QString>
#include <QStringList>

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

    // Starts it and learns its device from the first line it prints.
    bool start(const QStringList &arguments)
    {
        process_.start(QStringLiteral(Q51_SIM_PATH), arguments);
        if (!process_.waitForStarted(Patience))
            return false;
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(Patience))
                return false;
        }
        const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
        const QString prefix = QStringLiteral("q51sim: ");
        if (!line.startsWith(prefix))
            return false;
        device_ = line.mid(prefix.size());
        return true;
    }

    [[nodiscard]] QString device() const { return device_; }
    // Everything logged so far, one line per request.
    QString log()
    {
        log_ += QString::fromLocal8Bit(process_.readAllStandardError());
        return log_;
    }

private:
    QProcess process_;
    QString device_;
    QString log_;
};

} // namespace q51::test
