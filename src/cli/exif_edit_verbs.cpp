// tavelune-cli exif set / delete: fields changed through the EXIF editor's rules, in place.
#include "cli/exif_edit_verbs.h"

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <semaphore>
#include <system_error>
#include <thread>

#include "cli/cli_support.h"
#include "cli/shown_boxes.h"
#include "engine/codec_support.h"
#include "engine/edit_lock.h"
#include "engine/format_dispatch.h"
#include "engine/message_sink.h"
#include "engine/picture_check.h"
#include "engine/safe_write.h"
#include "exif/exif_editor_model.h"
#include "exif/exif_messages.h"
#include "exif/tag_catalogue.h"
#include "exif/writer_support.h"

namespace tavelune::cli {

const char* const kExifEditHelp =
    "Usage: tavelune-cli exif set [--backup] FILE NAME=VALUE...\n"
    "       tavelune-cli exif set [--backup] NAME=VALUE... -- FILE...\n"
    "       tavelune-cli exif delete [--backup] FILE...\n"
    "\n"
    "set changes EXIF fields of a JPEG or TIFF file in place, with the rules of the EXIF\n"
    "editor: a value the editor's field would not accept is refused and nothing is written.\n"
    "A file without EXIF data starts from the default entries. Software and ExtendSoftware\n"
    "name this program; ExifVersion becomes 0221 unless it already says 0230 or later. Each\n"
    "change is reported as NAME: OLD -> NEW. Everything else the file holds is kept: maker\n"
    "notes stay where their offsets expect them (or have their offsets moved with them), and\n"
    "the thumbnail stays; a maker note that could be kept neither way is reported as \"maker\n"
    "note offsets may be invalid\".\n"
    "With -- before the files, every value is checked first, then each file is changed on\n"
    "its own (locked and replaced safely, several at once) and reported on one line, in the\n"
    "order given, followed by the counts of files written and not written; a file that\n"
    "cannot be changed does not stop the others.\n"
    "Names (any case; the tag names of the catalogue where they exist):\n"
    "  ExposureTime (or Shutter, ShutterSpeedValue)  seconds: 1/125, 2, 0.5\n"
    "  FNumber (Aperture, ApertureValue), MaxApertureValue (MaxAperture)  5.6\n"
    "  ExposureBiasValue (ExposureCompensation)  -2/3, 0.33\n"
    "  FocalLength, FocalLengthIn35mmFilm (FocalLength35mm)  millimetres\n"
    "  SubjectDistance (FocusDistance)  metres, or inf\n"
    "  ISOSpeedRatings (ISO)\n"
    "  Flash, WhiteBalance, LightSource, MeteringMode, ExposureProgram, ExposureMode\n"
    "      a number or the English text of a named value\n"
    "  DateTimeOriginal, DateTimeDigitized, DateTime  \"2024:05:01 10:30:00\"\n"
    "  PixelXDimension (Width), PixelYDimension (Height)\n"
    "  XResolution (Resolution, YResolution)  both axes; ResolutionUnit  inches or cm\n"
    "  Make, Model, Lens, Film, FilterLens, Scanner, FlashLamp, Artist, ImageDescription,\n"
    "  UserComment, Copyright, CopyrightPhotographer, CopyrightEditor  texts; empty removes\n"
    "\n"
    "delete removes the EXIF data (a JPEG gets the JFIF segment it then needs).\n"
    "Camera raw files are never rewritten; the EXIF data of HEIF, AVIF and WebP files is\n"
    "shown but not changed: both are refused.\n"
    "\n"
    "  --backup  keep the original as FILE~ before changing it\n"
    "\n"
    "Exit status: 0 done (every file written), 1 a file could not be read or written,\n"
    "2 a usage error, a refused value or a file of another type.\n";

namespace {

// Why a file's EXIF data is not changed in place ("'a.dng' is a camera raw file: ..."), or
// nothing when it may be.
std::optional<std::string> inPlaceRefusalText(const std::string& path)
{
    const char* reason = nullptr;
    switch (inPlaceRefusal(path)) {
        case InPlaceRefusal::None:
            return std::nullopt;
        case InPlaceRefusal::NotJpegOrTiff:
            reason = "is not a .jpg, .jpeg, .tif or .tiff file";
            break;
        case InPlaceRefusal::CameraRaw:
            reason = "is a camera raw file: raw files are never rewritten";
            break;
        case InPlaceRefusal::ShownOnly:
            reason = "is kept as it is: EXIF data is changed only in JPEG and TIFF files";
            break;
    }
    return "'" + path + "' " + reason;
}

std::optional<EditorField> fieldByName(const std::string& name)
{
    for (const EditorFieldRow& row : editorFieldRows())
        for (const char* known : row.cliNames)
            if (known != nullptr && strcasecmp(known, name.c_str()) == 0)
                return row.field;
    return std::nullopt;
}

bool chooseNamed(DropList& list, const std::string& value)
{
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (strcasecmp(list.items[i].text.c_str(), value.c_str()) == 0 ||
            (!value.empty() && value.find_first_not_of("0123456789") == std::string::npos &&
             std::to_string(list.items[i].data) == value)) {
            list.selected = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

// Applies one NAME=VALUE to the fields; the error text when the value is refused.
std::optional<std::string> applyValue(ExifEditorFields& f, EditorField field,
                                      const std::string& value)
{
    const EditorFieldRow& row = editorFieldRow(field);
    switch (row.kind) {
        case ValueKind::Named: {
            DropList& list = f.*row.list;
            if (chooseNamed(list, value))
                return std::nullopt;
            std::string known = "one of:";
            for (const ListItem& item : list.items) {
                known.append(" ").append(std::to_string(item.data)).append(" (");
                known.append(item.text).append(")");
            }
            return known;
        }
        case ValueKind::Date: {
            PickerTime time;
            if (value.size() != 19 || !readPickerTime(value, time) || time.hour > 23 ||
                time.minute > 59 || time.second > 59)
                return std::string("YYYY:MM:DD HH:MM:SS with a year after 1601 and up to 2038");
            f.*row.time = time;
            return std::nullopt;
        }
        case ValueKind::ResolutionUnit:
            if (strcasecmp(value.c_str(), "inches") == 0 || value == "2")
                (f.*row.list).selected = 0;
            else if (strcasecmp(value.c_str(), "cm") == 0 || value == "3")
                (f.*row.list).selected = 1;
            else
                return std::string("inches (2) or cm (3)");
            return std::nullopt;
        case ValueKind::Distance:
            f.focusDistanceInfinity =
                strcasecmp(value.c_str(), "inf") == 0 || strcasecmp(value.c_str(), "infinity") == 0;
            if (f.focusDistanceInfinity)
                return std::nullopt;
            break;
        default:
            break;
    }
    if (!acceptsFieldText(field, value))
        return fieldRuleText(field);
    f.*row.text = value;
    return std::nullopt;
}

using Snapshot = std::map<std::pair<std::uint16_t, std::uint16_t>, std::string>;

Snapshot snapshot(const ExifData& exif)
{
    Snapshot texts;
    for (const auto& entry : exif.entries()) {
        // Maker notes and the location are carried, not edited: their changes are not listed.
        if (entry->ifd() == kMakerNoteIfd || entry->ifd() == kGpsIfd)
            continue;
        std::string text = entry->GetText("en_US");
        if (text.empty() && entry->type() == kAscii)
            text = "\"\"";
        texts.emplace(std::make_pair(entry->ifd(), entry->tag()), text);
    }
    return texts;
}

// "Artist: (none) -> A. Photographer" for every entry that differs.
std::vector<std::string> listChanges(const Snapshot& before, const Snapshot& after)
{
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::pair<std::string, std::string>> changes;
    for (const auto& [key, text] : before) changes[key].first = text;
    for (const auto& [key, text] : after) changes[key].second = text;
    std::vector<std::string> lines;
    for (const auto& [key, texts] : changes) {
        const bool had = before.count(key) != 0, has = after.count(key) != 0;
        if (had == has && texts.first == texts.second)
            continue;
        lines.push_back(tagName(key.first, key.second, "en_US") + ": " +
                        (had ? texts.first : "(none)") + " -> " + (has ? texts.second : "(none)"));
    }
    return lines;
}

void reportChanges(const std::string& path, const Snapshot& before, const Snapshot& after)
{
    const std::vector<std::string> changes = listChanges(before, after);
    for (const std::string& change : changes)
        std::printf("%s: %s\n", path.c_str(), change.c_str());
    if (changes.empty())
        std::printf("%s: nothing changed\n", path.c_str());
}

bool keepBackup(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes))
        return false;
    return writeViaTemporary(path + "~", [&](const std::string& temporary) {
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        if (file == nullptr)
            return false;
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return (std::fclose(file) == 0) && ok;
    });
}

// --backup and --help, shared by both verbs; an exit status when there is nothing more to do.
std::optional<int> readEditArguments(const std::vector<std::string>& args,
                                     std::size_t leastPositional, bool& backup,
                                     std::vector<std::string>& positional)
{
    for (const std::string& arg : args) {
        if (arg == "--backup")
            backup = true;
        else if (arg == "-h" || arg == "--help")
            return std::fputs(kExifEditHelp, stdout), 0;
        else
            positional.push_back(arg);
    }
    if (positional.size() < leastPositional) {
        std::fputs(kExifEditHelp, stderr);
        return 2;
    }
    return std::nullopt;
}

}  // namespace

namespace {

// One NAME=VALUE of the command line, its field found.
struct Assignment {
    std::string name, value;
    EditorField field;
};

// A command-line mistake or a refused value: status 2, nothing written anywhere.
std::optional<std::string> readAssignment(const std::string& text, Assignment& out)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return "'" + text + "' is not NAME=VALUE";
    out.name = text.substr(0, equals);
    out.value = text.substr(equals + 1);
    const std::optional<EditorField> field = fieldByName(out.name);
    if (!field)
        return "'" + out.name + "' is not a field that can be set (see --help)";
    out.field = *field;
    return std::nullopt;
}

std::optional<std::string> applyAssignments(ExifEditorModel& editor,
                                            const std::vector<Assignment>& assignments,
                                            EditorFieldSet& fields)
{
    for (const Assignment& assignment : assignments) {
        if (const auto error = applyValue(editor.fields(), assignment.field, assignment.value))
            return assignment.name + "='" + assignment.value + "' refused: " + *error +
                   "; nothing was written";
        fields.set(static_cast<std::size_t>(assignment.field));
        if (strcasecmp(assignment.name.c_str(), "Copyright") == 0) {
            editor.fields().copyrightEditor.clear();
            fields.set(static_cast<std::size_t>(EditorField::CopyrightEditor));
        }
    }
    return std::nullopt;
}

// What setting the fields of one file came to; printed by the caller, so that files edited
// at once still report in the order they were given.
struct FileEdit {
    int status = 0;             // 0 written, 1 not read or not written, 2 refused
    std::string error;          // why not, for standard error
    std::vector<std::string> changes;  // "Artist: (none) -> A. Photographer"
    bool makerNoteMoved = false;
};

FileEdit failed(int status, std::string error)
{
    FileEdit edit;
    edit.status = status;
    edit.error = std::move(error);
    return edit;
}

// Sets the fields in one file: locked, read, checked, changed and replaced safely.
FileEdit setFields(const std::string& path, const std::vector<std::string>& assignmentTexts,
                   bool backup, std::counting_semaphore<>& decodeSlots)
{
    if (const std::optional<std::string> refused = inPlaceRefusalText(path))
        return failed(2, *refused);
    // Held until the new file is in place: a second writer waits, then reads our result.
    FileEditLock editLock;
    if (const Status<EditLockError> locked = editLock.lock(path); !locked)
        return failed(1, "cannot change '" + path + "': " + editLockText(locked.failure()) +
                             "; nothing was written");
    ExifData exif;
    const ExifStatus loaded = exif.LoadExif(path);
    showNotices(exifNotices(exif.warnings()));
    if (!loaded && !exif.fileStatus().HasPath())
        return failed(1, "cannot read '" + path + "'");
    // A file whose picture is broken could only get worse. Decodes are limited to one per
    // core: the pictures may be large.
    decodeSlots.acquire();
    const Result<PictureSize, ImageError> whole = wholePictureSize(path);
    decodeSlots.release();
    showNotices(imageNotices(statusOf(whole)));
    if (!whole)
        return failed(1, "the picture in '" + path + "' cannot be decoded; nothing was written");
    // A file without EXIF data starts from the picture's own size and resolution.
    EditorPicture picture;
    if (exif.IsEmpty())
        picture = {static_cast<std::uint32_t>(whole->width),
                   static_cast<std::uint32_t>(whole->height), whole->dpi};
    ExifEditorModel editor(exif, picture, "en_US");
    EditorFieldSet fields;
    std::vector<Assignment> assignments(assignmentTexts.size());
    for (std::size_t i = 0; i < assignmentTexts.size(); ++i)
        if (const auto error = readAssignment(assignmentTexts[i], assignments[i]))
            return failed(2, *error);
    if (const auto error = applyAssignments(editor, assignments, fields))
        return failed(2, *error);
    const Snapshot before = snapshot(exif);
    if (!editor.Store(fields))
        return failed(1, "the values could not be stored");
    if (backup && !keepBackup(path))
        return failed(1, "cannot write the backup '" + path + "~'; nothing was written");
    const ExifStatus saved = exif.SaveExif(path);
    showNotices(exifNotices(exif.warnings()));
    if (!saved)
        return failed(1, "Write Exif V2.21 to \"" + path + "\" fail.");
    ExifData written;
    (void)written.LoadExif(path);
    showNotices(exifNotices(written.warnings()));
    FileEdit edit;
    edit.changes = listChanges(before, snapshot(written));
    edit.makerNoteMoved = exif.makerNotePlacement() == MakerNotePlacement::OffsetsMayBeInvalid;
    return edit;
}

unsigned hardwareThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

// exif set FILE NAME=VALUE...: the form of one file, which reports a line per change.
int setOneFile(const std::string& path, const std::vector<std::string>& assignments, bool backup)
{
    CliMessages messages;
    messages.setFile(path);
    std::counting_semaphore<> decodeSlots(1);
    const FileEdit edit = setFields(path, assignments, backup, decodeSlots);
    if (edit.status != 0) {
        std::fprintf(stderr, "tavelune-cli exif set: %s\n", edit.error.c_str());
        return edit.status;
    }
    for (const std::string& change : edit.changes)
        std::printf("%s: %s\n", path.c_str(), change.c_str());
    if (edit.changes.empty())
        std::printf("%s: nothing changed\n", path.c_str());
    if (edit.makerNoteMoved)
        std::printf("%s: %s\n", path.c_str(), messages::kMakerNoteOffsetsMayBeInvalid);
    return 0;
}

// exif set NAME=VALUE... -- FILE...: one line per file in the order given, then a summary.
int setManyFiles(const std::vector<std::string>& assignmentTexts,
                 const std::vector<std::string>& files, bool backup)
{
    // Every value is checked before any file is touched, on a model of no file.
    {
        ExifData none;
        ExifEditorModel probe(none, EditorPicture{}, "en_US");
        EditorFieldSet fields;
        std::vector<Assignment> assignments(assignmentTexts.size());
        std::optional<std::string> error;
        for (std::size_t i = 0; i < assignmentTexts.size() && !error; ++i)
            error = readAssignment(assignmentTexts[i], assignments[i]);
        if (!error)
            error = applyAssignments(probe, assignments, fields);
        if (error) {
            std::fprintf(stderr, "tavelune-cli exif set: %s\n", error->c_str());
            return 2;
        }
    }
    struct Done {
        FileEdit edit;
        std::vector<std::string> messages;
        bool ready = false;
    };
    std::vector<Done> done(files.size());
    std::mutex mutex;
    std::condition_variable readyChanged;
    std::counting_semaphore<> decodeSlots(hardwareThreads());
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            std::vector<std::string> messages;
            FileEdit edit;
            {
                // The engine's messages about this file stay with its report.
                ThreadMessageSink sink([&](const std::string& text, const std::string& caption,
                                           MessageIcon) {
                    std::string line = caption.empty() ? text : caption + ": " + text;
                    while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
                        line.pop_back();
                    messages.push_back(line);
                });
                edit = setFields(files[i], assignmentTexts, backup, decodeSlots);
            }
            std::lock_guard lock(mutex);
            done[i] = {std::move(edit), std::move(messages), true};
            readyChanged.notify_all();
        }
    };
    // More files in flight than cores: most of a file's time is the wait for its data to
    // reach the disk, which other files' work can fill.
    const std::size_t workers = std::min<std::size_t>(files.size(), 4 * hardwareThreads());
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < workers; ++t) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            break;  // fewer workers; this thread does the rest
        }
    }
    std::thread printer([&] {
        std::size_t written = 0, notWritten = 0;
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::unique_lock lock(mutex);
            readyChanged.wait(lock, [&] { return done[i].ready; });
            const Done entry = std::move(done[i]);
            lock.unlock();
            for (const std::string& message : entry.messages)
                std::fprintf(stderr, "tavelune-cli: %s (%s)\n", message.c_str(), files[i].c_str());
            if (entry.edit.status != 0) {
                ++notWritten;
                std::fprintf(stderr, "tavelune-cli exif set: %s\n", entry.edit.error.c_str());
                std::printf("%s: not written: %s\n", files[i].c_str(), entry.edit.error.c_str());
                continue;
            }
            ++written;
            std::string line = files[i] + ": ";
            for (std::size_t c = 0; c < entry.edit.changes.size(); ++c)
                line += (c == 0 ? "" : "; ") + entry.edit.changes[c];
            if (entry.edit.changes.empty())
                line += "nothing changed";
            if (entry.edit.makerNoteMoved)
                line += std::string("; ") + messages::kMakerNoteOffsetsMayBeInvalid;
            std::printf("%s\n", line.c_str());
        }
        std::printf("%zu written, %zu not written\n", written, notWritten);
    });
    worker();
    for (std::thread& thread : threads)
        thread.join();
    printer.join();
    int status = 0;
    for (const Done& entry : done)
        status = std::max(status, entry.edit.status);
    return status;
}

}  // namespace

int runExifSet(const std::vector<std::string>& args)
{
    bool backup = false;
    std::vector<std::string> positional;
    // "--" separates the values from the files; without it the first argument is the file.
    const auto separator = std::find(args.begin(), args.end(), "--");
    const std::vector<std::string> options(args.begin(), separator);
    if (const std::optional<int> exit = readEditArguments(options, 1, backup, positional))
        return *exit;
    if (separator == args.end()) {
        if (positional.size() < 2) {
            std::fputs(kExifEditHelp, stderr);
            return 2;
        }
        return setOneFile(positional[0], {positional.begin() + 1, positional.end()}, backup);
    }
    const std::vector<std::string> files(separator + 1, args.end());
    if (files.empty() || positional.empty()) {
        std::fputs(kExifEditHelp, stderr);
        return 2;
    }
    return setManyFiles(positional, files, backup);
}

int runExifDelete(const std::vector<std::string>& args)
{
    bool backup = false;
    std::vector<std::string> files;
    if (const std::optional<int> exit = readEditArguments(args, 1, backup, files))
        return *exit;
    int status = 0;
    for (const std::string& path : files) {
        if (const std::optional<std::string> refused = inPlaceRefusalText(path)) {
            std::fprintf(stderr, "tavelune-cli exif delete: %s\n", refused->c_str());
            status = std::max(status, 2);
            continue;
        }
        CliMessages messages;
        messages.setFile(path);
        FileEditLock editLock;
        if (const Status<EditLockError> locked = editLock.lock(path); !locked) {
            std::fprintf(stderr, "tavelune-cli exif delete: cannot change '%s': %s\n",
                         path.c_str(), editLockText(locked.failure()).c_str());
            status = std::max(status, 1);
            continue;
        }
        ExifData exif;
        (void)exif.LoadExif(path);
        showNotices(exifNotices(exif.warnings()));
        const Snapshot before = snapshot(exif);
        if (backup && !keepBackup(path)) {
            std::fprintf(stderr, "tavelune-cli exif delete: cannot write the backup '%s~'\n",
                         path.c_str());
            status = std::max(status, 1);
            continue;
        }
        const ExifStatus deleted = exif.DeleteExif(path);
        showNotices(exifNotices(exif.warnings()));
        if (!deleted) {
            std::fprintf(stderr, "tavelune-cli exif delete: Delete Exif info from \"%s\" fail.\n",
                         path.c_str());
            status = std::max(status, 1);
            continue;
        }
        ExifData after;
        (void)after.LoadExif(path);
        showNotices(exifNotices(after.warnings()));
        reportChanges(path, before, snapshot(after));
    }
    return status;
}

}  // namespace tavelune::cli
