// Line icons drawn with QPainter on a 24-unit grid, snapped to whole pixels at every size.
#include "gui/controls/icons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <cmath>
#include <initializer_list>

namespace tavelune::gui {
namespace {

constexpr qreal kGrid = 24.0;

struct Colours {
    QColor line;
    QColor accent;
    QColor alert;
};

Colours coloursFor(IconBackground background)
{
    if (background == IconBackground::Dark) {
        return {QColor(0xdc, 0xdc, 0xdc), QColor(0xf2, 0xa3, 0x3a), QColor(0xff, 0x6e, 0x5e)};
    }
    // Follows the desktop's theme, so a dark window theme still gets readable buttons.
    return {QGuiApplication::palette().color(QPalette::ButtonText), QColor(0xa0, 0x52, 0x00),
            QColor(0xc6, 0x28, 0x28)};
}

/// Draws in grid units; straight strokes land on pixel centres (odd widths) or pixel edges
/// (even widths), mirrored about the middle, so a 1-pixel line never smears over two pixels.
class Sketch {
public:
    Sketch(QPainter& painter, int size, const Colours& colours)
        : m_p(painter), m_size(size), m_scale(size / kGrid), m_colours(colours)
    {
        m_width = std::max(1.0, std::round(size / 16.0));
        setColour(colours.line);
    }

    const Colours& colours() const { return m_colours; }

    void setColour(const QColor& colour)
    {
        m_colour = colour;
        QPen pen(colour, m_width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        m_p.setPen(pen);
        m_p.setBrush(Qt::NoBrush);
    }

    QPointF at(qreal x, qreal y) const { return {snap(x), snap(y)}; }
    QPointF raw(qreal x, qreal y) const { return {x * m_scale, y * m_scale}; }
    qreal length(qreal units) const { return units * m_scale; }

    void line(qreal x1, qreal y1, qreal x2, qreal y2) { m_p.drawLine(at(x1, y1), at(x2, y2)); }

    void polyline(std::initializer_list<QPointF> points, bool closed = false)
    {
        QPolygonF polygon;
        for (const auto& p : points) {
            polygon << at(p.x(), p.y());
        }
        if (closed) {
            m_p.drawPolygon(polygon);
        } else {
            m_p.drawPolyline(polygon);
        }
    }

    void rect(qreal x, qreal y, qreal w, qreal h)
    {
        polyline({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, true);
    }

    /// A solid block (no outline), for shapes too small to carry a stroke.
    void block(qreal x, qreal y, qreal w, qreal h, qreal alpha = 1.0)
    {
        QColor colour = m_colour;
        colour.setAlphaF(colour.alphaF() * alpha);
        const QPointF a(std::round(x * m_scale), std::round(y * m_scale));
        const QPointF b(std::round((x + w) * m_scale), std::round((y + h) * m_scale));
        m_p.fillRect(QRectF(a, b), colour);
    }

    void fillPolygon(std::initializer_list<QPointF> points, qreal alpha)
    {
        QPolygonF polygon;
        for (const auto& p : points) {
            polygon << at(p.x(), p.y());
        }
        QColor colour = m_colour;
        colour.setAlphaF(colour.alphaF() * alpha);
        m_p.save();
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(colour);
        m_p.drawPolygon(polygon);
        m_p.restore();
    }

    void ellipse(qreal cx, qreal cy, qreal rx, qreal ry)
    {
        m_p.drawEllipse(raw(cx, cy), length(rx), length(ry));
    }

    void dot(qreal cx, qreal cy, qreal r)
    {
        m_p.save();
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(m_colour);
        // Never thinner than the stroke, or the dot vanishes at 16 pixels.
        const qreal radius = std::max(length(r), m_width * 0.6);
        m_p.drawEllipse(raw(cx, cy), radius, radius);
        m_p.restore();
    }

    /// Arc in Qt's convention: degrees counter-clockwise from three o'clock; negative sweeps
    /// run clockwise. Returns the end point and the direction of travel there (grid units).
    std::pair<QPointF, QPointF> arc(qreal cx, qreal cy, qreal r, qreal start, qreal sweep)
    {
        const QRectF box(raw(cx - r, cy - r), raw(cx + r, cy + r));
        QPainterPath path;
        path.arcMoveTo(box, start);
        path.arcTo(box, start, sweep);
        m_p.drawPath(path);
        const qreal end = (start + sweep) * M_PI / 180.0;
        const QPointF point(cx + r * std::cos(end), cy - r * std::sin(end));
        const qreal turn = sweep < 0 ? 1.0 : -1.0;
        return {point, QPointF(turn * std::sin(end), turn * std::cos(end))};
    }

    /// Two wings behind tip, opened 40 degrees either side of the travel direction.
    void arrowHead(QPointF tip, QPointF direction, qreal size)
    {
        const qreal len = std::hypot(direction.x(), direction.y());
        const QPointF d = direction / len;
        const qreal c = std::cos(40 * M_PI / 180.0);
        const qreal s = std::sin(40 * M_PI / 180.0);
        const QPointF back(-d.x(), -d.y());
        const QPointF w1(back.x() * c - back.y() * s, back.x() * s + back.y() * c);
        const QPointF w2(back.x() * c + back.y() * s, -back.x() * s + back.y() * c);
        QPolygonF wings;
        wings << raw(tip.x() + w1.x() * size, tip.y() + w1.y() * size) << raw(tip.x(), tip.y())
              << raw(tip.x() + w2.x() * size, tip.y() + w2.y() * size);
        m_p.drawPolyline(wings);
    }

    /// Removes what was drawn under a disc, so an overlaid badge stays legible.
    void clearDisc(qreal cx, qreal cy, qreal r)
    {
        m_p.save();
        m_p.setCompositionMode(QPainter::CompositionMode_Clear);
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(Qt::black);
        m_p.drawEllipse(raw(cx, cy), length(r), length(r));
        m_p.restore();
    }

    /// A small landscape (hills and a sun) inside the box, the shorthand for "a photograph".
    void landscape(qreal x, qreal y, qreal w, qreal h)
    {
        polyline({{x, y + h * 0.85},
                  {x + w * 0.35, y + h * 0.4},
                  {x + w * 0.6, y + h * 0.7},
                  {x + w * 0.78, y + h * 0.5},
                  {x + w, y + h * 0.8}});
        dot(x + w * 0.72, y + h * 0.2, std::min(w, h) * 0.1);
    }

private:
    qreal snap(qreal units) const
    {
        const qreal v = units * m_scale;
        const bool odd = static_cast<int>(m_width) % 2 == 1;
        if (!odd) {
            return std::round(v);
        }
        // Rounding towards the middle keeps the margins equal on both sides.
        return v < m_size / 2.0 ? std::floor(v) + 0.5 : std::ceil(v) - 0.5;
    }

    QPainter& m_p;
    int m_size;
    qreal m_scale;
    qreal m_width = 1.0;
    Colours m_colours;
    QColor m_colour;
};

void drawMirror(Sketch& s, bool transpose)
{
    auto p = [transpose](qreal x, qreal y) { return transpose ? QPointF(y, x) : QPointF(x, y); };
    for (const auto& [a, b] : {std::pair{3.0, 5.5}, std::pair{9.0, 15.0}, std::pair{18.5, 21.0}}) {
        const QPointF from = p(12, a);
        const QPointF to = p(12, b);
        s.line(from.x(), from.y(), to.x(), to.y());
    }
    s.polyline({p(9, 6), p(9, 18), p(3, 18)}, true);
    s.fillPolygon({p(15, 6), p(15, 18), p(21, 18)}, 0.45);
    s.polyline({p(15, 6), p(15, 18), p(21, 18)}, true);
}

void drawIcon(Sketch& s, ButtonIcon id)
{
    switch (id) {
        case ButtonIcon::Open:
            s.polyline({{3, 5}, {9, 5}, {11, 7.5}, {21, 7.5}, {21, 19}, {3, 19}}, true);
            s.line(3, 10.5, 21, 10.5);
            break;
        case ButtonIcon::Save:
            s.polyline({{4, 14}, {4, 20}, {20, 20}, {20, 14}});
            s.line(12, 3.5, 12, 15);
            s.polyline({{7.5, 10.5}, {12, 15}, {16.5, 10.5}});
            break;
        case ButtonIcon::Apply:
            // "=>" reads the same in every language.
            s.setColour(s.colours().accent);
            s.line(3, 9, 14, 9);
            s.line(3, 15, 14, 15);
            s.polyline({{12, 5}, {19, 12}, {12, 19}});
            break;
        case ButtonIcon::Rotate: {
            const auto [end, dir] = s.arc(11.5, 12.5, 7, 250, -250);
            s.arrowHead(end + dir * 0.8, dir, 4);
            break;
        }
        case ButtonIcon::MirrorLeftRight:
            drawMirror(s, false);
            break;
        case ButtonIcon::FlipTopBottom:
            drawMirror(s, true);
            break;
        case ButtonIcon::Close:
            s.rect(3, 4, 15, 12);
            s.landscape(3, 6, 15, 10);
            s.clearDisc(17.5, 17.5, 5.5);
            s.setColour(s.colours().alert);
            s.line(15, 15, 20.5, 20.5);
            s.line(20.5, 15, 15, 20.5);
            break;
        case ButtonIcon::PictureSize:
            s.rect(3, 13, 8, 8);
            s.polyline({{14, 3}, {21, 3}, {21, 10}});
            s.line(8, 16, 17, 7);
            s.polyline({{12, 7}, {17, 7}, {17, 12}});
            break;
        case ButtonIcon::ActualPixels:
            s.polyline({{4, 8}, {7, 5}, {7, 19}});
            s.dot(12, 9.5, 1.3);
            s.dot(12, 15, 1.3);
            s.polyline({{17, 8}, {20, 5}, {20, 19}});
            break;
        case ButtonIcon::FitWindow:
            s.rect(2, 5, 20, 14);
            s.line(6, 12, 18, 12);
            s.polyline({{9, 9}, {6, 12}, {9, 15}});
            s.polyline({{15, 9}, {18, 12}, {15, 15}});
            break;
        case ButtonIcon::Same:
            s.rect(2, 6, 9, 12);
            s.rect(13, 6, 9, 12);
            // The same detail at the same place in both panes.
            s.dot(5.5, 14.5, 1.6);
            s.dot(16.5, 14.5, 1.6);
            break;
        case ButtonIcon::FullScreen:
            s.polyline({{3, 8}, {3, 3}, {8, 3}});
            s.polyline({{16, 3}, {21, 3}, {21, 8}});
            s.polyline({{21, 16}, {21, 21}, {16, 21}});
            s.polyline({{8, 21}, {3, 21}, {3, 16}});
            s.line(12, 6, 12, 18);
            break;
        case ButtonIcon::Loupe:
            // A magnifier over a pixel grid: the original's own pixels.
            s.ellipse(10, 10, 7, 7);
            s.line(15, 15, 21, 21);
            s.line(7.5, 10, 12.5, 10);
            s.line(10, 7.5, 10, 12.5);
            break;
        case ButtonIcon::ExifEditor:
            s.line(3, 5, 13, 5);
            s.line(3, 10, 11, 10);
            s.line(3, 15, 8, 15);
            s.polyline({{10.5, 21}, {11.5, 17}, {18.5, 10}, {21.5, 13}, {14.5, 20}}, true);
            s.line(16.5, 12, 19.5, 15);
            break;
        case ButtonIcon::Batch:
            s.rect(2, 10, 12, 10);
            s.landscape(2, 12, 12, 8);
            s.polyline({{5, 10}, {5, 7}, {17, 7}, {17, 17}, {14, 17}});
            s.polyline({{8, 7}, {8, 4}, {20, 4}, {20, 14}, {17, 14}});
            break;
        case ButtonIcon::IndexPrint:
            s.rect(4, 2, 16, 20);
            for (int row = 0; row < 3; ++row) {
                for (int col = 0; col < 2; ++col) {
                    s.block(6.5 + col * 6.5, 4.5 + row * 6, 4.5, 3.5, 0.85);
                }
            }
            break;
        case ButtonIcon::Help: {
            s.ellipse(12, 12, 9, 9);
            s.arc(12, 9.5, 3, 165, -225);
            s.line(13.5, 12.1, 12, 13.6);
            s.line(12, 13.6, 12, 14.2);
            s.dot(12, 17.2, 1.1);
            break;
        }
        case ButtonIcon::Support:
            s.ellipse(12, 12, 9, 9);
            s.ellipse(12, 12, 3.8, 9);
            s.line(3, 12, 21, 12);
            s.line(4.5, 7.5, 19.5, 7.5);
            s.line(4.5, 16.5, 19.5, 16.5);
            break;
        case ButtonIcon::ExifImageInfo:
            s.rect(3, 5, 18, 14);
            s.landscape(3, 7, 18, 12);
            break;
        case ButtonIcon::ExifShootingInfo:
            s.polyline({{3, 8}, {8, 8}, {9.5, 5}, {14.5, 5}, {16, 8}, {21, 8}, {21, 20}, {3, 20}},
                       true);
            s.ellipse(12, 14, 3.5, 3.5);
            break;
        case ButtonIcon::ExifInteropInfo:
            s.line(4, 8, 19, 8);
            s.polyline({{15, 4}, {19, 8}, {15, 12}});
            s.line(5, 16, 20, 16);
            s.polyline({{9, 12}, {5, 16}, {9, 20}});
            break;
        case ButtonIcon::ExifFileInfo:
            s.polyline({{5, 3}, {14, 3}, {19, 8}, {19, 21}, {5, 21}}, true);
            s.polyline({{14, 3}, {14, 8}, {19, 8}});
            s.line(8, 13, 16, 13);
            s.line(8, 17, 16, 17);
            break;
    }
}

class LineIconEngine : public QIconEngine {
public:
    LineIconEngine(ButtonIcon id, IconBackground background) : m_id(id), m_background(background) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const int size = std::min(rect.width(), rect.height());
        if (size <= 0) {
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - size) / 2,
                           rect.y() + (rect.height() - size) / 2);
        if (mode == QIcon::Disabled) {
            painter->setOpacity(painter->opacity() * 0.38);
        }
        Sketch sketch(*painter, size, coloursFor(m_background));
        drawIcon(sketch, m_id);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new LineIconEngine(m_id, m_background); }
    QString key() const override { return QStringLiteral("tavelune-line-icon"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }

private:
    ButtonIcon m_id;
    IconBackground m_background;
};

}  // namespace

QIcon buttonIcon(ButtonIcon id, IconBackground background)
{
    return QIcon(new LineIconEngine(id, background));
}

const char* buttonIconName(ButtonIcon id)
{
    switch (id) {
        case ButtonIcon::Open:
            return "Open";
        case ButtonIcon::Save:
            return "Save";
        case ButtonIcon::Apply:
            return "Apply";
        case ButtonIcon::Rotate:
            return "Rotate";
        case ButtonIcon::MirrorLeftRight:
            return "MirrorLeftRight";
        case ButtonIcon::FlipTopBottom:
            return "FlipTopBottom";
        case ButtonIcon::Close:
            return "Close";
        case ButtonIcon::PictureSize:
            return "PictureSize";
        case ButtonIcon::ActualPixels:
            return "ActualPixels";
        case ButtonIcon::FitWindow:
            return "FitWindow";
        case ButtonIcon::Same:
            return "Same";
        case ButtonIcon::FullScreen:
            return "FullScreen";
        case ButtonIcon::Loupe:
            return "Loupe";
        case ButtonIcon::ExifEditor:
            return "ExifEditor";
        case ButtonIcon::Batch:
            return "Batch";
        case ButtonIcon::IndexPrint:
            return "IndexPrint";
        case ButtonIcon::Help:
            return "Help";
        case ButtonIcon::Support:
            return "Support";
        case ButtonIcon::ExifImageInfo:
            return "ExifImageInfo";
        case ButtonIcon::ExifShootingInfo:
            return "ExifShootingInfo";
        case ButtonIcon::ExifInteropInfo:
            return "ExifInteropInfo";
        case ButtonIcon::ExifFileInfo:
            return "ExifFileInfo";
    }
    return "?";
}

}  // namespace tavelune::gui
