// The options of `tavelune-cli convert`, shared with the batch command.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "job/file_conversion.h"

namespace tavelune::cli {

using ConvertOptions = FileConversionSettings;

/// Consumes the current option if it is one of convert's; false if it is not.
/// Throws UsageError for a bad value.
bool readConvertOption(ArgumentReader& reader, ConvertOptions& options);

/// The --film line of a help text, naming every film.
std::string filmOptionHelp();

/// The help text of the options above, for the --help of convert and batch.
const char* convertOptionsHelp();

struct ConversionCommandLine {
    std::vector<std::string> files;  // the positional arguments, in order
    std::string saveSettings;        // --save-settings FILE, or empty
    bool help = false;
};

/// Loads every --settings FILE of args into options, wherever it stands. Throws UsageError
/// naming the file and line of each problem.
void loadSettingsFiles(const std::vector<std::string>& args, ConvertOptions& options);

/// Reads a conversion command line: the tag language from LANG first, then --settings FILE
/// wherever it stands, then every other option in order, so options override the file.
/// extra handles the command's own options (false: not one of them). Throws UsageError.
ConversionCommandLine readConversionCommandLine(
    const std::vector<std::string>& args, ConvertOptions& options,
    const std::function<bool(ArgumentReader&)>& extra = {});

/// Writes --save-settings when it was given; false (with a message) when it fails.
bool saveRequestedSettings(const ConversionCommandLine& commandLine, const ConvertOptions& options);

}  // namespace tavelune::cli
