// Display texts of entry values: one rule per known tag, numbers through formatNumber.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/format_number.h"
#include "exif/exif_entry.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

// Concatenation without `"literal" + std::string`, which GCC 12 warns about falsely.
std::string join(std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (std::string_view part : parts) text.append(part);
    return text;
}

std::string printf1(const char* format, unsigned long value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string hu(double value)
{
    return std::to_string(truncatedU16(value));
}

std::string rightTrimmed(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n' || text.back() == '\v' || text.back() == '\f'))
        text.pop_back();
    return text;
}

std::string textBetween(const std::vector<std::uint8_t>& bytes, std::size_t from)
{
    std::string text;
    for (std::size_t i = from; i < bytes.size() && bytes[i] != 0; ++i)
        text.push_back(static_cast<char>(bytes[i]));
    return text;
}

std::string exposureText(double seconds)
{
    if (seconds >= 0.5)
        return formatNumber(seconds, 4) + "\"";
    return join({"1/", formatNumber(1 / seconds, 0), "\""});
}

std::string apertureText(double apex)
{
    return join({"F", formatNumber(std::pow(2.0, apex / 2), 2)});
}

std::string bracketed(const ExifEntry& entry, std::uint32_t values)
{
    std::string text = "[";
    for (std::uint32_t i = 0; i < values; ++i) {
        if (i > 0)
            text += ", ";
        text += formatNumber(entry.GetNumber(i), 4);
    }
    return text + "]";
}

std::string joinedShorts(const ExifEntry& entry, std::uint32_t limit, const char* separator)
{
    std::string text;
    for (std::uint32_t i = 0; i < entry.count() && i < limit; ++i) {
        if (i > 0)
            text += separator;
        text += hu(entry.GetNumber(i));
    }
    return text;
}

std::string fourBytes(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < 4 && bytes[i] != 0; ++i)
        text.push_back(static_cast<char>(bytes[i]));
    return text;
}

std::string fallback(const ExifEntry& entry)
{
    return entry.type() == kAscii ? entry.ValueText() : std::string();
}

struct ValueName {
    std::uint16_t value;
    const char* name;  // null ends a list
};

// A tag whose value is one of a few codes, each with its English name.
struct NamedTag {
    std::uint16_t tag;
    ValueName names[9];
};

std::string pick(std::uint16_t value, const ValueName* names)
{
    for (; names->name != nullptr; ++names) {
        if (names->value == value)
            return names->name;
    }
    return std::to_string(value);
}

const ValueName* namesOf(std::span<const NamedTag> table, std::uint16_t tag)
{
    for (const NamedTag& row : table) {
        if (row.tag == tag)
            return row.names;
    }
    return nullptr;
}

bool listed(std::initializer_list<std::uint16_t> tags, std::uint16_t tag)
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

constexpr NamedTag kIfd0Names[] = {
    {kTagCompression, {{1, "Uncompressed"}, {5, "LZW"}, {6, "JPEG compression (thumbnails only)"}}},
    {kTagPhotometricInterpretation, {{2, "RGB"}, {6, "YCbCr"}}},
    {kTagOrientation,
     {{1, "top - left"},
      {2, "top - right"},
      {3, "bottom - right"},
      {4, "bottom - left"},
      {5, "left - top"},
      {6, "right - top"},
      {7, "right - bottom"},
      {8, "left - bottom"}}},
    {kTagPlanarConfiguration, {{1, "Chunky format"}, {2, "Planar format"}}},
    {kTagResolutionUnit, {{2, "Inch"}, {3, "Cm"}}},
    {kTagPredictor,
     {{1, "No prediction scheme used before coding"}, {2, "Horizontal differencing"}}},
    {kTagYCbCrPositioning, {{1, "Centered"}, {2, "Co-sited"}}},
};

constexpr NamedTag kExifNames[] = {
    {kTagColorSpace, {{1, "sRGB"}, {65535, "Uncalibrated"}}},
    {kTagFocalPlaneResolutionUnit, {{2, "in"}, {3, "cm"}}},
    {kTagCustomRendered, {{0, "Normal process"}, {1, "Custom process"}}},
    {kTagSceneCaptureType,
     {{0, "Standard"}, {1, "Landscape"}, {2, "Portrait"}, {3, "Night scene"}}},
    {kTagGainControl,
     {{0, "None"},
      {1, "Low gain up"},
      {2, "High gain up"},
      {3, "Low gain down"},
      {4, "High gain down"}}},
    {kTagContrast, {{0, "Normal"}, {1, "Soft"}, {2, "Hard"}}},
    {kTagSharpness, {{0, "Normal"}, {1, "Soft"}, {2, "Hard"}}},
    {kTagSaturation, {{0, "Normal"}, {1, "Low saturation"}, {2, "High saturation"}}},
    {kTagSubjectDistanceRange,
     {{0, "Unknow"}, {1, "Macro"}, {2, "Close view"}, {3, "Distant view"}}},
    // Code 1 (not defined) shows nothing; exifText says so before it looks here.
    {kTagSensingMethod,
     {{2, "One-chip color area sensor"},
      {3, "Two-chip color area sensor"},
      {4, "Three-chip color area sensor"},
      {5, "Color sequential area sensor"},
      {7, "Trilinear sensor"},
      {8, "Color sequential linear sensor"}}},
};

constexpr ValueName kFileSources[] = {{0, "Other"},
                                      {1, "Scanner of transparent type"},
                                      {2, "Scanner of reflex type"},
                                      {3, "DSC"},
                                      {0, nullptr}};

std::string numberList(const ExifEntry& entry)
{
    std::string text;
    for (std::uint32_t i = 0; i < entry.count(); ++i) {
        if (i > 0)
            text += ",";
        text += formatNumber(entry.GetNumber(i), 0);
    }
    return text;
}

std::string subSamplingText(const ExifEntry& entry)
{
    const std::uint16_t first = truncatedU16(entry.GetNumber(0));
    const std::uint16_t second = truncatedU16(entry.GetNumber(1));
    if (first == 2 && second == 1)
        return "YCbCr4:2:2";
    if (first == 2 && second == 2)
        return "YCbCr4:2:0";
    return join({"[", std::to_string(first), ", ", std::to_string(second), "]"});
}

// The photographer's notice, then after its zero the editor's, each trimmed.
std::string copyrightText(const std::vector<std::uint8_t>& bytes)
{
    const std::string photographer = rightTrimmed(textBetween(bytes, 0));
    std::string editor;
    if (bytes.size() > 1) {
        std::size_t zero = 0;
        while (zero < bytes.size() && bytes[zero] != 0) ++zero;
        editor = rightTrimmed(textBetween(bytes, zero + 1));
    }
    if (!photographer.empty() && !editor.empty())
        return join({photographer, " \n ", editor});
    if (!editor.empty())
        return join({" \n ", editor});
    return photographer;
}

std::string componentsText(const std::vector<std::uint8_t>& bytes)
{
    static const char* const kComponents[] = {"", "Y", "Cb", "Cr", "R", "G", "B"};
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < 4; ++i)
        text += bytes[i] < 7 ? kComponents[bytes[i]] : "?";
    return text;
}

std::string subjectAreaText(const ExifEntry& entry)
{
    if (entry.count() == 2)
        return join({"(x,y) = (", joinedShorts(entry, 2, ","), ")"});
    if (entry.count() == 3)
        return join({"Circle: (x,y,diameter) = (", joinedShorts(entry, 3, ","), ")"});
    if (entry.count() == 4)
        return join({"Rectangle: (x,y,width,height) = (", joinedShorts(entry, 4, ","), ")"});
    return {};
}

std::string sceneTypeText(std::uint8_t code)
{
    if (code == 1)
        return "A directly photographed image";
    return code == 0 ? std::string() : std::string(1, static_cast<char>(code));
}

std::string ifd0Text(const ExifEntry& entry)
{
    const double value = entry.GetNumber(0);
    const std::uint16_t first = truncatedU16(value);
    if (const ValueName* names = namesOf(kIfd0Names, entry.tag()))
        return pick(first, names);
    switch (entry.tag()) {
        case kTagNewSubfileType:
            return std::to_string(truncatedU32(value));
        case kTagImageWidth:
        case kTagImageLength:
        case kTagRowsPerStrip:
            return value == 0 ? std::string() : formatNumber(value, 0);
        case kTagBitsPerSample:
            return joinedShorts(entry, 3, ",");
        case kTagFillOrder:
        case kTagSamplesPerPixel:
            return std::to_string(first);
        case kTagImageDescription:
        case kTagSoftware:
        case kTagDateTime:
        case kTagArtist:
            return entry.ValueText();
        case kTagMake:
        case kTagModel:
            return rightTrimmed(entry.ValueText());
        case kTagStripOffsets:
        case kTagStripByteCounts:
            return numberList(entry);
        case kTagXResolution:
        case kTagYResolution:
            return formatNumber(value == 0 ? 72 : value, 3);
        case kTagTransferFunction:
        case kTagJPEGInterchangeFormat:
        case kTagJPEGInterchangeFormatLength:
        case kTagExifIFDPointer:
        case kTagGPSInfoIFDPointer:
            return {};
        case kTagWhitePoint:
            return bracketed(entry, 2);
        case kTagPrimaryChromaticities:
        case kTagReferenceBlackWhite:
            return bracketed(entry, 6);
        case kTagYCbCrCoefficients:
            return bracketed(entry, 3);
        case kTagYCbCrSubSampling:
            return subSamplingText(entry);
        case kTagCopyright:
            return copyrightText(entry.value());
        case kTagXMLMetadata:
        case kTagAdobeResource:
        case kTagICCProfile:
            return printf1("%lu Byte", entry.count());
        default:
            if (entry.type() == kAscii)
                return entry.ValueText();
            if (entry.type() == kUndefined)
                return printf1("%lu Byte", entry.count());
            return {};
    }
}

// The Exif tags shown by a list they are on: named codes, the catalogue's names, plain text,
// or nothing; no value for the others.
std::optional<std::string> listedExifText(const ExifEntry& entry, std::uint16_t first,
                                          std::string_view language)
{
    const std::uint16_t tag = entry.tag();
    if (tag == kTagSensingMethod && first == 1)
        return std::string();
    if (const ValueName* names = namesOf(kExifNames, tag))
        return pick(first, names);
    if (listed({kTagExposureProgram, kTagMeteringMode, kTagLightSource, kTagFlash, kTagExposureMode,
                kTagWhiteBalance},
               tag))
        return LookupValueName(kExifIfd, tag, first, language);
    if (listed({kTagSpectralSensitivity, kTagDateTimeOriginal, kTagDateTimeDigitized,
                kTagRelatedSoundFile, kTagImageUniqueID, kTagExtendSoftware, kTagLens, kTagFilm,
                kTagFilterLens, kTagScanner, kTagFlashLamp},
               tag))
        return entry.ValueText();
    if (listed({kTagOECF, kTagInteroperabilityIFDPointer, kTagCFAPattern,
                kTagDeviceSettingDescription, kTagSpatialFrequencyResponse},
               tag))
        return std::string();
    return std::nullopt;
}

std::string exifText(const ExifEntry& entry, std::string_view language)
{
    const double value = entry.GetNumber(0);
    const std::uint16_t first = truncatedU16(value);
    const std::vector<std::uint8_t>& bytes = entry.value();
    if (std::optional<std::string> text = listedExifText(entry, first, language))
        return *text;
    switch (entry.tag()) {
        case kTagExposureTime:
            return value == 0 ? std::string() : exposureText(value);
        case kTagFNumber:
            return value == 0 ? std::string() : join({"F", formatNumber(value, 2)});
        case kTagISOSpeedRatings:
            return value == 0 ? std::string() : std::to_string(first);
        case kTagExifVersion:
        case kTagFlashPixVersion:
            return fourBytes(bytes);
        case kTagComponentsConfiguration:
            return componentsText(bytes);
        case kTagDigitalZoomRatio:
            if (value == 0)
                return {};
            [[fallthrough]];
        case kTagCompressedBitsPerPixel:
        case kTagFlashEnergy:
        case kTagExposureIndex:
        case kTagGamma:
            return formatNumber(value, -1);
        case kTagShutterSpeedValue:
            return value == 0 ? std::string() : exposureText(std::pow(2.0, -value));
        case kTagApertureValue:
        case kTagMaxApertureValue:
            return value == 0 ? std::string() : apertureText(value);
        case kTagBrightnessValue:
            return value == -1 ? std::string() : formatNumber(value, 2) + "EV";
        case kTagExposureBiasValue:
            return value == 0 ? std::string("+0EV") : formatNumber(value, 2, true) + "EV";
        case kTagSubjectDistance:
            if (value == 0)
                return {};
            if (value == 4294967295.0)
                return "Infinity";
            return formatNumber(value, 4) + "m";
        case kTagFocalLength:
        case kTagFocalLengthIn35mmFilm:
            return value == 0 ? std::string() : formatNumber(value, 2) + "mm";
        case kTagSubjectArea:
            return subjectAreaText(entry);
        case kTagMakerNote:
            return printf1("%lu Byte", entry.size());
        case kTagUserComment:
            return bytes.size() > 8 ? textBetween(bytes, 8) : entry.ValueText();
        case kTagSubSecTime:
        case kTagSubSecTimeOriginal:
        case kTagSubSecTimeDigitized:
            return rightTrimmed(entry.ValueText());
        case kTagPixelXDimension:
        case kTagPixelYDimension:
            return std::to_string(truncatedU32(value));
        case kTagFocalPlaneXResolution:
        case kTagFocalPlaneYResolution:
            return formatNumber(value == 0 ? 72 : value, -1);
        case kTagSubjectLocation:
            return std::to_string(first);
        case kTagFileSource:
            return pick(bytes[0], kFileSources);
        case kTagSceneType:
            return sceneTypeText(bytes[0]);
        default:
            return fallback(entry);
    }
}

}  // namespace

std::string ExifEntry::GetText(std::string_view language) const
{
    if (!IsComplete())
        return {};
    switch (m_ifd) {
        case kIfd0:
            return ifd0Text(*this);
        case kExifIfd:
            return exifText(*this, language);
        case kInteropIfd:
            if (m_tag == 1)
                return ValueText();
            if (m_tag == 2)
                return fourBytes(m_value);
            return fallback(*this);
        case kMakerNoteIfd:
            return fallback(*this);
        default:
            return {};
    }
}

}  // namespace tavelune
