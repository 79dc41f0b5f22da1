#pragma once
// One port's words kept for its progress line and the summary of a run
// over several ports.

#include <functional>
#include <optional>

#include <QStringList>

#include "cli/port_voice.h"

namespace q51::cli {

class KeptVoice final : public PortVoice {
public:
    void result(const QString &text) override;
    void outcome(const QString &text) override;
    void failure(const QString &text, const QString &detail = {}) override;
    void json(const QJsonObject &data) override;
    void bytes(const QByteArray &data) override;
    void progress(const QString &label, qint64 done, qint64 total) override;
    void progressEnd() override;
    void wrote(const QString &path) override;

    // Told of every change, for the progress line.
    std::function<void()> changed;

    QString data;                     // results, as one port alone would print them
    std::optional<QJsonObject> jsonData;
    QString lastWords;                // the latest outcome or failure, first line: the summary's outcome
    QStringList failureLines;         // every failure line with its detail
    QString file;
    int percent = -1;                 // -1: no progress to show
    QString label;

private:
    void tell();
};

} // namespace q51::cli
