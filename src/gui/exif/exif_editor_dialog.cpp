// The EXIF editor dialog: its groups of fields, the binding to the editor model, and its buttons.
#include "gui/exif/exif_editor_dialog.h"

#include <QDateTimeEdit>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "engine/image.h"
#include "engine/message_sink.h"
#include "exif/exif_messages.h"
#include "gui/controls/message_box.h"
#include "gui/exif/equipment_combo.h"
#include "gui/exif/exif_field_validator.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

namespace {

const QStringList kShutterPresets = {
    "30",    "20",    "15",    "10",     "8",      "6",      "4",      "3",      "2",
    "1.5",   "1",     "0.7",   "1/2",    "1/3",    "1/4",    "1/6",    "1/8",    "1/10",
    "1/15",  "1/20",  "1/30",  "1/45",   "1/60",   "1/90",   "1/125",  "1/180",  "1/250",
    "1/350", "1/500", "1/750", "1/1000", "1/1500", "1/2000", "1/3000", "1/4000", "1/5000"};
const QStringList kAperturePresets = {"1.4", "1.8", "2.0", "2.4", "2.8", "3.5", "4.0", "4.5", "5.6",
                                      "6.7", "8",   "9.5", "11",  "13",  "16",  "19",  "22",  "32"};
const QStringList kCompensationPresets = {"-2",  "-1.66", "-1.33", "-1",   "-2/3", "-1/3", "0",
                                          "1/3", "2/3",   "1",     "1.33", "1.66", "2"};
const QStringList kFocalPresets = {"18", "24",  "28",  "35",  "50",  "70", "75",
                                   "85", "105", "135", "200", "300", "400"};
const QStringList kIsoPresets = {"25", "50", "100", "200", "400", "800", "1600", "3200", "6400"};

constexpr int kResolutionUnitInches = 2;
constexpr int kResolutionUnitCentimetres = 3;

PickerTime pickerTime(const QDateTimeEdit* picker)
{
    const QDateTime t = picker->dateTime();
    return {t.date().year(), t.date().month(),  t.date().day(),
            t.time().hour(), t.time().minute(), t.time().second()};
}

void setPickerTime(QDateTimeEdit* picker, const PickerTime& t)
{
    const QDate date(t.year, t.month, t.day);
    const QTime time(t.hour, t.minute, t.second);
    if (date.isValid() && time.isValid())
        picker->setDateTime(QDateTime(date, time));
}

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QLabel* label(int id, QWidget* parent)
{
    return new QLabel(text(id), parent);
}

}  // namespace

struct ExifEditorDialog::Widgets {
    struct Typed {
        EditorField field;
        std::string ExifEditorFields::*value;
        QComboBox* combo = nullptr;  // one of combo and edit
        QLineEdit* edit = nullptr;
    };
    struct Named {
        DropList ExifEditorFields::*list;
        QComboBox* combo;
    };
    struct Picker {
        PickerTime ExifEditorFields::*time;
        QDateTimeEdit* edit;
    };
    std::vector<Typed> typed;
    std::vector<Named> named;
    std::vector<Picker> pickers;
    QComboBox* focusDistance = nullptr;
    QLineEdit* resolution = nullptr;
    QComboBox* resolutionUnit = nullptr;
    QComboBox* make = nullptr;
    QPlainTextEdit* userComment = nullptr;
    QPushButton* write = nullptr;
    QPushButton* remove = nullptr;
};

ExifEditorDialog::ExifEditorDialog(ExifData& exif, EditorPicture picture, QWidget* parent)
    : QDialog(parent),
      m_exif(exif),
      m_model(std::make_unique<ExifEditorModel>(exif, picture, activeLanguageCode().toStdString())),
      m_w(std::make_unique<Widgets>())
{
    setObjectName("exifEditorDialog");
    setWindowTitle(text(Strings::ExifEditorTitle));
    setModal(true);
    build();
    showFields();
}

ExifEditorDialog::~ExifEditorDialog() = default;

bool ExifEditorDialog::editPicture(QWidget* parent, ExifData& exif, Image& picture)
{
    const EditorPicture editorPicture{static_cast<std::uint32_t>(std::max(picture.width(), 0)),
                                      static_cast<std::uint32_t>(std::max(picture.height(), 0)),
                                      picture.dpi()};
    ExifEditorDialog dialog(exif, editorPicture, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const double dpi = dialog.pictureResolution();
    if (dpi > 0)
        picture.setDpi(static_cast<float>(dpi));
    return true;
}

double ExifEditorDialog::pictureResolution() const
{
    return editedPictureResolution(m_exif);
}

void ExifEditorDialog::build()
{
    auto* content = new QWidget;
    auto* rows = new QVBoxLayout(content);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildShooting());
    left->addWidget(buildImage());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildEquipment());
    right->addWidget(buildAuthor());
    right->addStretch(1);
    columns->addLayout(left, 0);
    columns->addLayout(right, 1);
    rows->addLayout(columns);
    rows->addWidget(buildDescription(), 1);

    // A small or crowded screen scrolls the fields; the buttons stay in view.
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Shrunk to its smallest, the dialog still shows a few rows of fields to work in.
    scroll->setMinimumHeight(14 * fontMetrics().height());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(buildButtons());

    const QSize wanted =
        content->sizeHint() + QSize(40, 0) + QSize(0, layout->itemAt(1)->sizeHint().height() + 40);
    const QRect screen =
        this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1366, 768);
    resize(std::min(wanted.width(), screen.width() - 20),
           std::min(wanted.height(), screen.height() - 60));
}

QWidget* ExifEditorDialog::buildShooting()
{
    auto* group = new QGroupBox(text(Strings::ExifShootingGroup), this);
    auto* grid = new QGridLayout(group);
    int row = 0;
    auto numeric = [&](EditorField field, int labelId, const char* prefix, int unitId,
                       const QStringList& presets, const char* name) {
        auto* combo = new QComboBox(group);
        setUpEditableCombo(combo, 7);
        combo->setObjectName(name);
        combo->addItems(presets);
        combo->setValidator(new ExifFieldValidator(field, combo->lineEdit()));
        grid->addWidget(label(labelId, group), row, 0);
        if (prefix)
            grid->addWidget(new QLabel(text(Strings::ExifFNumberPrefix), group), row, 1,
                            Qt::AlignRight);
        grid->addWidget(combo, row, 2);
        if (unitId)
            grid->addWidget(label(unitId, group), row, 3);
        m_w->typed.push_back({field, editorFieldRow(field).text, combo, nullptr});
        ++row;
        return combo;
    };
    numeric(EditorField::Shutter, Strings::ExifShutterLabel, nullptr, Strings::ExifSecondsUnit,
            kShutterPresets, "shutter");
    numeric(EditorField::Aperture, Strings::ExifApertureLabel, "F", 0, kAperturePresets,
            "aperture");
    numeric(EditorField::MaxAperture, Strings::ExifMaxApertureLabel, "F", 0, kAperturePresets,
            "maxAperture");
    numeric(EditorField::ExposureCompensation, Strings::ExifCompensationLabel, nullptr,
            Strings::ExifEvUnit, kCompensationPresets, "exposureCompensation");
    numeric(EditorField::FocalLength, Strings::ExifFocalLengthLabel, nullptr,
            Strings::ExifMillimetresUnit, kFocalPresets, "focalLength");
    numeric(EditorField::FocalLength35mm, Strings::ExifFocalLength35mmLabel, nullptr,
            Strings::ExifMillimetresUnit, kFocalPresets, "focalLength35mm");
    numeric(EditorField::Iso, Strings::ExifIsoLabel, nullptr, 0, kIsoPresets, "iso");
    // Focus distance is bound by hand: its one list item stands for infinity.
    m_w->focusDistance = numeric(EditorField::FocusDistance, Strings::ExifFocusDistanceLabel,
                                 nullptr, Strings::ExifMetresUnit, {}, "focusDistance");
    m_w->typed.pop_back();

    grid->setColumnMinimumWidth(4, 12);
    row = 0;
    auto named = [&](EditorField field, int labelId, const char* name) {
        auto* combo = new QComboBox(group);
        combo->setObjectName(name);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(16);
        grid->addWidget(label(labelId, group), row, 5);
        grid->addWidget(combo, row, 6);
        m_w->named.push_back({editorFieldRow(field).list, combo});
        ++row;
    };
    named(EditorField::Flash, Strings::ExifFlashLabel, "flash");
    named(EditorField::WhiteBalance, Strings::ExifWhiteBalanceLabel, "whiteBalance");
    named(EditorField::LightSource, Strings::ExifLightSourceLabel, "lightSource");
    named(EditorField::MeteringMode, Strings::ExifMeteringLabel, "meteringMode");
    named(EditorField::ExposureProgram, Strings::ExifProgramLabel, "exposureProgram");
    named(EditorField::ExposureMode, Strings::ExifExposureModeLabel, "exposureMode");
    auto picker = [&](EditorField field, int labelId, const char* name, QGridLayout* in, int atRow,
                      int atColumn) {
        auto* edit = new QDateTimeEdit(in->parentWidget());
        edit->setObjectName(name);
        edit->setDisplayFormat("yyyy-MM-dd HH:mm:ss");
        edit->setCalendarPopup(true);
        edit->setMinimumDateTime(QDateTime(QDate(1601, 1, 1), QTime(0, 0)));
        edit->setMaximumDateTime(QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
        in->addWidget(label(labelId, in->parentWidget()), atRow, atColumn);
        in->addWidget(edit, atRow, atColumn + 1);
        m_w->pickers.push_back({editorFieldRow(field).time, edit});
    };
    picker(EditorField::DateTimeOriginal, Strings::ExifTakenLabel, "dateTimeOriginal", grid, row++,
           5);
    picker(EditorField::DateTimeDigitized, Strings::ExifDigitizedLabel, "dateTimeDigitized", grid,
           row++, 5);
    grid->setColumnStretch(6, 1);
    return group;
}

QWidget* ExifEditorDialog::buildImage()
{
    auto* group = new QGroupBox(text(Strings::ExifImageGroup), this);
    auto* grid = new QGridLayout(group);
    auto edit = [&](EditorField field, const char* name) {
        auto* line = new QLineEdit(group);
        line->setObjectName(name);
        line->setValidator(new ExifFieldValidator(field, line));
        line->setMaximumWidth(line->fontMetrics().horizontalAdvance("0000000000") + 16);
        m_w->typed.push_back({field, editorFieldRow(field).text, nullptr, line});
        return line;
    };
    grid->addWidget(label(Strings::ExifWidthLabel, group), 0, 0);
    grid->addWidget(edit(EditorField::Width, "width"), 0, 1);
    grid->addWidget(label(Strings::ExifHeightLabel, group), 0, 2);
    grid->addWidget(edit(EditorField::Height, "height"), 0, 3);

    grid->addWidget(label(Strings::ExifResolutionLabel, group), 1, 0);
    m_w->resolution = edit(EditorField::Resolution, "resolution");
    grid->addWidget(m_w->resolution, 1, 1);
    m_w->resolutionUnit = new QComboBox(group);
    m_w->resolutionUnit->setObjectName("resolutionUnit");
    m_w->resolutionUnit->addItem(text(Strings::ExifPixelsPerInch), kResolutionUnitInches);
    m_w->resolutionUnit->addItem(text(Strings::ExifPixelsPerCentimetre),
                                 kResolutionUnitCentimetres);
    grid->addWidget(m_w->resolutionUnit, 1, 2, 1, 2);
    connect(m_w->resolution, &QLineEdit::editingFinished, this, [this] {
        m_model->fields().resolution = m_w->resolution->text().toStdString();
        m_model->LeaveResolution();
        m_w->resolution->setText(fromUtf8(m_model->fields().resolution));
    });
    auto* edit2 = new QDateTimeEdit(group);
    edit2->setObjectName("dateTime");
    edit2->setDisplayFormat("yyyy-MM-dd HH:mm:ss");
    edit2->setCalendarPopup(true);
    edit2->setMinimumDateTime(QDateTime(QDate(1601, 1, 1), QTime(0, 0)));
    edit2->setMaximumDateTime(QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
    m_w->pickers.push_back({editorFieldRow(EditorField::DateTime).time, edit2});
    grid->addWidget(label(Strings::ExifModifiedLabel, group), 2, 0);
    grid->addWidget(edit2, 2, 1, 1, 3);
    grid->setColumnStretch(4, 1);
    return group;
}

QWidget* ExifEditorDialog::buildEquipment()
{
    auto* group = new QGroupBox(text(Strings::ExifEquipmentGroup), this);
    auto* grid = new QGridLayout(group);
    int row = 0;
    auto add = [&](EquipmentCombo* combo, EditorField field, int labelId, const char* name) {
        combo->setObjectName(name);
        combo->setValidator(new ExifFieldValidator(field, combo->lineEdit()));
        grid->addWidget(label(labelId, group), row, 0);
        grid->addWidget(combo, row, 1);
        m_w->typed.push_back({field, editorFieldRow(field).text, combo, nullptr});
        ++row;
        return combo;
    };
    // The maker list is filled once on opening; the others wait for their first focus.
    m_w->make = add(new EquipmentCombo(EquipmentTable::CameraModels, group), EditorField::Make,
                    Strings::ExifMakeLabel, "make");
    m_w->make->setCompleter(nullptr);
    for (const std::string& maker : m_model->fields().makers) m_w->make->addItem(fromUtf8(maker));
    add(new EquipmentCombo([this] { return m_w->make->currentText(); }, group), EditorField::Model,
        Strings::ExifModelLabel, "model");
    add(new EquipmentCombo(EquipmentTable::Lenses, group), EditorField::Lens,
        Strings::ExifLensLabel, "lens");
    add(new EquipmentCombo(EquipmentTable::Films, group), EditorField::Film, Strings::ExifFilmLabel,
        "film");
    add(new EquipmentCombo(EquipmentTable::Filters, group), EditorField::FilterLens,
        Strings::ExifFilterLabel, "filterLens");
    add(new EquipmentCombo(EquipmentTable::Scanners, group), EditorField::Scanner,
        Strings::ExifScannerLabel, "scanner");
    add(new EquipmentCombo(EquipmentTable::FlashUnits, group), EditorField::FlashLamp,
        Strings::ExifFlashUnitLabel, "flashLamp");
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* ExifEditorDialog::buildAuthor()
{
    auto* group = new QGroupBox(text(Strings::ExifAuthorGroup), this);
    auto* grid = new QGridLayout(group);
    auto edit = [&](EditorField field, const char* name) {
        auto* line = new QLineEdit(group);
        line->setObjectName(name);
        line->setValidator(new ExifFieldValidator(field, line));
        m_w->typed.push_back({field, editorFieldRow(field).text, nullptr, line});
        return line;
    };
    grid->addWidget(label(Strings::ExifArtistLabel, group), 0, 0);
    grid->addWidget(edit(EditorField::Artist, "artist"), 0, 1, 1, 2);
    grid->addWidget(label(Strings::ExifCopyrightLabel, group), 1, 0);
    grid->addWidget(label(Strings::ExifPhotographerNote, group), 1, 1);
    grid->addWidget(edit(EditorField::CopyrightPhotographer, "copyrightPhotographer"), 1, 2);
    grid->addWidget(label(Strings::ExifEditorNote, group), 2, 1);
    grid->addWidget(edit(EditorField::CopyrightEditor, "copyrightEditor"), 2, 2);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* ExifEditorDialog::buildDescription()
{
    auto* group = new QGroupBox(text(Strings::ExifDescriptionGroup), this);
    auto* box = new QVBoxLayout(group);
    auto* descriptionLabel = label(Strings::ExifDescriptionLabel, group);
    descriptionLabel->setWordWrap(true);
    box->addWidget(descriptionLabel);
    auto* description = new QLineEdit(group);
    description->setObjectName("imageDescription");
    description->setValidator(new ExifFieldValidator(EditorField::ImageDescription, description));
    m_w->typed.push_back({EditorField::ImageDescription,
                          editorFieldRow(EditorField::ImageDescription).text, nullptr,
                          description});
    box->addWidget(description);
    auto* commentLabel = label(Strings::ExifCommentLabel, group);
    commentLabel->setWordWrap(true);
    box->addWidget(commentLabel);
    m_w->userComment = new QPlainTextEdit(group);
    m_w->userComment->setObjectName("userComment");
    m_w->userComment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_w->userComment->setFixedHeight(m_w->userComment->fontMetrics().lineSpacing() * 4 + 12);
    limitPlainText(m_w->userComment, EditorField::UserComment);
    box->addWidget(m_w->userComment, 1);
    return group;
}

QWidget* ExifEditorDialog::buildButtons()
{
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* note = label(Strings::ExifOriginalFileNote, panel);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* row = new QHBoxLayout;
    auto button = [&](int id, const char* name) {
        auto* b = new QPushButton(text(id), panel);
        b->setObjectName(name);
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    m_w->write = button(Strings::ExifWriteButton, "writeButton");
    m_w->remove = button(Strings::ExifDeleteButton, "deleteButton");
    row->addStretch(1);
    QPushButton* ok = button(Strings::ExifOkButton, "okButton");
    ok->setDefault(true);
    QPushButton* cancel = button(Strings::ExifCancelButton, "cancelButton");
    QPushButton* resetButton = button(Strings::ExifResetButton, "resetButton");
    layout->addLayout(row);

    connect(ok, &QPushButton::clicked, this, &ExifEditorDialog::acceptOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(resetButton, &QPushButton::clicked, this, &ExifEditorDialog::reset);
    connect(m_w->write, &QPushButton::clicked, this, [this] { changeFile(true); });
    connect(m_w->remove, &QPushButton::clicked, this, [this] { changeFile(false); });
    const bool canChange = m_model->CanChangeFile();
    m_w->write->setEnabled(canChange);
    m_w->remove->setEnabled(canChange);
    return panel;
}

void ExifEditorDialog::showFields()
{
    const ExifEditorFields& f = m_model->fields();
    for (const Widgets::Typed& t : m_w->typed) {
        if (t.combo != nullptr) {
            t.combo->setCurrentIndex(-1);
            t.combo->setEditText(fromUtf8(f.*t.value));
            // A long lens or camera name shows its beginning, which names the maker.
            t.combo->lineEdit()->setCursorPosition(0);
        } else {
            t.edit->setText(fromUtf8(f.*t.value));
            t.edit->setCursorPosition(0);
        }
    }
    m_w->focusDistance->clear();
    m_w->focusDistance->addItem(text(Strings::FocusInfinity), -1);
    m_w->focusDistance->setCurrentIndex(f.focusDistanceInfinity ? 0 : -1);
    if (!f.focusDistanceInfinity)
        m_w->focusDistance->setEditText(fromUtf8(f.focusDistance));
    for (const Widgets::Named& n : m_w->named) {
        const DropList& list = f.*n.list;
        n.combo->clear();
        for (const ListItem& item : list.items)
            n.combo->addItem(fromUtf8(item.text), static_cast<qlonglong>(item.data));
        n.combo->setCurrentIndex(list.selected);
    }
    for (const Widgets::Picker& p : m_w->pickers) setPickerTime(p.edit, f.*p.time);
    m_w->resolutionUnit->setCurrentIndex(f.resolutionUnit.selected);
    m_w->userComment->setPlainText(fromUtf8(f.userComment));
}

void ExifEditorDialog::takeFields()
{
    ExifEditorFields& f = m_model->fields();
    for (const Widgets::Typed& t : m_w->typed)
        f.*t.value = (t.combo != nullptr ? t.combo->currentText() : t.edit->text()).toStdString();
    const QString distance = m_w->focusDistance->currentText();
    f.focusDistanceInfinity =
        m_w->focusDistance->currentIndex() == 0 && distance == m_w->focusDistance->itemText(0);
    f.focusDistance =
        f.focusDistanceInfinity ? std::string(messages::kInfinity) : distance.toStdString();
    for (const Widgets::Named& n : m_w->named) (f.*n.list).selected = n.combo->currentIndex();
    for (const Widgets::Picker& p : m_w->pickers) f.*p.time = pickerTime(p.edit);
    f.resolutionUnit.selected = m_w->resolutionUnit->currentIndex();
    f.userComment = m_w->userComment->toPlainText().toStdString();
}

void ExifEditorDialog::reset()
{
    // A date the file cannot give keeps what its picker shows now.
    for (const Widgets::Picker& p : m_w->pickers) m_model->fields().*p.time = pickerTime(p.edit);
    m_model->Reset();
    showFields();
}

void ExifEditorDialog::acceptOk()
{
    takeFields();
    m_model->LeaveResolution();
    if (m_model->Ok() == EditorOutcome::ClosedOk)
        accept();
}

void ExifEditorDialog::changeFile(bool write)
{
    EditorPrompts prompts;
    prompts.confirm = [this](EditorMessage message) {
        const int id = message == EditorMessage::WriteConfirm ? Strings::ExifWriteConfirm
                                                              : Strings::ExifDeleteConfirm;
        return askQuestion(this, text(id), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    };
    prompts.box = [](const ExifFailure& box) { showMessage(exifBoxText(box.code, box.detail)); };
    prompts.report = [this](EditorMessage message, const std::string& path) {
        if (message == EditorMessage::MakerNoteOffsetsMayBeInvalid) {
            // Told as the engine's own box, as the writer first told it.
            showMessage(editorMessageText(message, path), messages::kEditorTitle,
                        editorMessageIcon(message));
            return;
        }
        int id = Strings::ExifFileMissing;
        QMessageBox::Icon icon = QMessageBox::Critical;
        switch (message) {
            case EditorMessage::SourceNotJpegOrTiff:
                id = Strings::ExifNotJpegOrTiff;
                icon = QMessageBox::NoIcon;
                break;
            case EditorMessage::RawNeverRewritten:
                id = Strings::ExifRawNeverRewritten;
                icon = QMessageBox::Information;
                break;
            case EditorMessage::ExifShownOnly:
                id = Strings::ExifShownOnly;
                icon = QMessageBox::Information;
                break;
            case EditorMessage::WriteFailed:
                id = Strings::ExifWriteFailed;
                break;
            case EditorMessage::DeleteFailed:
                id = Strings::ExifDeleteFailed;
                break;
            default:
                break;
        }
        QString shown = text(id);
        const qsizetype at = shown.indexOf(QLatin1String("%s"));
        if (at >= 0)
            shown.replace(at, 2, QFile::decodeName(path.c_str()));
        showMessageBox(this, shown, icon, text(Strings::ExifEditorTitle));
    };
    if (write) {
        takeFields();
        m_model->LeaveResolution();
    }
    const EditorOutcome outcome = write ? m_model->Write(prompts) : m_model->Delete(prompts);
    if (outcome == EditorOutcome::ClosedOk)
        accept();
}

}  // namespace tavelune::gui
