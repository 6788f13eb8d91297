// `tavelune-cli convert`: one picture from file to file through the conversion job.
#include <cstdio>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/convert_options.h"
#include "cli/format_lists.h"

namespace tavelune::cli {
namespace {

void printHelp()
{
    const std::string intro =
        fillIn("Usage: tavelune-cli convert [options] INPUT OUTPUT\n"
               "       tavelune-cli convert [options] --save-settings FILE\n\n"
               "Converts INPUT (%s) with the film simulation and writes OUTPUT; its extension\n"
               "chooses the format (%s).\n"
               "OUTPUT is written to a temporary file and renamed into place.\n\n",
               {readableKinds(), writableExtensions("", ", ", ", ")});
    std::fputs(wrapLongLines(intro).c_str(), stdout);
    std::fputs(convertOptionsHelp(), stdout);
}

int runConvert(const std::vector<std::string>& args)
{
    ConvertOptions options;
    ConversionCommandLine commandLine;
    try {
        commandLine = readConversionCommandLine(args, options);
        if (commandLine.help) {
            printHelp();
            return 0;
        }
        if (commandLine.files.empty() && !commandLine.saveSettings.empty())
            return saveRequestedSettings(commandLine, options) ? 0 : 1;
        if (commandLine.files.size() != 2)
            throw UsageError("convert needs INPUT and OUTPUT (see tavelune-cli convert --help)");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tavelune-cli convert: %s\n", error.what());
        return 2;
    }

    if (!saveRequestedSettings(commandLine, options))
        return 1;
    const std::vector<std::string>& files = commandLine.files;
    CliMessages messages;
    TerminalProgress progress("Converting");
    const FileConversionResult converted = convertPictureFile(
        files[0], files[1], options, [&](int position) { progress.update(position); });
    progress.finish();
    messages.show(converted.notices);
    const FileConversionOutcome outcome = converted.outcome;
    if (outcome == FileConversionOutcome::ConversionFailed)
        std::fprintf(stderr, "tavelune-cli: the film step failed (not enough memory)\n");
    if (outcome != FileConversionOutcome::Converted)
        return 1;
    std::printf("%s\n", files[1].c_str());
    return 0;
}

const CommandRegistrar registrar("convert", "convert a picture with the film simulation",
                                 runConvert);

}  // namespace
}  // namespace tavelune::cli
