// Keeps every window of the program on the screen it opens on, whatever size it asks for.
#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

namespace tavelune::gui {

/// The geometry a window of frame size `frame` (decorations included) should take inside
/// `available`: no larger than it, and moved in where it sticks out. The window's minimum
/// size wins over a screen that is smaller still.
QRect fitFrameWithin(const QRect& frame, const QSize& minimum, const QRect& available);

/// Fits window (a top-level widget) into the available geometry of its screen now.
void fitToScreen(QWidget* window);

/// Installed on the application: every top-level widget is fitted as it is first shown, so
/// a dialog's wanted size or a size restored from a larger screen never lies off the screen.
class ScreenFitFilter : public QObject {
public:
    explicit ScreenFitFilter(QObject* parent = nullptr) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
};

/// Installs one ScreenFitFilter on the running application (a second call does nothing).
void installScreenFit();

}  // namespace tavelune::gui
