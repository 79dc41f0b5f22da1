#pragma once
// Every file and stream the programs write goes through here, so no write,
// flush or commit can fail unnoticed. Each returns why it failed, in the
// system's words, or an empty text when every byte landed.

#include <QByteArray>
#include <QString>

#include <functional>

class QFileDevice;

namespace q51 {

// Puts bytes in place of path as a whole or not at all: a failed write,
// flush or commit leaves any earlier file of that name byte for byte as it
// was. A name taken by a folder, pipe or device is refused.
QString SaveWholeFile(const QString &path, const QByteArray &bytes);

// The same for content a writer produces on the device (a PDF report);
// fill returns false when it could not produce all of it.
QString SaveWholeFile(const QString &path, const std::function<bool(QFileDevice &)> &fill);

// All of bytes to an open descriptor (standard output), through short
// writes and interruptions.
QString WriteAllToDescriptor(int descriptor, const QByteArray &bytes);

} // namespace q51
