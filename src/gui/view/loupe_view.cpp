// The loupe's square: its pixels, its note and a frame that reads on light and dark pictures.
#include "gui/view/loupe_view.h"

#include <QPainter>
#include <algorithm>

#include "gui/controls/image_bridge.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

namespace {

constexpr int kFrame = 2;
constexpr int kLargestSide = 320;

}  // namespace

LoupeView::LoupeView(QWidget* pane) : QWidget(pane)
{
    setObjectName("loupe");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

int LoupeView::sideFor(QSize pane)
{
    return std::max(32, std::min({kLargestSide, pane.width() * 3 / 4, pane.height() * 3 / 4}));
}

void LoupeView::showRegion(const Image& region, const Image& display)
{
    m_region = region;
    // The screen shows no alpha, as the pane does not.
    m_screen = toQImage(display.isEmpty() ? m_region : display).convertToFormat(QImage::Format_RGB32);
    m_note.clear();
    update();
}

void LoupeView::showNote(const QString& note)
{
    if (note == m_note && m_region.isEmpty())
        return;
    m_region = Image();
    m_screen = QImage();
    m_note = note;
    update();
}

void LoupeView::placeAt(QPoint point)
{
    const QWidget* pane = parentWidget();
    const int side = sideFor(pane->size()) + 2 * kFrame;
    QRect box(0, 0, side, side);
    box.moveCenter(point);
    box.moveLeft(std::clamp(box.left(), 0, std::max(0, pane->width() - side)));
    box.moveTop(std::clamp(box.top(), 0, std::max(0, pane->height() - side)));
    setGeometry(box);
}

void LoupeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect inside = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
    painter.fillRect(rect(), QColor(40, 40, 40));
    if (!m_screen.isNull()) {
        // A region cut at the picture's edge keeps its pixels where they are: no stretching.
        painter.drawImage(inside.topLeft(), m_screen);
        QFont small = painter.font();
        small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.85));
        painter.setFont(small);
        const QString scale = text(Strings::LoupeScale);
        QRect label = painter.fontMetrics().boundingRect(scale).adjusted(-4, -1, 4, 1);
        label.moveBottomRight(inside.bottomRight() - QPoint(2, 2));
        painter.fillRect(label, QColor(0, 0, 0, 160));
        painter.setPen(Qt::white);
        painter.drawText(label, Qt::AlignCenter, scale);
    } else if (!m_note.isEmpty()) {
        painter.setPen(Qt::white);
        painter.drawText(inside.adjusted(6, 6, -6, -6), Qt::AlignCenter | Qt::TextWordWrap, m_note);
    }
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

}  // namespace tavelune::gui
