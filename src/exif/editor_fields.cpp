// The EXIF editor's field table and the input rules read from it.
#include "exif/editor_fields.h"

#include <cstdlib>

#include "exif/exif_entry.h"

namespace tavelune {
namespace {

using F = ExifEditorFields;
using K = ValueKind;

constexpr std::size_t kTextLimit = 128;
constexpr std::size_t kCommentLimit = 10240;

constexpr EditorFieldRow typed(EditorField field, std::string F::*text, TagRef entry, K kind,
                               NumberRule rule, std::array<const char*, 3> names, TagRef also = {},
                               const char* prefix = nullptr, const char* suffix = nullptr)
{
    return {field, text, nullptr, nullptr, entry, kind, rule, 0, also, prefix, suffix, names};
}

constexpr EditorFieldRow text(EditorField field, std::string F::*member, TagRef entry,
                              std::array<const char*, 3> names, K kind = K::Text,
                              std::size_t limit = kTextLimit)
{
    return {field, member, nullptr, nullptr, entry, kind, {}, limit, {}, nullptr, nullptr, names};
}

constexpr EditorFieldRow named(EditorField field, DropList F::*list, TagRef entry,
                               std::array<const char*, 3> names, K kind = K::Named)
{
    return {field, nullptr, list, nullptr, entry, kind, {}, 0, {}, nullptr, nullptr, names};
}

constexpr EditorFieldRow date(EditorField field, PickerTime F::*time, TagRef entry,
                              std::array<const char*, 3> names)
{
    return {field, nullptr, nullptr, time, entry, K::Date, {}, 0, {}, nullptr, nullptr, names};
}

constexpr TagRef ifd0(std::uint16_t tag)
{
    return {kIfd0, tag};
}

constexpr TagRef exif(std::uint16_t tag)
{
    return {kExifIfd, tag};
}

// One row per field, in EditorField order (the order the values are stored in).
// clang-format off
constexpr EditorFieldRow kRows[] = {
    typed(EditorField::Shutter, &F::shutter, exif(kTagExposureTime), K::Exposure,
          {true, 9, 4, false}, {"ExposureTime", "Shutter", "ShutterSpeedValue"},
          exif(kTagShutterSpeedValue), nullptr, "\""),
    typed(EditorField::Aperture, &F::aperture, exif(kTagFNumber), K::Aperture,
          {false, 5, 2, false}, {"FNumber", "Aperture", "ApertureValue"},
          exif(kTagApertureValue), "F"),
    typed(EditorField::MaxAperture, &F::maxAperture, exif(kTagMaxApertureValue), K::ApexAperture,
          {false, 5, 2, false}, {"MaxApertureValue", "MaxAperture"}, {}, "F"),
    typed(EditorField::ExposureCompensation, &F::exposureCompensation,
          exif(kTagExposureBiasValue), K::SRational, {true, 6, 2, true},
          {"ExposureBiasValue", "ExposureCompensation"}, {}, "+", "EV"),
    typed(EditorField::FocalLength, &F::focalLength, exif(kTagFocalLength), K::Rational,
          {false, 7, 2, false}, {"FocalLength"}, {}, nullptr, "mm"),
    typed(EditorField::FocalLength35mm, &F::focalLength35mm, exif(kTagFocalLengthIn35mmFilm),
          K::Short, {false, 5, 0, false}, {"FocalLengthIn35mmFilm", "FocalLength35mm"}, {},
          nullptr, "mm"),
    typed(EditorField::FocusDistance, &F::focusDistance, exif(kTagSubjectDistance), K::Distance,
          {false, 9, 4, false}, {"SubjectDistance", "FocusDistance"}),
    typed(EditorField::Iso, &F::iso, exif(kTagISOSpeedRatings), K::Short, {false, 4, 0, false},
          {"ISOSpeedRatings", "ISO"}),
    named(EditorField::Flash, &F::flash, exif(kTagFlash), {"Flash"}),
    named(EditorField::WhiteBalance, &F::whiteBalance, exif(kTagWhiteBalance), {"WhiteBalance"}),
    named(EditorField::LightSource, &F::lightSource, exif(kTagLightSource), {"LightSource"}),
    named(EditorField::MeteringMode, &F::meteringMode, exif(kTagMeteringMode), {"MeteringMode"}),
    named(EditorField::ExposureProgram, &F::exposureProgram, exif(kTagExposureProgram),
          {"ExposureProgram"}),
    named(EditorField::ExposureMode, &F::exposureMode, exif(kTagExposureMode), {"ExposureMode"}),
    date(EditorField::DateTimeOriginal, &F::dateTimeOriginal, exif(kTagDateTimeOriginal),
         {"DateTimeOriginal"}),
    date(EditorField::DateTimeDigitized, &F::dateTimeDigitized, exif(kTagDateTimeDigitized),
         {"DateTimeDigitized"}),
    typed(EditorField::Width, &F::width, exif(kTagPixelXDimension), K::PictureWidth,
          {false, 5, 0, false}, {"PixelXDimension", "Width"}, ifd0(kTagImageWidth)),
    typed(EditorField::Height, &F::height, exif(kTagPixelYDimension), K::PictureHeight,
          {false, 5, 0, false}, {"PixelYDimension", "Height"}, ifd0(kTagImageLength)),
    typed(EditorField::Resolution, &F::resolution, ifd0(kTagXResolution), K::Resolution,
          {false, 9, 3, false}, {"XResolution", "YResolution", "Resolution"},
          ifd0(kTagYResolution)),
    named(EditorField::ResolutionUnit, &F::resolutionUnit, ifd0(kTagResolutionUnit),
          {"ResolutionUnit"}, K::ResolutionUnit),
    date(EditorField::DateTime, &F::dateTime, ifd0(kTagDateTime), {"DateTime"}),
    text(EditorField::Make, &F::make, ifd0(kTagMake), {"Make"}),
    text(EditorField::Model, &F::model, ifd0(kTagModel), {"Model"}),
    text(EditorField::Lens, &F::lens, exif(kTagLens), {"Lens"}),
    text(EditorField::Film, &F::film, exif(kTagFilm), {"Film"}),
    text(EditorField::FilterLens, &F::filterLens, exif(kTagFilterLens), {"FilterLens"}),
    text(EditorField::Scanner, &F::scanner, exif(kTagScanner), {"Scanner"}),
    text(EditorField::FlashLamp, &F::flashLamp, exif(kTagFlashLamp), {"FlashLamp"}),
    text(EditorField::Artist, &F::artist, ifd0(kTagArtist), {"Artist"}),
    text(EditorField::CopyrightPhotographer, &F::copyrightPhotographer, ifd0(kTagCopyright),
         {"Copyright", "CopyrightPhotographer"}, K::CopyrightPart),
    text(EditorField::CopyrightEditor, &F::copyrightEditor, ifd0(kTagCopyright),
         {"CopyrightEditor"}, K::CopyrightPart),
    text(EditorField::ImageDescription, &F::imageDescription, ifd0(kTagImageDescription),
         {"ImageDescription"}),
    text(EditorField::UserComment, &F::userComment, exif(kTagUserComment), {"UserComment"},
         K::UserComment, kCommentLimit),
};
// clang-format on

constexpr bool rowsInFieldOrder()
{
    if (std::size(kRows) != kEditorFieldCount)
        return false;
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        const EditorFieldRow& row = kRows[i];
        const int members = (row.text != nullptr) + (row.list != nullptr) + (row.time != nullptr);
        if (static_cast<std::size_t>(row.field) != i || members != 1 || row.cliNames[0] == nullptr)
            return false;
    }
    return true;
}
static_assert(rowsInFieldOrder(), "one row per EditorField, in order, each with one member");

std::size_t codePoints(std::string_view text)
{
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

bool acceptsNumber(const NumberRule& rule, std::string_view text)
{
    if (text.size() > rule.maxLength)
        return false;
    std::size_t separator = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            continue;
        if (c == '-') {
            if (!rule.negative || i != 0)
                return false;
        } else if (c == '.' || (c == '/' && rule.fraction)) {
            if (separator != std::string_view::npos || rule.decimals == 0)
                return false;
            separator = i;
        } else {
            return false;
        }
    }
    return separator == std::string_view::npos || text.size() - separator - 1 <= rule.decimals;
}

}  // namespace

std::span<const EditorFieldRow> editorFieldRows()
{
    return kRows;
}

const EditorFieldRow& editorFieldRow(EditorField field)
{
    return kRows[static_cast<std::size_t>(field)];
}

bool acceptsFieldText(EditorField field, std::string_view text)
{
    if (field == EditorField::Count)
        return true;
    const EditorFieldRow& row = editorFieldRow(field);
    if (row.rule.maxLength > 0)
        return acceptsNumber(row.rule, text);
    return row.maxCharacters == 0 || codePoints(text) <= row.maxCharacters;
}

double fieldNumber(EditorField field, const std::string& text)
{
    const bool fraction = field != EditorField::Count && editorFieldRow(field).rule.fraction;
    const std::size_t slash = text.find('/');
    if (fraction && slash != std::string::npos) {
        const long numerator = std::atol(text.substr(0, slash).c_str());
        const long denominator = std::atol(text.substr(slash + 1).c_str());
        if (numerator == 0 || denominator == 0)
            return 0;
        return static_cast<double>(numerator) / static_cast<double>(denominator);
    }
    return std::atof(text.c_str());
}

std::string fieldRuleText(EditorField field)
{
    const EditorFieldRow& row = editorFieldRow(field);
    const NumberRule& rule = row.rule;
    if (rule.maxLength == 0)
        return "at most " + std::to_string(row.maxCharacters) + " characters";
    const std::string length = std::to_string(rule.maxLength);
    const std::string decimals = std::to_string(rule.decimals);
    std::string text;
    if (rule.decimals == 0) {
        text = "whole number of at most " + length + " digits";
    } else {
        if (rule.negative)
            text = "an optional leading '-', ";
        text += rule.fraction ? "digits with one '.' or '/', at most " + length + " characters, " +
                                    decimals + " after the separator"
                              : "digits with one '.', at most " + length + " characters, " +
                                    decimals + " decimals";
    }
    if (row.kind == ValueKind::Distance)
        text += ", or inf";
    return text;
}

}  // namespace tavelune
