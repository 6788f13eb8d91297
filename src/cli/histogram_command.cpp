// `tavelune-cli histogram`: the histogram panel of one picture, written as a picture file.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/format_lists.h"
#include "cli/png_writer.h"
#include "cli/shown_boxes.h"
#include "engine/corvane_error.h"
#include "engine/format_dispatch.h"
#include "exif/exif_data.h"
#include "histogram/histogram_panel.h"
#include "job/file_conversion.h"

namespace tavelune::cli {
namespace {

constexpr int kWorkingSize = 800;

void printHelp()
{
    const char* const help =
        "Usage: tavelune-cli histogram [options] FILE -o OUTPUT\n\n"
        "Draws the histogram and EXIF panel of FILE (%s) as the\n"
        "desktop program shows it: the 258 x 135 canvas with the luma histogram as white bars,\n"
        "the red, green and blue histograms as semi-transparent lines (every count limited to\n"
        "1.6 % of the pixel count), the grey ramp, the EXIF summary (exposure program, shutter,\n"
        "aperture, compensation, focal length, ISO, white balance, date taken) and the picture's\n"
        "size and resolution. The picture is opened as the desktop program opens it: reduced to\n"
        "800 pixels on its longer side, and a JPEG turned upright with its EXIF resolution.\n\n"
        "OUTPUT's extension chooses the format: png (8-bit RGB), jpg or jpeg (quality 95), bmp\n"
        "(32 bits). It is written to a temporary file and renamed into place.\n\n"
        "Options:\n"
        "  -o, --output FILE  the picture to write (required)\n"
        "  --graph-only       only the top 107 rows (258 x 107): graph and ramp, no texts\n"
        "  --full-size        count every pixel of FILE instead of the 800-pixel picture\n"
        "  -h, --help         show this text\n\n"
        "Exit status: 0 when written, 1 when FILE cannot be read or OUTPUT not written, 2 for a\n"
        "usage error.\n";
    std::fputs(wrapLongLines(fillIn(help, {readableKinds()})).c_str(), stdout);
}

// PNG goes through our own 8-bit writer, the others through their codecs.
constexpr ImageFormat kOutputFormats[] = {ImageFormat::Png, ImageFormat::Jpeg, ImageFormat::Bmp};

std::optional<ImageFormat> outputFormat(const std::string& path)
{
    const std::optional<ImageFormat> format = formatOfPath(path);
    if (format && std::find(std::begin(kOutputFormats), std::end(kOutputFormats), *format) !=
                      std::end(kOutputFormats))
        return format;
    return std::nullopt;
}

int runHistogram(const std::vector<std::string>& args)
{
    std::string input;
    std::string output;
    bool graphOnly = false;
    bool fullSize = false;
    try {
        ArgumentReader reader(args);
        while (reader.next()) {
            if (!reader.isOption()) {
                if (!input.empty())
                    throw UsageError("histogram takes one FILE");
                input = reader.current();
            } else if (reader.name() == "--help" || reader.name() == "-h") {
                printHelp();
                return 0;
            } else if (reader.name() == "-o" || reader.name() == "--output") {
                output = reader.value();
            } else if (reader.name() == "--graph-only") {
                reader.noValue();
                graphOnly = true;
            } else if (reader.name() == "--full-size") {
                reader.noValue();
                fullSize = true;
            } else {
                throw UsageError("unknown option " + reader.name());
            }
        }
        if (input.empty() || output.empty())
            throw UsageError(
                "histogram needs FILE and -o OUTPUT (see tavelune-cli histogram --help)");
        if (!outputFormat(output))
            throw UsageError("OUTPUT must end in " +
                             extensionsOf(kOutputFormats, ".", ", ", " or "));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tavelune-cli histogram: %s\n", error.what());
        return 2;
    }

    CliMessages messages;
    messages.setFile(input);
    Image picture;
    ExifData exif;
    const WorkingPictureOpen opened =
        openWorkingPicture(input, picture, exif, fullSize ? 0 : kWorkingSize, true);
    showNotices(opened.notices);
    if (!opened)
        return 1;

    HistogramPanel panel;
    try {
        panel.StartHistogram(&picture, &exif);
    } catch (const CCorvaneError& error) {
        std::fprintf(stderr, "tavelune-cli: %s\n", error.what());
        return 1;
    }
    panel.WaitForHistogram();
    const Image canvas = graphOnly ? panel.copyGraph() : panel.copyAll();

    messages.setFile(output);
    bool written = false;
    if (outputFormat(output) == ImageFormat::Png) {
        std::string error;
        written = writePngFile(output, canvas, &error);
        if (!written)
            std::fprintf(stderr, "tavelune-cli: cannot write %s: %s\n", output.c_str(),
                         error.c_str());
    } else {
        const ImageStatus saved = saveImage(output, canvas, {}, 95);
        showNotices(imageNotices(saved));
        written = saved.ok();
    }
    if (!written)
        return 1;
    std::printf("%s\n", output.c_str());
    return 0;
}

const CommandRegistrar registrar("histogram", "draw the histogram and EXIF panel of a picture",
                                 runHistogram);

}  // namespace
}  // namespace tavelune::cli
