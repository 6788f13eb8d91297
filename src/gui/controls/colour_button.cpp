// ColourButton: the swatch, its pop-up, the custom colour dialog and the screen pixel reader.
#include "gui/controls/colour_button.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTimer>

#include "gui/controls/colour_popup.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {
namespace {

ColourButton::ScreenPixelReader& pixelReader()
{
    static ColourButton::ScreenPixelReader reader;
    return reader;
}

}  // namespace

int toColourRef(const QColor& colour)
{
    return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

QColor fromColourRef(uint32_t colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

ColourButton::ColourButton(QWidget* parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &ColourButton::showPopup);
}

ColourPopup* ColourButton::popup() const
{
    return m_popup;
}

void ColourButton::setColour(int colour)
{
    m_palette.setColour(colour);
    update();
}

ColourButton::ScreenPixelReader ColourButton::setScreenPixelReader(ScreenPixelReader reader)
{
    std::swap(pixelReader(), reader);
    return reader;
}

QColor ColourButton::screenPixel(const QPoint& global)
{
    if (pixelReader())
        return pixelReader()(global);
    QScreen* screen = QGuiApplication::screenAt(global);
    if (!screen)
        return Qt::black;
    const QRect area = screen->geometry();
    const QPixmap pixel = screen->grabWindow(0, global.x() - area.x(), global.y() - area.y(), 1, 1);
    if (pixel.isNull())
        return Qt::black;
    return pixel.toImage().pixelColor(0, 0);
}

void ColourButton::showPopup()
{
    if (m_popup)
        return;
    m_popup = new ColourPopup(m_palette, m_noColourAllowed, this);
    connect(m_popup, &ColourPopup::indexChosen, this, [this](int index) {
        m_popup->close();
        choose(index);
    });
    connect(m_popup, &ColourPopup::customColourPicked, this, [this](uint32_t colour) {
        m_popup->close();
        chooseCustom(colour);
    });
    connect(m_popup, &ColourPopup::customRequested, this, [this] {
        m_popup->close();
        // After the pop-up has gone, so the dialog is not opened from inside its click.
        QTimer::singleShot(0, this, &ColourButton::askCustomColour);
    });
    m_popup->popUpUnder(this);
}

void ColourButton::choose(int index)
{
    m_palette.choose(index);
    update();
    emit colourChanged(m_palette.colour());
}

void ColourButton::chooseCustom(QRgb rgb)
{
    m_palette.chooseCustom(rgb);
    update();
    emit colourChanged(m_palette.colour());
}

void ColourButton::askCustomColour()
{
    const int current = m_palette.colour();
    QColorDialog dialog(fromColourRef(current < 0 ? m_palette.customColour() : uint32_t(current)),
                        this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(gui::text(gui::Strings::ChooseColour));
    if (dialog.exec() == QDialog::Accepted)
        chooseCustom(uint32_t(toColourRef(dialog.selectedColor())));
}

QSize ColourButton::sizeHint() const
{
    const int h = QPushButton::sizeHint().height();
    return {h * 2, h};
}

void ColourButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QStyleOptionButton option;
    initStyleOption(&option);
    QRect swatch = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    swatch.adjust(1, 2, -10, -2);
    QPainter painter(this);
    const int value = m_palette.colour();
    if (value < 0) {
        painter.fillRect(swatch, Qt::white);
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(swatch.topLeft(), swatch.bottomRight());
        painter.drawLine(swatch.topRight(), swatch.bottomLeft());
    } else {
        painter.fillRect(swatch, isEnabled() ? fromColourRef(uint32_t(value))
                                             : fromColourRef(uint32_t(value)).lighter(150));
    }
    painter.setPen(isEnabled() ? QColor(64, 64, 64) : QColor(160, 160, 160));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    // A small arrow says a pop-up opens.
    const int x = swatch.right() + 4, y = swatch.center().y();
    const QPoint arrow[3] = {{x, y - 1}, {x + 5, y - 1}, {x + 2, y + 2}};
    painter.setBrush(painter.pen().color());
    painter.drawPolygon(arrow, 3);
}

}  // namespace tavelune::gui
