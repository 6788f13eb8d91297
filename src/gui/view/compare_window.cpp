// Full-screen compare: two image views laid out by the keyboard on a black screen.
#include "gui/view/compare_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "gui/view/image_view.h"

namespace tavelune::gui {

CompareWindow::CompareWindow(const Image* sourcePicture, const Image* resultPicture,
                             QWidget* parent, const Image* sourceShown,
                             const Image* resultShown)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_sourcePicture(sourcePicture),
      m_resultPicture(resultPicture),
      m_sourceShown(sourceShown),
      m_resultShown(resultShown),
      m_firstView(new ImageView(this)),
      m_secondView(new ImageView(this))
{
    setModal(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (ImageView* view : {m_firstView, m_secondView}) {
        view->setFocusPolicy(Qt::NoFocus);
        view->installEventFilter(this);
    }
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->geometry());
    setWindowState(Qt::WindowFullScreen);
    placeViews();
    m_firstView->setPicture(m_sourcePicture, m_sourceShown);
    m_secondView->setPicture(m_resultPicture, m_resultShown);
}

CompareWindow::~CompareWindow() = default;

void CompareWindow::setLayoutMode(int layout)
{
    if (layout < kSourceAlone || layout > kAboveBelow)
        return;
    m_layout = layout;
    placeViews();
    if (layout == kResultAlone)
        m_firstView->setPicture(m_resultPicture, m_resultShown);
    else
        m_firstView->setPicture(m_sourcePicture, m_sourceShown);
    if (layout == kSideBySide || layout == kAboveBelow)
        m_secondView->setPicture(m_resultPicture, m_resultShown);
    else
        m_secondView->setPicture(nullptr);
}

void CompareWindow::placeViews()
{
    const int width = this->width();
    const int height = this->height();
    switch (m_layout) {
        case kSideBySide:
            m_firstView->setGeometry(0, 0, width / 2 - 2, height);
            m_secondView->setGeometry(width / 2 + 2, 0, width / 2 - 2, height);
            break;
        case kAboveBelow:
            m_firstView->setGeometry(0, 0, width, height / 2 - 2);
            m_secondView->setGeometry(0, height / 2 + 2, width, height / 2 - 2);
            break;
        default:
            m_firstView->setGeometry(0, 0, width, height);
            m_secondView->setGeometry(0, 0, 0, 0);
            break;
    }
    m_secondView->setVisible(m_layout == kSideBySide || m_layout == kAboveBelow);
}

bool CompareWindow::handleKey(int key)
{
    switch (key) {
        case Qt::Key_1:
        case Qt::Key_2:
        case Qt::Key_3:
        case Qt::Key_4:
            setLayoutMode(key - Qt::Key_0);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Space:
        case Qt::Key_PageDown:
            setLayoutMode(m_layout % 4 + 1);
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_Backtab:
            setLayoutMode((m_layout + 2) % 4 + 1);
            return true;
        case Qt::Key_Control:
            m_secondView->setZoom(m_firstView->zoom());
            m_secondView->setScroll(m_firstView->scroll().x(), m_firstView->scroll().y(), false);
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        default:
            return false;
    }
}

bool CompareWindow::event(QEvent* event)
{
    // Ahead of the dialog's own handling, which would move the focus on Tab.
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QDialog::event(event);
}

bool CompareWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_firstView || watched == m_secondView))
        return handleKey(static_cast<QKeyEvent*>(event)->key());
    return QDialog::eventFilter(watched, event);
}

void CompareWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeViews();
}

void CompareWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
}

void CompareWindow::done(int result)
{
    m_firstView->setPicture(nullptr);
    m_secondView->setPicture(nullptr);
    m_sourcePicture = nullptr;
    m_resultPicture = nullptr;
    QDialog::done(result);
}

}  // namespace tavelune::gui
