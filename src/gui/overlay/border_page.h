// The border page: a mat around the photo and a border on it, with two presets.
#pragma once

#include <QWidget>

#include "overlay/border_settings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tavelune::gui {

class ColourButton;
class OpacityField;

class BorderPage : public QWidget {
    Q_OBJECT
public:
    explicit BorderPage(QWidget* parent = nullptr);

    /// Everything the conversion job needs, copied.
    BorderSettings settings() const;
    /// Shows settings in the controls.
    void setSettings(const BorderSettings& settings);

    /// The dpi of the picture in the main window, used when a unit changes; 72 for none (a
    /// value of 0 or less).
    void setCurrentImageDpi(double dpi);
    double currentImageDpi() const { return m_dpi; }

    /// Applies preset 0 "黑底白边" or 1 "白底黑边" to every field.
    void applyPreset(int preset);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    /// The controls of the mat or the border group.
    struct Group {
        QGroupBox* box = nullptr;
        QLineEdit* top = nullptr;
        QLineEdit* bottom = nullptr;
        QLineEdit* left = nullptr;
        QLineEdit* right = nullptr;
        QComboBox* unitList = nullptr;
        QCheckBox* equalSides = nullptr;
        ColourButton* colour = nullptr;
        int unit = 0;
    };

    /// Second rows of the groups: the mat picture, and the border's opacity and placement.
    void addMatPictureRow();
    void addOpacityRow();
    void buildGroup(Group& group, int titleId, const char* name, const int tips[7]);
    SideGroup sidesOf(const Group& group) const;
    void showSides(Group& group, const SideGroup& sides);
    void changeUnit(Group& group);

    double m_dpi = 72;
    QCheckBox* m_enable;
    QComboBox* m_preset;
    Group m_mat;
    Group m_border;
    QCheckBox* m_matPicture;
    QLineEdit* m_matPath;
    QPushButton* m_browse;
    QCheckBox* m_inside;
    OpacityField* m_opacity;
};

}  // namespace tavelune::gui
