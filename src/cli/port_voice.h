#pragma once
// Where one port's words go. With one port they are printed as they come,
// as q51ctl always did; with several, each port's are kept for its line
// and the summary, so ports running side by side never mix their output.

#include <QJsonObject>
#include <QString>

namespace q51::cli {

class PortVoice {
public:
    virtual ~PortVoice() = default;
    virtual void result(const QString &text) = 0;                            // data
    virtual void outcome(const QString &text) = 0;                           // "Download OK!"
    virtual void failure(const QString &text, const QString &detail = {}) = 0;
    virtual void json(const QJsonObject &data) = 0;                          // --json's document
    virtual void bytes(const QByteArray &data) = 0;                          // data that is not text
    // Long work under way: done of total (a total of 0 hides it).
    virtual void progress(const QString &label, qint64 done, qint64 total) = 0;
    // The work counted by progress() is over.
    virtual void progressEnd() = 0;
    // A file the port's work wrote, for the summary.
    virtual void wrote(const QString &) {}
};

// Prints at once: data on stdout, outcomes and failures on stderr, the
// progress bar on a terminal.
class PrintingVoice final : public PortVoice {
public:
    PrintingVoice();
    ~PrintingVoice() override;
    void result(const QString &text) override;
    void outcome(const QString &text) override;
    void failure(const QString &text, const QString &detail = {}) override;
    void json(const QJsonObject &data) override;
    void bytes(const QByteArray &data) override;
    void progress(const QString &label, qint64 done, qint64 total) override;
    void progressEnd() override;

private:
    struct Meter;
    std::unique_ptr<Meter> meter_;
};

} // namespace q51::cli
