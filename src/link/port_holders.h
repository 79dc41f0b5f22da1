#pragma once
// Which window of this program holds which device right now, so that a
// port refused as busy can name the window to finish or close instead of
// blaming "another program".

#include <QString>

namespace q51 {

// Notes that holder (a window's title) holds device through the port
// object key, until that key lets go. A device is known by its real path,
// so a by-id link and its target are one device.
void NoteHolder(const void *key, const QString &device, const QString &holder);
void ForgetHolder(const void *key);

// The holder of the device other than key; empty when none of ours.
[[nodiscard]] QString HolderOf(const QString &device, const void *key = nullptr);

} // namespace q51
