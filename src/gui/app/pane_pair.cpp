// The two panes in step.
#include "gui/app/pane_pair.h"

#include <cmath>

#include "gui/view/image_view.h"

namespace tavelune::gui {

PanePair::PanePair(ImageView* source, ImageView* result, QObject* parent)
    : QObject(parent), m_source(source), m_result(result)
{
    connect(m_source, &ImageView::viewChanged, this, [this] { follow(m_source); });
    connect(m_result, &ImageView::viewChanged, this, [this] { follow(m_result); });
}

void PanePair::follow(const ImageView* leader)
{
    ImageView* follower = leader == m_source ? m_result : m_source;
    // The follower's own change notification comes back here.
    if (m_following || !leader->picture() || !follower->picture()) {
        return;
    }
    m_following = true;
    const float zoom = leader->zoom();
    const QPoint scroll = leader->scroll();
    const int sign = leader == m_source ? 1 : -1;
    follower->setZoom(zoom);
    follower->setScroll(int(std::lround(sign * zoom * m_photoRect.left + scroll.x())),
                        int(std::lround(sign * zoom * m_photoRect.top + scroll.y())), false);
    m_following = false;
}

void PanePair::actualPixels()
{
    m_source->actualPixels();
    m_result->actualPixels();
}

void PanePair::fitWindow()
{
    m_source->fitWindow();
    m_result->fitWindow();
}

}  // namespace tavelune::gui
