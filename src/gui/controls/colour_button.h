// A button that holds a colour from a small pop-up palette, or no colour.
#pragma once

#include <QColor>
#include <QPointer>
#include <QPushButton>
#include <functional>

#include "overlay/colour_palette.h"

namespace tavelune::gui {

class ColourPopup;

class ColourButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColourButton(QWidget* parent = nullptr);

    /// A Windows colour 0x00BBGGRR, or -1 for no colour.
    int colour() const { return m_palette.colour(); }
    /// Shows a colour without reporting it; -1 for no colour.
    void setColour(int colour);
    const ColourPalette& palette() const { return m_palette; }

    /// Whether the pop-up offers the no-colour cell (a text colour always has one).
    void setNoColourAllowed(bool allowed) { m_noColourAllowed = allowed; }
    bool noColourAllowed() const { return m_noColourAllowed; }

    /// The open pop-up, or null.
    ColourPopup* popup() const;
    void showPopup();

    /// Reads the screen pixel at a global position; tests replace it.
    using ScreenPixelReader = std::function<QColor(const QPoint& global)>;
    static ScreenPixelReader setScreenPixelReader(ScreenPixelReader reader);
    static QColor screenPixel(const QPoint& global);

signals:
    /// A colour was chosen in the pop-up (also when it is the one already held).
    void colourChanged(int colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override;

private:
    void choose(int index);
    void chooseCustom(QRgb rgb);
    void askCustomColour();

    ColourPalette m_palette;
    bool m_noColourAllowed = true;
    QPointer<ColourPopup> m_popup;
};

/// The Windows colour of a Qt colour, and back.
int toColourRef(const QColor& colour);
QColor fromColourRef(uint32_t colour);

}  // namespace tavelune::gui
