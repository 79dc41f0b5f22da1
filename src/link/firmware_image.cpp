#include "link/firmware_image.h"

#include <QFile>

#include "link/protocol/isp_frames.h"

namespace q51 {

FirmwareImage LoadFirmwareImage(const QString &path)
{
    constexpr auto Limit = static_cast<qint64>(protocol::IspImageLimit);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {FirmwareImage::Problem::CannotOpen, {}};
    // Page numbers run out at 64K: a larger file is refused unread. A device
    // or pipe has no size, so at most one byte past the limit is read.
    if (!file.isSequential() && file.size() >= Limit)
        return {FirmwareImage::Problem::TooLarge, {}};
    const QByteArray data = file.read(Limit);
    if (data.size() >= Limit)
        return {FirmwareImage::Problem::TooLarge, {}};
    if (file.error() != QFileDevice::NoError)
        return {FirmwareImage::Problem::CannotOpen, {}};
    return {FirmwareImage::Problem::None, protocol::Bytes(data.begin(), data.end())};
}

} // namespace q51
