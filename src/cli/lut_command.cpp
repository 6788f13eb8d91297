// `tavelune-cli lut`: a film look written as a 3D LUT for other programs.
#include <cstdio>
#include <set>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/convert_options.h"
#include "job/lut_export.h"

namespace tavelune::cli {
namespace {

void printHelp()
{
    std::printf(
        "Usage: tavelune-cli lut [film options] [--size N | --level N] -o FILE\n\n"
        "Writes the film's colour transform as a 3D LUT, so that the same look can be\n"
        "applied in other programs (3D LUT modules of raw developers and video editors,\n"
        "ffmpeg's lut3d filter, ImageMagick's -hald-clut). FILE's extension chooses the\n"
        "format:\n"
        "  .cube   text LUT with --size 33 (default) or 65 points per axis\n"
        "  .png    HaldCLUT picture, 16 bits a channel, --level 8 (default, 512 x 512)\n"
        "          or 12 (1728 x 1728)\n"
        "A LUT holds colour only: sharpening is not a colour transform (it depends on the\n"
        "neighbouring pixels), so it is left out and --sharpness is refused; apply the\n"
        "LUT, then sharpen in the other program if you wish. Lattice points that fall on\n"
        "8-bit values hold the film's exact output; the reading program interpolates the\n"
        "rest, which on photographs stays within about 2 levels of tavelune-cli convert.\n"
        "FILE is written to a temporary file and renamed into place.\n\n"
        "Options:\n"
        "  -o, --output FILE      the LUT to write (required)\n"
        "  --size N               .cube: 33 or 65\n"
        "  --level N              .png: 8 or 12\n"
        "%s"
        "  --exposure N           exposure compensation in quarter stops, -8..8 (default 0)\n"
        "  --saturation N         colour saturation (mono: lightness), -10..10 (default 0)\n"
        "  --portrait             gentler, warmer colours for skin tones (colour films)\n"
        "  --no-high-key          switch off high-key priority (T-Max)\n"
        "  --black-correction     counter a reddish cast of greys (T-Max)\n"
        "  --settings FILE        take the film settings from a settings file first\n"
        "                         (docs/settings.md); the options above override them\n"
        "  -h, --help             show this text\n\n"
        "Exit status: 0 when written, 1 when the LUT cannot be made or written, 2 for a\n"
        "usage error.\n",
        filmOptionHelp().c_str());
}

// The film page's options that change colour; convert's reader parses them.
const std::set<std::string> kFilmOptions = {"--film",     "--exposure",    "--saturation",
                                            "--portrait", "--no-high-key", "--black-correction"};

int runLut(const std::vector<std::string>& args)
{
    ConvertOptions options;
    std::string output;
    LutChoice choice;
    int size = 0;
    int level = 0;
    try {
        loadSettingsFiles(args, options);
        ArgumentReader reader(args);
        while (reader.next()) {
            const std::string& name = reader.name();
            if (!reader.isOption()) {
                throw UsageError("unexpected argument '" + reader.current() + "'");
            } else if (name == "--help" || name == "-h") {
                printHelp();
                return 0;
            } else if (name == "-o" || name == "--output") {
                output = reader.value();
            } else if (name == "--size") {
                size = reader.intValue(2, 256);
            } else if (name == "--level") {
                level = reader.intValue(2, 16);
            } else if (name == "--settings") {
                reader.value();  // loaded above
            } else if (name == "--sharpness") {
                throw UsageError(
                    "--sharpness: sharpening is not a colour transform, so a LUT cannot hold it");
            } else if (kFilmOptions.count(name) == 0 || !readConvertOption(reader, options)) {
                throw UsageError("unknown option " + name);
            }
        }
        if (output.empty())
            throw UsageError("lut needs -o FILE (see tavelune-cli lut --help)");
        if (!lutFormatOfPath(output, choice.format))
            throw UsageError("FILE must end in .cube or .png");
        if (choice.format == LutFormat::Cube) {
            if (level != 0)
                throw UsageError("--level is for a .png HaldCLUT; a .cube takes --size");
            choice.size = size != 0 ? size : 33;
        } else {
            if (size != 0)
                throw UsageError("--size is for a .cube; a .png HaldCLUT takes --level");
            choice.size = level != 0 ? level : 8;
        }
        if (!isOfferedLutChoice(choice))
            throw UsageError(choice.format == LutFormat::Cube ? "--size must be 33 or 65"
                                                              : "--level must be 8 or 12");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tavelune-cli lut: %s\n", error.what());
        return 2;
    }

    std::string error;
    if (!exportFilmLut(output, options.job.film, choice, &error)) {
        std::fprintf(stderr, "tavelune-cli: cannot write %s: %s\n", output.c_str(), error.c_str());
        return 1;
    }
    std::printf("%s\n", output.c_str());
    return 0;
}

const CommandRegistrar registrar("lut", "write a film look as a 3D LUT (.cube or HaldCLUT)",
                                 runLut);

}  // namespace
}  // namespace tavelune::cli
