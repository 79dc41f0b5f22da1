#include "link/station_plan.h"

#include <QCryptographicHash>

#include "link/protocol/block_checksum.h"

namespace q51 {

QString BlockDigest(const Block &block)
{
    const QByteArray bytes(reinterpret_cast<const char *>(block.data()), qsizetype(block.size()));
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

Block GoldenBlock(const StationPlan &plan)
{
    Block block = plan.golden.block;
    protocol::WriteBlockChecksum(block);
    return block;
}

QString TrimmedVersion(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    return text.left(end);
}

bool SameVersion(const QString &a, const QString &b)
{
    return TrimmedVersion(a) == TrimmedVersion(b);
}

} // namespace q51
