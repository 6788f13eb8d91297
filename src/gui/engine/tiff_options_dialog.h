// The TIFF options dialog: no compression or LZW, and the EXIF box.
#pragma once

#include <QDialog>

#include "engine/save_options_model.h"

class QCheckBox;
class QRadioButton;

namespace tavelune::gui {

/// Collects the TIFF compression and whether to keep the EXIF data; the caller writes the
/// file. Each showing starts from the model's values.
class TiffOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TiffOptionsDialog(QWidget* parent = nullptr);

    /// The values shown when the dialog next opens.
    void setModel(const TiffOptionsModel& model);
    /// After OK: compression 1 or 5 and the box; after Cancel: as before the showing.
    const TiffOptionsModel& model() const { return m_model; }
    int compression() const { return m_model.compression(); }
    bool stripMetadata() const { return m_model.stripMetadata(); }
    bool keepExif() const { return m_model.keepExif(); }

    /// Hides the metadata boxes, for a picture that has none of its own (an index sheet).
    void hideMetadataBoxes();

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void openModel();
    void showStripBox();

    TiffOptionsModel m_model;
    QRadioButton* m_uncompressed;
    QRadioButton* m_lzw;
    QCheckBox* m_keepExifBox;
    QCheckBox* m_stripMetadataBox;
};

}  // namespace tavelune::gui
