// The result loupe: pane points to full-size regions, and the square kept up to date.
#include "gui/app/result_loupe.h"

#include <QAction>
#include <QEvent>
#include <QMouseEvent>
#include <QToolButton>
#include <cmath>

#include "gui/app/loupe_source.h"
#include "gui/controls/icons.h"
#include "gui/support/string_table.h"
#include "gui/view/image_view.h"
#include "gui/view/loupe_view.h"
#include "view/display_colour.h"
#include "view/loupe_region.h"

namespace tavelune::gui {

ResultLoupe::ResultLoupe(ImageView* pane, QAction* toggle)
    : QObject(pane),
      m_pane(pane),
      m_toggle(toggle),
      m_button(new QToolButton(pane)),
      m_source(new LoupeSource(this)),
      m_view(new LoupeView(pane))
{
    m_toggle->setCheckable(true);
    m_toggle->setIcon(buttonIcon(ButtonIcon::Loupe, IconBackground::Dark));
    m_button->setObjectName("loupeButton");
    m_button->setIconSize(QSize(20, 20));
    // Over grey surround or picture alike: a dark chip with light lines reads on both.
    m_button->setStyleSheet(QStringLiteral(
        "QToolButton { background: rgba(0, 0, 0, 150); border: 1px solid rgba(255, 255, 255, 110);"
        " border-radius: 3px; padding: 2px; }"
        "QToolButton:checked { background: rgba(30, 90, 170, 220); }"
        "QToolButton:disabled { background: rgba(0, 0, 0, 70); }"));
    m_button->setDefaultAction(m_toggle);
    placeButton();
    connect(m_toggle, &QAction::toggled, this, &ResultLoupe::switchOn);
    connect(m_source, &LoupeSource::stateChanged, this, &ResultLoupe::refresh);
    connect(m_source, &LoupeSource::progressChanged, this, &ResultLoupe::refresh);
    connect(m_pane, &ImageView::viewChanged, this, &ResultLoupe::refresh);
    m_pane->installEventFilter(this);
}

bool ResultLoupe::isOn() const
{
    return m_toggle->isChecked();
}

void ResultLoupe::setResult(const FullSizeJob& job, const Image& shown,
                            const std::vector<std::uint8_t>& profile)
{
    m_profile = profile;
    m_source->setJob(job, shown);
    if (isOn())
        m_source->request();
    refresh();
}

void ResultLoupe::clear()
{
    m_source->clear();
    m_toggle->setChecked(false);
    refresh();
}

void ResultLoupe::switchOn(bool on)
{
    // The mouse is followed only while the loupe is up.
    m_pane->setMouseTracking(on);
    if (on) {
        m_source->request();
        m_pointed = false;
        const QPoint mouse = m_pane->mapFromGlobal(QCursor::pos());
        if (m_pane->rect().contains(mouse)) {
            m_at = mouse;
            m_pointed = true;
        }
    }
    refresh();
}

void ResultLoupe::lookAt(QPoint panePoint)
{
    m_at = panePoint;
    m_pointed = true;
    refresh();
}

void ResultLoupe::refresh()
{
    if (!isOn()) {
        m_view->hide();
        return;
    }
    const QPoint at = m_pointed ? m_at : m_pane->rect().center();
    m_view->placeAt(at);
    switch (m_source->state()) {
        case LoupeSource::State::None:
        case LoupeSource::State::Computing:
            m_view->showNote(text(Strings::LoupeComputing).arg(m_source->progress()));
            break;
        case LoupeSource::State::Failed:
            m_view->showNote(text(Strings::LoupeFailed));
            break;
        case LoupeSource::State::Ready: {
            // The pane pixel to the shown result's pixel, then to the full size.
            const ImageViewModel& model = m_pane->model();
            const QPoint client = at - m_pane->contentsRect().topLeft();
            const ViewPoint zoomed = model.toZoomed({client.x(), client.y()});
            const int x = int(std::floor(zoomed.x / double(model.zoom())));
            const int y = int(std::floor(zoomed.y / double(model.zoom())));
            const Image& full = m_source->fullSize();
            const int side = LoupeView::sideFor(m_pane->size());
            const QSize shown = m_source->shownSize();
            const Rect region = loupeRegion(x, y, shown.width(), shown.height(), full.width(),
                                            full.height(), side, side);
            Image piece;
            if (copyRegion(full, region, piece))
                m_view->showRegion(piece, srgbDisplayCopy(piece, m_profile));
            break;
        }
    }
    m_view->show();
    m_view->raise();
    m_button->raise();
}

void ResultLoupe::placeButton()
{
    const QSize size = m_button->sizeHint();
    m_button->setGeometry(m_pane->width() - size.width() - 4, 4, size.width(), size.height());
    m_button->raise();
}

bool ResultLoupe::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pane) {
        switch (event->type()) {
            case QEvent::Resize:
                placeButton();
                refresh();
                break;
            case QEvent::MouseMove:
                if (isOn())
                    lookAt(static_cast<QMouseEvent*>(event)->position().toPoint());
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tavelune::gui
