// A spool file of any content, as a crash, a full disk or another hand may
// leave it: no read outside the bytes, every line accounted for (a record or
// damaged), and every record read writes back as the same line's record.

#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "records/spool_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto lines = q51::ParseSpoolLines(bytes);
    if (qsizetype(lines.size()) > bytes.count('\n') + 1)
        __builtin_trap();
    for (const q51::SpoolLine &line : lines) {
        if (line.text.contains('\n') || !bytes.contains(line.text))
            __builtin_trap();
        if (!line.record)
            continue;
        if (line.record->unitId.isEmpty() || !line.record->time.isValid())
            __builtin_trap();
        const auto again = q51::ParseSpoolLines(q51::SpoolLineOf(*line.record));
        if (again.size() != 1 || !again.front().record || !(*again.front().record == *line.record))
            __builtin_trap();
    }
    return 0;
}
