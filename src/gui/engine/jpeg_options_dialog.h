// The JPEG options dialog: quality (edit, preset list and slider kept in step) and the EXIF box.
#pragma once

#include <QDialog>

#include "engine/save_options_model.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace tavelune::gui {

/// Collects the JPEG quality and whether to keep the EXIF data; the caller writes the file.
/// The dialog may be kept and shown again: each showing starts from the model's values.
class JpegOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit JpegOptionsDialog(QWidget* parent = nullptr);

    /// The values shown when the dialog next opens.
    void setModel(const JpegOptionsModel& model);
    /// After OK: the chosen quality (1..100) and box; after Cancel: as before the showing.
    const JpegOptionsModel& model() const { return m_result; }
    int quality() const { return m_result.quality(); }
    bool stripMetadata() const { return m_result.stripMetadata(); }
    bool keepExif() const { return m_result.keepExif(); }

    /// Hides the metadata boxes, for a picture that has none of its own (an index sheet).
    void hideMetadataBoxes();

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildCompressionGroup();
    void connectControls();
    void openModel();
    void showModel();
    /// Puts the nearest limit in place of an out-of-range quality and says so.
    bool replaceOutOfRangeQuality();

    JpegOptionsModel m_model;   // what the controls show while the dialog is open
    JpegOptionsModel m_result;  // the values of the last OK (or of setModel)
    QLineEdit* m_qualityEdit;
    QComboBox* m_presetList;
    QSlider* m_slider;
    QCheckBox* m_keepExifBox;
    QCheckBox* m_stripMetadataBox;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

}  // namespace tavelune::gui
