// Parsing of the conversion options.
#include "cli/convert_options.h"

#include <cstdio>

#include "cli/shown_boxes.h"
#include "film/film_registry.h"
#include "job/settings_file.h"

namespace tavelune::cli {
namespace {

int filmTypeFromName(const std::string& name)
{
    if (const FilmRow* row = findFilmByCliName(name))
        return row->code;
    throw UsageError("--film must be " + filmNameList(&FilmRow::cliName) + ", not '" + name + "'");
}

void readSize(const std::string& option, const std::string& text, int& width, int& height)
{
    auto x = text.find_first_of("xX");
    if (x == std::string::npos)
        throw UsageError(option + " must be WIDTHxHEIGHT, not '" + text + "'");
    width = parseInt(option, text.substr(0, x), 1, 65535);
    height = parseInt(option, text.substr(x + 1), 1, 65535);
}

struct PageOption {
    const char* option;
    const char* section;
    const char* key;
    bool flag;  // takes no value: sets the key to true
};

// Options that set one key of the settings text; any of a page's options enables it.
const PageOption kPageOptions[] = {
    {"text", "", "text", false},        {"image", "", "picture", false},
    {"align", "", "align", false},      {"offset", "", "offset", false},
    {"unit", "", "unit", false},        {"opacity", "", "opacity", false},
    {"key", "", "key", false},          {"font", "", "font", false},
    {"size", "", "size", false},        {"bold", "", "bold", true},
    {"italic", "", "italic", true},     {"underline", "", "underline", true},
    {"strikeout", "", "strikeout", true}, {"colour", "", "colour", false},
    {"color", "", "colour", false},
};

const PageOption kBorderOptions[] = {
    {"--border-preset", "border", "preset", false}, {"--mat", "border", "mat", false},
    {"--border", "border", "border", false},        {"--mat-unit", "border", "mat-unit", false},
    {"--border-unit", "border", "border-unit", false},
    {"--mat-colour", "border", "mat-colour", false}, {"--mat-color", "border", "mat-colour", false},
    {"--mat-image", "border", "mat-image", false},
    {"--border-colour", "border", "border-colour", false},
    {"--border-color", "border", "border-colour", false},
    {"--border-opacity", "border", "border-opacity", false},
    {"--border-inside", "border", "border-inside", true},
    {"--user-name", "tags", "user-name", false},    {"--lang", "tags", "language", false},
};

void applyOrThrow(ConvertOptions& options, const std::string& option, const std::string& section,
                  const std::string& key, const std::string& value)
{
    std::string reason;
    Warnings<ImageError> boxes;
    if (!applySetting(options.job, section, key, value, reason, &boxes)) {
        showNotices(imageNotices(boxes));
        throw UsageError(option + ": " + reason.substr(reason.find(": ") + 2));
    }
}

bool readPageOption(ArgumentReader& reader, ConvertOptions& options)
{
    const std::string& name = reader.name();
    for (const char* section : {"watermark", "signature"}) {
        const std::string prefix = std::string("--") + section + "-";
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string rest = name.substr(prefix.size());
        for (const PageOption& option : kPageOptions) {
            if (rest != option.option)
                continue;
            std::string value = option.flag ? "true" : reader.value();
            if (option.flag)
                reader.noValue();
            applyOrThrow(options, name, section, option.key, value);
            if (rest == "text")
                applyOrThrow(options, name, section, "mode", "text");
            if (rest == "image")
                applyOrThrow(options, name, section, "mode", "picture");
            applyOrThrow(options, name, section, "enabled", "true");
            return true;
        }
    }
    for (const PageOption& option : kBorderOptions) {
        if (name != option.option)
            continue;
        std::string value = option.flag ? "true" : reader.value();
        if (option.flag)
            reader.noValue();
        applyOrThrow(options, name, option.section, option.key, value);
        if (std::string(option.section) == "border")
            applyOrThrow(options, name, "border", "enabled", "true");
        return true;
    }
    return false;
}

}  // namespace

void loadSettingsFiles(const std::vector<std::string>& args, ConvertOptions& options)
{
    ArgumentReader reader(args);
    while (reader.next()) {
        if (!reader.isOption() || reader.name() != "--settings")
            continue;
        const std::string path = reader.value();
        std::vector<SettingsProblem> problems;
        if (!loadSettingsFile(path, options.job, problems)) {
            for (const SettingsProblem& problem : problems)
                showNotices(imageNotices(problem.boxes));
            std::string text;
            for (const SettingsProblem& problem : problems)
                text += (text.empty() ? "" : "\n") + path +
                        (problem.line > 0 ? ":" + std::to_string(problem.line) : "") + ": " +
                        problem.message;
            throw UsageError(text);
        }
    }
}

ConversionCommandLine readConversionCommandLine(const std::vector<std::string>& args,
                                                ConvertOptions& options,
                                                const std::function<bool(ArgumentReader&)>& extra)
{
    options.job.tags.language = languageFromEnvironment();
    loadSettingsFiles(args, options);
    ConversionCommandLine commandLine;
    ArgumentReader reader(args);
    while (reader.next()) {
        if (!reader.isOption()) {
            commandLine.files.push_back(reader.current());
        } else if (reader.name() == "--help" || reader.name() == "-h") {
            commandLine.help = true;
        } else if (reader.name() == "--settings") {
            reader.value();  // loaded above
        } else if (reader.name() == "--save-settings") {
            commandLine.saveSettings = reader.value();
        } else if (!readConvertOption(reader, options) && !readPageOption(reader, options) &&
                   !(extra && extra(reader))) {
            throw UsageError("unknown option " + reader.name());
        }
    }
    return commandLine;
}

bool saveRequestedSettings(const ConversionCommandLine& commandLine, const ConvertOptions& options)
{
    if (commandLine.saveSettings.empty())
        return true;
    std::string reason;
    if (saveSettingsFile(commandLine.saveSettings, options.job, reason))
        return true;
    std::fprintf(stderr, "tavelune-cli: cannot write the settings file %s: %s\n",
                 commandLine.saveSettings.c_str(), reason.c_str());
    return false;
}

bool readConvertOption(ArgumentReader& reader, ConvertOptions& options)
{
    const std::string& name = reader.name();
    FilmSettings& film = options.job.film;
    if (name == "--no-film") {
        reader.noValue();
        film.enabled = false;
    } else if (name == "--film") {
        film.filmType = filmTypeFromName(reader.value());
    } else if (name == "--exposure") {
        film.exposure = reader.intValue(-8, 8);
    } else if (name == "--saturation") {
        film.saturation = reader.intValue(-10, 10);
    } else if (name == "--sharpness") {
        film.sharpnessPosition = reader.intValue(0, 5);
    } else if (name == "--portrait") {
        reader.noValue();
        film.portrait = true;
    } else if (name == "--no-high-key") {
        reader.noValue();
        film.highKey = false;
    } else if (name == "--black-correction") {
        reader.noValue();
        film.blackCorrection = true;
    } else if (name == "--to-srgb") {
        reader.noValue();
        film.toSrgb = true;
    } else if (name == "--quality") {
        options.quality = reader.intValue(1, 100);
        options.webpQuality = options.quality;
    } else if (name == "--lossless") {
        reader.noValue();
        options.lossless = true;
    } else if (name == "--compression") {
        std::string value = reader.value();
        if (value == "none")
            options.compression = 1;
        else if (value == "lzw")
            options.compression = 5;
        else
            throw UsageError("--compression must be none or lzw, not '" + value + "'");
    } else if (name == "--fit") {
        options.fit = reader.intValue(1, 65535);
    } else if (name == "--resize") {
        readSize(name, reader.value(), options.resizeWidth, options.resizeHeight);
    } else if (name == "--dpi") {
        options.dpi = reader.doubleValue(1.0, 65535.0);
    } else if (name == "--scale-from") {
        options.scaleFrom = reader.intValue(1, 65535);
    } else if (name == "--rotate") {
        options.rotate = reader.intValue(-180, 180);
        if (options.rotate != 90 && options.rotate != -90 && options.rotate != 180)
            throw UsageError("--rotate must be 90, -90 or 180, not '" +
                             std::to_string(options.rotate) + "'");
    } else if (name == "--mirror") {
        reader.noValue();
        options.mirror = true;
    } else if (name == "--flip") {
        reader.noValue();
        options.flip = true;
    } else if (name == "--no-exif") {
        reader.noValue();
        options.keepExif = false;
    } else if (name == "--strip-metadata") {
        reader.noValue();
        options.stripMetadata = true;
    } else if (name == "--no-orient") {
        reader.noValue();
        options.orient = false;
    } else {
        return false;
    }
    return true;
}

std::string filmOptionHelp()
{
    // The default film is marked, and the names wrap under the column of descriptions.
    const std::string indent(25, ' ');
    std::string help = "  --film NAME            ";
    size_t lineStart = 0;
    const auto rows = filmRows();
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string word = rows[i].cliName;
        if (rows[i].code == FilmSettings{}.filmType)
            word += " (default)";
        if (i + 1 < rows.size())
            word += i + 2 == rows.size() ? " or" : ",";
        if (i > 0) {
            if (help.size() - lineStart + 1 + word.size() > 79) {
                help += "\n";
                lineStart = help.size();
                help += indent;
            } else {
                help += " ";
            }
        }
        help += word;
    }
    return help + "\n";
}

const char* convertOptionsHelp()
{
    static const std::string help = "Film:\n"
           "  --no-film              copy the picture instead of simulating a film\n" +
           filmOptionHelp() +
           "  --exposure N           exposure compensation in quarter stops, -8..8 (default 0)\n"
           "  --saturation N         colour saturation (mono: lightness), -10..10 (default 0)\n"
           "  --sharpness N          sharpness slider position 0..5 (default 5 = none,\n"
           "                         0 = strongest)\n"
           "  --portrait             gentler, warmer colours for skin tones (colour films)\n"
           "  --no-high-key          switch off high-key priority (T-Max)\n"
           "  --black-correction     counter a reddish cast of greys (T-Max)\n"
           "  --to-srgb              turn a picture with another colour profile into sRGB\n"
           "                         before the film (perceptual, black-point compensation)\n"
           "                         and tag the output sRGB\n"
           "Geometry (applied after opening, before the film):\n"
           "  --fit N                reduce bilinearly so the longer side is at most N pixels\n"
           "  --no-orient            do not apply a JPEG's EXIF orientation\n"
           "  --resize WxH           resample to W x H pixels (bicubic)\n"
           "  --rotate 90|-90|180    turn clockwise (90) or counter-clockwise (-90)\n"
           "  --mirror               mirror left to right\n"
           "  --flip                 flip top to bottom\n"
           "  --dpi N                set the resolution in dots per inch\n"
           "  --scale-from WIDTH     the offsets, text sizes, frame widths and watermark\n"
           "                         picture were chosen on a picture WIDTH pixels wide (after\n"
           "                         the geometry above): scale them to the actual width, so a\n"
           "                         preset made on a small preview fits any size; lengths in\n"
           "                         in, cm or mm scale the same way\n"
           "Output:\n"
           "  --quality N            JPEG or WebP quality 1..100 (default 75 for JPEG, 90 for\n"
           "                         WebP)\n"
           "  --lossless             lossless WebP\n"
           "  --no-exif              do not carry the source's EXIF data into a JPEG, TIFF or\n"
           "                         WebP output\n"
           "                         (kept by default, with Orientation 1 and this program\n"
           "                         named as Software)\n"
           "  --strip-metadata       write no EXIF, XMP or IPTC; the colour profile stays\n"
           "                         (it is colour, not metadata)\n"
           "  --compression KIND     TIFF compression: lzw (default) or none\n"
           "Watermark and signature (any of a page's options switches that page on; the\n"
           "signature options are the same with --signature- in front):\n"
           "  --watermark-text TEXT  text to stamp; it may hold information tags such as\n"
           "                         <DateTimeOriginal/> (see tavelune-cli tags); a value\n"
           "                         put in is not expanded again, and a text longer than\n"
           "                         64 KB after expansion is cut there with a warning\n"
           "  --watermark-image FILE picture to stamp instead of a text\n"
           "  --watermark-align H,V  H left|center|right, V top|middle|bottom\n"
           "                         (watermark left,top; signature right,bottom)\n"
           "  --watermark-offset X,Y distance from the chosen edges (watermark 22,22;\n"
           "                         signature 17,10)\n"
           "  --watermark-unit U     px (default), in, cm or mm for the offsets\n"
           "  --watermark-opacity N  0..100 (default 100)\n"
           "  --watermark-key RRGGBB colour of the picture that becomes transparent\n"
           "  --watermark-font FACE  font face name (default \"MS Sans Serif\"); Windows\n"
           "                         faces draw with their Liberation or WenQuanYi twins,\n"
           "                         others are found by fontconfig\n"
           "  --watermark-size PX    character height in pixels (default 11)\n"
           "  --watermark-bold, --watermark-italic, --watermark-underline,\n"
           "  --watermark-strikeout\n"
           "  --watermark-colour RRGGBB  text colour (default 000000)\n"
           "Frame (any of these switches the frame on, starting from a white 17,17,32,17\n"
           "mat and a black 1-pixel border):\n"
           "  --border-preset P      black-white (black mat, white border) or white-black\n"
           "  --mat N[,N,N,N]        mat widths: top, right, bottom, left as in CSS\n"
           "  --border N[,N,N,N]     border widths, likewise\n"
           "  --mat-unit U, --border-unit U   px (default), in, cm or mm\n"
           "  --mat-colour RRGGBB, --mat-image FILE (stretched over the mat)\n"
           "  --border-colour RRGGBB, --border-opacity N (0..100), --border-inside\n"
           "Information tags:\n"
           "  --user-name TEXT       value of <UserName/>\n"
           "  --lang CODE            zh_CN, zh_TW or en_US for tag values (default from LANG)\n"
           "Settings:\n"
           "  --settings FILE        read all four pages from FILE first (docs/settings.md)\n"
           "  --save-settings FILE   write the settings in effect to FILE\n" +
           kMaxPixelsHelp;
    return help.c_str();
}

}  // namespace tavelune::cli
