// The image view widget: binds mouse, menu, clipboard and painting to the view model.
#include "gui/view/image_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>

#include "gui/controls/image_bridge.h"
#include "gui/support/string_table.h"
#include "gui/view/view_cursors.h"
#include "view/view_composer.h"
#include "view/view_menu.h"

namespace tavelune::gui {

namespace {

bool clipboardHasPicture()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

}  // namespace

ImageView::ImageView(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::NoFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    m_model.setPrintDpi(float(logicalDpiX()));
    updateCursor();
}

ImageView::~ImageView() = default;

template <typename Operation>
void ImageView::change(bool notify, Operation operation)
{
    syncClientSize();
    const ViewState before = m_model.state();
    const bool notifying = operation();
    update();
    if (notify && notifying && m_model.state() != before)
        emit viewChanged();
}

void ImageView::syncClientSize()
{
    const QSize size = contentsRect().size();
    // A pane that was never shown has no real size yet: its layout has not placed it.
    const bool real = isVisible() && !size.isEmpty();
    if (size.width() == m_model.clientWidth() && size.height() == m_model.clientHeight() &&
        (m_sized || !real))
        return;
    const ViewState before = m_model.state();
    m_model.setClientSize(size.width(), size.height());
    m_screen = QImage();
    // The pane's first real size is its creation as far as the picture is concerned.
    if (!m_sized && real) {
        m_sized = true;
        m_model.fitWindow();
    }
    update();
    if (m_model.state() != before)
        emit viewChanged();
}

void ImageView::setPicture(const Image* picture, const Image* shown)
{
    m_picture = picture;
    const Image* onScreen = picture && shown && !shown->isEmpty() ? shown : picture;
    change(true, [&] { return m_model.setPicture(onScreen); });
}

void ImageView::setPlaceholder(const Image& placeholder)
{
    m_model.setPlaceholder(placeholder);
    update();
}

void ImageView::setZoom(float zoom)
{
    change(false, [&] {
        m_model.setZoom(zoom);
        return false;
    });
}

void ImageView::setScroll(int x, int y, bool notify)
{
    change(notify, [&] {
        m_model.setScroll(x, y);
        return true;
    });
}

void ImageView::actualPixels()
{
    change(false, [&] {
        m_model.actualPixels();
        return false;
    });
}

void ImageView::fitWindow()
{
    change(true, [&] { return m_model.fitWindow(); });
}

void ImageView::printSize()
{
    change(true, [&] { return m_model.printSize(); });
}

void ImageView::zoomIn(std::optional<QPoint> at)
{
    std::optional<ViewPoint> anchor;
    if (at)
        anchor = ViewPoint{at->x(), at->y()};
    change(true, [&] { return m_model.zoomIn(anchor); });
}

void ImageView::zoomOut(std::optional<QPoint> at)
{
    std::optional<ViewPoint> anchor;
    if (at)
        anchor = ViewPoint{at->x(), at->y()};
    change(true, [&] { return m_model.zoomOut(anchor); });
}

void ImageView::setTool(int tool)
{
    m_model.setTool(tool);
    updateCursor();
}

void ImageView::setPictureBackground(uint32_t colour)
{
    m_model.setPictureBackground(colour);
    update();
}

void ImageView::setSunkenBorder(bool on)
{
    m_sunkenBorder = on;
    setFrameStyle(on ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
    syncClientSize();
}

Image ImageView::snapshot(int percent)
{
    syncClientSize();
    return percent == 50 ? snapshotHalf(m_model) : snapshotFull(m_model);
}

bool ImageView::copyPicture()
{
    if (!m_model.hasPicture() || m_picture == nullptr)
        return false;
    const QImage image = toQImage(*m_picture);
    if (image.isNull())
        return false;
    QApplication::clipboard()->setImage(image);
    return true;
}

bool ImageView::copySnapshot(int percent)
{
    const QImage image = toQImage(snapshot(percent));
    if (image.isNull())
        return false;
    QApplication::clipboard()->setImage(image);
    return true;
}

void ImageView::cut()
{
    if (!copyPicture())
        return;
    setPicture(nullptr);
    emit pictureCut();
}

QMenu* ImageView::createContextMenu(QWidget* parent)
{
    syncClientSize();
    const ViewMenuItems items = viewMenuItems(m_model, clipboardHasPicture());
    auto* menu = new QMenu(parent);
    menu->setTitle(text(Strings::ViewMenuTitle));
    auto add = [&](QMenu* to, int textId, const char* name, bool enabled, auto slot) {
        QAction* action = to->addAction(text(textId));
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    if (items.zoomItems) {
        add(menu, Strings::ViewZoomIn, "zoomIn", items.zoomInEnabled, [this] { zoomIn(); });
        add(menu, Strings::ViewZoomOut, "zoomOut", items.zoomOutEnabled, [this] { zoomOut(); });
        menu->addSeparator();
        add(menu, Strings::ViewActualPixels, "actualPixels", items.actualPixelsEnabled,
            [this] { actualPixels(); });
        add(menu, Strings::ViewFitWindow, "fitWindow", true, [this] { fitWindow(); });
        add(menu, Strings::ViewPrintSize, "printSize", true, [this] { printSize(); });
        menu->addSeparator();
    }
    QMenu* shots = menu->addMenu(text(Strings::ViewSnapshot));
    shots->setObjectName(QStringLiteral("snapshot"));
    shots->setEnabled(items.snapshotEnabled);
    add(shots, Strings::ViewSnapshot100, "snapshot100", items.snapshotEnabled,
        [this] { copySnapshot(100); });
    add(shots, Strings::ViewSnapshot50, "snapshot50", items.snapshotEnabled,
        [this] { copySnapshot(50); });
    if (items.hasCut || items.hasCopy || items.hasPaste)
        menu->addSeparator();
    if (items.hasCut)
        add(menu, Strings::ViewCut, "cut", items.cutEnabled, [this] { cut(); });
    if (items.hasCopy)
        add(menu, Strings::ViewCopy, "copy", items.copyEnabled, [this] { copyPicture(); });
    if (items.hasPaste)
        add(menu, Strings::ViewPaste, "paste", items.pasteEnabled,
            [this] { emit pasteRequested(); });
    return menu;
}

void ImageView::showContextMenu(QPoint globalPosition)
{
    QMenu* menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

void ImageView::paintEvent(QPaintEvent* event)
{
    syncClientSize();
    QPainter painter(this);
    const QRect client = contentsRect();
    const QRect dirty = event->rect().intersected(client).translated(-client.topLeft());
    const Image& buffer = m_model.backBuffer();
    if (!dirty.isEmpty() && !buffer.isEmpty()) {
        composeView(m_model,
                    Rect{dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1});
        if (m_screen.size() != client.size())
            m_screen = QImage(client.size(), QImage::Format_RGB32);
        // The screen shows no alpha, as a bitmap put on a window does not.
        for (int y = dirty.top(); y <= dirty.bottom(); ++y)
            std::memcpy(m_screen.scanLine(y) + dirty.left() * 4,
                        buffer.rowFromTop(y) + dirty.left(), size_t(dirty.width()) * 4);
        painter.drawImage(dirty.topLeft() + client.topLeft(), m_screen, dirty);
    }
    if (const std::optional<Rect> band = m_model.rubberBand()) {
        const QRect box(band->left, band->top, band->width(), band->height());
        painter.translate(client.topLeft());
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(box);
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(box);
    }
    if (!m_outOfDateNote.isEmpty() && !buffer.isEmpty()) {
        painter.resetTransform();
        painter.fillRect(client, QColor(0, 0, 0, 150));
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        QRect box = metrics.boundingRect(m_outOfDateNote).adjusted(-10, -5, 10, 5);
        box.moveCenter(client.center());
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(180, 120, 0));
        painter.drawRoundedRect(box, 4, 4);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, m_outOfDateNote);
    }
    painter.end();
    QFrame::paintEvent(event);
}

void ImageView::setOutOfDateNote(const QString& note)
{
    if (note != m_outOfDateNote) {
        m_outOfDateNote = note;
        update();
    }
}

void ImageView::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    syncClientSize();
}

ViewPoint ImageView::toClient(QPoint widgetPoint) const
{
    const QPoint point = widgetPoint - contentsRect().topLeft();
    return {point.x(), point.y()};
}

void ImageView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    syncClientSize();
    m_model.beginDrag(toClient(event->position().toPoint()));
    updateCursor();
}

void ImageView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_model.dragging()) {
        QFrame::mouseMoveEvent(event);
        return;
    }
    const ViewPoint point = toClient(event->position().toPoint());
    change(true, [&] { return m_model.dragTo(point); });
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_model.dragging()) {
        const ViewPoint point = toClient(event->position().toPoint());
        change(true, [&] {
            m_model.dragTo(point);
            return m_model.endDrag(point);
        });
        updateCursor();
        return;
    }
    if (event->button() == Qt::RightButton && !m_model.dragging()) {
        showContextMenu(event->globalPosition().toPoint());
        return;
    }
    QFrame::mouseReleaseEvent(event);
}

void ImageView::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse's menu comes on release; only the keyboard's menu key is answered here.
    if (event->reason() == QContextMenuEvent::Keyboard)
        showContextMenu(mapToGlobal(contentsRect().center()));
    event->accept();
}

void ImageView::updateCursor()
{
    setCursor(toolCursor(m_model.tool(), m_model.dragging()));
}

}  // namespace tavelune::gui
