#pragma once
// Group numbers as the user types them into the stored-data window.

#include <optional>

#include <QString>

namespace q51 {

// The number in the text when it is a whole decimal number from 0 to 2000,
// blanks around it allowed; nothing otherwise (empty, signs, decimals,
// letters, or out of range).
[[nodiscard]] std::optional<int> ParseGroupNumber(const QString &text);

} // namespace q51
