// Labels under a horizontal slider, each centred on the handle position of its value.
#pragma once

#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

class QSlider;

namespace tavelune::gui {

class SliderScale : public QWidget {
    Q_OBJECT
public:
    using Mark = std::pair<int, QString>;  // slider value, label

    SliderScale(QSlider* slider, std::vector<Mark> marks, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    /// Where the label of value is centred, in this widget's coordinates.
    int centreOf(int value) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSlider* m_slider;
    std::vector<Mark> m_marks;
};

}  // namespace tavelune::gui
