#include "link/port_holders.h"

#include <QFileInfo>
#include <QHash>

namespace q51 {

namespace {

struct Holding {
    QString device;
    QString holder;
};

QHash<const void *, Holding> &holdings()
{
    static QHash<const void *, Holding> map;
    return map;
}

QString realPath(const QString &device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

} // namespace

void NoteHolder(const void *key, const QString &device, const QString &holder)
{
    holdings().insert(key, Holding{realPath(device), holder});
}

void ForgetHolder(const void *key)
{
    holdings().remove(key);
}

QString HolderOf(const QString &device, const void *key)
{
    const QString path = realPath(device);
    for (auto it = holdings().cbegin(); it != holdings().cend(); ++it) {
        if (it.key() != key && it->device == path)
            return it->holder;
    }
    return {};
}

} // namespace q51
