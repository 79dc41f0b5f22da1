#include "link/number_text.h"

namespace q51 {

QString withSignPlace(int number)
{
    return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
}

} // namespace q51
