// The watermark or signature page: a text or a picture placed on the photo.
#pragma once

#include <QWidget>

#include "gui/overlay/tag_menu.h"
#include "overlay/overlay_settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tavelune::gui {

class ColourButton;
class OpacityField;
class PicturePreview;

class OverlayPage : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Watermark, Signature };

    explicit OverlayPage(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }

    /// Everything the conversion job needs, copied (the picture with its key included).
    OverlaySettings settings() const;
    /// Shows settings in the controls (a batch copy of the page, a settings file).
    void setSettings(const OverlaySettings& settings);

    /// The dpi of the picture in the main window, used when the unit changes; 72 for none
    /// (a value of 0 or less).
    void setCurrentImageDpi(double dpi);
    double currentImageDpi() const { return m_dpi; }

    /// Opens a picture file as the overlay picture; false (after the engine's message) when
    /// it cannot be read, leaving the page as it was.
    bool openPicture(const QString& path);
    /// The picture takes over source's pixels and dpi (pasted pictures).
    void takePicture(const tavelune::Image& source);
    void removePicture();
    /// Where the tag menu reads its example values; called each time the menu opens.
    void setTagPictureSource(TagPictureSource source) { m_tagPicture = std::move(source); }

public slots:
    void chooseFont();
    void showTagMenu();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void createPositionGroup();
    void createOverlayControls();
    void layOutPosition();
    QLayout* layOutTextAndPicture();
    void layOutPage();
    void connectControls();
    void setMode(OverlayMode mode);
    void changeUnit();
    void showFont();
    void showPicture();

    Kind m_kind;
    TagPictureSource m_tagPicture;
    double m_dpi = 72;
    int m_unit = 0;
    /// Holds the picture with its key, the font and the text colour.
    OverlaySettings m_model;

    QCheckBox* m_enable;
    QRadioButton* m_textMode;
    QRadioButton* m_pictureMode;
    QGroupBox* m_position;
    QComboBox* m_horizontal;
    QComboBox* m_vertical;
    QLineEdit* m_offsetX;
    QLineEdit* m_offsetY;
    QComboBox* m_unitList;
    QLabel* m_opacityLabel;
    OpacityField* m_opacity;
    QPlainTextEdit* m_text;
    QPushButton* m_font;
    QPushButton* m_insert;
    PicturePreview* m_preview;
    QPushButton* m_open;
    QPushButton* m_remove;
    QLabel* m_transparentLabel;
    ColourButton* m_transparent;
};

}  // namespace tavelune::gui
