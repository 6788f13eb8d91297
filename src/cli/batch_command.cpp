// `tavelune-cli batch`: many pictures with one set of settings into an output folder.
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/batch_reason.h"
#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/convert_options.h"
#include "cli/json_text.h"
#include "engine/format_table.h"
#include "job/batch_conversion.h"
#include "job/batch_list.h"

namespace tavelune::cli {
namespace {

std::atomic<bool> g_cancel{false};

extern "C" void onInterrupt(int) { g_cancel = true; }

std::string lower(std::string text)
{
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "jpeg, tiff, bmp, png or webp": the batch types by their format names.
std::string batchTypeList(bool markDefault = false)
{
    std::string list;
    const std::span<const ImageFormat> types = batchTypes();
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (i > 0)
            list += i + 1 == types.size() ? " or " : ", ";
        list += lower(formatRow(types[i]).name);
        if (i == 0 && markDefault)
            list += " (default)";
    }
    return list;
}

// A type by any name or extension of its format ("jpg", "TIFF").
ImageFormat batchTypeNamed(const std::string& name)
{
    if (const FormatRow* row = findFormat(name))
        for (ImageFormat type : batchTypes())
            if (type == row->format)
                return type;
    throw UsageError("--type must be " + batchTypeList() + ", not '" + name + "'");
}

void printHelp()
{
    const std::string types = batchTypeList(true);
    std::printf(
        "Usage: tavelune-cli batch [options] FILE... -o DIR\n"
        "       tavelune-cli batch [options] --files-from LIST -o DIR\n\n"
        "Converts every FILE with the same settings and writes DIR/PREFIX + name + the type's\n"
        "extension. A file that fails is reported and the run goes on; existing outputs are\n"
        "skipped unless --overwrite is given. JPEG, TIFF and WebP outputs keep the source's\n"
        "EXIF data (--no-exif drops it). Ctrl-C stops after the files in progress.\n"
        "Exit status: 0 all converted or skipped, 1 some failed, 2 bad command line,\n"
        "130 cancelled.\n\n"
        "Batch:\n"
        "  -o, --output DIR       output folder (created when missing)\n"
        "  --files-from LIST      also convert the files named in LIST, one per line\n"
        "                         (- reads the list from standard input)\n"
        "  -0, --null             the list's names end with a NUL byte (find -print0)\n"
        "  --keep-folders         write each output into DIR/<the input's folder>/, so that\n"
        "                         pictures of different folders never share an output; of\n"
        "                         pictures in one folder differing only in extension, the\n"
        "                         name sorting first is converted and the others fail\n"
        "  --skip-existing        skip files whose output is already there (the default;\n"
        "                         states it for scripts that rerun an interrupted batch)\n"
        "  --json                 one JSON object per finished file on standard output:\n"
        "                         input, output, status, reason, milliseconds; the summary\n"
        "                         goes to standard error\n"
        "  --prefix TEXT          file name prefix (default \"QX_\")\n"
        "  --type T               %s\n"
        "  --jobs N               files converted at once (default: the number of cores)\n"
        "  --overwrite            replace existing output files\n"
        "  --fit N                reduce pictures to at most N pixels on the longer side\n"
        "                         (the desktop program works at 800); default: full size\n\n%s",
        types.c_str(), convertOptionsHelp());
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

std::string jsonLine(const BatchFileResult& result, long long milliseconds)
{
    return "{\"input\":" + jsonString(result.input) + ",\"output\":" + jsonString(result.output) +
           ",\"status\":" + jsonString(statusWord(result.status)) +
           ",\"reason\":" + jsonString(batchReasonText(result.reason)) +
           ",\"milliseconds\":" + std::to_string(milliseconds) + "}";
}

// A list that cannot be read: the run does not start (exit 1, not a usage error).
class ListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void readFileList(const std::string& listFile, char separator, std::vector<std::string>& files)
{
    const bool fromStdin = listFile == "-";
    std::FILE* stream = fromStdin ? stdin : std::fopen(listFile.c_str(), "rb");
    if (!stream)
        throw ListError("cannot read the list " + listFile + ": " + std::strerror(errno));
    std::string text;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(stream);
    const int error = errno;
    if (!fromStdin)
        std::fclose(stream);
    if (failed)
        throw ListError("cannot read the list " + listFile + ": " + std::strerror(error));
    FileListReading reading = splitFileList(text, separator);
    if (reading.lineWithNul > 0)
        throw ListError("line " + std::to_string(reading.lineWithNul) + " of the list " +
                        listFile + " holds a NUL byte (give -0 for a NUL-separated list)");
    files.insert(files.end(), std::make_move_iterator(reading.paths.begin()),
                 std::make_move_iterator(reading.paths.end()));
}

// Lists each file (unless json) and the summary; the exit status of the run.
int reportResults(const std::vector<BatchFileResult>& results, bool json)
{
    size_t converted = 0, skipped = 0, failed = 0, left = 0;
    for (const BatchFileResult& result : results) {
        switch (result.status) {
        case BatchFileStatus::Converted: ++converted; break;
        case BatchFileStatus::Skipped: ++skipped; break;
        case BatchFileStatus::Failed: ++failed; break;
        case BatchFileStatus::NotProcessed: ++left; break;
        }
        if (!json) {
            const std::string reason = batchReasonText(result.reason);
            std::printf("%-13s %s -> %s%s%s\n", statusWord(result.status), result.input.c_str(),
                        result.output.c_str(), reason.empty() ? "" : ": ", reason.c_str());
        }
    }
    std::FILE* summary = json ? stderr : stdout;
    std::fprintf(summary, "%zu converted, %zu skipped, %zu failed", converted, skipped, failed);
    if (left > 0)
        std::fprintf(summary, ", %zu not processed (cancelled)", left);
    std::fprintf(summary, "\n");
    if (left > 0)
        return 130;
    return failed > 0 ? 1 : 0;
}

// Runs the batch with a progress line, each failure and (json) each file said as it ends.
int runAndReport(const std::vector<std::string>& files, const BatchSettings& batch, bool json)
{
    std::signal(SIGINT, onInterrupt);

    const size_t count = files.size();
    std::vector<int> percent(count, 0);
    int total = 0;
    size_t done = 0;
    TerminalProgress progress("Batch");
    auto redraw = [&] { progress.update(int(total / int(count))); };
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> started(count);
    BatchObserver observer;
    observer.started = [&](size_t index, const std::string&) { started[index] = Clock::now(); };
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
            std::fprintf(stderr, "tavelune-cli: %s: %s\n", result.input.c_str(),
                         batchReasonText(result.reason).c_str());
        }
        if (json) {
            const long long ms =
                started[index] == Clock::time_point()
                    ? 0
                    : std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                                            started[index])
                          .count();
            // Flushed at once: a run killed later must still have said what it finished.
            std::printf("%s\n", jsonLine(result, ms).c_str());
            std::fflush(stdout);
        }
        redraw();
    };
    const std::vector<BatchFileResult> results = runBatch(files, batch, observer, &g_cancel);
    progress.finish();
    std::signal(SIGINT, SIG_DFL);
    return reportResults(results, json);
}

int runBatchCommand(const std::vector<std::string>& args)
{
    BatchSettings batch;
    ConversionCommandLine commandLine;
    std::string listFile;
    char separator = '\n';
    bool skipExisting = false;
    bool json = false;
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
                const std::string type = reader.value();
                batch.type = batchTypeNamed(type);
            } else if (name == "--jobs") {
                batch.jobs = reader.intValue(1, 256);
            } else if (name == "--overwrite") {
                reader.noValue();
                batch.overwrite = true;
            } else if (name == "--skip-existing") {
                reader.noValue();
                skipExisting = true;
            } else if (name == "--files-from") {
                listFile = reader.value();
                if (listFile.empty())
                    throw UsageError("--files-from needs a file name (or - for standard input)");
            } else if (name == "-0" || name == "--null") {
                reader.noValue();
                separator = '\0';
            } else if (name == "--keep-folders") {
                reader.noValue();
                batch.keepFolders = true;
            } else if (name == "--json") {
                reader.noValue();
                json = true;
            } else {
                return false;
            }
            return true;
        });
        if (commandLine.help) {
            printHelp();
            return 0;
        }
        if (skipExisting && batch.overwrite)
            throw UsageError("--skip-existing and --overwrite exclude each other");
        if (!listFile.empty())
            readFileList(listFile, separator, commandLine.files);
        else if (separator == '\0')
            throw UsageError("-0 applies to --files-from; no list was given");
        if (commandLine.files.empty() && listFile.empty())
            throw UsageError("no files to convert (see tavelune-cli batch --help)");
        if (batch.outputFolder.empty())
            throw UsageError("the output folder is missing: give -o DIR");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tavelune-cli batch: %s\n", error.what());
        return 2;
    } catch (const ListError& error) {
        std::fprintf(stderr, "tavelune-cli batch: %s\n", error.what());
        return 1;
    }
    if (commandLine.files.empty()) {
        // An empty share of a split list is a finished run, not a mistake.
        std::fprintf(json ? stderr : stdout, "0 converted, 0 skipped, 0 failed\n");
        return 0;
    }
    if (!saveRequestedSettings(commandLine, batch.conversion))
        return 1;

    return runAndReport(commandLine.files, batch, json);
}

const CommandRegistrar registrar("batch", "convert many pictures with one set of settings",
                                 runBatchCommand);

}  // namespace
}  // namespace tavelune::cli
