// PicturePreview: composing the keyed picture over grey, painting it to fit, pasting.
#include "gui/overlay/picture_preview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

#include "gui/controls/image_bridge.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {
namespace {

constexpr uint32_t kPreviewBackground = 0xFF808080;

}  // namespace

PicturePreview::PicturePreview(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(40, 30);
}

void PicturePreview::showPicture(const Image& picture)
{
    m_shown = QImage();
    if (!picture.isEmpty()) {
        // Composed with the engine's own blit, so the key shows exactly as it will be stamped.
        Image composed;
        composed.setFillColour(kPreviewBackground);
        if (composed.create(picture.width(), picture.height(), picture.dpi())) {
            composed.copyImage(0, 0, picture, 0, 0, picture.width(), picture.height(), 0);
            m_shown = toQImage(composed);
        }
    }
    update();
}

void PicturePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    if (m_shown.isNull())
        return;
    QSize size = m_shown.size();
    if (size.width() > width() || size.height() > height())
        size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_shown);
}

void PicturePreview::paste()
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime || !mime->hasImage())
        return;
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    Image picture;
    if (!importQImage(image, picture))
        return;
    emit picturePasted(picture);
}

void PicturePreview::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* pasteAction = menu.addAction(text(Strings::PasteItem), this, &PicturePreview::paste);
    pasteAction->setShortcut(QKeySequence::Paste);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    pasteAction->setEnabled(mime && mime->hasImage());
    menu.exec(event->globalPos());
}

void PicturePreview::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        paste();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace tavelune::gui
