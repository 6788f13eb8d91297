// tavelune-cli exif: lists the EXIF data of files as the information list shows it, or as JSON.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/exif_edit_verbs.h"
#include "cli/shown_boxes.h"
#include "engine/colour_profile.h"
#include "engine/iptc_records.h"
#include "engine/photoshop_resources.h"
#include "engine/picture_metadata.h"
#include "exif/exif_data.h"
#include "exif/exif_list.h"
#include "exif/tag_catalogue.h"

namespace tavelune::cli {
namespace {

const char* const kHelp =
    "Usage: tavelune-cli exif [--lang CODE] [--json] FILE...\n"
    "       tavelune-cli exif set|delete ...   (see tavelune-cli exif set --help)\n"
    "\n"
    "Lists the EXIF data of JPEG and TIFF files (the format is taken from the extension:\n"
    ".jpg, .jpeg, .tif, .tiff in any case). For each file: its name, size and modification\n"
    "time, then the entries of the image directory, the Exif directory and the\n"
    "Interoperability directory, each as name and displayed value, and whether the file\n"
    "carries a colour profile (with its description), XMP and IPTC. The private entries of\n"
    "Canon and Nikon maker notes are not listed; the standard entries derived from them\n"
    "(ISO, flash, metering...) are. A file without readable EXIF data shows its file rows\n"
    "and says that it has none.\n"
    "\n"
    "Options:\n"
    "  --lang CODE  (or --lang=CODE) zh_CN, zh_TW or en_US (any other code means English):\n"
    "               tag names, named values and fixed texts. Default: from LANG (zh_CN*, zh_TW*,\n"
    "               otherwise en_US).\n"
    "  --json       print a JSON array with one object per file: path, name, size, sizeText,\n"
    "               modified, hasExif and entries, each entry {ifd, tag, name, type, count,\n"
    "               text, values}. Maker-note entries (ifd 37500) are included. values holds\n"
    "               the raw numbers: rationals as [numerator, denominator], UNDEFINED as\n"
    "               bytes, ASCII as the zero-separated strings. A file that cannot be read\n"
    "               gives {path, error}. Each object also holds profile ({description,\n"
    "               size} or null), xmp (the packet, extended XMP joined after it, or null)\n"
    "               and iptc ([{name, value}] or null).\n"
    "  -h, --help   show this text\n"
    "\n"
    "Exit status: 0 when every file could be read (with or without EXIF data), 1 when a\n"
    "file could not be read (the others are still listed), 2 for a usage error.\n";

constexpr const char* kNoExif[3] = {"No EXIF data", "无EXIF信息", "無EXIF資訊"};

// Appends text as a JSON string; bytes that are not UTF-8 become U+FFFD.
void appendJsonString(std::string& out, std::string_view text)
{
    out.push_back('"');
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c == '"' || c == '\\') {
                out.push_back('\\');
                out.push_back(static_cast<char>(c));
            } else if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out.push_back(static_cast<char>(c));
            }
            ++i;
            continue;
        }
        std::size_t length = c >= 0xF0 && c < 0xF5   ? 4
                             : c >= 0xE0             ? 3
                             : c >= 0xC2 && c < 0xE0 ? 2
                                                     : 0;
        if (c >= 0xF5)
            length = 0;
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid && length == 3) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            valid = !(c == 0xE0 && second < 0xA0) && !(c == 0xED && second >= 0xA0);
        }
        if (valid && length == 4) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            valid = !(c == 0xF0 && second < 0x90) && !(c == 0xF4 && second >= 0x90);
        }
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    out.push_back('"');
}

void appendJsonNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    out += text;
}

void appendValues(std::string& out, const ExifEntry& entry)
{
    out.push_back('[');
    const std::vector<std::uint8_t>& bytes = entry.value();
    if (entry.type() == kAscii) {
        // Zero-separated strings; the terminator of the last one makes no extra string.
        std::vector<std::string_view> strings;
        const auto* text = reinterpret_cast<const char*>(bytes.data());
        std::size_t start = 0;
        for (std::size_t i = 0; i <= bytes.size(); ++i) {
            if (i == bytes.size() || bytes[i] == 0) {
                strings.emplace_back(text + start, i - start);
                start = i + 1;
            }
        }
        if (strings.size() > 1 && strings.back().empty())
            strings.pop_back();
        for (std::size_t i = 0; i < strings.size(); ++i) {
            if (i > 0)
                out.push_back(',');
            appendJsonString(out, strings[i]);
        }
    } else if (entry.type() == kUndefined) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0)
                out.push_back(',');
            out += std::to_string(bytes[i]);
        }
    } else {
        const bool rational = entry.type() == kRational || entry.type() == kSRational;
        for (std::uint32_t i = 0; i < entry.count(); ++i) {
            if (i > 0)
                out.push_back(',');
            if (rational) {
                const ExifEntry::Fraction fraction = entry.GetFraction(i);
                out.push_back('[');
                out += std::to_string(fraction.numerator);
                out.push_back(',');
                out += std::to_string(fraction.denominator);
                out.push_back(']');
            } else {
                appendJsonNumber(out, entry.GetNumber(i));
            }
        }
    }
    out.push_back(']');
}

void appendJsonFile(std::string& out, const ExifData& exif, bool loaded, std::string_view language)
{
    const FileStatus& status = exif.fileStatus();
    const std::size_t slash = status.path.find_last_of('/');
    out += "{\"path\":";
    appendJsonString(out, status.path);
    out += ",\"name\":";
    appendJsonString(out, slash == std::string::npos ? status.path : status.path.substr(slash + 1));
    out += ",\"size\":" + std::to_string(static_cast<long long>(status.info.st_size));
    out += ",\"sizeText\":";
    appendJsonString(out, fileSizeText(static_cast<std::uint64_t>(status.info.st_size)));
    out += ",\"modified\":";
    appendJsonString(out, localTimeText(status.info.st_mtime));
    out += loaded && !exif.IsEmpty() ? ",\"hasExif\":true" : ",\"hasExif\":false";
    out += ",\"entries\":[";
    bool first = true;
    for (const auto& entry : exif.entries()) {
        out += first ? "\n  {" : ",\n  {";
        first = false;
        out +=
            "\"ifd\":" + std::to_string(entry->ifd()) + ",\"tag\":" + std::to_string(entry->tag());
        out += ",\"name\":";
        appendJsonString(out, entry->GetName(language));
        out += ",\"type\":" + std::to_string(entry->type()) +
               ",\"count\":" + std::to_string(entry->count());
        out += ",\"text\":";
        appendJsonString(out, entry->GetText(language));
        out += ",\"values\":";
        appendValues(out, *entry);
        out.push_back('}');
    }
    out += "]}";
}

std::vector<IptcRecord> iptcOf(const PictureMetadata& metadata)
{
    const auto iptc = photoshopResource(metadata.photoshop, kResourceIptc);
    return iptc ? parseIptcRecords(*iptc) : std::vector<IptcRecord>{};
}

void appendJsonMetadata(std::string& out, const PictureMetadata& metadata)
{
    out += ",\"profile\":";
    if (metadata.icc.empty()) {
        out += "null";
    } else {
        out += "{\"description\":";
        appendJsonString(out, profileDescription(metadata.icc));
        out += ",\"size\":" + std::to_string(metadata.icc.size()) + "}";
    }
    out += ",\"xmp\":";
    if (metadata.xmp.empty())
        out += "null";
    else
        appendJsonString(out, metadata.xmp + metadata.extendedXmp);
    out += ",\"iptc\":";
    const std::vector<IptcRecord> records = iptcOf(metadata);
    if (records.empty()) {
        out += "null";
        return;
    }
    out.push_back('[');
    for (std::size_t i = 0; i < records.size(); ++i) {
        out += i > 0 ? ",{\"name\":" : "{\"name\":";
        appendJsonString(out, records[i].name);
        out += ",\"value\":";
        appendJsonString(out, records[i].value);
        out.push_back('}');
    }
    out.push_back(']');
}

void appendTextMetadata(std::string& out, const PictureMetadata& metadata)
{
    out += "Colour profile: ";
    if (metadata.icc.empty()) {
        out += "none";
    } else {
        const std::string description = profileDescription(metadata.icc);
        out += (description.empty() ? std::string("unnamed") : description) + " (" +
               std::to_string(metadata.icc.size()) + " bytes)";
    }
    out += "\nXMP: ";
    out += metadata.xmp.empty() ? std::string("none")
                                : std::to_string(metadata.xmp.size() + metadata.extendedXmp.size()) +
                                      " bytes";
    const std::vector<IptcRecord> records = iptcOf(metadata);
    out += "\nIPTC: ";
    out += records.empty() ? std::string("none") : std::to_string(records.size()) + " records";
    out.push_back('\n');
    for (const IptcRecord& record : records) out += "  " + record.name + ": " + record.value + "\n";
}

void appendTextFile(std::string& out, const ExifData& exif, std::string_view language)
{
    const LanguageIndex index = languageIndex(language);
    for (const ExifListRow& row : buildExifListRows(exif, language)) {
        switch (row.kind) {
            case ExifListRow::Kind::Header:
                out += exifListText(row.stringId, language);
                break;
            case ExifListRow::Kind::File:
                out += exifListText(row.stringId, language);
                out += ": ";
                out += row.value;
                break;
            case ExifListRow::Kind::Entry:
                out += row.name;
                out += ": ";
                out += row.value;
                break;
        }
        out.push_back('\n');
    }
    if (exif.IsEmpty()) {
        out += kNoExif[index];
        out.push_back('\n');
    }
}

// A file we may list: it exists, is a regular file and can be opened for reading.
bool readable(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

int runExif(const std::vector<std::string>& args)
{
    // A file named set or delete is listed as ./set or after "--".
    if (!args.empty() && (args[0] == "set" || args[0] == "delete")) {
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        return args[0] == "set" ? runExifSet(rest) : runExifDelete(rest);
    }
    std::string language;
    bool json = false;
    std::vector<std::string> files;
    bool optionsDone = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsDone && (arg == "-h" || arg == "--help")) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (!optionsDone && arg == "--json") {
            json = true;
        } else if (!optionsDone && arg == "--lang") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "tavelune-cli exif: --lang needs a language code\n");
                return 2;
            }
            language = args[++i];
        } else if (!optionsDone && arg.rfind("--lang=", 0) == 0) {
            language = arg.substr(7);
        } else if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "tavelune-cli exif: unknown option '%s'\n\n%s", arg.c_str(),
                         kHelp);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    if (language.empty())
        language = languageFromEnvironment();

    int status = 0;
    std::string out;
    if (json)
        std::fputs("[\n", stdout);
    ExifData exif;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& path = files[i];
        out.clear();
        if (i > 0)
            out += json ? ",\n" : "\n";
        if (!readable(path)) {
            std::fprintf(stderr, "tavelune-cli exif: cannot read '%s'\n", path.c_str());
            status = 1;
            if (!json)
                continue;
            out += "{\"path\":";
            appendJsonString(out, path);
            out += ",\"error\":\"cannot read\"}";
        } else {
            const bool loaded = exif.LoadExif(path).ok();
            showNotices(exifNotices(exif.warnings()));
            const MetadataRead metadata = readPictureMetadata(path);
            showNotices(metadataNotices(metadata.problems, path));
            if (json) {
                appendJsonFile(out, exif, loaded, language);
                out.pop_back();  // the object's closing brace: the metadata goes inside
                appendJsonMetadata(out, metadata.metadata);
                out.push_back('}');
            } else {
                appendTextFile(out, exif, language);
                appendTextMetadata(out, metadata.metadata);
            }
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    if (json)
        std::fputs("\n]\n", stdout);
    std::fflush(stdout);
    return status;
}

const CommandRegistrar kRegistrar("exif", "list, set or delete the EXIF data of JPEG and TIFF files", runExif);

}  // namespace
}  // namespace tavelune::cli
