#include "link/group_number_text.h"

#include "link/protocol/stored_data_requests.h"

namespace q51 {

std::optional<int> ParseGroupNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    if (value < protocol::MinGroupNumber || value > protocol::MaxGroupNumber)
        return std::nullopt;
    return value;
}

} // namespace q51
