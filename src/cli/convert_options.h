// The options of `tavelune-cli convert`, shared with the batch command.
#pragma once

#include <string>

#include "cli/cli_support.h"
#include "film/file_conversion.h"

namespace tavelune::cli {

using ConvertOptions = FileConversionSettings;

/// Consumes the current option if it is one of convert's; false if it is not.
/// Throws UsageError for a bad value.
bool readConvertOption(ArgumentReader& reader, ConvertOptions& options);

/// The help text of the options above, for the --help of convert and batch.
const char* convertOptionsHelp();

}  // namespace tavelune::cli
