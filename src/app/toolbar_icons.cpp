#include "app/toolbar_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <cstring>

namespace q51 {

namespace {

// A small badge with the page's initials, drawn rather than shipped so the
// toolbar needs no image files.
QIcon badge(const QString &letters, const QColor &colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(140));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(letters.size() > 2 ? 10 : 13);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

} // namespace

QIcon ToolbarIcon(const char *key)
{
    QStyle *style = QApplication::style();
    if (!std::strcmp(key, "new"))
        return style->standardIcon(QStyle::SP_FileIcon);
    if (!std::strcmp(key, "open"))
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    if (!std::strcmp(key, "save"))
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    if (!std::strcmp(key, "irm"))
        return badge(QStringLiteral("IR"), QColor(0x2E, 0x6D, 0xB4));
    if (!std::strcmp(key, "com"))
        return badge(QStringLiteral("CP"), QColor(0x2E, 0x8B, 0x57));
    if (!std::strcmp(key, "bar"))
        return badge(QStringLiteral("BC"), QColor(0x8B, 0x45, 0x13));
    if (!std::strcmp(key, "mis"))
        return badge(QStringLiteral("MP"), QColor(0x6A, 0x3D, 0x9A));
    if (!std::strcmp(key, "transmit"))
        return badge(QStringLiteral("TX"), QColor(0xB2, 0x22, 0x22));
    if (!std::strcmp(key, "KRtest"))
        return badge(QStringLiteral("K/R"), QColor(0x55, 0x55, 0x55));
    return {};
}

QIcon ApplicationIcon()
{
    return badge(QStringLiteral("51"), QColor(0x2E, 0x6D, 0xB4));
}

} // namespace q51
