// Runs tavelune-cli as a program and keeps its exit code, standard output and standard error.
#pragma once

#include <string>

namespace tavelune::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs `tavelune-cli <arguments>` through the shell (arguments are passed as written).
CliResult runTaveluneCli(const std::string& arguments);
/// The same for another build of the program.
CliResult runCliProgram(const std::string& program, const std::string& arguments);

/// Peak resident size of the largest child process so far, in KB.
long childPeakKilobytes();

/// Quotes a text for the shell.
std::string shellQuote(const std::string& text);

}  // namespace tavelune::test
