// ColourPopup: the palette cells, the custom button and the eyedropper with its live field.
#include "gui/controls/colour_popup.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

#include "gui/controls/colour_button.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

ColourCell::ColourCell(int index, QWidget* parent) : QAbstractButton(parent), m_index(index)
{
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(sizeHint());
    setAttribute(Qt::WA_Hover);
}

void ColourCell::setColour(uint32_t colour)
{
    m_colour = colour & 0xFFFFFF;
    update();
}

void ColourCell::setCurrent(bool current)
{
    m_current = current;
    update();
}

void ColourCell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect swatch = rect().adjusted(2, 2, -2, -2);
    if (m_index < 0) {
        painter.fillRect(swatch, Qt::white);
        painter.setPen(QPen(QColor(128, 128, 128), 1));
        painter.drawLine(swatch.topLeft(), swatch.bottomRight());
        painter.drawLine(swatch.topRight(), swatch.bottomLeft());
    } else {
        painter.fillRect(swatch, fromColourRef(m_colour));
    }
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    if (m_current || underMouse()) {
        painter.setPen(QPen(m_current ? QColor(10, 36, 106) : QColor(81, 147, 195), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

Eyedropper::Eyedropper(QWidget* parent) : QAbstractButton(parent)
{
    setText(gui::text(gui::Strings::Eyedropper));
    setToolTip(gui::text(gui::Strings::EyedropperTip));
    setFocusPolicy(Qt::NoFocus);
}

QSize Eyedropper::sizeHint() const
{
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = QAbstractButton::text();
    const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, option.text);
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, textSize + QSize(8, 2), this);
}

void Eyedropper::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = QAbstractButton::text();
    if (m_dragging)
        option.state |= QStyle::State_Sunken;
    else
        option.state |= QStyle::State_Raised;
    painter.drawControl(QStyle::CE_PushButton, option);
}

uint32_t Eyedropper::sample(const QPoint& global) const
{
    return uint32_t(toColourRef(ColourButton::screenPixel(global)));
}

void Eyedropper::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The press keeps every later move and the release coming here, wherever the pointer goes.
    m_dragging = true;
    setCursor(Qt::CrossCursor);
    update();
    emit colourUnderPointer(sample(event->globalPosition().toPoint()));
}

void Eyedropper::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        emit colourUnderPointer(sample(event->globalPosition().toPoint()));
}

void Eyedropper::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    unsetCursor();
    update();
    emit colourPicked(sample(event->globalPosition().toPoint()));
}

ColourPopup::ColourPopup(const ColourPalette& palette, bool noColourAllowed, QWidget* parent)
    : QFrame(parent, Qt::Popup)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(1);
    constexpr int kColumns = 10;

    auto addCell = [&](int index, uint32_t colour) {
        auto* cell = new ColourCell(index, this);
        cell->setColour(colour);
        cell->setCurrent(index == palette.index());
        connect(cell, &QAbstractButton::clicked, this, [this, index] { emit indexChosen(index); });
        m_cells.push_back(cell);
        return cell;
    };

    ColourCell* none = addCell(-1, 0xFFFFFF);
    none->setToolTip(gui::text(gui::Strings::NoColour));
    if (noColourAllowed) {
        grid->addWidget(none, 0, 0);
        auto* noneLabel = new QLabel(gui::text(gui::Strings::NoColour), this);
        grid->addWidget(noneLabel, 0, 1, 1, kColumns - 1);
    } else {
        none->hide();
    }
    for (int i = 0; i < int(kFixedColours.size()); ++i) {
        ColourCell* cell = addCell(i, kFixedColours[size_t(i)]);
        cell->setToolTip(QString::fromStdString(colourHexText(kFixedColours[size_t(i)])));
        grid->addWidget(cell, 1 + i / kColumns, i % kColumns);
    }

    ColourCell* slot = addCell(kCustomSlot, palette.customColour());
    grid->addWidget(slot, 3, 0);
    m_field = new QLabel(this);
    m_field->setAlignment(Qt::AlignCenter);
    m_field->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("#MMMMMM")));
    grid->addWidget(m_field, 3, 1, 1, 4);
    m_eyedropper = new Eyedropper(this);
    grid->addWidget(m_eyedropper, 3, 5, 1, kColumns - 5);
    m_custom = new QPushButton(gui::text(gui::Strings::CustomColour), this);
    m_custom->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(m_custom, 4, 0, 1, kColumns);
    showInField(palette.customColour());

    connect(m_custom, &QPushButton::clicked, this, &ColourPopup::customRequested);
    connect(m_eyedropper, &Eyedropper::colourUnderPointer, this, [this, slot](uint32_t colour) {
        slot->setColour(colour);
        showInField(colour);
    });
    connect(m_eyedropper, &Eyedropper::colourPicked, this, [this, slot](uint32_t colour) {
        slot->setColour(colour);
        showInField(colour);
        emit customColourPicked(colour);
    });
}

ColourCell* ColourPopup::cell(int index) const
{
    const int at = index < 0 ? 0 : index + 1;
    return at < int(m_cells.size()) ? m_cells[size_t(at)] : nullptr;
}

QString ColourPopup::fieldText() const
{
    return m_field->text();
}

void ColourPopup::showInField(uint32_t colour)
{
    const QColor back = fromColourRef(colour);
    const QColor fore = fromColourRef(invertedColour(colour));
    m_field->setText(QString::fromStdString(colourHexText(colour)));
    m_field->setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; border: 1px solid "
                                          "#808080; }")
                               .arg(back.name(), fore.name()));
}

void ColourPopup::popUpUnder(QWidget* anchor)
{
    QScreen* screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    auto place = [this, anchor, screen] {
        QPoint at = anchor->mapToGlobal(QPoint(0, anchor->height()));
        if (screen) {
            const QRect area = screen->availableGeometry();
            if (at.y() + height() > area.bottom() + 1)
                at.setY(anchor->mapToGlobal(QPoint(0, 0)).y() - height());
            at.setX(
                std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
            at.setY(
                std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
        }
        move(at);
    };
    adjustSize();
    place();
    show();
    // The final size is known only once shown.
    place();
}

}  // namespace tavelune::gui
