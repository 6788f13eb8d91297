// Windows are fitted when shown: the frame is only known once the window manager has one.
#include "gui/support/screen_fit.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tavelune::gui {

namespace {

// Before the first map the window manager has not told us the frame; this is what common
// decorations take (a title bar and thin borders).
constexpr QMargins kAssumedFrame(4, 30, 4, 4);

QMargins frameMargins(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins known(inner.left() - frame.left(), inner.top() - frame.top(),
                         frame.right() - inner.right(), frame.bottom() - inner.bottom());
    if (known.isNull() && window->windowType() != Qt::Popup &&
        !window->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return kAssumedFrame;
    }
    return known;
}

}  // namespace

QRect fitFrameWithin(const QRect& frame, const QSize& minimum, const QRect& available)
{
    QRect fitted = frame;
    fitted.setWidth(std::max(minimum.width(), std::min(frame.width(), available.width())));
    fitted.setHeight(std::max(minimum.height(), std::min(frame.height(), available.height())));
    // Right and bottom first, so a window larger than the screen keeps its top-left corner
    // (the title bar and the window's first controls) visible.
    if (fitted.right() > available.right()) {
        fitted.moveRight(available.right());
    }
    if (fitted.bottom() > available.bottom()) {
        fitted.moveBottom(available.bottom());
    }
    if (fitted.left() < available.left()) {
        fitted.moveLeft(available.left());
    }
    if (fitted.top() < available.top()) {
        fitted.moveTop(available.top());
    }
    return fitted;
}

void fitToScreen(QWidget* window)
{
    if (!window || !window->isWindow() || window->isFullScreen() || window->isMaximized()) {
        return;
    }
    QScreen* screen = window->screen();
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return;
    }
    const QMargins margins = frameMargins(window);
    const QRect inner = window->geometry();
    const QRect frame = inner.marginsAdded(margins);
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint()).grownBy(margins);
    const QRect fitted = fitFrameWithin(frame, minimum, screen->availableGeometry());
    if (fitted != frame) {
        // A top-level widget's position is its frame's.
        window->resize(fitted.marginsRemoved(margins).size());
        window->move(fitted.topLeft());
    }
}

bool ScreenFitFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->windowType() != Qt::ToolTip &&
            widget->windowType() != Qt::Popup) {
            fitToScreen(widget);
        }
    }
    return QObject::eventFilter(watched, event);
}

void installScreenFit()
{
    const QString name = QStringLiteral("tavelune-screen-fit");
    if (!qApp || qApp->findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) {
        return;
    }
    auto* filter = new ScreenFitFilter(qApp);
    filter->setObjectName(name);
    qApp->installEventFilter(filter);
}

}  // namespace tavelune::gui
