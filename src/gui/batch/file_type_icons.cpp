// File-type icons drawn as a folded sheet with a coloured band and the type's letters.
#include "gui/batch/file_type_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace tavelune::gui {

QIcon fileTypeIcon(int index)
{
    struct Look {
        const char* letters;
        QColor band;
    };
    static const std::array<Look, 10> kLooks = {{
        {"JPG", QColor(0x1f, 0x6f, 0xc5)},
        {"TIF", QColor(0x2e, 0x8b, 0x57)},
        {"PSD", QColor(0x3a, 0x4f, 0x9e)},
        {"GIF", QColor(0xc0, 0x6a, 0x10)},
        {"BMP", QColor(0x80, 0x80, 0x80)},
        {"PNG", QColor(0x9b, 0x3c, 0xa8)},
        {"WEBP", QColor(0x1a, 0x8a, 0x8a)},
        {"HEIC", QColor(0xb0, 0x3a, 0x3a)},
        {"AVIF", QColor(0x6a, 0x5a, 0x20)},
        {"RAW", QColor(0x30, 0x30, 0x30)},
    }};
    if (index < 0 || index >= int(kLooks.size())) {
        return {};
    }
    const Look& look = kLooks[size_t(index)];
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(20 * scale, 18 * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        // The sheet with its folded corner.
        QPainterPath sheet;
        sheet.moveTo(3.5, 0.5);
        sheet.lineTo(12.5, 0.5);
        sheet.lineTo(16.5, 4.5);
        sheet.lineTo(16.5, 17.5);
        sheet.lineTo(3.5, 17.5);
        sheet.closeSubpath();
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
        p.setBrush(Qt::white);
        p.drawPath(sheet);
        p.drawLine(QPointF(12.5, 0.5), QPointF(12.5, 4.5));
        p.drawLine(QPointF(12.5, 4.5), QPointF(16.5, 4.5));
        // The band reaches past the sheet so the letters stay readable at 20 pixels.
        p.setPen(Qt::NoPen);
        p.setBrush(look.band);
        p.drawRoundedRect(QRectF(0, 8, 20, 8), 1.5, 1.5);
        QFont font;
        font.setPixelSize(7);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 8, 20, 8), Qt::AlignCenter, QString::fromLatin1(look.letters));
        p.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tavelune::gui
