// Display texts of entry values: one rule per known tag, numbers through formatNumber.
#include <cmath>
#include <cstdio>
#include <initializer_list>
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

std::string pick(std::uint16_t value,
                 std::initializer_list<std::pair<std::uint16_t, const char*>> names)
{
    for (const auto& [key, name] : names) {
        if (key == value)
            return name;
    }
    return std::to_string(value);
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

std::string ifd0Text(const ExifEntry& entry)
{
    const double value = entry.GetNumber(0);
    const std::uint16_t first = truncatedU16(value);
    switch (entry.tag()) {
        case 254:
            return std::to_string(truncatedU32(value));
        case 256:
        case 257:
        case 278:
            return value == 0 ? std::string() : formatNumber(value, 0);
        case 258:
            return joinedShorts(entry, 3, ",");
        case 259:
            return pick(
                first,
                {{1, "Uncompressed"}, {5, "LZW"}, {6, "JPEG compression (thumbnails only)"}});
        case 262:
            return pick(first, {{2, "RGB"}, {6, "YCbCr"}});
        case 266:
        case 277:
            return std::to_string(first);
        case 270:
        case 305:
        case 306:
        case 315:
            return entry.ValueText();
        case 271:
        case 272:
            return rightTrimmed(entry.ValueText());
        case 273:
        case 279: {
            std::string text;
            for (std::uint32_t i = 0; i < entry.count(); ++i) {
                if (i > 0)
                    text += ",";
                text += formatNumber(entry.GetNumber(i), 0);
            }
            return text;
        }
        case 274:
            return pick(first, {{1, "top - left"},
                                {2, "top - right"},
                                {3, "bottom - right"},
                                {4, "bottom - left"},
                                {5, "left - top"},
                                {6, "right - top"},
                                {7, "right - bottom"},
                                {8, "left - bottom"}});
        case 282:
        case 283:
            return formatNumber(value == 0 ? 72 : value, 3);
        case 284:
            return pick(first, {{1, "Chunky format"}, {2, "Planar format"}});
        case 296:
            return pick(first, {{2, "Inch"}, {3, "Cm"}});
        case 301:
        case 513:
        case 514:
        case 34665:
        case 34853:
            return {};
        case 317:
            return pick(first, {{1, "No prediction scheme used before coding"},
                                {2, "Horizontal differencing"}});
        case 318:
            return bracketed(entry, 2);
        case 319:
        case 532:
            return bracketed(entry, 6);
        case 529:
            return bracketed(entry, 3);
        case 530: {
            const std::uint16_t second = truncatedU16(entry.GetNumber(1));
            if (first == 2 && second == 1)
                return "YCbCr4:2:2";
            if (first == 2 && second == 2)
                return "YCbCr4:2:0";
            return join({"[", std::to_string(first), ", ", std::to_string(second), "]"});
        }
        case 531:
            return pick(first, {{1, "Centered"}, {2, "Co-sited"}});
        case 33432: {
            const std::vector<std::uint8_t>& bytes = entry.value();
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
        case 700:
        case 34377:
        case 34675:
            return printf1("%lu Byte", entry.count());
        default:
            if (entry.type() == kAscii)
                return entry.ValueText();
            if (entry.type() == kUndefined)
                return printf1("%lu Byte", entry.count());
            return {};
    }
}

std::string exifText(const ExifEntry& entry, std::string_view language)
{
    const double value = entry.GetNumber(0);
    const std::uint16_t first = truncatedU16(value);
    const std::vector<std::uint8_t>& bytes = entry.value();
    switch (entry.tag()) {
        case 33434:
            return value == 0 ? std::string() : exposureText(value);
        case 33437:
            return value == 0 ? std::string() : join({"F", formatNumber(value, 2)});
        case 34850:
        case 37383:
        case 37384:
        case 37385:
        case 41986:
        case 41987:
            return LookupValueName(kExifIfd, entry.tag(), first, language);
        case 34852:
        case 36867:
        case 36868:
        case 40964:
        case 42016:
        case 44992:
        case 44993:
        case 44994:
        case 44995:
        case 44996:
        case 44997:
            return entry.ValueText();
        case 34855:
            return value == 0 ? std::string() : std::to_string(first);
        case 34856:
        case 40965:
        case 41730:
        case 41995:
        case 41484:
            return {};
        case 36864:
        case 40960:
            return fourBytes(bytes);
        case 37121: {
            static const char* const kComponents[] = {"", "Y", "Cb", "Cr", "R", "G", "B"};
            std::string text;
            for (std::size_t i = 0; i < bytes.size() && i < 4; ++i)
                text += bytes[i] < 7 ? kComponents[bytes[i]] : "?";
            return text;
        }
        case 41988:
            if (value == 0)
                return {};
            [[fallthrough]];
        case 37122:
        case 41483:
        case 41493:
        case 42240:
            return formatNumber(value, -1);
        case 37377:
            return value == 0 ? std::string() : exposureText(std::pow(2.0, -value));
        case 37378:
        case 37381:
            return value == 0 ? std::string() : apertureText(value);
        case 37379:
            return value == -1 ? std::string() : formatNumber(value, 2) + "EV";
        case 37380:
            return value == 0 ? std::string("+0EV") : formatNumber(value, 2, true) + "EV";
        case 37382:
            if (value == 0)
                return {};
            if (value == 4294967295.0)
                return "Infinity";
            return formatNumber(value, 4) + "m";
        case 37386:
        case 41989:
            return value == 0 ? std::string() : formatNumber(value, 2) + "mm";
        case 37396:
            if (entry.count() == 2)
                return join({"(x,y) = (", joinedShorts(entry, 2, ","), ")"});
            if (entry.count() == 3)
                return join({"Circle: (x,y,diameter) = (", joinedShorts(entry, 3, ","), ")"});
            if (entry.count() == 4)
                return join(
                    {"Rectangle: (x,y,width,height) = (", joinedShorts(entry, 4, ","), ")"});
            return {};
        case 37500:
            return printf1("%lu Byte", entry.size());
        case 37510:
            return bytes.size() > 8 ? textBetween(bytes, 8) : entry.ValueText();
        case 37520:
        case 37521:
        case 37522:
            return rightTrimmed(entry.ValueText());
        case 40961:
            return pick(first, {{1, "sRGB"}, {65535, "Uncalibrated"}});
        case 40962:
        case 40963:
            return std::to_string(truncatedU32(value));
        case 41486:
        case 41487:
            return formatNumber(value == 0 ? 72 : value, -1);
        case 41488:
            return pick(first, {{2, "in"}, {3, "cm"}});
        case 41492:
            return std::to_string(first);
        case 41495:
            if (first == 1)
                return {};
            return pick(first, {{2, "One-chip color area sensor"},
                                {3, "Two-chip color area sensor"},
                                {4, "Three-chip color area sensor"},
                                {5, "Color sequential area sensor"},
                                {7, "Trilinear sensor"},
                                {8, "Color sequential linear sensor"}});
        case 41728:
            return pick(bytes[0], {{0, "Other"},
                                   {1, "Scanner of transparent type"},
                                   {2, "Scanner of reflex type"},
                                   {3, "DSC"}});
        case 41729:
            if (bytes[0] == 1)
                return "A directly photographed image";
            return bytes[0] == 0 ? std::string() : std::string(1, static_cast<char>(bytes[0]));
        case 41985:
            return pick(first, {{0, "Normal process"}, {1, "Custom process"}});
        case 41990:
            return pick(first,
                        {{0, "Standard"}, {1, "Landscape"}, {2, "Portrait"}, {3, "Night scene"}});
        case 41991:
            return pick(first, {{0, "None"},
                                {1, "Low gain up"},
                                {2, "High gain up"},
                                {3, "Low gain down"},
                                {4, "High gain down"}});
        case 41992:
        case 41994:
            return pick(first, {{0, "Normal"}, {1, "Soft"}, {2, "Hard"}});
        case 41993:
            return pick(first, {{0, "Normal"}, {1, "Low saturation"}, {2, "High saturation"}});
        case 41996:
            return pick(first,
                        {{0, "Unknow"}, {1, "Macro"}, {2, "Close view"}, {3, "Distant view"}});
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
