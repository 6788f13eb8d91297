// tavelune-cli: the headless front end; dispatches to the registered subcommands.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "overlay/font_face.h"

namespace tavelune::cli {
namespace {

std::vector<Command>& registry()
{
    static std::vector<Command> list;
    return list;
}

void printUsage(std::FILE* out)
{
    std::fprintf(out,
                 "Usage: tavelune-cli COMMAND [options] ...\n"
                 "       tavelune-cli --help | --version\n\n"
                 "Commands:\n");
    std::vector<Command> sorted = registry();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const Command& command : sorted)
        std::fprintf(out, "  %-10s %s\n", command.name.c_str(), command.summary.c_str());
    std::fprintf(out, "\nEvery command takes:\n%s", kMaxPixelsHelp);
    std::fprintf(out, "\n'tavelune-cli COMMAND --help' describes a command's options.\n");
}

}  // namespace

const std::vector<Command>& commands() { return registry(); }

CommandRegistrar::CommandRegistrar(std::string name, std::string summary, CommandFunction run)
{
    registry().push_back({std::move(name), std::move(summary), run});
}

}  // namespace tavelune::cli

int main(int argc, char** argv)
{
    using namespace tavelune::cli;
    tavelune::releaseFontconfigAtExit();
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        printUsage(stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("Tavelune %s\n", TAVELUNE_VERSION);
        return 0;
    }
    for (const Command& command : commands()) {
        if (command.name != first)
            continue;
        std::vector<std::string> args(argv + 2, argv + argc);
        try {
            takeMaxPixelsOption(args);
        } catch (const UsageError& error) {
            std::fprintf(stderr, "tavelune-cli %s: %s\n", first.c_str(), error.what());
            return 2;
        }
        return command.run(args);
    }
    std::fprintf(stderr, "tavelune-cli: unknown command '%s'\n\n", first.c_str());
    printUsage(stderr);
    return 2;
}
