// The EXIF editor dialog: every editable EXIF field of the current picture, OK, Write and Delete.
#pragma once

#include <QDialog>
#include <memory>

#include "exif/exif_editor_model.h"

class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tavelune {
class Image;
}

namespace tavelune::gui {

class EquipmentCombo;

/// Edits the page's EXIF model. OK stores the fields into the model (the file is not
/// touched); Write and Delete change the source file through the core's safe writes and close
/// with OK when they succeed. Every OK outcome leaves the model as the caller must show it.
///
/// After exec() returns QDialog::Accepted the caller:
///   1. gives the picture the resolution pictureResolution() when it is above 0;
///   2. refills its EXIF list and restarts its histogram and EXIF panel on the model.
/// editPicture() does 1 and the modal run; the caller does 2 when it returns true.
class ExifEditorDialog : public QDialog {
    Q_OBJECT
public:
    /// exif must outlive the dialog; its file path (from LoadExif) is the source file.
    ExifEditorDialog(ExifData& exif, EditorPicture picture, QWidget* parent = nullptr);
    ~ExifEditorDialog() override;

    /// Opens the editor on picture's EXIF model; true when it closed with OK, and then the
    /// picture has the model's resolution.
    static bool editPicture(QWidget* parent, ExifData& exif, Image& picture);

    /// The dots per inch the picture takes after OK (centimetre values converted); 0 when the
    /// model holds none and the picture keeps its own.
    double pictureResolution() const;

private:
    void build();
    QWidget* buildShooting();
    QWidget* buildImage();
    QWidget* buildEquipment();
    QWidget* buildAuthor();
    QWidget* buildDescription();
    QWidget* buildButtons();

    void showFields();  // model fields -> widgets
    void takeFields();  // widgets -> model fields
    void reset();
    void acceptOk();
    void changeFile(bool write);

    ExifData& m_exif;
    std::unique_ptr<ExifEditorModel> m_model;

    struct Widgets;
    std::unique_ptr<Widgets> m_w;
};

}  // namespace tavelune::gui
