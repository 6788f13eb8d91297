// `tavelune-cli convert`: one picture from file to file through the conversion job.
#include <cstdio>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/convert_options.h"

namespace tavelune::cli {
namespace {

void printHelp()
{
    std::printf("Usage: tavelune-cli convert [options] INPUT OUTPUT\n\n"
                "Converts INPUT (JPEG, TIFF, PNG, GIF, PSD or BMP) with the film simulation and\n"
                "writes OUTPUT; its extension chooses the format (jpg, jpeg, tif, tiff, bmp).\n"
                "OUTPUT is written to a temporary file and renamed into place.\n\n%s",
                convertOptionsHelp());
}

const char* filmName(int filmType)
{
    switch (filmType) {
    case kFilmVelvia: return "velvia";
    case kFilmTmax: return "tmax";
    case kFilmE100Vs: return "e100vs";
    case kFilmAstia: return "astia";
    default: return "this film";
    }
}

int runConvert(const std::vector<std::string>& args)
{
    ConvertOptions options;
    std::vector<std::string> files;
    try {
        ArgumentReader reader(args);
        while (reader.next()) {
            if (!reader.isOption()) {
                files.push_back(reader.current());
            } else if (reader.name() == "--help" || reader.name() == "-h") {
                printHelp();
                return 0;
            } else if (!readConvertOption(reader, options)) {
                throw UsageError("unknown option " + reader.name());
            }
        }
        if (files.size() != 2)
            throw UsageError("convert needs INPUT and OUTPUT (see tavelune-cli convert --help)");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tavelune-cli convert: %s\n", error.what());
        return 2;
    }

    CliMessages messages;
    TerminalProgress progress("Converting");
    FileConversionOutcome outcome = convertPictureFile(
        files[0], files[1], options, [&](int position) { progress.update(position); },
        [&](const std::string& file) { messages.setFile(file); });
    progress.finish();
    if (outcome == FileConversionOutcome::ConversionFailed)
        std::fprintf(stderr, "tavelune-cli: the film step failed (%s has no recipe yet)\n",
                     filmName(options.film.filmType));
    if (outcome != FileConversionOutcome::Converted)
        return 1;
    std::printf("%s\n", files[1].c_str());
    return 0;
}

const CommandRegistrar registrar("convert", "convert a picture with the film simulation",
                                 runConvert);

}  // namespace
}  // namespace tavelune::cli
