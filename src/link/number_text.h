#pragma once
// Numbers shown to the user as part of a status or message text carry a
// leading blank, the place of their sign: page 0 reads " 0".

#include <QString>

namespace q51 {

[[nodiscard]] QString withSignPlace(int number);

} // namespace q51
