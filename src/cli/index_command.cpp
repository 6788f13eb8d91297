// tavelune-cli index: lays out pictures as a contact sheet and saves it.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/format_lists.h"
#include "cli/shown_boxes.h"
#include "engine/engine_messages.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/image_codec.h"
#include "engine/safe_write.h"
#include "engine/colour_profile.h"
#include "engine/webp_codec.h"
#include "indexprint/fit_rectangle.h"
#include "indexprint/index_items.h"
#include "indexprint/index_layout.h"
#include "indexprint/index_messages.h"
#include "indexprint/index_sheet.h"
#include "pixel/progress.h"

namespace tavelune::cli {
namespace {

const char* const kHelp =
    "Usage: tavelune-cli index [options] FILE... -o SHEET\n"
    "\n"
    "Makes an index print: the pictures as a grid of captioned thumbnails on one page, in the\n"
    "order given, with a grey panel below (an optional logo and a free text), the title at the\n"
    "bottom left and the signature at the bottom right. Each caption is the file's base name.\n"
    "Pictures: %s (any case); other files are skipped.\n"
    "A picture that cannot be read leaves its cell black and still uses up its place and its\n"
    "number. Pictures beyond the grid's capacity are left off. SHEET's extension chooses the\n"
    "format: %s. The sheet is written through a temporary file, so\n"
    "a failed save leaves an existing SHEET as it was.\n"
    "\n"
    "Options:\n"
    "  -o, --output SHEET  the sheet file to write (required)\n"
    "  --style N           layout, 0..9 (default 0):\n"
    "%s"
    "  --dpi D             resolution: 96, 120, 300, 360 or 720 (default 96); the text keeps\n"
    "                      its size in points (captions 8, title 10) at every resolution\n"
    "  --title TEXT        title at the bottom left (default \"INDEX PRINT\"; may be empty)\n"
    "  --signature TEXT    signature at the bottom right (default: none)\n"
    "  --content TEXT      text in the panel; line breaks in TEXT start new lines\n"
    "  --number-from N     number the captions \"N. name\", \"N+1. name\"...; 0 shows plain\n"
    "                      names (default: no numbers); whole numbers of up to 10 digits\n"
    "  --no-fit            show each whole picture inside its cell with grey bars instead of\n"
    "                      filling the cell and cutting what overflows from both ends\n"
    "  --logo FILE         picture drawn at the left of the panel, scaled down to the panel's\n"
    "                      height when taller\n"
    "  --logo-key RRGGBB   logo pixels of exactly this colour (hexadecimal red, green, blue)\n"
    "                      are not drawn; needs --logo\n"
    "  --quality Q         JPEG or WebP quality 1..100 (default 75 for JPEG, 90 for WebP);\n"
    "                      JPEG and lossy WebP sheets only\n"
    "  --lossless          lossless WebP; WebP sheets only\n"
    "  --compression C     TIFF compression: lzw (default) or none; TIFF sheets only\n"
    "  -h, --help          show this text\n"
    "\n"
    "Options take their value as the next argument or after '=' (--style=2); '--' ends the\n"
    "options. A progress bar is shown on stderr when it is a terminal.\n"
    "\n"
    "Exit status: 0 when every picture is on the sheet; 1 when the sheet could not be made or\n"
    "saved, or when it was saved without some pictures (skipped, unreadable or beyond the\n"
    "grid; each is named on stderr); 2 for a usage error.\n";

constexpr const char* kName = "tavelune-cli index";

struct IndexOptions {
    std::vector<std::string> files;
    std::string output;
    ImageFormat outputFormat = ImageFormat::Jpeg;  // from output's extension
    int style = 0;
    int dpi = 96;
    std::string title = indexprint::messages::kDefaultTitle;
    std::string signature;
    std::string content;
    int64_t numberFrom = -1;
    bool fit = true;
    std::string logoPath;
    std::optional<uint32_t> logoKey;  // 0x00RRGGBB
    std::optional<int> quality;
    std::optional<int> compression;
    bool lossless = false;
};

std::string layoutList()
{
    std::string list;
    int style = 0;
    for (const IndexLayoutEntry& entry : indexLayouts()) {
        char line[160];
        std::snprintf(line, sizeof line, "                        %d  %s, %d x %d pictures\n", style++,
                      indexLayoutText(entry).c_str(), entry.columns, entry.rows);
        list += line;
    }
    return list;
}

int64_t parseWhole(const std::string& option, const std::string& text, int64_t low, int64_t high)
{
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        throw UsageError(option + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'");
    return value;
}

uint32_t parseColour(const std::string& option, const std::string& text)
{
    std::string digits = text;
    if (!digits.empty() && digits[0] == '#')
        digits.erase(0, 1);
    const bool hex = digits.size() == 6 && std::all_of(digits.begin(), digits.end(), [](unsigned char c) {
                         return std::isxdigit(c) != 0;
                     });
    if (!hex)
        throw UsageError(option + " must be six hexadecimal digits RRGGBB, not '" + text + "'");
    return uint32_t(std::strtoul(digits.c_str(), nullptr, 16));
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}


void readOption(ArgumentReader& reader, IndexOptions& options)
{
    const std::string& name = reader.name();
    if (name == "-o" || name == "--output") {
        options.output = reader.value();
    } else if (name == "--style") {
        options.style = reader.intValue(0, int(indexLayouts().size()) - 1);
    } else if (name == "--dpi") {
        const std::string text = reader.value();
        bool listed = false;
        for (const IndexResolution& resolution : indexResolutions())
            listed = listed || text == std::to_string(resolution.dpi);
        if (!listed)
            throw UsageError("--dpi must be 96, 120, 300, 360 or 720, not '" + text + "'");
        options.dpi = std::stoi(text);
    } else if (name == "--title") {
        options.title = reader.value();
    } else if (name == "--signature") {
        options.signature = reader.value();
    } else if (name == "--content") {
        options.content = reader.value();
    } else if (name == "--number-from") {
        // The dialog's number field holds up to ten digits.
        options.numberFrom = parseWhole(name, reader.value(), 0, 9999999999);
    } else if (name == "--no-fit") {
        reader.noValue();
        options.fit = false;
    } else if (name == "--logo") {
        options.logoPath = reader.value();
    } else if (name == "--logo-key") {
        options.logoKey = parseColour(name, reader.value());
    } else if (name == "--quality") {
        options.quality = reader.intValue(1, 100);
    } else if (name == "--lossless") {
        reader.noValue();
        options.lossless = true;
    } else if (name == "--compression") {
        const std::string text = reader.value();
        const std::string token = upper(text);
        if (token == "LZW")
            options.compression = 5;
        else if (token == "NONE")
            options.compression = 1;
        else
            throw UsageError("--compression must be lzw or none, not '" + text + "'");
    } else {
        throw UsageError("unknown option " + name);
    }
}

// Returns -1 when the command line is complete, else the exit code (0 after --help).
int parseArguments(const std::vector<std::string>& args, IndexOptions& options)
{
    try {
        ArgumentReader reader(args);
        while (reader.next()) {
            if (!reader.isOption()) {
                options.files.push_back(reader.current());
            } else if (reader.name() == "-h" || reader.name() == "--help") {
                std::fputs(wrapLongLines(fillIn(kHelp, {readableExtensions(".", " "),
                                                        writableKindExtensions(), layoutList()}))
                               .c_str(),
                           stdout);
                return 0;
            } else {
                readOption(reader, options);
            }
        }
        if (options.output.empty())
            throw UsageError("no sheet file given (-o SHEET)");
        if (options.files.empty())
            throw UsageError("no pictures given");
        const FormatRow* sheetFormat = findFormat(splitFileName(options.output).extension);
        if (!sheetFormat || !sheetFormat->writes)
            throw UsageError("the sheet must be a " + writableExtensions(".", ", ", " or ") +
                             " file, not '" + options.output + "'");
        options.outputFormat = sheetFormat->format;
        const bool webp = options.outputFormat == ImageFormat::Webp;
        if (options.quality && options.outputFormat != ImageFormat::Jpeg && !webp)
            throw UsageError("--quality applies to JPEG and WebP sheets only");
        if (options.lossless && !webp)
            throw UsageError("--lossless applies to WebP sheets only");
        if (options.lossless && options.quality)
            throw UsageError("--quality and --lossless exclude each other");
        if (options.compression && options.outputFormat != ImageFormat::Tiff)
            throw UsageError("--compression applies to TIFF sheets only");
        if (options.logoKey && options.logoPath.empty())
            throw UsageError("--logo-key needs --logo");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "%s: %s\nTry 'tavelune-cli index --help'.\n", kName, error.what());
        return 2;
    }
    return -1;
}

int saveOptions(const IndexOptions& options)
{
    if (options.outputFormat == ImageFormat::Jpeg)
        return options.quality.value_or(75);
    if (options.outputFormat == ImageFormat::Tiff)
        return options.compression.value_or(5);
    if (options.outputFormat == ImageFormat::Webp)
        return options.lossless ? kWebpLossless : options.quality.value_or(0);
    return 0;
}

int runIndex(const std::vector<std::string>& args)
{
    IndexOptions options;
    if (int status = parseArguments(args, options); status >= 0)
        return status;
    CliMessages messages;

    std::vector<IndexItem> items;
    std::vector<std::string> missing;
    for (const Failure<IndexItemError>& skipped : appendIndexItems(options.files, items)) {
        std::string text = tavelune::messages::kSkipUnsupported;
        text.replace(text.find("%s"), 2, skipped.detail);
        messages.print(text);
        missing.push_back(skipped.detail + " (not a supported picture type; skipped)");
    }

    ImageHandle logo;
    if (!options.logoPath.empty()) {
        messages.setFile(options.logoPath);
        const ImageStatus opened = logo.open(options.logoPath);
        showNotices(imageNotices(opened));
        if (!opened || !logo.image()) {
            std::fprintf(stderr, "%s: cannot read the logo '%s'\n", kName, options.logoPath.c_str());
            return 1;
        }
        if (options.logoKey) {
            // Exactly this red, green and blue, whatever the alpha, is left out.
            const uint32_t rgb = *options.logoKey & 0x00FFFFFF;
            logo.image()->setColourKey(rgb, rgb | 0xFF000000, 0);
        }
    }

    IndexSheet sheet;
    TerminalProgress bar("Index print");
    const int end = IndexSheet::progressEnd(items.size());
    Progress progress([&](int position) { bar.update(int(int64_t(position) * 100 / end)); });
    const bool rendered = sheet.render(options.style, float(options.dpi), options.title,
                                       options.signature, options.content,
                                       options.fit ? kFitFill : kFitInside, options.numberFrom,
                                       logo.image(), items, &progress);
    bar.finish();
    for (const SheetPictureBoxes& picture : sheet.pictureBoxes()) {
        const SheetPictureBox box = sheetPictureBox(picture);
        messages.setFile(picture.path);
        messages.print(box.text, box.caption);
    }
    messages.setFile({});
    if (!rendered) {
        std::fprintf(stderr, "%s: not enough memory for a %d x %d sheet\n", kName,
                     sheet.layout().pageWidthPx, sheet.layout().pageHeightPx);
        return 1;
    }
    for (size_t index : sheet.failedItems())
        missing.push_back(items[index].path() + " (cannot be read; its cell is black)");
    const size_t capacity = size_t(sheet.layout().capacity());
    for (size_t index = capacity; index < items.size(); ++index)
        missing.push_back(items[index].path() + " (beyond the " +
                          std::to_string(sheet.layout().columns) + " x " +
                          std::to_string(sheet.layout().rows) + " grid; left off)");

    messages.setFile(options.output);
    removeStaleTemporaries(options.output);  // left by a run that was killed
    // A sheet is a new picture of sRGB numbers: tagged so, and nothing of its sources.
    const PictureMetadata srgb = srgbOnlyMetadata();
    const ImageStatus saved = saveImage(options.output, sheet.sheet(), options.outputFormat,
                                        saveOptions(options), &srgb);
    showNotices(imageNotices(saved));
    if (!saved) {
        std::fprintf(stderr, "%s: cannot write the sheet '%s'\n", kName, options.output.c_str());
        return 1;
    }
    for (const std::string& text : missing)
        std::fprintf(stderr, "%s: not on the sheet: %s\n", kName, text.c_str());
    std::fprintf(stderr, "%s: wrote %s (%d x %d pixels at %d dpi, %zu of %zu pictures)\n", kName,
                 options.output.c_str(), sheet.layout().pageWidthPx, sheet.layout().pageHeightPx,
                 options.dpi, options.files.size() - missing.size(), options.files.size());
    return missing.empty() ? 0 : 1;
}

const CommandRegistrar kRegistrar("index", "lay out pictures as an index print (contact sheet)",
                                  runIndex);

}  // namespace
}  // namespace tavelune::cli
