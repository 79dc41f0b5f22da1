#pragma once
// What the test window shows for bytes received on the serial port: each
// printable byte as its single-byte character, each control byte (0 to 31)
// by name in angle brackets, so 02 41 42 0D reads "<STX>AB<CR>".

#include <QByteArray>
#include <QString>

namespace q51 {

[[nodiscard]] QString SpellOutBytes(const QByteArray &bytes);

} // namespace q51
