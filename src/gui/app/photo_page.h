// The single-picture page: the two panes, the setting tabs, the buttons, the EXIF panel and list.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "engine/image.h"
#include "engine/picture_metadata.h"
#include "exif/exif_data.h"
#include "gui/app/page_commands.h"
#include "gui/app/working_picture.h"
#include "job/conversion_job.h"
#include "job/full_size_job.h"

class QAction;
class QMimeData;
class QProgressBar;

namespace tavelune::gui {

class BackgroundJob;
class ConversionRunner;
class ExifListWidget;
class HistogramPanelWidget;
class ImageView;
class PanePair;
class ResultLoupe;
class SettingTabs;

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
    Rect photoRect() const;
    bool isConverting() const;
    /// Converting, or decoding a picture being opened; the window waits meanwhile.
    bool isBusy() const;
    /// The user's turns and flips since opening, and whether a larger original exists.
    const GeometryRecord& geometry() const { return m_geometry; }
    /// How to redo the shown result from the original file (valid while save is enabled).
    FullSizeJob fullSizeJob() const;
    /// Opens the first local file of a drop; false when the drop holds none.
    bool openDropped(const QMimeData* mime);

    /// What the four setting tabs hold (the tags are filled in when a conversion starts).
    ConversionSettings settings() const;
    void setSettings(const ConversionSettings& settings);
    /// Position of the conversion's progress bar, 0 to 100.
    int progress() const;
    bool isHistogramCalculating() const;
    /// What the status line says: the picture, the result and whether it is out of date.
    QString statusText() const;

    /// The page's commands; each is enabled exactly when the page's state allows it.
    using Command = PageCommand;
    QAction* action(Command command) const;
    const ResultLoupe& loupe() const { return *m_loupe; }
    /// The loupe looks at this point of the result pane, as the mouse makes it.
    void lookThroughLoupe(QPoint resultPanePoint);

public slots:
    /// Open through the file dialog (the last open folder is remembered).
    void openWithDialog();
    /// Starts opening path; pictureOpened follows once it is decoded. False when the page is
    /// busy and nothing starts.
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
    /// The result pane takes the source pane's zoom and shows the same detail.
    void matchPanes();
    void showCompare();
    void copyResult();

signals:
    /// A line for the window's status area.
    void statusMessage(const QString& text);
    /// True while a conversion runs; the window refuses to close meanwhile.
    void busyChanged(bool busy);
    void fileNameChanged(const QString& path);
    /// An opening has ended; false when the file could not be opened (the message was shown).
    void pictureOpened(bool ok);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void run(Command command);
    void openFinished(const QString& path, const QString& local, OpenedPicture opened);
    /// Sets the panes' pictures; the source's screen copy is made again unless it is current.
    void refreshPage(bool sourceShownCurrent = false);
    /// The profile the result's numbers are in: the file's, unless the film took them to sRGB.
    const std::vector<std::uint8_t>& resultProfile() const;
    void replaceExif(std::unique_ptr<ExifData> exif);
    /// Shows a picture no file stands behind (pasted; empty when closing), with no EXIF, no
    /// result and no turns to replay.
    void showUnfiledPicture(Image source);
    void transformSource(GeometryStep step);
    void updateActions();
    void updateStatus();
    void restartHistogram();
    bool refuseWhileHistogram();
    void conversionFinished(bool ok);
    void setBusy(bool busy);

    Image m_leftPlaceholder;
    Image m_rightPlaceholder;
    Image m_source;
    Image m_result;
    // What the panes show for each: turned from the file's profile into sRGB (empty where the
    // numbers are sRGB already). Histogram, saves and copies take the pictures themselves.
    Image m_sourceShown;
    // A CMYK photo read through its profile, turned and resized with m_source, for the screen
    // and the film strip; m_inksRead is that read as it came, for the sRGB box's conversions.
    Image m_sourceInks;
    std::shared_ptr<const InksRead> m_inksRead;
    Image m_resultShown;
    std::unique_ptr<ExifData> m_exif;
    PictureMetadata m_metadata;  // of the opened file, for every save
    QString m_fileName;
    // The result shows the source as it is now; a rotation, mirror or resize makes it stale
    // (still shown, no longer saved).
    bool m_resultCurrent = false;
    bool m_loading = false;
    bool m_busy = false;
    GeometryRecord m_geometry;
    // The settings of the running job, and of the job that made the shown result.
    ConversionSettings m_runSettings;
    ConversionSettings m_resultSettings;

    ImageView* m_sourceView = nullptr;
    ImageView* m_resultView = nullptr;
    HistogramPanelWidget* m_panel = nullptr;
    ExifListWidget* m_exifList = nullptr;
    SettingTabs* m_tabs = nullptr;
    QProgressBar* m_progress = nullptr;
    std::unique_ptr<PageCommands> m_commands;
    PanePair* m_panes = nullptr;
    ConversionRunner* m_runner = nullptr;
    BackgroundJob* m_openJob = nullptr;
    ResultLoupe* m_loupe = nullptr;
};

}  // namespace tavelune::gui
