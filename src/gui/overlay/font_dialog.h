// The font dialog of the overlay text: scalable faces, style, size, effects, colour, and a
// preview drawn by the program's own text renderer.
#pragma once

#include <QDialog>
#include <QImage>
#include <optional>

#include "overlay/font_choice.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace tavelune::gui {

class ColourButton;

class FontDialog : public QDialog {
    Q_OBJECT
public:
    /// sample is the text previewed (its first lines); empty shows a stock sample.
    FontDialog(const FontChoice& initial, const QString& sample, QWidget* parent = nullptr);

    /// The font as the renderer takes it. A size left alone keeps the initial height exactly.
    FontChoice choice() const;
    /// The preview as painted: the renderer's output on the text box's background.
    const QImage& previewImage() const { return m_previewImage; }

    /// Runs the dialog; the choice on OK.
    static std::optional<FontChoice> ask(const FontChoice& initial, const QString& sample,
                                         QWidget* parent);

private:
    void createPreview();
    void layOut();
    void updatePreview();

    FontChoice m_initial;
    QString m_sample;
    bool m_sizeEdited = false;
    bool m_styleEdited = false;
    QComboBox* m_face;
    QComboBox* m_style;
    QComboBox* m_size;
    QCheckBox* m_strikeOut;
    QCheckBox* m_underline;
    ColourButton* m_colour;
    QLabel* m_preview;
    QLabel* m_faceUsed;
    QImage m_previewImage;
};

}  // namespace tavelune::gui
