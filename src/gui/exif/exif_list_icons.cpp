// Draws the EXIF list's header icons as light line art that reads on the blue header rows.
#include "gui/exif/exif_list_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "exif/exif_list.h"

namespace tavelune::gui {
namespace {

constexpr int kSize = 16;

QPixmap blankIcon()
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawFile(QPainter& p)
{
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.drawPath(page);
    p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
    p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
    for (double y = 7.5; y < 14; y += 2.5) p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
}

void drawImage(QPainter& p)
{
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    QPainterPath hills;
    hills.moveTo(2, 13);
    hills.lineTo(6, 8);
    hills.lineTo(9, 11);
    hills.lineTo(11, 9);
    hills.lineTo(14, 13);
    p.drawPath(hills);
    p.drawEllipse(QPointF(11, 5.5), 1.2, 1.2);
}

void drawCamera(QPainter& p)
{
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.5, 1.5);
    p.drawRect(QRectF(5.5, 2.5, 5, 2));
    p.drawEllipse(QPointF(8, 9), 2.8, 2.8);
}

void drawExchange(QPainter& p)
{
    p.drawLine(QPointF(2, 5.5), QPointF(13, 5.5));
    p.drawLine(QPointF(13, 5.5), QPointF(10, 2.5));
    p.drawLine(QPointF(14, 10.5), QPointF(3, 10.5));
    p.drawLine(QPointF(3, 10.5), QPointF(6, 13.5));
}

}  // namespace

QIcon exifGroupIcon(int headerStringId)
{
    void (*draw)(QPainter&) = nullptr;
    switch (headerStringId) {
        case kStringFileInfo:
            draw = drawFile;
            break;
        case kStringImageInfo:
            draw = drawImage;
            break;
        case kStringShootingInfo:
            draw = drawCamera;
            break;
        case kStringInteropInfo:
            draw = drawExchange;
            break;
        default:
            return {};
    }
    QPixmap pixmap = blankIcon();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(235, 235, 235), 1.2));
    painter.setBrush(Qt::NoBrush);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

}  // namespace tavelune::gui
