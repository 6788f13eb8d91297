// The colour button's pop-up: no colour, twenty fixed cells, the custom slot and the eyedropper.
#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <vector>

#include "overlay/colour_palette.h"

class QLabel;
class QPushButton;

namespace tavelune::gui {

/// One swatch; index -1 is the no-colour cell, drawn white with a grey cross.
class ColourCell : public QAbstractButton {
    Q_OBJECT
public:
    ColourCell(int index, QWidget* parent);
    int index() const { return m_index; }
    void setColour(uint32_t colour);
    void setCurrent(bool current);
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_index;
    uint32_t m_colour = 0xFFFFFF;
    bool m_current = false;
};

/// Press, drag anywhere on the screen, release: the pixel under the pointer.
class Eyedropper : public QAbstractButton {
    Q_OBJECT
public:
    explicit Eyedropper(QWidget* parent);
    QSize sizeHint() const override;

signals:
    void colourUnderPointer(uint32_t colour);
    void colourPicked(uint32_t colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    uint32_t sample(const QPoint& global) const;
    bool m_dragging = false;
};

class ColourPopup : public QFrame {
    Q_OBJECT
public:
    ColourPopup(const ColourPalette& palette, bool noColourAllowed, QWidget* parent);

    /// The cell of a palette index (-1 the no-colour cell, 20 the custom slot), for tests.
    ColourCell* cell(int index) const;
    Eyedropper* eyedropper() const { return m_eyedropper; }
    QPushButton* customButton() const { return m_custom; }
    /// The "#RRGGBB" field's text.
    QString fieldText() const;

    /// Shows the pop-up under anchor, moved back inside the screen when it would stick out.
    void popUpUnder(QWidget* anchor);

signals:
    void indexChosen(int index);
    void customColourPicked(uint32_t colour);
    void customRequested();

private:
    void showInField(uint32_t colour);

    std::vector<ColourCell*> m_cells;  // no colour first, then indexes 0..20
    QLabel* m_field;
    Eyedropper* m_eyedropper;
    QPushButton* m_custom;
};

}  // namespace tavelune::gui
