// The single-picture page: the two panes, the setting tabs, the buttons, the EXIF panel and list.
#pragma once

#include <QWidget>
#include <memory>

#include "engine/image.h"
#include "exif/exif_data.h"
#include "job/full_size_job.h"

class QLabel;
class QMimeData;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace tavelune::gui {

class ConversionRunner;
class ExifListWidget;
class BorderPage;
class FilmPage;
class OverlayPage;
class HistogramPanelWidget;
class ImageView;

/// Holds the opened picture, its EXIF data and the converted result; wires the panes, the
/// pages and the buttons. The rules of each part live in that part; this class only connects.
class PhotoPage : public QWidget {
    Q_OBJECT
public:
    /// The placeholders are shown in the panes until a picture is opened.
    PhotoPage(Image leftPlaceholder, Image rightPlaceholder, QWidget* parent = nullptr);
    ~PhotoPage() override;

    const Image& source() const { return m_source; }
    const Image& result() const { return m_result; }
    const ExifData& exif() const { return *m_exif; }
    const QString& fileName() const { return m_fileName; }
    Rect photoRect() const { return m_photoRect; }
    bool isConverting() const;
    /// Converting, or decoding a picture being opened; the window waits meanwhile.
    bool isBusy() const;
    /// The user's turns and flips since opening, and whether a larger original exists.
    const GeometryRecord& geometry() const { return m_geometry; }
    /// How to redo the shown result from the original file (valid while save is enabled).
    FullSizeJob fullSizeJob() const;
    /// Opens the first local file of a drop; false when the drop holds none.
    bool openDropped(const QMimeData* mime);

    ImageView* sourceView() const { return m_sourceView; }
    ImageView* resultView() const { return m_resultView; }
    FilmPage* filmPage() const { return m_filmPage; }
    OverlayPage* watermarkPage() const { return m_watermarkPage; }
    OverlayPage* signaturePage() const { return m_signaturePage; }
    BorderPage* borderPage() const { return m_borderPage; }
    HistogramPanelWidget* histogramPanel() const { return m_panel; }
    ExifListWidget* exifList() const { return m_exifList; }
    QTabWidget* tabs() const { return m_tabs; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* applyButton() const { return m_apply; }
    QToolButton* saveButton() const { return m_save; }

public slots:
    /// Open through the file dialog (the last open folder is remembered).
    void openWithDialog();
    /// False when the file could not be opened (the message has been shown).
    bool openPicture(const QString& path);
    void pastePicture();
    bool startConversion();
    void saveWithDialog();
    bool saveTo(const QString& path);
    void rotatePicture();
    void mirrorPicture();
    void flipPicture();
    void closePicture();
    void resizePicture();
    void editExif();
    void actualPixels();
    void fitWindow();
    void matchPanes();
    void showCompare();
    void copyResult();

signals:
    /// A line for the window's status area.
    void statusMessage(const QString& text);
    /// True while a conversion runs; the window refuses to close meanwhile.
    void busyChanged(bool busy);
    void fileNameChanged(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* buildButtonRow();
    QWidget* buildRightColumn();
    QToolButton* makeButton(int icon, int tooltipId, void (PhotoPage::*slot)(), const char* name);
    void refreshPage();
    void replaceExif(std::unique_ptr<ExifData> exif);
    void transformSource(GeometryStep step);
    void updateButtons();
    void restartHistogram();
    bool refuseWhileHistogram();
    void setSourceDpiFromExif();
    void conversionFinished(bool ok);
    void setBusy(bool busy);

    Image m_leftPlaceholder;
    Image m_rightPlaceholder;
    Image m_source;
    Image m_result;
    std::unique_ptr<ExifData> m_exif;
    QString m_fileName;
    Rect m_photoRect;
    // The result shows the source as it is now; a rotation, mirror or resize makes it stale
    // (still shown, no longer saved).
    bool m_resultCurrent = false;
    bool m_loading = false;
    GeometryRecord m_geometry;
    // The settings of the running job, and of the job that made the shown result.
    ConversionSettings m_runSettings;
    ConversionSettings m_resultSettings;

    ImageView* m_sourceView = nullptr;
    ImageView* m_resultView = nullptr;
    HistogramPanelWidget* m_panel = nullptr;
    ExifListWidget* m_exifList = nullptr;
    QTabWidget* m_tabs = nullptr;
    FilmPage* m_filmPage = nullptr;
    OverlayPage* m_watermarkPage = nullptr;
    OverlayPage* m_signaturePage = nullptr;
    BorderPage* m_borderPage = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_apply = nullptr;
    QToolButton* m_open = nullptr;
    QToolButton* m_save = nullptr;
    QList<QWidget*> m_pictureButtons;
    QPushButton* m_exifEditor = nullptr;
    ConversionRunner* m_runner = nullptr;
};

}  // namespace tavelune::gui
