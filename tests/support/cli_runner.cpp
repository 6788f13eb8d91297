// Running the command-line program from tests.
#include "support/cli_runner.h"

#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>

#include "support/test_support.h"

namespace tavelune::test {

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

CliResult runTaveluneCli(const std::string& arguments)
{
    return runCliProgram(TAVELUNE_CLI_PATH, arguments);
}

CliResult runCliProgram(const std::string& program, const std::string& arguments)
{
    TempDir capture;
    const std::string out = capture.file("out"), err = capture.file("err");
    const std::string command = program + " " + arguments + " >" +
                                shellQuote(out) + " 2>" + shellQuote(err) + " </dev/null";
    CliResult result;
    int status = std::system(command.c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto text = [](const std::string& path) {
        auto bytes = readFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    result.out = text(out);
    result.err = text(err);
    return result;
}

long childPeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

}  // namespace tavelune::test
