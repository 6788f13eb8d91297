// Loading, checking and storing the EXIF editor's fields, and its buttons.
#include "exif/exif_editor_model.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "engine/edit_lock.h"
#include "engine/format_dispatch.h"
#include "engine/format_number.h"
#include "exif/entry_values.h"
#include "exif/equipment_catalogue.h"
#include "exif/exif_messages.h"
#include "exif/exif_version.h"
#include "exif/keep_exif.h"
#include "exif/tag_catalogue.h"
#include "exif/writer_support.h"

namespace tavelune {
namespace {

constexpr const char* kLoadLanguage = "en_US";
// SubjectDistance 0xFFFFFFFF/1 is infinity.
constexpr double kInfiniteDistance = 4294967295.0;

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

}  // namespace

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
        if (tag == kTagFlash)
            std::snprintf(text, sizeof text, "%.4X.H", value);
        else
            std::snprintf(text, sizeof text, "%hu", value);
        list.selected = static_cast<int>(list.items.size());
        list.items.push_back({text, value});
    }
}

void ExifEditorModel::Load()
{
    m_fields.makers.assign(cameraMakers().begin(), cameraMakers().end());
    for (const EditorFieldRow& row : editorFieldRows()) LoadField(row);
    m_loaded = m_fields;
    m_loadedFromExif = !m_exif.IsEmpty();
}

void ExifEditorModel::LoadField(const EditorFieldRow& row)
{
    ExifEditorFields& f = m_fields;
    auto text = [&](TagRef at) { return m_exif.GetText(at.ifd, at.tag, kLoadLanguage); };
    auto number = [&](TagRef at) { return m_exif.GetNumber(at.ifd, at.tag, 0); };
    switch (row.kind) {
        case ValueKind::Named:
            LoadNamedList(f.*row.list, row.entry.tag);
            return;
        case ValueKind::Date:
            readPickerTime(text(row.entry), f.*row.time);
            return;
        case ValueKind::Distance: {
            const double distance = number(row.entry);
            f.focusDistanceInfinity = distance == kInfiniteDistance;
            f.*row.text = f.focusDistanceInfinity ? std::string(messages::kInfinity)
                          : distance > 0          ? formatNumber(distance, 4)
                                                  : std::string();
            return;
        }
        case ValueKind::Resolution: {
            double resolution = number(row.entry);
            if (resolution == 0)
                resolution = m_picture.dpi;
            if (resolution == 0)
                resolution = 72;
            f.*row.text = twoDecimals(resolution);
            return;
        }
        case ValueKind::ResolutionUnit: {
            const std::string pixels = messages::kUnitPixels;
            DropList& list = f.*row.list;
            list.items = {{pixels + "/" + messages::kUnitInches, 2},
                          {pixels + "/" + messages::kUnitCentimetres, 3}};
            list.selected = number(row.entry) == 3 ? 1 : 0;
            return;
        }
        case ValueKind::CopyrightPart: {
            const std::string copyright = text(row.entry);
            const std::size_t separator = copyright.find(" \n ");
            if (row.field == EditorField::CopyrightPhotographer)
                f.*row.text = copyright.substr(0, separator);
            else
                f.*row.text = separator == std::string::npos ? std::string()
                                                             : copyright.substr(separator + 3);
            return;
        }
        default:
            break;
    }
    std::string value = text(row.entry);
    if (value.empty() && row.also.tag != 0)
        value = text(row.also);
    if (value.empty() && row.kind == ValueKind::PictureWidth)
        value = std::to_string(m_picture.width);
    if (value.empty() && row.kind == ValueKind::PictureHeight)
        value = std::to_string(m_picture.height);
    if (row.loadPrefix != nullptr)
        value = withoutPrefix(value, row.loadPrefix);
    if (row.loadSuffix != nullptr)
        value = withoutSuffix(value, row.loadSuffix);
    f.*row.text = value;
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
    for (const EditorFieldRow& row : editorFieldRows()) {
        bool differs;
        if (row.kind == ValueKind::Distance)
            differs = a.focusDistanceInfinity != b.focusDistanceInfinity ||
                      (!a.focusDistanceInfinity && a.*row.text != b.*row.text);
        else if (row.text != nullptr)
            differs = a.*row.text != b.*row.text;
        else if (row.list != nullptr)
            differs = !samePicked(a.*row.list, b.*row.list);
        else
            differs = !sameTime(a.*row.time, b.*row.time);
        changed.set(static_cast<std::size_t>(row.field), differs);
    }
    return changed;
}

EditorFieldSet ExifEditorModel::FieldsToStore() const
{
    return m_exif.IsEmpty() ? EditorFieldSet().set() : ChangedFields();
}

void ExifEditorModel::LeaveResolution()
{
    if (std::atof(m_fields.resolution.c_str()) == 0)
        m_fields.resolution = twoDecimals(72);
}

bool ExifEditorModel::Store(EditorFieldSet only)
{
    // A field left as it was loaded from the file keeps the file's entry as it is: storing it
    // back through the field's text would round the camera's values or drop its entries. On a
    // picture without EXIF an untouched field holds only a default (a list's first value, the
    // time the editor opened), so only the picture's own size and resolution go in with it.
    EditorFieldSet changed = ChangedFields();
    if (!m_loadedFromExif) {
        for (EditorField own : {EditorField::Width, EditorField::Height, EditorField::Resolution})
            changed.set(static_cast<std::size_t>(own));
    }
    auto wanted = [&](EditorField field) {
        const auto at = static_cast<std::size_t>(field);
        return only.test(at) && changed.test(at);
    };
    if (m_exif.IsEmpty() && !m_exif.CreateDefaultEntries(m_picture.width, m_picture.height,
                                                         m_picture.dpi, m_picture.dpi))
        return false;
    bool ok = true;
    for (const EditorFieldRow& row : editorFieldRows()) {
        // The unit goes with the resolution it qualifies.
        if (wanted(row.field) ||
            (row.kind == ValueKind::ResolutionUnit && wanted(EditorField::Resolution)))
            ok = StoreField(row) && ok;
    }
    ok = setTextValue(m_exif.FindEntry(kIfd0, kTagSoftware, EntryLookup::Create), kProductText) &&
         ok;
    ok = setTextValue(m_exif.FindEntry(kExifIfd, kTagExtendSoftware, EntryLookup::Create),
                      kProductText) &&
         ok;
    ok = storeExifVersion(m_exif.FindEntry(kExifIfd, kTagExifVersion, EntryLookup::Create)) && ok;
    m_exif.SortEntries();
    // The model now holds the fields: a later store compares against them.
    m_loaded = m_fields;
    m_loadedFromExif = !m_exif.IsEmpty();
    return ok;
}

bool ExifEditorModel::StoreNumberField(const EditorFieldRow& row)
{
    const ExifEditorFields& f = m_fields;
    auto entry = [&](TagRef at) { return m_exif.FindEntry(at.ifd, at.tag, EntryLookup::Create); };
    auto remove = [&](TagRef at) {
        m_exif.RemoveEntry(at.ifd, at.tag);
        return true;
    };
    auto number = [&] { return fieldNumber(row.field, f.*row.text); };
    auto u16 = [](double value) { return static_cast<std::uint16_t>(truncatedU32(value)); };
    // An emptied field means "not known": a 0 stored for it would be a made-up reading.
    const bool blank = row.text != nullptr && rightTrimmed(f.*row.text).empty() &&
                       !(row.kind == ValueKind::Distance && f.focusDistanceInfinity);
    if (blank) {
        switch (row.kind) {
            case ValueKind::Exposure:
            case ValueKind::Aperture:
                remove(row.also);
                return remove(row.entry);
            case ValueKind::ApexAperture:
            case ValueKind::Rational:
            case ValueKind::SRational:
            case ValueKind::Short:
            case ValueKind::Distance:
                return remove(row.entry);
            default:
                break;
        }
    }
    switch (row.kind) {
        case ValueKind::Exposure: {
            const double t = number();
            bool ok = setRationalValue(entry(row.entry), t);
            // No exposure time has no APEX value: 1/0 would be infinite.
            if (t > 0)
                return setSRationalValue(entry(row.also), std::log2(1 / t)) && ok;
            remove(row.also);
            return ok;
        }
        case ValueKind::Aperture: {
            const double n = number();
            const bool ok = setRationalValue(entry(row.entry), n);
            return setRationalValue(entry(row.also), n > 0 ? 2 * std::log2(n) : 0) && ok;
        }
        case ValueKind::ApexAperture: {
            const double m = number();
            return m > 0 ? setRationalValue(entry(row.entry), 2 * std::log2(m)) : remove(row.entry);
        }
        case ValueKind::Rational:
            return setRationalValue(entry(row.entry), number());
        case ValueKind::SRational:
            return setSRationalValue(entry(row.entry), number());
        case ValueKind::Short:
            return setShortValue(entry(row.entry), u16(number()));
        case ValueKind::PictureWidth:
        case ValueKind::PictureHeight:
            return setLongValue(entry(row.entry), truncatedU32(number()));
        case ValueKind::Distance:
            return setRationalValue(entry(row.entry),
                                    f.focusDistanceInfinity ? kInfiniteDistance : number());
        case ValueKind::Resolution: {
            double r = number();
            if (r == 0)
                r = 72;
            return setRationalValue(entry(row.entry), r) && setRationalValue(entry(row.also), r);
        }
        default:
            break;
    }
    return false;
}

bool ExifEditorModel::StoreField(const EditorFieldRow& row)
{
    const ExifEditorFields& f = m_fields;
    auto entry = [&](TagRef at) { return m_exif.FindEntry(at.ifd, at.tag, EntryLookup::Create); };
    auto remove = [&](TagRef at) {
        m_exif.RemoveEntry(at.ifd, at.tag);
        return true;
    };
    switch (row.kind) {
        case ValueKind::ResolutionUnit: {
            const long unit = (f.*row.list).SelectedData();
            return setShortValue(entry(row.entry), static_cast<std::uint16_t>(unit == 3 ? 3 : 2));
        }
        case ValueKind::Named:
            return setShortValue(entry(row.entry),
                                 static_cast<std::uint16_t>((f.*row.list).SelectedData()));
        case ValueKind::Date:
            return setTextValue(entry(row.entry), exifTimeText(f.*row.time));
        case ValueKind::Text: {
            const std::string trimmed = rightTrimmed(f.*row.text);
            return trimmed.empty() ? remove(row.entry) : setTextValue(entry(row.entry), trimmed);
        }
        case ValueKind::CopyrightPart: {
            const std::string p = rightTrimmed(f.copyrightPhotographer);
            const std::string e = rightTrimmed(f.copyrightEditor);
            if (p.empty() && e.empty())
                return remove(row.entry);
            std::string bytes = p.empty() ? std::string(" ") : p;
            if (!e.empty()) {
                bytes.push_back('\0');
                bytes += e;
            }
            bytes.push_back('\0');
            return setTypedBytes(entry(row.entry), kAscii,
                                 reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                 static_cast<std::uint32_t>(bytes.size()));
        }
        case ValueKind::UserComment: {
            const std::string& comment = f.*row.text;
            if (comment.empty())
                return remove(row.entry);
            std::vector<std::uint8_t> bytes(8, 0);
            bytes.insert(bytes.end(), comment.begin(), comment.end());
            bytes.push_back(0);
            return setTypedBytes(entry(row.entry), kUndefined, bytes.data(),
                                 static_cast<std::uint32_t>(bytes.size()));
        }
        default:
            return StoreNumberField(row);
    }
    return false;
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
        case EditorMessage::RawNeverRewritten:
            format = messages::kRawNeverRewritten;
            break;
        case EditorMessage::ExifShownOnly:
            format = messages::kExifShownOnly;
            break;
        case EditorMessage::WriteFailed:
            format = messages::kWriteExifFailed;
            break;
        case EditorMessage::DeleteFailed:
            format = messages::kDeleteExifFailed;
            break;
        case EditorMessage::MakerNoteOffsetsMayBeInvalid:
            return messages::kMakerNoteOffsetsMayBeInvalid;
    }
    std::string text(format != nullptr ? format : "");
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

MessageIcon editorMessageIcon(EditorMessage message)
{
    return message == EditorMessage::SourceNotJpegOrTiff ||
                   message == EditorMessage::RawNeverRewritten ||
                   message == EditorMessage::ExifShownOnly ||
                   message == EditorMessage::MakerNoteOffsetsMayBeInvalid
               ? MessageIcon::Information
               : MessageIcon::Error;
}

double editedPictureResolution(const ExifData& exif)
{
    const double x = exif.GetNumber(kIfd0, kTagXResolution, 0);
    if (!(x > 0))
        return 0;
    return exif.GetNumber(kIfd0, kTagResolutionUnit, 0) == 3 ? x * 2.54 : x;
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

namespace {

bool changedSince(const FileStatus& status)
{
    struct stat now {};
    if (::stat(status.path.c_str(), &now) != 0)
        return false;
    const struct stat& then = status.info;
    return now.st_dev != then.st_dev || now.st_ino != then.st_ino || now.st_size != then.st_size ||
           now.st_mtim.tv_sec != then.st_mtim.tv_sec || now.st_mtim.tv_nsec != then.st_mtim.tv_nsec;
}

}  // namespace

EditorOutcome ExifEditorModel::ChangeFile(const EditorPrompts& prompts, bool write)
{
    const auto report = [&](EditorMessage message, const std::string& path) {
        if (prompts.report)
            prompts.report(message, path);
    };
    const auto showBoxes = [&] {
        if (prompts.box)
            for (const ExifFailure& box : m_exif.warnings()) prompts.box(box);
    };
    if (prompts.confirm &&
        !prompts.confirm(write ? EditorMessage::WriteConfirm : EditorMessage::DeleteConfirm))
        return EditorOutcome::Cancelled;
    if (!m_exif.fileStatus().HasPath()) {
        report(EditorMessage::SourceFileNoExist, {});
        return EditorOutcome::StayOpen;
    }
    const std::string path = m_exif.fileStatus().path;
    switch (inPlaceRefusal(path)) {
        case InPlaceRefusal::None:
            break;
        case InPlaceRefusal::NotJpegOrTiff:
            report(EditorMessage::SourceNotJpegOrTiff, path);
            return EditorOutcome::StayOpen;
        case InPlaceRefusal::CameraRaw:
            report(EditorMessage::RawNeverRewritten, path);
            return EditorOutcome::StayOpen;
        case InPlaceRefusal::ShownOnly:
            report(EditorMessage::ExifShownOnly, path);
            return EditorOutcome::StayOpen;
    }
    // Held until the new file is in place, so a second writer waits and reads our result.
    // A refused lock (a file with several hard links) is reported as the failed write.
    FileEditLock editLock;
    if (!editLock.lock(path)) {
        report(write ? EditorMessage::WriteFailed : EditorMessage::DeleteFailed, path);
        return EditorOutcome::StayOpen;
    }
    ExifStatus done = ExifStatus();
    if (write) {
        const EditorFieldSet fields = FieldsToStore();
        // Another program changed the file since it was read: the user's changes go onto
        // what it holds now, so theirs are not lost.
        if (changedSince(m_exif.fileStatus()))
            done = m_exif.LoadExif(path);
        if (done) {
            Store(fields);
            done = m_exif.SaveExif(path);
        }
    } else {
        done = m_exif.DeleteExif(path);
    }
    showBoxes();
    if (!done) {
        report(write ? EditorMessage::WriteFailed : EditorMessage::DeleteFailed, path);
        return EditorOutcome::StayOpen;
    }
    if (write && m_exif.makerNotePlacement() == MakerNotePlacement::OffsetsMayBeInvalid)
        report(EditorMessage::MakerNoteOffsetsMayBeInvalid, path);
    // A reload that fails leaves the model empty, as the file now is to the reader.
    (void)m_exif.LoadExif(path);
    showBoxes();
    Load();
    return EditorOutcome::ClosedOk;
}

}  // namespace tavelune
