// The WebP options dialog: quality or lossless, and the EXIF box.
#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace tavelune::gui {

/// Collects the WebP quality (1..100) or lossless, and whether to keep the EXIF data; the
/// caller writes the file. Cancel keeps the values of the last OK.
class WebpOptionsDialog : public QDialog {
    Q_OBJECT
public:
    /// showKeepExif false hides the box (index sheets carry no source's data).
    explicit WebpOptionsDialog(QWidget* parent = nullptr, bool showKeepExif = true);

    int quality() const { return m_quality; }
    bool lossless() const { return m_lossless; }
    bool keepExif() const { return m_keepExif; }
    /// The codec's options: kWebpLossless or the quality.
    int codecOptions() const;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int m_quality;
    bool m_lossless = false;
    bool m_keepExif = true;
    QSpinBox* m_qualityBox;
    QCheckBox* m_losslessBox;
    QCheckBox* m_keepExifBox;
};

}  // namespace tavelune::gui
