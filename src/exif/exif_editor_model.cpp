// Loading, checking and storing the EXIF editor's fields, and its buttons.
#include "exif/exif_editor_model.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "engine/format_dispatch.h"
#include "engine/format_number.h"
#include "engine/message_sink.h"
#include "exif/entry_values.h"
#include "exif/equipment_catalogue.h"
#include "exif/exif_messages.h"
#include "exif/keep_exif.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

constexpr const char* kLoadLanguage = "en_US";

struct NumberRule {
    EditorField field;
    bool fraction;
    std::size_t maxLength;  // L
    std::size_t decimals;   // D
    bool negative;
};

constexpr NumberRule kNumberRules[] = {
    {EditorField::Shutter, true, 9, 4, false},
    {EditorField::Aperture, false, 5, 2, false},
    {EditorField::MaxAperture, false, 5, 2, false},
    {EditorField::ExposureCompensation, true, 6, 2, true},
    {EditorField::Iso, false, 4, 0, false},
    {EditorField::FocalLength, false, 7, 2, false},
    {EditorField::FocalLength35mm, false, 5, 0, false},
    {EditorField::FocusDistance, false, 9, 4, false},
    {EditorField::Width, false, 5, 0, false},
    {EditorField::Height, false, 5, 0, false},
    {EditorField::Resolution, false, 9, 3, false},
};

const NumberRule* numberRule(EditorField field)
{
    for (const NumberRule& rule : kNumberRules)
        if (rule.field == field)
            return &rule;
    return nullptr;
}

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

std::string rightTrimmed(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

std::string withoutSuffix(std::string text, std::string_view suffix)
{
    if (text.size() >= suffix.size() &&
        text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
        text.erase(text.size() - suffix.size());
    return text;
}

std::string withoutPrefix(std::string text, std::string_view prefix)
{
    if (text.compare(0, prefix.size(), prefix) == 0)
        text.erase(0, prefix.size());
    return text;
}

PickerTime now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string twoDecimals(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string upperExtension(const std::string& path)
{
    std::string extension = splitFileName(path).extension;
    for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace

bool acceptsFieldText(EditorField field, std::string_view text)
{
    if (const NumberRule* rule = numberRule(field))
        return acceptsNumber(*rule, text);
    switch (field) {
        case EditorField::Make:
        case EditorField::Model:
        case EditorField::Lens:
        case EditorField::Film:
        case EditorField::FilterLens:
        case EditorField::Scanner:
        case EditorField::FlashLamp:
        case EditorField::Artist:
        case EditorField::CopyrightPhotographer:
        case EditorField::CopyrightEditor:
        case EditorField::ImageDescription:
            return codePoints(text) <= 128;
        case EditorField::UserComment:
            return codePoints(text) <= 10240;
        default:
            return true;
    }
}

double fieldNumber(EditorField field, const std::string& text)
{
    const NumberRule* rule = numberRule(field);
    const std::size_t slash = text.find('/');
    if (rule != nullptr && rule->fraction && slash != std::string::npos) {
        const long numerator = std::atol(text.substr(0, slash).c_str());
        const long denominator = std::atol(text.substr(slash + 1).c_str());
        if (numerator == 0 || denominator == 0)
            return 0;
        return static_cast<double>(numerator) / static_cast<double>(denominator);
    }
    return std::atof(text.c_str());
}

bool readPickerTime(const std::string& text, PickerTime& time)
{
    if (text.size() <= 18)
        return false;
    const auto field = [&](std::size_t at, std::size_t length) {
        return std::atoi(text.substr(at, length).c_str());
    };
    const PickerTime read{field(0, 4),  field(5, 2),  field(8, 2),
                          field(11, 2), field(14, 2), field(17, 2)};
    if (!(read.year > 1601 && read.year <= 2038 && read.month >= 1 && read.month <= 12 &&
          read.day >= 1 && read.day <= 31))
        return false;
    const bool leap = (read.year % 4 == 0 && read.year % 100 != 0) || read.year % 400 == 0;
    const int monthDays[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (read.day > monthDays[read.month - 1] || read.hour < 0 || read.hour > 23 ||
        read.minute < 0 || read.minute > 59 || read.second < 0 || read.second > 59)
        return false;
    time = read;
    return true;
}

std::string exifTimeText(const PickerTime& t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::string pickerDisplayText(const PickerTime& t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

ExifEditorModel::ExifEditorModel(ExifData& exif, EditorPicture picture, std::string language)
    : m_exif(exif), m_picture(picture), m_language(std::move(language))
{
    // The pickers start at the current time, which a bad date in the file leaves them at.
    m_fields.dateTimeOriginal = m_fields.dateTimeDigitized = m_fields.dateTime = now();
    Load();
}

void ExifEditorModel::LoadNamedList(DropList& list, std::uint16_t tag)
{
    list.items.clear();
    list.selected = -1;
    const auto value = static_cast<std::uint16_t>(truncatedU32(m_exif.GetNumber(kExifIfd, tag, 0)));
    const LanguageIndex language = languageIndex(m_language);
    for (const NamedValue& row : namedValues()) {
        if (row.tag != tag)
            continue;
        if (row.value == value)
            list.selected = static_cast<int>(list.items.size());
        list.items.push_back({row.texts[language], row.value});
    }
    if (list.selected < 0) {
        char text[32];
        if (tag == 37385)
            std::snprintf(text, sizeof text, "%.4X.H", value);
        else
            std::snprintf(text, sizeof text, "%hu", value);
        list.selected = static_cast<int>(list.items.size());
        list.items.push_back({text, value});
    }
}

void ExifEditorModel::Load()
{
    ExifEditorFields& f = m_fields;
    auto text = [&](std::uint16_t ifd, std::uint16_t tag) {
        return m_exif.GetText(ifd, tag, kLoadLanguage);
    };
    f.makers.assign(cameraMakers().begin(), cameraMakers().end());
    f.make = text(kIfd0, 271);
    f.model = text(kIfd0, 272);
    f.lens = text(kExifIfd, 44993);
    f.film = text(kExifIfd, 44994);
    f.filterLens = text(kExifIfd, 44995);
    f.scanner = text(kExifIfd, 44996);
    f.flashLamp = text(kExifIfd, 44997);
    f.artist = text(kIfd0, 315);

    const std::string copyright = text(kIfd0, 33432);
    const std::size_t separator = copyright.find(" \n ");
    f.copyrightPhotographer = copyright.substr(0, separator);
    f.copyrightEditor =
        separator == std::string::npos ? std::string() : copyright.substr(separator + 3);
    f.imageDescription = text(kIfd0, 270);
    f.userComment = text(kExifIfd, 37510);

    readPickerTime(text(kExifIfd, 36867), f.dateTimeOriginal);
    readPickerTime(text(kExifIfd, 36868), f.dateTimeDigitized);
    readPickerTime(text(kIfd0, 306), f.dateTime);

    std::string shutter = text(kExifIfd, 33434);
    if (shutter.empty())
        shutter = text(kExifIfd, 37377);
    f.shutter = withoutSuffix(shutter, "\"");
    std::string aperture = text(kExifIfd, 33437);
    if (aperture.empty())
        aperture = text(kExifIfd, 37378);
    f.aperture = withoutPrefix(aperture, "F");
    f.maxAperture = withoutPrefix(text(kExifIfd, 37381), "F");
    f.exposureCompensation = withoutSuffix(withoutPrefix(text(kExifIfd, 37380), "+"), "EV");
    f.iso = text(kExifIfd, 34855);
    f.focalLength = withoutSuffix(text(kExifIfd, 37386), "mm");
    f.focalLength35mm = withoutSuffix(text(kExifIfd, 41989), "mm");

    const double distance = m_exif.GetNumber(kExifIfd, 37382, 0);
    f.focusDistanceInfinity = distance == 4294967295.0;
    f.focusDistance = f.focusDistanceInfinity ? std::string(messages::kInfinity)
                      : distance > 0          ? formatNumber(distance, 4)
                                              : std::string();

    LoadNamedList(f.flash, 37385);
    LoadNamedList(f.whiteBalance, 41987);
    LoadNamedList(f.lightSource, 37384);
    LoadNamedList(f.meteringMode, 37383);
    LoadNamedList(f.exposureProgram, 34850);
    LoadNamedList(f.exposureMode, 41986);

    f.width = text(kExifIfd, 40962);
    if (f.width.empty())
        f.width = text(kIfd0, 256);
    if (f.width.empty())
        f.width = std::to_string(m_picture.width);
    f.height = text(kExifIfd, 40963);
    if (f.height.empty())
        f.height = text(kIfd0, 257);
    if (f.height.empty())
        f.height = std::to_string(m_picture.height);

    double resolution = m_exif.GetNumber(kIfd0, 282, 0);
    if (resolution == 0)
        resolution = m_picture.dpi;
    if (resolution == 0)
        resolution = 72;
    f.resolution = twoDecimals(resolution);
    const std::string pixels = messages::kUnitPixels;
    f.resolutionUnit.items = {{pixels + "/" + messages::kUnitInches, 2},
                              {pixels + "/" + messages::kUnitCentimetres, 3}};
    f.resolutionUnit.selected = m_exif.GetNumber(kIfd0, 296, 0) == 3 ? 1 : 0;
    m_loaded = f;
    m_loadedFromExif = !m_exif.IsEmpty();
}

namespace {

bool samePicked(const DropList& a, const DropList& b)
{
    return a.SelectedData() == b.SelectedData() && a.selected == b.selected;
}

bool sameTime(const PickerTime& a, const PickerTime& b)
{
    return exifTimeText(a) == exifTimeText(b);
}

}  // namespace

EditorFieldSet ExifEditorModel::ChangedFields() const
{
    const ExifEditorFields& a = m_fields;
    const ExifEditorFields& b = m_loaded;
    EditorFieldSet changed;
    auto mark = [&](EditorField field, bool differs) {
        changed.set(static_cast<std::size_t>(field), differs);
    };
    mark(EditorField::Shutter, a.shutter != b.shutter);
    mark(EditorField::Aperture, a.aperture != b.aperture);
    mark(EditorField::MaxAperture, a.maxAperture != b.maxAperture);
    mark(EditorField::ExposureCompensation, a.exposureCompensation != b.exposureCompensation);
    mark(EditorField::FocalLength, a.focalLength != b.focalLength);
    mark(EditorField::FocalLength35mm, a.focalLength35mm != b.focalLength35mm);
    mark(EditorField::FocusDistance,
         a.focusDistanceInfinity != b.focusDistanceInfinity ||
             (!a.focusDistanceInfinity && a.focusDistance != b.focusDistance));
    mark(EditorField::Iso, a.iso != b.iso);
    mark(EditorField::Flash, !samePicked(a.flash, b.flash));
    mark(EditorField::WhiteBalance, !samePicked(a.whiteBalance, b.whiteBalance));
    mark(EditorField::LightSource, !samePicked(a.lightSource, b.lightSource));
    mark(EditorField::MeteringMode, !samePicked(a.meteringMode, b.meteringMode));
    mark(EditorField::ExposureProgram, !samePicked(a.exposureProgram, b.exposureProgram));
    mark(EditorField::ExposureMode, !samePicked(a.exposureMode, b.exposureMode));
    mark(EditorField::DateTimeOriginal, !sameTime(a.dateTimeOriginal, b.dateTimeOriginal));
    mark(EditorField::DateTimeDigitized, !sameTime(a.dateTimeDigitized, b.dateTimeDigitized));
    mark(EditorField::Width, a.width != b.width);
    mark(EditorField::Height, a.height != b.height);
    mark(EditorField::Resolution, a.resolution != b.resolution);
    mark(EditorField::ResolutionUnit, !samePicked(a.resolutionUnit, b.resolutionUnit));
    mark(EditorField::DateTime, !sameTime(a.dateTime, b.dateTime));
    mark(EditorField::Make, a.make != b.make);
    mark(EditorField::Model, a.model != b.model);
    mark(EditorField::Lens, a.lens != b.lens);
    mark(EditorField::Film, a.film != b.film);
    mark(EditorField::FilterLens, a.filterLens != b.filterLens);
    mark(EditorField::Scanner, a.scanner != b.scanner);
    mark(EditorField::FlashLamp, a.flashLamp != b.flashLamp);
    mark(EditorField::Artist, a.artist != b.artist);
    mark(EditorField::CopyrightPhotographer, a.copyrightPhotographer != b.copyrightPhotographer);
    mark(EditorField::CopyrightEditor, a.copyrightEditor != b.copyrightEditor);
    mark(EditorField::ImageDescription, a.imageDescription != b.imageDescription);
    mark(EditorField::UserComment, a.userComment != b.userComment);
    return changed;
}

EditorFieldSet ExifEditorModel::FieldsToStore() const
{
    return m_exif.IsEmpty() ? EditorFieldSet().set() : ChangedFields();
}

bool ExifEditorModel::FieldChanged(EditorField field) const
{
    return ChangedFields().test(static_cast<std::size_t>(field));
}

void ExifEditorModel::LeaveResolution()
{
    if (std::atof(m_fields.resolution.c_str()) == 0)
        m_fields.resolution = twoDecimals(72);
}

bool ExifEditorModel::Store(EditorFieldSet only)
{
    const ExifEditorFields& f = m_fields;
    // A field left as it was loaded from the file keeps the file's entry as it is: storing it
    // back through the field's text would round the camera's values or drop its entries.
    auto wanted = [&](EditorField field) {
        return only.test(static_cast<std::size_t>(field)) &&
               (!m_loadedFromExif || FieldChanged(field));
    };
    auto entry = [&](std::uint16_t ifd, std::uint16_t tag) {
        return m_exif.FindEntry(ifd, tag, 1);
    };
    bool ok = true;
    auto storeText = [&](std::uint16_t ifd, std::uint16_t tag, const std::string& value) {
        const std::string trimmed = rightTrimmed(value);
        if (trimmed.empty())
            m_exif.RemoveEntry(ifd, tag);
        else
            ok = setTextValue(entry(ifd, tag), trimmed) && ok;
    };
    auto u16 = [](double value) { return static_cast<std::uint16_t>(truncatedU32(value)); };

    if (m_exif.IsEmpty() && !m_exif.CreateDefaultEntries(m_picture.width, m_picture.height,
                                                         m_picture.dpi, m_picture.dpi))
        return false;

    if (wanted(EditorField::Shutter)) {
        const double t = fieldNumber(EditorField::Shutter, f.shutter);
        ok = setRationalValue(entry(kExifIfd, 33434), t) && ok;
        // No exposure time has no APEX value: 1/0 would be infinite.
        if (t > 0)
            ok = setSRationalValue(entry(kExifIfd, 37377), std::log2(1 / t)) && ok;
        else
            m_exif.RemoveEntry(kExifIfd, 37377);
    }
    if (wanted(EditorField::Aperture)) {
        const double n = fieldNumber(EditorField::Aperture, f.aperture);
        ok = setRationalValue(entry(kExifIfd, 33437), n) && ok;
        ok = setRationalValue(entry(kExifIfd, 37378), n > 0 ? 2 * std::log2(n) : 0) && ok;
    }
    if (wanted(EditorField::MaxAperture)) {
        const double m = fieldNumber(EditorField::MaxAperture, f.maxAperture);
        if (m > 0)
            ok = setRationalValue(entry(kExifIfd, 37381), 2 * std::log2(m)) && ok;
        else
            m_exif.RemoveEntry(kExifIfd, 37381);
    }
    if (wanted(EditorField::ExposureCompensation))
        ok = setSRationalValue(
                 entry(kExifIfd, 37380),
                 fieldNumber(EditorField::ExposureCompensation, f.exposureCompensation)) &&
             ok;
    if (wanted(EditorField::FocalLength))
        ok = setRationalValue(entry(kExifIfd, 37386),
                              fieldNumber(EditorField::FocalLength, f.focalLength)) &&
             ok;
    if (wanted(EditorField::FocalLength35mm))
        ok = setShortValue(entry(kExifIfd, 41989),
                           u16(fieldNumber(EditorField::FocalLength35mm, f.focalLength35mm))) &&
             ok;
    if (wanted(EditorField::FocusDistance))
        ok = setRationalValue(entry(kExifIfd, 37382),
                              f.focusDistanceInfinity
                                  ? 4294967295.0
                                  : fieldNumber(EditorField::FocusDistance, f.focusDistance)) &&
             ok;
    if (wanted(EditorField::Iso))
        ok = setShortValue(entry(kExifIfd, 34855), u16(fieldNumber(EditorField::Iso, f.iso))) && ok;
    const std::pair<EditorField, std::pair<const DropList*, std::uint16_t>> lists[] = {
        {EditorField::Flash, {&f.flash, 37385}},
        {EditorField::WhiteBalance, {&f.whiteBalance, 41987}},
        {EditorField::LightSource, {&f.lightSource, 37384}},
        {EditorField::MeteringMode, {&f.meteringMode, 37383}},
        {EditorField::ExposureProgram, {&f.exposureProgram, 34850}},
        {EditorField::ExposureMode, {&f.exposureMode, 41986}},
    };
    for (const auto& [field, list] : lists) {
        if (wanted(field))
            ok = setShortValue(entry(kExifIfd, list.second),
                               static_cast<std::uint16_t>(list.first->SelectedData())) &&
                 ok;
    }
    if (wanted(EditorField::DateTimeOriginal))
        ok = setTextValue(entry(kExifIfd, 36867), exifTimeText(f.dateTimeOriginal)) && ok;
    if (wanted(EditorField::DateTimeDigitized))
        ok = setTextValue(entry(kExifIfd, 36868), exifTimeText(f.dateTimeDigitized)) && ok;
    if (wanted(EditorField::Width))
        ok = setLongValue(entry(kExifIfd, 40962),
                          truncatedU32(fieldNumber(EditorField::Width, f.width))) &&
             ok;
    if (wanted(EditorField::Height))
        ok = setLongValue(entry(kExifIfd, 40963),
                          truncatedU32(fieldNumber(EditorField::Height, f.height))) &&
             ok;
    if (wanted(EditorField::Resolution)) {
        double r = fieldNumber(EditorField::Resolution, f.resolution);
        if (r == 0)
            r = 72;
        ok = setRationalValue(entry(kIfd0, 282), r) && setRationalValue(entry(kIfd0, 283), r) && ok;
    }
    if (wanted(EditorField::Resolution) || wanted(EditorField::ResolutionUnit)) {
        const long unit = f.resolutionUnit.SelectedData();
        ok = setShortValue(entry(kIfd0, 296), static_cast<std::uint16_t>(unit == 3 ? 3 : 2)) && ok;
    }
    if (wanted(EditorField::DateTime))
        ok = setTextValue(entry(kIfd0, 306), exifTimeText(f.dateTime)) && ok;

    const std::pair<EditorField,
                    std::pair<const std::string*, std::pair<std::uint16_t, std::uint16_t>>>
        texts[] = {
            {EditorField::Make, {&f.make, {kIfd0, 271}}},
            {EditorField::Model, {&f.model, {kIfd0, 272}}},
            {EditorField::Lens, {&f.lens, {kExifIfd, 44993}}},
            {EditorField::Film, {&f.film, {kExifIfd, 44994}}},
            {EditorField::FilterLens, {&f.filterLens, {kExifIfd, 44995}}},
            {EditorField::Scanner, {&f.scanner, {kExifIfd, 44996}}},
            {EditorField::FlashLamp, {&f.flashLamp, {kExifIfd, 44997}}},
            {EditorField::Artist, {&f.artist, {kIfd0, 315}}},
        };
    for (const auto& [field, text] : texts) {
        if (wanted(field))
            storeText(text.second.first, text.second.second, *text.first);
    }
    if (wanted(EditorField::CopyrightPhotographer) || wanted(EditorField::CopyrightEditor)) {
        const std::string p = rightTrimmed(f.copyrightPhotographer);
        const std::string e = rightTrimmed(f.copyrightEditor);
        if (p.empty() && e.empty()) {
            m_exif.RemoveEntry(kIfd0, 33432);
        } else {
            std::string bytes = p.empty() ? std::string(" ") : p;
            if (!e.empty()) {
                bytes.push_back('\0');
                bytes += e;
            }
            bytes.push_back('\0');
            ok = setTypedBytes(entry(kIfd0, 33432), kAscii,
                               reinterpret_cast<const std::uint8_t*>(bytes.data()),
                               static_cast<std::uint32_t>(bytes.size())) &&
                 ok;
        }
    }
    if (wanted(EditorField::ImageDescription))
        storeText(kIfd0, 270, f.imageDescription);
    if (wanted(EditorField::UserComment)) {
        if (f.userComment.empty()) {
            m_exif.RemoveEntry(kExifIfd, 37510);
        } else {
            std::vector<std::uint8_t> bytes(8, 0);
            bytes.insert(bytes.end(), f.userComment.begin(), f.userComment.end());
            bytes.push_back(0);
            ok = setTypedBytes(entry(kExifIfd, 37510), kUndefined, bytes.data(),
                               static_cast<std::uint32_t>(bytes.size())) &&
                 ok;
        }
    }
    ok = setTextValue(entry(kIfd0, 305), kProductText) && ok;
    ok = setTextValue(entry(kExifIfd, 44992), kProductText) && ok;
    ok = setTypedBytes(entry(kExifIfd, 36864), kUndefined,
                       reinterpret_cast<const std::uint8_t*>("0221"), 4) &&
         ok;
    m_exif.SortEntries();
    return ok;
}

EditorOutcome ExifEditorModel::Ok()
{
    Store(FieldsToStore());
    return EditorOutcome::ClosedOk;
}

namespace {

EditorPrompts withTextQuestion(const std::function<bool(const std::string&)>& confirm)
{
    EditorPrompts prompts;
    if (confirm)
        prompts.confirm = [confirm](EditorMessage m) { return confirm(editorMessageText(m)); };
    return prompts;
}

}  // namespace

std::string editorMessageText(EditorMessage message, const std::string& path)
{
    const char* format = nullptr;
    switch (message) {
        case EditorMessage::WriteConfirm:
            return messages::kWriteConfirm;
        case EditorMessage::DeleteConfirm:
            return messages::kDeleteConfirm;
        case EditorMessage::SourceFileNoExist:
            return messages::kSourceFileNoExist;
        case EditorMessage::SourceNotJpegOrTiff:
            return messages::kSourceNotJpegOrTiff;
        case EditorMessage::WriteFailed:
            format = messages::kWriteExifFailed;
            break;
        case EditorMessage::DeleteFailed:
            format = messages::kDeleteExifFailed;
            break;
    }
    std::string text(format != nullptr ? format : "");
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

MessageIcon editorMessageIcon(EditorMessage message)
{
    return message == EditorMessage::SourceNotJpegOrTiff ? MessageIcon::Information
                                                         : MessageIcon::Error;
}

double editedPictureResolution(const ExifData& exif)
{
    const double x = exif.GetNumber(kIfd0, 282, 0);
    if (!(x > 0))
        return 0;
    return exif.GetNumber(kIfd0, 296, 0) == 3 ? x * 2.54 : x;
}

EditorOutcome ExifEditorModel::Write(const std::function<bool(const std::string&)>& confirm)
{
    return ChangeFile(withTextQuestion(confirm), true);
}

EditorOutcome ExifEditorModel::Delete(const std::function<bool(const std::string&)>& confirm)
{
    return ChangeFile(withTextQuestion(confirm), false);
}

EditorOutcome ExifEditorModel::Write(const EditorPrompts& prompts)
{
    return ChangeFile(prompts, true);
}

EditorOutcome ExifEditorModel::Delete(const EditorPrompts& prompts)
{
    return ChangeFile(prompts, false);
}

EditorOutcome ExifEditorModel::ChangeFile(const EditorPrompts& prompts, bool write)
{
    const auto report = [&](EditorMessage message, const std::string& path) {
        if (prompts.report)
            prompts.report(message, path);
        else
            showMessage(editorMessageText(message, path), messages::kEditorTitle,
                        editorMessageIcon(message));
    };
    if (prompts.confirm &&
        !prompts.confirm(write ? EditorMessage::WriteConfirm : EditorMessage::DeleteConfirm))
        return EditorOutcome::Cancelled;
    if (!m_exif.fileStatus().HasPath()) {
        report(EditorMessage::SourceFileNoExist, {});
        return EditorOutcome::StayOpen;
    }
    const std::string path = m_exif.fileStatus().path;
    const std::string extension = upperExtension(path);
    if (extension != "JPG" && extension != "JPEG" && extension != "TIF" && extension != "TIFF") {
        report(EditorMessage::SourceNotJpegOrTiff, path);
        return EditorOutcome::StayOpen;
    }
    bool done;
    if (write) {
        Store(FieldsToStore());
        done = m_exif.SaveExif(path);
    } else {
        done = m_exif.DeleteExif(path);
    }
    if (!done) {
        report(write ? EditorMessage::WriteFailed : EditorMessage::DeleteFailed, path);
        return EditorOutcome::StayOpen;
    }
    if (write && m_exif.makerNotePlacement() == MakerNotePlacement::OffsetsMayBeInvalid)
        showMessage(messages::kMakerNoteOffsetsMayBeInvalid, messages::kEditorTitle,
                    MessageIcon::Information);
    m_exif.LoadExif(path);
    Load();
    return EditorOutcome::ClosedOk;
}

}  // namespace tavelune
