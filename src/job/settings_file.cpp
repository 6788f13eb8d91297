// Reading and writing the conversion settings text.
#include "job/settings_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/format_dispatch.h"
#include "engine/format_number.h"
#include "engine/safe_write.h"
#include "film/film_registry.h"

namespace tavelune {
namespace {

const char* const kUnitNames[] = {"px", "in", "cm", "mm"};
const char* const kHorizontalNames[] = {"left", "center", "right"};
const char* const kVerticalNames[] = {"top", "middle", "bottom"};

/// A bad value; caught by applySetting and turned into its reason.
struct BadValue {
    std::string reason;
    Warnings<ImageError> boxes;  // a picture's own, met before the reason
};

std::string trim(const std::string& text)
{
    const char* space = " \t\r";
    size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, ',');)
        parts.push_back(trim(part));
    return parts;
}

bool toBool(const std::string& text)
{
    if (text == "true" || text == "yes" || text == "on" || text == "1")
        return true;
    if (text == "false" || text == "no" || text == "off" || text == "0")
        return false;
    throw BadValue{"expected true or false, not '" + text + "'"};
}

int toInt(const std::string& text, int low, int high)
{
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        throw BadValue{"expected an integer from " + std::to_string(low) + " to " +
                       std::to_string(high) + ", not '" + text + "'"};
    return int(value);
}

double toNumber(const std::string& text, double low, double high)
{
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(value) || value < low ||
        value > high)
        throw BadValue{"expected a number from " + formatNumber(low, -1, false) + " to " +
                       formatNumber(high, -1, false) + ", not '" + text + "'"};
    return value;
}

template <size_t N>
int toName(const std::string& text, const char* const (&names)[N], const char* what)
{
    for (size_t i = 0; i < N; ++i)
        if (text == names[i])
            return int(i);
    std::string list;
    for (size_t i = 0; i < N; ++i)
        list += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + names[i];
    throw BadValue{std::string(what) + " must be " + list + ", not '" + text + "'"};
}

/// RRGGBB (an optional '#' first) to a colour value 0x00BBGGRR; "none" gives kNoColour.
int toColour(const std::string& text, bool noneAllowed)
{
    if (noneAllowed && text == "none")
        return kNoColour;
    std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    char* end = nullptr;
    unsigned long rgb = std::strtoul(digits.c_str(), &end, 16);
    if (digits.size() != 6 || *end != '\0')
        throw BadValue{std::string("expected a colour RRGGBB") + (noneAllowed ? " or none" : "") +
                       ", not '" + text + "'"};
    return int(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

std::string colourText(int colour)
{
    if (colour < 0)
        return "none";
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return text;
}

/// CSS order: one value for all sides; top/bottom and right/left; top, right/left, bottom;
/// top, right, bottom, left.
Sides toSides(const std::string& text)
{
    std::vector<std::string> parts = splitList(text);
    if (parts.empty() || parts.size() > 4)
        throw BadValue{"expected 1 to 4 widths separated by commas, not '" + text + "'"};
    std::vector<double> v;
    for (const std::string& part : parts)
        v.push_back(toNumber(part, 0, 100000));
    Sides sides;
    sides.top = v[0];
    sides.right = v.size() > 1 ? v[1] : v[0];
    sides.bottom = v.size() > 2 ? v[2] : v[0];
    sides.left = v.size() > 3 ? v[3] : sides.right;
    return sides;
}

std::string number(double value) { return formatNumber(value, 3, false); }

std::string sidesText(const Sides& sides)
{
    return number(sides.top) + "," + number(sides.right) + "," + number(sides.bottom) + "," +
           number(sides.left);
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n'   ? '\n'
               : next == 't' ? '\t'
               : next == 'r' ? '\r'
               : next == 's' ? ' '
                             : next;
    }
    return out;
}

std::string escape(const std::string& text)
{
    // The reader trims each line, so spaces at either end of a value are written as \s.
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' && (first == std::string::npos || i < first || i > last))
            out += "\\s";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

const char* boolText(bool value) { return value ? "true" : "false"; }

void requireReadable(const std::string& path)
{
    if (::access(path.c_str(), R_OK) != 0)
        throw BadValue{"cannot read '" + path + "'"};
}

void setFilm(FilmSettings& film, const std::string& key, const std::string& value)
{
    if (key == "enabled") {
        film.enabled = toBool(value);
    } else if (key == "type") {
        const FilmRow* row = findFilmBySettingsName(value);
        if (!row)
            throw BadValue{"type must be " + filmNameList(&FilmRow::settingsName) + ", not '" +
                           value + "'"};
        film.filmType = row->code;
    } else if (key == "exposure") {
        film.exposure = toInt(value, -8, 8);
    } else if (key == "saturation") {
        film.saturation = toInt(value, -10, 10);
    } else if (key == "sharpness") {
        film.sharpnessPosition = toInt(value, 0, 5);
    } else if (key == "portrait") {
        film.portrait = toBool(value);
    } else if (key == "high-key") {
        film.highKey = toBool(value);
    } else if (key == "black-correction") {
        film.blackCorrection = toBool(value);
    } else if (key == "to-srgb") {
        film.toSrgb = toBool(value);
    } else {
        throw BadValue{"unknown key '" + key + "' in [film]"};
    }
}

void setOverlay(OverlaySettings& page, const std::string& section, const std::string& key,
                const std::string& value)
{
    if (key == "enabled") {
        page.enabled = toBool(value);
    } else if (key == "mode") {
        page.mode = value == "text"      ? OverlayMode::Text
                    : value == "picture" ? OverlayMode::Picture
                                         : throw BadValue{"mode must be text or picture, not '" +
                                                          value + "'"};
    } else if (key == "text") {
        page.text = unescape(value);
    } else if (key == "picture") {
        if (value.empty()) {
            page.removePicture();
            page.picturePath.clear();
            return;
        }
        Image picture;
        if (const ImageStatus opened = openImage(value, picture); !opened)
            throw BadValue{"cannot read the picture '" + value + "'", imageBoxes(opened)};
        page.setPicture(picture);
        page.picturePath = value;
    } else if (key == "align") {
        std::vector<std::string> parts = splitList(value);
        if (parts.size() != 2)
            throw BadValue{"align must be H,V (left|center|right,top|middle|bottom), not '" +
                           value + "'"};
        int horizontal = toName(parts[0], kHorizontalNames, "the horizontal alignment");
        page.vertical = toName(parts[1], kVerticalNames, "the vertical alignment");
        page.horizontal = horizontal;
    } else if (key == "offset") {
        std::vector<std::string> parts = splitList(value);
        if (parts.size() != 2)
            throw BadValue{"offset must be X,Y, not '" + value + "'"};
        double x = toNumber(parts[0], -100000, 100000);
        page.offsetY = toNumber(parts[1], -100000, 100000);
        page.offsetX = x;
    } else if (key == "unit") {
        page.unit = toName(value, kUnitNames, "the unit");
    } else if (key == "opacity") {
        page.opacity = toInt(value, 0, 100);
    } else if (key == "key") {
        page.setTransparentColour(toColour(value, true));
    } else if (key == "font") {
        if (value.empty())
            throw BadValue{"font needs a face name"};
        page.font.faceName = value;
    } else if (key == "size") {
        page.font.height = -toInt(value, 1, 2048);
    } else if (key == "bold") {
        page.font.weight = toBool(value) ? 700 : 400;
    } else if (key == "italic") {
        page.font.italic = toBool(value);
    } else if (key == "underline") {
        page.font.underline = toBool(value);
    } else if (key == "strikeout") {
        page.font.strikeOut = toBool(value);
    } else if (key == "colour" || key == "color") {
        page.textColour = uint32_t(toColour(value, false));
    } else {
        throw BadValue{"unknown key '" + key + "' in [" + section + "]"};
    }
}

void setBorder(BorderSettings& border, const std::string& key, const std::string& value)
{
    if (key == "enabled") {
        border.enabled = toBool(value);
    } else if (key == "preset") {
        const char* const presets[] = {"black-white", "white-black"};
        border.applyPreset(toName(value, presets, "the preset"));
    } else if (key == "mat") {
        border.mat.sides = toSides(value);
    } else if (key == "mat-unit") {
        border.mat.unit = toName(value, kUnitNames, "the unit");
    } else if (key == "mat-equal") {
        border.mat.equalSides = toBool(value);
    } else if (key == "mat-colour" || key == "mat-color") {
        border.matColour = toColour(value, true);
    } else if (key == "mat-image") {
        if (value.empty()) {
            border.matPicture = false;
            border.matPicturePath.clear();
            return;
        }
        requireReadable(value);
        border.chooseMatPicture(value);
        border.matPicture = true;
    } else if (key == "border") {
        border.border.sides = toSides(value);
    } else if (key == "border-unit") {
        border.border.unit = toName(value, kUnitNames, "the unit");
    } else if (key == "border-equal") {
        border.border.equalSides = toBool(value);
    } else if (key == "border-colour" || key == "border-color") {
        border.borderColour = toColour(value, true);
    } else if (key == "border-opacity") {
        border.opacity = toInt(value, 0, 100);
    } else if (key == "border-inside") {
        border.inside = toBool(value);
    } else {
        throw BadValue{"unknown key '" + key + "' in [border]"};
    }
}

void setTags(TagContext& tags, const std::string& key, const std::string& value)
{
    if (key == "user-name")
        tags.userName = unescape(value);
    else if (key == "language")
        tags.language = value;
    else
        throw BadValue{"unknown key '" + key + "' in [tags]"};
}

void writeOverlay(std::ostringstream& out, const char* section, const OverlaySettings& page)
{
    out << "\n[" << section << "]\n"
        << "enabled = " << boolText(page.enabled) << "\n"
        << "mode = " << (page.mode == OverlayMode::Text ? "text" : "picture") << "\n"
        << "text = " << escape(page.text) << "\n"
        << "picture = " << page.picturePath << "\n"
        << "align = " << kHorizontalNames[std::clamp(page.horizontal, 0, 2)] << ","
        << kVerticalNames[std::clamp(page.vertical, 0, 2)] << "\n"
        << "offset = " << number(page.offsetX) << "," << number(page.offsetY) << "\n"
        << "unit = " << kUnitNames[std::clamp(page.unit, 0, 3)] << "\n"
        << "opacity = " << page.opacity << "\n"
        << "key = " << colourText(page.transparentColour) << "\n"
        << "font = " << page.font.faceName << "\n"
        << "size = " << std::abs(page.font.height) << "\n"
        << "bold = " << boolText(page.font.weight >= 600) << "\n"
        << "italic = " << boolText(page.font.italic) << "\n"
        << "underline = " << boolText(page.font.underline) << "\n"
        << "strikeout = " << boolText(page.font.strikeOut) << "\n"
        << "colour = " << colourText(int(page.textColour & 0xFFFFFF)) << "\n";
}

}  // namespace

bool applySetting(ConversionSettings& settings, const std::string& section, const std::string& key,
                  const std::string& value, std::string& reason, Warnings<ImageError>* boxes)
{
    ConversionSettings changed = settings;
    try {
        if (section == "film")
            setFilm(changed.film, key, value);
        else if (section == "watermark")
            setOverlay(changed.watermark, section, key, value);
        else if (section == "signature")
            setOverlay(changed.signature, section, key, value);
        else if (section == "border")
            setBorder(changed.border, key, value);
        else if (section == "tags")
            setTags(changed.tags, key, value);
        else
            throw BadValue{"unknown section [" + section + "]"};
    } catch (const BadValue& bad) {
        reason = key + ": " + bad.reason;
        if (boxes)
            *boxes = bad.boxes;
        return false;
    }
    settings = std::move(changed);
    return true;
}

bool readSettingsText(const std::string& text, ConversionSettings& settings,
                      std::vector<SettingsProblem>& problems)
{
    const size_t before = problems.size();
    std::istringstream in(text);
    std::string section;
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        std::string content = trim(line);
        if (content.empty() || content[0] == '#' || content[0] == ';')
            continue;
        if (content.front() == '[') {
            if (content.back() != ']') {
                problems.push_back({lineNumber, "a section header must end with ']'"});
                continue;
            }
            section = trim(content.substr(1, content.size() - 2));
            if (section != "film" && section != "watermark" && section != "signature" &&
                section != "border" && section != "tags") {
                problems.push_back({lineNumber, "unknown section [" + section + "]"});
                section = "?";
            }
            continue;
        }
        auto equals = content.find('=');
        if (equals == std::string::npos) {
            problems.push_back({lineNumber, "expected key = value"});
            continue;
        }
        if (section.empty()) {
            problems.push_back({lineNumber, "a key before the first [section]"});
            continue;
        }
        if (section == "?")
            continue;  // already reported at its header
        std::string reason;
        Warnings<ImageError> boxes;
        if (!applySetting(settings, section, trim(content.substr(0, equals)),
                          trim(content.substr(equals + 1)), reason, &boxes))
            problems.push_back({lineNumber, reason, std::move(boxes)});
    }
    return problems.size() == before;
}

std::string settingsText(const ConversionSettings& settings)
{
    std::ostringstream out;
    const FilmSettings& film = settings.film;
    // A code without a row is written as the default film.
    const FilmRow* row = findFilm(film.filmType);
    const char* filmName = (row ? *row : filmRows().front()).settingsName;
    out << "# Tavelune conversion settings\n"
        << "\n[film]\n"
        << "enabled = " << boolText(film.enabled) << "\n"
        << "type = " << filmName << "\n"
        << "exposure = " << film.exposure << "\n"
        << "saturation = " << film.saturation << "\n"
        << "sharpness = " << film.sharpnessPosition << "\n"
        << "portrait = " << boolText(film.portrait) << "\n"
        << "high-key = " << boolText(film.highKey) << "\n"
        << "black-correction = " << boolText(film.blackCorrection) << "\n"
        << "to-srgb = " << boolText(film.toSrgb) << "\n";
    writeOverlay(out, "watermark", settings.watermark);
    writeOverlay(out, "signature", settings.signature);
    const BorderSettings& border = settings.border;
    out << "\n[border]\n"
        << "enabled = " << boolText(border.enabled) << "\n"
        << "mat = " << sidesText(border.mat.sides) << "\n"
        << "mat-unit = " << kUnitNames[std::clamp(border.mat.unit, 0, 3)] << "\n"
        << "mat-equal = " << boolText(border.mat.equalSides) << "\n"
        << "mat-colour = " << colourText(border.matColour) << "\n"
        << "mat-image = " << (border.matPicture ? border.matPicturePath : std::string()) << "\n"
        << "border = " << sidesText(border.border.sides) << "\n"
        << "border-unit = " << kUnitNames[std::clamp(border.border.unit, 0, 3)] << "\n"
        << "border-equal = " << boolText(border.border.equalSides) << "\n"
        << "border-colour = " << colourText(border.borderColour) << "\n"
        << "border-opacity = " << border.opacity << "\n"
        << "border-inside = " << boolText(border.inside) << "\n";
    out << "\n[tags]\n"
        << "user-name = " << escape(settings.tags.userName) << "\n"
        << "language = " << settings.tags.language << "\n";
    return out.str();
}

bool loadSettingsFile(const std::string& path, ConversionSettings& settings,
                      std::vector<SettingsProblem>& problems)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problems.push_back({0, "cannot read the settings file"});
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return readSettingsText(text.str(), settings, problems);
}

bool saveSettingsFile(const std::string& path, const ConversionSettings& settings,
                      std::string& reason)
{
    const std::string text = settingsText(settings);
    return writeViaTemporary(
        path,
        [&](const std::string& temporary) {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out << text;
            out.close();
            return bool(out);
        },
        &reason);
}

}  // namespace tavelune
