// The index print dialog: picture list, sheet settings, logo, render on a worker, preview, save.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

#include "engine/image.h"
#include "gui/indexprint/index_render_runner.h"
#include "indexprint/index_sheet.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace tavelune::gui {

class ColourButton;
class ImageView;
class IndexFileList;
class PicturePreview;

/// Modal. The list, the logo and every setting live as long as the dialog; nothing is kept
/// between showings.
class IndexPrintDialog : public QDialog {
    Q_OBJECT
public:
    explicit IndexPrintDialog(QWidget* parent = nullptr);
    ~IndexPrintDialog() override;

    /// Appends the pictures among paths in order; each other file is named in a skip message.
    /// Returns how many were added.
    int addFiles(const QStringList& paths);
    /// Opens path as the logo and ticks the logo box; false (box unticked) when it cannot be read.
    bool loadLogo(const QString& path);
    /// Starts rendering with the settings shown; false when a render is already running or
    /// the worker could not start.
    bool generate();
    void cancelRender();
    bool isRendering() const { return m_runner->isRunning(); }
    /// The sheet of the last completed render, or null before the first.
    const IndexSheet* sheet() const { return m_sheet.get(); }
    /// Writes the sheet by path's extension after the format's options dialog. False when
    /// cancelled or failed (the failure has been shown).
    bool saveSheetTo(const QString& path);
    /// The save dialog's proposed name: the title, made safe for a file name.
    QString proposedFileName() const;

    IndexFileList* fileList() const { return m_list; }
    ImageView* sheetView() const { return m_sheetView; }
    const Image& logo() const { return m_logo; }

signals:
    /// A render ended: with a new sheet shown (Done), or leaving the shown one (otherwise).
    void renderFinished(tavelune::gui::IndexRenderRunner::Outcome outcome);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public slots:
    void reject() override;

private:
    QWidget* buildSettings();
    QGroupBox* buildFileListGroup(QWidget* panel);
    void buildSheetOptions(QWidget* panel, QVBoxLayout* column);
    QFormLayout* buildTextForm(QWidget* panel);
    QLayout* buildLogoRow(QWidget* panel);
    void connectSettings();
    QWidget* buildPreview();
    void askFiles();
    void onLogoToggled(bool on);
    void clearLogo();
    void applyLogoKey(int colour);
    void askSave();
    void setRendering(bool on);
    void onRenderFinished(IndexRenderRunner::Outcome outcome);
    IndexRenderRequest request() const;

    IndexFileList* m_list;
    QPushButton* m_loadButton;
    QPushButton* m_clearButton;
    QPushButton* m_deleteButton;
    QCheckBox* m_uprightBox = nullptr;
    QCheckBox* m_fillBox;
    QCheckBox* m_numberBox;
    QLineEdit* m_numberField;
    QComboBox* m_styleList;
    QComboBox* m_precisionList;
    QLineEdit* m_titleField;
    QLineEdit* m_signatureField;
    QPlainTextEdit* m_contentBox;
    QCheckBox* m_logoBox;
    PicturePreview* m_logoPreview;
    ColourButton* m_keyButton;
    QPushButton* m_generateButton;
    QProgressBar* m_progress;
    QPushButton* m_cancelButton;
    ImageView* m_sheetView;
    QPushButton* m_saveButton;
    QPushButton* m_exitButton;
    QWidget* m_settingsPanel;

    Image m_logo;
    std::unique_ptr<IndexSheet> m_sheet;
    IndexRenderRunner* m_runner;
};

}  // namespace tavelune::gui
