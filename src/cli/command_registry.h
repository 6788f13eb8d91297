// Subcommands of tavelune-cli register themselves here, one file per subcommand.
#pragma once

#include <string>
#include <vector>

namespace tavelune::cli {

/// Runs a subcommand; args excludes the program and subcommand names. Returns the exit code.
using CommandFunction = int (*)(const std::vector<std::string>& args);

struct Command {
    std::string name;
    std::string summary;  // one line for the program's --help
    CommandFunction run;
};

const std::vector<Command>& commands();

/// A file-scope CommandRegistrar adds its subcommand before main() runs.
struct CommandRegistrar {
    CommandRegistrar(std::string name, std::string summary, CommandFunction run);
};

}  // namespace tavelune::cli
