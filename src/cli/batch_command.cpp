// `tavelune-cli batch`: many pictures with one set of settings into an output folder.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/convert_options.h"
#include "job/batch_conversion.h"

namespace tavelune::cli {
namespace {

std::atomic<bool> g_cancel{false};

extern "C" void onInterrupt(int) { g_cancel = true; }

void printHelp()
{
    std::printf(
        "Usage: tavelune-cli batch [options] FILE... -o DIR\n\n"
        "Converts every FILE with the same settings and writes DIR/PREFIX + name + the type's\n"
        "extension. A file that fails is reported and the run goes on; existing outputs are\n"
        "skipped unless --overwrite is given. JPEG outputs keep the source's EXIF data\n"
        "(--no-exif drops it). Ctrl-C stops after the files in progress.\n"
        "Exit status: 0 all converted or skipped, 1 some failed, 2 bad command line,\n"
        "130 cancelled.\n\n"
        "Batch:\n"
        "  -o, --output DIR       output folder (created when missing)\n"
        "  --prefix TEXT          file name prefix (default \"QX_\")\n"
        "  --type T               jpeg (default), tiff or bmp\n"
        "  --jobs N               files converted at once (default: the number of cores)\n"
        "  --overwrite            replace existing output files\n"
        "  --fit N                reduce pictures to at most N pixels on the longer side\n"
        "                         (the desktop program works at 800); default: full size\n\n%s",
        convertOptionsHelp());
}

const char* statusWord(BatchFileStatus status)
{
    switch (status) {
    case BatchFileStatus::Converted: return "converted";
    case BatchFileStatus::Skipped: return "skipped";
    case BatchFileStatus::Failed: return "failed";
    case BatchFileStatus::NotProcessed: break;
    }
    return "not processed";
}

int runBatchCommand(const std::vector<std::string>& args)
{
    BatchSettings batch;
    ConversionCommandLine commandLine;
    try {
        commandLine = readConversionCommandLine(args, batch.conversion, [&](ArgumentReader& reader) {
            const std::string& name = reader.name();
            if (name == "-o" || name == "--output") {
                batch.outputFolder = reader.value();
            } else if (name == "--prefix") {
                batch.prefix = reader.value();
                if (batch.prefix.find('/') != std::string::npos)
                    throw UsageError("--prefix must not contain '/'");
            } else if (name == "--type") {
                std::string type = reader.value();
                if (type == "jpeg" || type == "jpg")
                    batch.type = BatchType::Jpeg;
                else if (type == "tiff" || type == "tif")
                    batch.type = BatchType::Tiff;
                else if (type == "bmp")
                    batch.type = BatchType::Bmp;
                else
                    throw UsageError("--type must be jpeg, tiff or bmp, not '" + type + "'");
            } else if (name == "--jobs") {
                batch.jobs = reader.intValue(1, 256);
            } else if (name == "--overwrite") {
                reader.noValue();
                batch.overwrite = true;
            } else {
                return false;
            }
            return true;
        });
        if (commandLine.help) {
            printHelp();
            return 0;
        }
        if (commandLine.files.empty())
            throw UsageError("no files to convert (see tavelune-cli batch --help)");
        if (batch.outputFolder.empty())
            throw UsageError("the output folder is missing: give -o DIR");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tavelune-cli batch: %s\n", error.what());
        return 2;
    }
    if (!saveRequestedSettings(commandLine, batch.conversion))
        return 1;

    // Reasons are listed per file at the end; the engine's boxes would interleave.
    MessageSink previous = setMessageSink([](const std::string&, const std::string&, MessageIcon) {});
    std::signal(SIGINT, onInterrupt);

    const size_t count = commandLine.files.size();
    std::vector<int> percent(count, 0);
    int total = 0;
    size_t done = 0;
    TerminalProgress progress("Batch");
    auto redraw = [&] { progress.update(int(total / int(count))); };
    BatchObserver observer;
    observer.fileProgress = [&](size_t index, int value) {
        total += value - percent[index];
        percent[index] = value;
        redraw();
    };
    observer.finished = [&](size_t index, const BatchFileResult& result) {
        total += 100 - percent[index];
        percent[index] = 100;
        ++done;
        if (result.status == BatchFileStatus::Failed) {
            progress.finish();
            std::fprintf(stderr, "tavelune-cli: %s: %s\n", result.input.c_str(), result.reason.c_str());
        }
        redraw();
    };
    std::vector<BatchFileResult> results = runBatch(commandLine.files, batch, observer, &g_cancel);
    progress.finish();
    std::signal(SIGINT, SIG_DFL);
    setMessageSink(std::move(previous));

    size_t converted = 0, skipped = 0, failed = 0, left = 0;
    for (const BatchFileResult& result : results) {
        switch (result.status) {
        case BatchFileStatus::Converted: ++converted; break;
        case BatchFileStatus::Skipped: ++skipped; break;
        case BatchFileStatus::Failed: ++failed; break;
        case BatchFileStatus::NotProcessed: ++left; break;
        }
        std::printf("%-13s %s -> %s%s%s\n", statusWord(result.status), result.input.c_str(),
                    result.output.c_str(), result.reason.empty() ? "" : ": ",
                    result.reason.c_str());
    }
    std::printf("%zu converted, %zu skipped, %zu failed", converted, skipped, failed);
    if (left > 0)
        std::printf(", %zu not processed (cancelled)", left);
    std::printf("\n");
    if (left > 0)
        return 130;
    return failed > 0 ? 1 : 0;
}

const CommandRegistrar registrar("batch", "convert many pictures with one set of settings",
                                 runBatchCommand);

}  // namespace
}  // namespace tavelune::cli
