// tavelune-cli exif set / delete: fields changed through the EXIF editor's rules, in place.
#include "cli/exif_edit_verbs.h"

#include <strings.h>

#include <cstdio>
#include <map>
#include <optional>

#include "cli/cli_support.h"
#include "engine/codec_support.h"
#include "engine/edit_lock.h"
#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "engine/safe_write.h"
#include "exif/exif_editor_model.h"
#include "exif/exif_messages.h"
#include "exif/tag_catalogue.h"
#include "exif/writer_support.h"
#include "job/exif_boxes.h"

namespace tavelune::cli {

const char* const kExifEditHelp =
    "Usage: tavelune-cli exif set [--backup] FILE NAME=VALUE...\n"
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
    "\n"
    "  --backup  keep the original as FILE~ before changing it\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 a usage error or a\n"
    "refused value.\n";

namespace {

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

void reportChanges(const std::string& path, const Snapshot& before, const Snapshot& after)
{
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::pair<std::string, std::string>> changes;
    for (const auto& [key, text] : before) changes[key].first = text;
    for (const auto& [key, text] : after) changes[key].second = text;
    int changed = 0;
    for (const auto& [key, texts] : changes) {
        const bool had = before.count(key) != 0, has = after.count(key) != 0;
        if (had == has && texts.first == texts.second)
            continue;
        std::printf("%s: %s: %s -> %s\n", path.c_str(),
                    tagName(key.first, key.second, "en_US").c_str(),
                    had ? texts.first.c_str() : "(none)", has ? texts.second.c_str() : "(none)");
        ++changed;
    }
    if (changed == 0)
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

int runExifSet(const std::vector<std::string>& args)
{
    bool backup = false;
    std::vector<std::string> positional;
    if (const std::optional<int> exit = readEditArguments(args, 2, backup, positional))
        return *exit;
    const std::string path = positional[0];
    if (!changesExifInPlace(path)) {
        std::fprintf(stderr,
                     "tavelune-cli exif set: '%s' is not a .jpg, .jpeg, .tif or .tiff file\n",
                     path.c_str());
        return 2;
    }
    CliMessages messages;
    messages.setFile(path);
    // Held until the new file is in place: a second writer waits, then reads our result.
    FileEditLock editLock;
    if (const Status<EditLockError> locked = editLock.lock(path); !locked) {
        std::fprintf(stderr, "tavelune-cli exif set: cannot change '%s': %s; nothing was written\n",
                     path.c_str(), editLockText(locked.failure()).c_str());
        return 1;
    }
    ExifData exif;
    const ExifStatus loaded = exif.LoadExif(path);
    showExifBoxes(exif.warnings());
    if (!loaded && !exif.fileStatus().HasPath()) {
        std::fprintf(stderr, "tavelune-cli exif set: cannot read '%s'\n", path.c_str());
        return 1;
    }
    // A file whose picture cannot be decoded is broken; rewriting it could only make it worse.
    Image image;
    if (!openImage(path, image)) {
        std::fprintf(stderr,
                     "tavelune-cli exif set: the picture in '%s' cannot be decoded; nothing was "
                     "written\n",
                     path.c_str());
        return 1;
    }
    // A file without EXIF data starts from the picture's own size and resolution.
    EditorPicture picture;
    if (exif.IsEmpty())
        picture = {static_cast<std::uint32_t>(image.width()),
                   static_cast<std::uint32_t>(image.height()), image.dpi()};
    image = Image();
    ExifEditorModel editor(exif, picture, "en_US");
    EditorFieldSet fields;
    for (std::size_t i = 1; i < positional.size(); ++i) {
        const std::string& assignment = positional[i];
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos || equals == 0) {
            std::fprintf(stderr, "tavelune-cli exif set: '%s' is not NAME=VALUE\n",
                         assignment.c_str());
            return 2;
        }
        const std::string name = assignment.substr(0, equals),
                          value = assignment.substr(equals + 1);
        const std::optional<EditorField> field = fieldByName(name);
        if (!field) {
            std::fprintf(
                stderr, "tavelune-cli exif set: '%s' is not a field that can be set (see --help)\n",
                name.c_str());
            return 2;
        }
        if (const auto error = applyValue(editor.fields(), *field, value)) {
            std::fprintf(stderr,
                         "tavelune-cli exif set: %s='%s' refused: %s; nothing was written\n",
                         name.c_str(), value.c_str(), error->c_str());
            return 2;
        }
        fields.set(static_cast<std::size_t>(*field));
        if (strcasecmp(name.c_str(), "Copyright") == 0) {
            editor.fields().copyrightEditor.clear();
            fields.set(static_cast<std::size_t>(EditorField::CopyrightEditor));
        }
    }
    const Snapshot before = snapshot(exif);
    if (!editor.Store(fields)) {
        std::fprintf(stderr, "tavelune-cli exif set: the values could not be stored\n");
        return 1;
    }
    if (backup && !keepBackup(path)) {
        std::fprintf(stderr,
                     "tavelune-cli exif set: cannot write the backup '%s~'; nothing was written\n",
                     path.c_str());
        return 1;
    }
    const ExifStatus saved = exif.SaveExif(path);
    showExifBoxes(exif.warnings());
    if (!saved) {
        std::fprintf(stderr, "tavelune-cli exif set: Write Exif V2.21 to \"%s\" fail.\n",
                     path.c_str());
        return 1;
    }
    ExifData written;
    (void)written.LoadExif(path);
    showExifBoxes(written.warnings());
    reportChanges(path, before, snapshot(written));
    if (exif.makerNotePlacement() == MakerNotePlacement::OffsetsMayBeInvalid)
        std::printf("%s: %s\n", path.c_str(), messages::kMakerNoteOffsetsMayBeInvalid);
    return 0;
}

int runExifDelete(const std::vector<std::string>& args)
{
    bool backup = false;
    std::vector<std::string> files;
    if (const std::optional<int> exit = readEditArguments(args, 1, backup, files))
        return *exit;
    int status = 0;
    for (const std::string& path : files) {
        if (!changesExifInPlace(path)) {
            std::fprintf(
                stderr, "tavelune-cli exif delete: '%s' is not a .jpg, .jpeg, .tif or .tiff file\n",
                path.c_str());
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
        showExifBoxes(exif.warnings());
        const Snapshot before = snapshot(exif);
        if (backup && !keepBackup(path)) {
            std::fprintf(stderr, "tavelune-cli exif delete: cannot write the backup '%s~'\n",
                         path.c_str());
            status = std::max(status, 1);
            continue;
        }
        const ExifStatus deleted = exif.DeleteExif(path);
        showExifBoxes(exif.warnings());
        if (!deleted) {
            std::fprintf(stderr, "tavelune-cli exif delete: Delete Exif info from \"%s\" fail.\n",
                         path.c_str());
            status = std::max(status, 1);
            continue;
        }
        ExifData after;
        (void)after.LoadExif(path);
        showExifBoxes(after.warnings());
        reportChanges(path, before, snapshot(after));
    }
    return status;
}

}  // namespace tavelune::cli
