// The rules of the EXIF editor without its widgets: loading fields, input rules, storing, buttons.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/message_icon.h"
#include "exif/editor_fields.h"
#include "exif/exif_data.h"

namespace tavelune {

/// "YYYY:MM:DD HH:MM:SS" read as the date pickers read it; false (time left alone) when the
/// text is 18 characters or shorter, the date is out of the pickers' range, or the date or
/// time does not exist on a clock or calendar (a picker cannot show 02-31 or 25:00).
bool readPickerTime(const std::string& text, PickerTime& time);
std::string exifTimeText(const PickerTime& time);       // "%Y:%m:%d %H:%M:%S"
std::string pickerDisplayText(const PickerTime& time);  // "yyyy-MM-dd HH:mm:ss"

/// The picture the editor was opened with.
struct EditorPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    double dpi = 0;
};

enum class EditorOutcome { Cancelled, StayOpen, ClosedOk };

/// The questions and messages of the write and delete buttons.
enum class EditorMessage {
    WriteConfirm,
    DeleteConfirm,
    SourceFileNoExist,
    SourceNotJpegOrTiff,
    RawNeverRewritten,             // the text takes the path
    ExifShownOnly,                 // HEIF, AVIF, WebP, PNG; the text takes the path
    WriteFailed,                   // the text takes the path
    DeleteFailed,                  // the text takes the path
    MakerNoteOffsetsMayBeInvalid,  // after a write: the maker note could not be kept intact
};

/// How a front end asks and tells; an empty confirm asks nothing, an empty report or box
/// tells nothing.
struct EditorPrompts {
    std::function<bool(EditorMessage)> confirm;  // Yes: true
    std::function<void(EditorMessage, const std::string& path)> report;
    /// A box the EXIF reader or writer met on the way (its text is exifBoxText), at the point
    /// it was met: before the outcome of the write or delete is reported.
    std::function<void(const ExifFailure& box)> box;
};

/// The built-in text of a message, with the path put in where it takes one.
std::string editorMessageText(EditorMessage message, const std::string& path = {});
MessageIcon editorMessageIcon(EditorMessage message);

/// The resolution the picture takes after the editor closed with OK: XResolution in dots per
/// inch (centimetre values converted); 0 when the model has none, and the picture keeps its own.
double editedPictureResolution(const ExifData& exif);

class ExifEditorModel {
public:
    /// language is the user interface's, for the named-value lists.
    ExifEditorModel(ExifData& exif, EditorPicture picture, std::string language = "zh_CN");

    /// Fills the fields from the model (on opening, and by Reset).
    void Load();
    /// Stores the fields into the model; only the given fields when a set is passed (the
    /// software tags and ExifVersion are always set, and the model sorted). Fields still as
    /// Load filled them from EXIF data leave their entries untouched.
    bool Store(EditorFieldSet fields = EditorFieldSet().set());

    ExifEditorFields& fields() { return m_fields; }
    const ExifEditorFields& fields() const { return m_fields; }

    /// The write and delete buttons are enabled only for a model that names its file.
    bool CanChangeFile() const { return m_exif.fileStatus().HasPath(); }
    /// Leaving the resolution edit with 0 puts 72 back.
    void LeaveResolution();

    /// The fields whose contents differ from what the last Load put into them.
    EditorFieldSet ChangedFields() const;
    /// What OK and Write store: every field into a model without entries, else the changed
    /// ones, so that values nobody touched keep their exact bytes and no absent tag is invented.
    EditorFieldSet FieldsToStore() const;

    EditorOutcome Ok();
    void Reset() { Load(); }
    /// confirm shows the question with Yes/No and returns true for Yes.
    EditorOutcome Write(const std::function<bool(const std::string&)>& confirm);
    EditorOutcome Delete(const std::function<bool(const std::string&)>& confirm);
    EditorOutcome Write(const EditorPrompts& prompts);
    EditorOutcome Delete(const EditorPrompts& prompts);

private:
    void LoadNamedList(DropList& list, std::uint16_t tag);
    void LoadField(const EditorFieldRow& row);
    bool StoreField(const EditorFieldRow& row);
    bool StoreNumberField(const EditorFieldRow& row);
    EditorOutcome ChangeFile(const EditorPrompts& prompts, bool write);

    ExifData& m_exif;
    EditorPicture m_picture;
    std::string m_language;
    ExifEditorFields m_fields;
    ExifEditorFields m_loaded;      // the fields as Load filled them or Store stored them
    bool m_loadedFromExif = false;  // Load found EXIF data to fill them from
};

}  // namespace tavelune
