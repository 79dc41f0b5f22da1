#include "link/port_names.h"

#include <QtGlobal>

namespace q51 {

QString deviceNameForPort(int portNumber)
{
    if (portNumber < 1)
        return {};
    const QString overridden =
        qEnvironmentVariable(QStringLiteral("Q51_COM%1").arg(portNumber).toLatin1().constData());
    if (!overridden.isEmpty())
        return overridden;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

} // namespace q51
