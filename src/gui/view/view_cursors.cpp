// Magnifier cursors drawn once, and the system cursors the other tools use.
#include "gui/view/view_cursors.h"

#include <QPainter>
#include <QPixmap>

#include "view/image_view_model.h"

namespace tavelune::gui {

namespace {

// Hot spot at the lens centre, where the zoom is anchored.
QCursor magnifier(bool plus)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(12.5, 12.5);
    painter.setPen(QPen(Qt::white, 4.0));
    painter.drawEllipse(centre, 8.0, 8.0);
    painter.drawLine(QPointF(19, 19), QPointF(28, 28));
    painter.setPen(QPen(Qt::black, 2.0));
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawEllipse(centre, 8.0, 8.0);
    painter.setPen(QPen(Qt::black, 3.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(19, 19), QPointF(27, 27));
    painter.setPen(QPen(Qt::black, 1.6));
    painter.drawLine(QPointF(8.5, 12.5), QPointF(16.5, 12.5));
    if (plus)
        painter.drawLine(QPointF(12.5, 8.5), QPointF(12.5, 16.5));
    painter.end();
    return QCursor(pixmap, 12, 12);
}

}  // namespace

QCursor toolCursor(int tool, bool dragging)
{
    // Drawn on demand: a static pixmap would outlive the application object.
    switch (tool) {
        case kZoomInTool:
            return magnifier(true);
        case kZoomOutTool:
            return magnifier(false);
        case kHandTool:
            return dragging ? Qt::ClosedHandCursor : Qt::OpenHandCursor;
        case 4:
            return Qt::CrossCursor;
        case 6:
            return Qt::PointingHandCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace tavelune::gui
