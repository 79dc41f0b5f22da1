#pragma once
// Writes a record's safety depends on: every step checked, and on the disk
// (fsync) before they count as done.

#include <QByteArray>
#include <QString>

namespace q51 {

// Appends bytes to the file, made with its folder when missing; a file whose
// last line was cut short gets a line end first, so lines never run together.
bool AppendDurably(const QString &path, const QByteArray &bytes, QString *problem);
// Replaces the file with bytes as one step (QSaveFile); removes it for none.
bool ReplaceDurably(const QString &path, const QByteArray &bytes, QString *problem);

} // namespace q51
