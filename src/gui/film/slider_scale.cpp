// Slider scale: asks the slider's style where the handle sits for each labelled value.
#include "gui/film/slider_scale.h"

#include <QEvent>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace tavelune::gui {

SliderScale::SliderScale(QSlider* slider, std::vector<Mark> marks, QWidget* parent)
    : QWidget(parent), m_slider(slider), m_marks(std::move(marks))
{
    m_slider->installEventFilter(this);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize SliderScale::sizeHint() const
{
    int width = 0;
    for (const Mark& mark : m_marks)
        width += fontMetrics().horizontalAdvance(mark.second) + fontMetrics().averageCharWidth();
    return {width, fontMetrics().height()};
}

QSize SliderScale::minimumSizeHint() const
{
    return sizeHint();
}

int SliderScale::centreOf(int value) const
{
    QStyleOptionSlider option;
    option.initFrom(m_slider);
    option.orientation = m_slider->orientation();
    option.minimum = m_slider->minimum();
    option.maximum = m_slider->maximum();
    option.sliderPosition = value;
    option.sliderValue = value;
    option.tickPosition = m_slider->tickPosition();
    option.tickInterval = m_slider->tickInterval();
    option.singleStep = m_slider->singleStep();
    option.pageStep = m_slider->pageStep();
    option.upsideDown = m_slider->invertedAppearance() != (layoutDirection() == Qt::RightToLeft);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    const QRect handle = m_slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                           QStyle::SC_SliderHandle, m_slider);
    const QPoint centre = m_slider->mapTo(window(), handle.center());
    return mapFrom(window(), centre).x();
}

void SliderScale::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    for (const auto& [value, label] : m_marks) {
        const int labelWidth = fontMetrics().horizontalAdvance(label);
        // The end labels stay whole inside the widget rather than centred past its edge.
        const int left =
            std::clamp(centreOf(value) - labelWidth / 2, 0, std::max(0, width() - labelWidth));
        painter.drawText(QRect(left, 0, labelWidth, height()), Qt::AlignCenter, label);
    }
}

bool SliderScale::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_slider && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        update();
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavelune::gui
