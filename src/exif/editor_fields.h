// The EXIF editor's fields, one row each: where a field's text lives, which entry it edits, how
// its value is read and stored, the rule its input obeys and the names the CLI knows it by.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavelune {

/// The editable fields, in the order their values are stored.
enum class EditorField {
    Shutter,
    Aperture,
    MaxAperture,
    ExposureCompensation,
    FocalLength,
    FocalLength35mm,
    FocusDistance,
    Iso,
    Flash,
    WhiteBalance,
    LightSource,
    MeteringMode,
    ExposureProgram,
    ExposureMode,
    DateTimeOriginal,
    DateTimeDigitized,
    Width,
    Height,
    Resolution,
    ResolutionUnit,
    DateTime,
    Make,
    Model,
    Lens,
    Film,
    FilterLens,
    Scanner,
    FlashLamp,
    Artist,
    CopyrightPhotographer,
    CopyrightEditor,
    ImageDescription,
    UserComment,
    Count
};
inline constexpr std::size_t kEditorFieldCount = static_cast<std::size_t>(EditorField::Count);
using EditorFieldSet = std::bitset<kEditorFieldCount>;

struct PickerTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct ListItem {
    std::string text;
    long data;
};

struct DropList {
    std::vector<ListItem> items;
    int selected = -1;
    long SelectedData() const
    {
        return selected >= 0 ? items[static_cast<std::size_t>(selected)].data : 0;
    }
};

/// What the dialog's controls hold.
struct ExifEditorFields {
    std::string shutter, aperture, maxAperture, exposureCompensation, focalLength, focalLength35mm;
    std::string focusDistance;
    bool focusDistanceInfinity = false;  // the list's one item is selected
    std::string iso;
    DropList flash, whiteBalance, lightSource, meteringMode, exposureProgram, exposureMode;
    PickerTime dateTimeOriginal, dateTimeDigitized, dateTime;
    std::string width, height, resolution;
    DropList resolutionUnit;
    std::vector<std::string> makers;  // the maker combo's list
    std::string make, model, lens, film, filterLens, scanner, flashLamp, artist;
    std::string copyrightPhotographer, copyrightEditor, imageDescription, userComment;
};

/// A typed number's input rule: digits, at most maxLength characters, one '.' (or '/' where
/// fractions are allowed) followed by at most `decimals` characters, '-' first where allowed.
struct NumberRule {
    bool fraction = false;
    std::size_t maxLength = 0;  // 0: the field is not a typed number
    std::size_t decimals = 0;
    bool negative = false;
};

/// How a field's value is read from the model and stored into it.
enum class ValueKind {
    Exposure,        // seconds: RATIONAL, and log2(1/t) as SRATIONAL into alsoTag
    Aperture,        // f-number: RATIONAL, and 2 log2(N) as RATIONAL into alsoTag
    ApexAperture,    // 2 log2(N) as RATIONAL; removed when not above 0
    Rational,        // the number as RATIONAL
    SRational,       // the number as SRATIONAL
    Short,           // the number as SHORT
    PictureWidth,    // the number as LONG; the picture's width when the model has none
    PictureHeight,   // the same with the picture's height
    Distance,        // RATIONAL metres, or 4294967295 when the infinity item is selected
    Resolution,      // RATIONAL into tag and alsoTag; 72 for 0
    ResolutionUnit,  // SHORT 2 or 3, stored whenever Resolution is
    Named,           // the selected named value as SHORT
    Date,            // "%Y:%m:%d %H:%M:%S"
    Text,            // trimmed ASCII; removed when empty
    CopyrightPart,   // one half of Copyright: photographer " \n " editor
    UserComment,     // eight zero bytes, the text and a zero byte, UNDEFINED; removed when empty
};

struct TagRef {
    std::uint16_t ifd = 0;
    std::uint16_t tag = 0;
};

struct EditorFieldRow {
    EditorField field;
    // The control's content: exactly one of the three is set.
    std::string ExifEditorFields::*text;
    DropList ExifEditorFields::*list;
    PickerTime ExifEditorFields::*time;
    TagRef entry;
    ValueKind kind;
    NumberRule rule;
    std::size_t maxCharacters;  // texts; 0 for numbers, lists and dates
    TagRef also;                // stored with the entry, or read when the entry has no text
    const char* loadPrefix;     // taken off the entry's display text when loading
    const char* loadSuffix;
    std::array<const char*, 3> cliNames;  // the first is the tag's catalogue name
};

/// Every field, in EditorField order.
std::span<const EditorFieldRow> editorFieldRows();
const EditorFieldRow& editorFieldRow(EditorField field);

/// Whether a typed field accepts the text a keystroke would leave in it (lists and date
/// pickers, which are not typed into, accept anything).
bool acceptsFieldText(EditorField field, std::string_view text);

/// A numeric combo's text as a number: "a/b" is atol(a) / atol(b) (0 when either is 0) in the
/// fields that take fractions, anything else atof.
double fieldNumber(EditorField field, const std::string& text);

/// The field's input rule as the user is told it, made from the rule itself.
std::string fieldRuleText(EditorField field);

}  // namespace tavelune
