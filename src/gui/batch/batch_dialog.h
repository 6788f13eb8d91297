// The batch dialog: a list of pictures, a preview, its own setting pages and the output choices.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <memory>

#include "engine/image.h"
#include "job/batch_conversion.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMimeData;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QLabel;

namespace tavelune {
class BatchTally;
class ExifData;
}

namespace tavelune::gui {

class BatchRunner;
class ImageView;
class JpegOptionsDialog;
class SettingTabs;
class TiffOptionsDialog;
class WebpOptionsDialog;

/// Everything lives as long as the dialog; the options dialogs keep their choices between
/// showings. During a run the list and the settings are locked and only Cancel ends it.
class BatchDialog : public QDialog {
    Q_OBJECT
public:
    explicit BatchDialog(QWidget* parent = nullptr);
    ~BatchDialog() override;

    /// The chosen files in order; an unsupported type is named in a box and left out.
    void addFiles(const QStringList& paths);
    /// Files as addFiles; a folder adds the pictures directly inside it.
    void addPaths(const QStringList& paths);
    /// The local files and folders of a drop, as addPaths; false when it holds none.
    bool addDropped(const QMimeData* mime);
    void clearList();
    void removeSelected();

    /// Starts the run; false when a check stopped it (the box has been shown) or the user
    /// cancelled the overwrite question.
    bool startRun();
    void cancelRun();
    bool isRunning() const;
    /// Files converted at once; 0 uses every core.
    void setJobs(int jobs) { m_jobs = jobs; }
    /// The settings a run started now would use (the output folder as typed).
    BatchSettings runSettings() const;
    /// The listed files' paths in list order.
    QStringList listedFiles() const;

    /// The selected file as the run opens it (upright, at full size).
    const Image& previewPicture() const { return m_preview; }
    /// What the four setting tabs hold (runSettings adds the tags).
    ConversionSettings settings() const;
    void setSettings(const ConversionSettings& settings);
    JpegOptionsDialog* jpegOptions() const { return m_jpegOptions; }
    TiffOptionsDialog* tiffOptions() const { return m_tiffOptions; }
    WebpOptionsDialog* webpOptions() const { return m_webpOptions; }

signals:
    void runFinished();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildListArea();
    QWidget* buildPreviewArea();
    QWidget* buildOutputArea();
    QWidget* buildProgressArea();
    void chooseFiles();
    void chooseFolder();
    void showOptions();
    void typeChanged();
    ImageFormat chosenType() const;
    /// The options dialog of a batch type; null for a kind without options.
    QDialog* optionsPage(ImageFormat format) const;
    void previewRow(int row);
    void clearPreview();
    bool lengthsReferenceReady();
    bool appendPath(const QString& path, bool tellUnsupported);
    bool outputFolderReady(const QString& folder);
    bool confirmOverwrite(const std::vector<std::string>& files, BatchSettings& settings);
    void setRunning(bool running);
    void onFileStarted(int index);
    void onFileProgress(int index, int percent);
    void onFileFinished(int index, const BatchFileResult& result);
    void onRunFinished();
    void showRunProgress();
    void addToLog(int index, QListWidgetItem* item);

    Image m_preview;
    Image m_previewShown;  // m_preview turned from its colour profile for the screen
    std::unique_ptr<ExifData> m_previewExif;
    int m_previewRow = -1;
    int m_jobs = 0;
    QStringList m_runFiles;
    std::unique_ptr<BatchTally> m_tally;
    QElapsedTimer m_clock;

    QTableWidget* m_list = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    ImageView* m_view = nullptr;
    QLineEdit* m_info = nullptr;
    QComboBox* m_type = nullptr;
    QPushButton* m_optionsButton = nullptr;
    QLineEdit* m_prefix = nullptr;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_browseButton = nullptr;
    QCheckBox* m_reduce = nullptr;
    QCheckBox* m_scaleLengths = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_saveLookButton = nullptr;
    QPushButton* m_loadLookButton = nullptr;
    SettingTabs* m_tabs = nullptr;
    QProgressBar* m_runBar = nullptr;
    QProgressBar* m_fileBar = nullptr;
    QLabel* m_status = nullptr;
    QListWidget* m_log = nullptr;
    JpegOptionsDialog* m_jpegOptions = nullptr;
    TiffOptionsDialog* m_tiffOptions = nullptr;
    WebpOptionsDialog* m_webpOptions = nullptr;
    BatchRunner* m_runner = nullptr;
    QList<QWidget*> m_lockedDuringRun;
};

}  // namespace tavelune::gui
