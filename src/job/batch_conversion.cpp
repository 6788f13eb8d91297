// The batch run over worker threads.
#include "job/batch_conversion.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/safe_write.h"

namespace tavelune {
namespace {

Failure<BatchError> failureReason(const FileConversionResult& converted)
{
    switch (converted.outcome) {
    case FileConversionOutcome::ConversionFailed:
        return {BatchError::FilmFailed, {}};
    case FileConversionOutcome::ReadFailed:
    case FileConversionOutcome::WriteFailed:
    case FileConversionOutcome::StepFailed:
        if (converted.failure.code == ImageError::FilmFailed && converted.failure.detail.empty())
            return {BatchError::FilmFailed, {}};
        return {BatchError::PictureFailed, imageErrorReason(converted.failure)};
    case FileConversionOutcome::Converted: break;
    }
    return {};
}

namespace fs = std::filesystem;

// The input's folder as it is kept below the output folder ("" or ending in '/'); none for a
// folder above the current one, which would lead out of the output folder.
std::optional<std::string> keptFolder(const std::string& input)
{
    fs::path folder = fs::path(input).parent_path().lexically_normal();
    if (folder.is_absolute())
        folder = folder.relative_path();
    if (!folder.empty() && *folder.begin() == "..")
        return std::nullopt;
    std::string text = folder.generic_string();
    if (text.empty() || text == ".")
        return std::string();
    if (text.back() != '/')
        text += '/';
    return text;
}

// For each base name in a folder, the readable picture whose name sorts first: it alone gets
// the name's output when folders are kept. Read once per folder.
class FolderOwners {
public:
    // The picture that owns input's output name, or empty when input does.
    std::string ownerOf(const std::string& input)
    {
        const PathParts parts = splitPath(input);
        auto [it, fresh] = m_folders.try_emplace(parts.folder);
        if (fresh)
            it->second = readFolder(parts.folder);
        const std::string base = splitFileName(parts.fileName).baseName;
        auto owner = it->second.find(base);
        if (owner == it->second.end() || owner->second == parts.fileName)
            return {};
        // Not in the folder (it cannot be read): nothing of the folder is taken from anyone.
        std::error_code error;
        if (!fs::is_regular_file(input, error))
            return {};
        return parts.folder + owner->second;
    }

private:
    static std::map<std::string, std::string> readFolder(const std::string& folder)
    {
        std::map<std::string, std::string> owners;
        std::error_code error;
        fs::directory_iterator it(folder.empty() ? "." : folder, error);
        for (; !error && it != fs::directory_iterator(); it.increment(error)) {
            const std::string name = it->path().filename().string();
            std::error_code statError;
            const std::optional<ImageFormat> format = formatOfPath(name);
            if (!format || !formatRow(*format).reads || !it->is_regular_file(statError))
                continue;
            auto [owner, fresh] = owners.emplace(splitFileName(name).baseName, name);
            if (!fresh && name < owner->second)
                owner->second = name;
        }
        return owners;
    }

    std::map<std::string, std::map<std::string, std::string>> m_folders;
};

enum class OutputState { Missing, Finished, NotFinished };

// Our outputs appear complete or not at all (safe write), so an existing regular file with
// content is a finished one.
OutputState outputState(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? OutputState::Missing : OutputState::NotFinished;
    return S_ISREG(info.st_mode) && info.st_size > 0 ? OutputState::Finished
                                                      : OutputState::NotFinished;
}

bool isLink(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

void convertOne(BatchFileResult& result, const FileConversionSettings& conversion,
                const std::function<void(int)>& progress)
{
    FileConversionResult converted =
        convertPictureFile(result.input, result.output, conversion, progress);
    result.notices = std::move(converted.notices);
    result.status = converted.outcome == FileConversionOutcome::Converted
                        ? BatchFileStatus::Converted
                        : BatchFileStatus::Failed;
    result.reason = failureReason(converted);
}

}  // namespace

std::span<const ImageFormat> batchTypes()
{
    static const std::vector<ImageFormat> types = [] {
        std::vector<const FormatRow*> written;
        for (const FormatRow& row : formatTable())
            if (row.writes)
                written.push_back(&row);
        std::stable_sort(written.begin(), written.end(), [](const FormatRow* a, const FormatRow* b) {
            return a->batchTextId < b->batchTextId;
        });
        std::vector<ImageFormat> formats;
        for (const FormatRow* row : written) formats.push_back(row->format);
        return formats;
    }();
    return types;
}

std::string batchOutputPath(const std::string& input, const BatchSettings& settings)
{
    std::string folder = settings.outputFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    if (settings.keepFolders) {
        if (std::optional<std::string> kept = keptFolder(input))
            folder += *kept;
    }
    return folder + settings.prefix + splitFileName(input).baseName + "." +
           defaultExtension(settings.type);
}

std::vector<size_t> batchOutputsReplacingInputs(const std::vector<std::string>& files,
                                                const BatchSettings& settings)
{
    auto canonical = [](const std::string& path) {
        std::error_code ignored;
        std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ignored);
        return resolved.empty() ? std::filesystem::absolute(path, ignored).string()
                                : resolved.string();
    };
    std::set<std::string> inputs;
    for (const std::string& file : files)
        inputs.insert(canonical(file));
    std::vector<size_t> replacing;
    for (size_t i = 0; i < files.size(); ++i) {
        if (inputs.count(canonical(batchOutputPath(files[i], settings))))
            replacing.push_back(i);
    }
    return replacing;
}

namespace {

// Every file's output, and the failures known before any work starts (so the outcome never
// depends on which thread wins). Returns the output folders.
std::set<std::string> planOutputs(const std::vector<std::string>& files,
                                  const BatchSettings& settings,
                                  std::vector<BatchFileResult>& results)
{
    auto fail = [&](size_t i, BatchError code, std::string detail = {}) {
        results[i].status = BatchFileStatus::Failed;
        results[i].reason = {code, std::move(detail)};
    };
    std::map<std::string, size_t> firstUser;
    FolderOwners owners;
    std::set<std::string> outputFolders;
    for (size_t i = 0; i < files.size(); ++i) {
        results[i].input = files[i];
        results[i].output = batchOutputPath(files[i], settings);
        outputFolders.insert(splitPath(results[i].output).folder);
        if (settings.keepFolders) {
            if (!keptFolder(files[i])) {
                fail(i, BatchError::AboveCurrentFolder);
                results[i].output.clear();
                continue;
            }
            if (std::string owner = owners.ownerOf(files[i]); !owner.empty()) {
                fail(i, BatchError::SameOutput, owner);
                continue;
            }
        }
        auto [it, fresh] = firstUser.emplace(std::filesystem::absolute(results[i].output).string(), i);
        if (!fresh)
            fail(i, BatchError::SameOutput, files[it->second]);
    }
    for (size_t i : batchOutputsReplacingInputs(files, settings)) {
        if (results[i].status != BatchFileStatus::Failed)
            fail(i, BatchError::ReplacesListed);
    }
    return outputFolders;
}

// Runs worker on jobs threads, the calling one among them.
void runOnThreads(int jobs, const std::function<void()>& worker)
{
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            break;  // fewer workers; the calling thread still does the rest
        }
    }
    worker();
    for (std::thread& thread : threads)
        thread.join();
}

}  // namespace

std::vector<BatchFileResult> runBatch(const std::vector<std::string>& files,
                                      const BatchSettings& settings, const BatchObserver& observer,
                                      const std::atomic<bool>* cancel)
{
    std::vector<BatchFileResult> results(files.size());
    const std::set<std::string> outputFolders = planOutputs(files, settings, results);
    std::error_code ignored;
    // One read per folder instead of one per file: the folder may hold a million outputs.
    std::map<std::string, std::set<std::string>> temporaries;
    for (const std::string& folder : outputFolders) {
        if (!folder.empty())
            std::filesystem::create_directories(folder, ignored);
        temporaries.emplace(folder, namesWithTemporaries(folder));
    }

    // Asked to overwrite, the user also means outputs they once write-protected.
    FileConversionSettings conversion = settings.conversion;
    conversion.replaceWriteProtected = settings.overwrite;

    std::mutex observerMutex;
    auto notify = [&](auto&& call) {
        std::lock_guard lock(observerMutex);
        call();
    };
    std::atomic<size_t> next{0};
    auto worker = [&]() {
        for (size_t i = next++; i < files.size(); i = next++) {
            BatchFileResult& result = results[i];
            if (result.status == BatchFileStatus::Failed) {
                notify([&] { if (observer.finished) observer.finished(i, result); });
                continue;
            }
            if (cancel && cancel->load())
                continue;
            notify([&] { if (observer.started) observer.started(i, result.input); });
            // A run killed before may have left its temporary here.
            const PathParts place = splitPath(result.output);
            const auto known = temporaries.find(place.folder);
            if (known == temporaries.end() || known->second.count(place.fileName) ||
                isLink(result.output))
                removeStaleTemporaries(result.output);
            const OutputState state =
                settings.overwrite ? OutputState::Missing : outputState(result.output);
            if (state == OutputState::Finished) {
                result.status = BatchFileStatus::Skipped;
                result.reason = {BatchError::OutputExists, {}};
            } else if (state == OutputState::NotFinished) {
                result.status = BatchFileStatus::Failed;
                result.reason = {BatchError::OutputNotFinished, result.output};
            } else {
                convertOne(result, conversion, [&](int percent) {
                    notify([&] { if (observer.fileProgress) observer.fileProgress(i, percent); });
                });
            }
            notify([&] { if (observer.finished) observer.finished(i, result); });
        }
    };

    int jobs = settings.jobs > 0 ? settings.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    jobs = int(std::min<size_t>(size_t(jobs), std::max<size_t>(files.size(), 1)));
    runOnThreads(jobs, worker);
    return results;
}

}  // namespace tavelune
