// The loupe over a pane: a square showing picture pixels one to one, or why it cannot yet.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include "engine/image.h"

namespace tavelune::gui {

/// A child of the pane it floats over; the mouse passes through it to the pane.
class LoupeView : public QWidget {
    Q_OBJECT
public:
    explicit LoupeView(QWidget* pane);

    /// The side of the square for a pane of this size: large enough to judge grain, small
    /// enough to leave the pane around it.
    static int sideFor(QSize pane);

    /// Shows region at one screen pixel per picture pixel (copied), through display when that
    /// is not empty (the region's numbers made ready for an sRGB screen).
    void showRegion(const Image& region, const Image& display = Image());
    /// Shows a line of text in place of pixels (computing, failed).
    void showNote(const QString& note);
    /// Centres the square on point of the pane, kept inside it.
    void placeAt(QPoint point);

    const Image& region() const { return m_region; }
    const QString& note() const { return m_note; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Image m_region;
    QImage m_screen;
    QString m_note;
};

}  // namespace tavelune::gui
