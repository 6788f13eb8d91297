// The batch run over worker threads.
#include "job/batch_conversion.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "engine/format_dispatch.h"
#include "engine/message_sink.h"
#include "engine/safe_write.h"

namespace tavelune {
namespace {

const char* extensionOf(BatchType type)
{
    switch (type) {
    case BatchType::Tiff: return "tif";
    case BatchType::Bmp: return "bmp";
    case BatchType::Jpeg: break;
    }
    return "jpg";
}

std::string failureReason(FileConversionOutcome outcome)
{
    switch (outcome) {
    case FileConversionOutcome::ConversionFailed:
        return "the film step failed (not enough memory)";
    case FileConversionOutcome::ReadFailed:
    case FileConversionOutcome::WriteFailed:
        return lastImageError().empty() ? "cannot be converted" : lastImageError();
    case FileConversionOutcome::Converted: break;
    }
    return {};
}

}  // namespace

std::string batchOutputPath(const std::string& input, const BatchSettings& settings)
{
    std::string folder = settings.outputFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + settings.prefix + splitFileName(input).baseName + "." +
           extensionOf(settings.type);
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

std::vector<BatchFileResult> runBatch(const std::vector<std::string>& files,
                                      const BatchSettings& settings, const BatchObserver& observer,
                                      const std::atomic<bool>* cancel)
{
    std::vector<BatchFileResult> results(files.size());
    // Decided before any work starts, so the outcome never depends on which thread wins.
    std::map<std::string, size_t> firstUser;
    for (size_t i = 0; i < files.size(); ++i) {
        results[i].input = files[i];
        results[i].output = batchOutputPath(files[i], settings);
        auto [it, fresh] = firstUser.emplace(std::filesystem::absolute(results[i].output).string(), i);
        if (!fresh) {
            results[i].status = BatchFileStatus::Failed;
            results[i].reason = "same output file as " + files[it->second];
        }
    }
    for (size_t i : batchOutputsReplacingInputs(files, settings)) {
        if (results[i].status != BatchFileStatus::Failed) {
            results[i].status = BatchFileStatus::Failed;
            results[i].reason = "the output would replace a picture of the list";
        }
    }
    std::error_code ignored;
    if (!settings.outputFolder.empty())
        std::filesystem::create_directories(settings.outputFolder, ignored);

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
            if (!settings.overwrite && std::filesystem::exists(result.output, ignored)) {
                result.status = BatchFileStatus::Skipped;
                result.reason = "output exists (use --overwrite)";
            } else {
                // A run killed before may have left its temporary here.
                removeStaleTemporaries(result.output);
                FileConversionOutcome outcome = convertPictureFile(
                    result.input, result.output, conversion, [&](int percent) {
                        notify([&] { if (observer.fileProgress) observer.fileProgress(i, percent); });
                    });
                result.status = outcome == FileConversionOutcome::Converted
                                    ? BatchFileStatus::Converted
                                    : BatchFileStatus::Failed;
                result.reason = failureReason(outcome);
            }
            notify([&] { if (observer.finished) observer.finished(i, result); });
        }
    };

    int jobs = settings.jobs > 0 ? settings.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    jobs = int(std::min<size_t>(size_t(jobs), std::max<size_t>(files.size(), 1)));
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
    return results;
}

}  // namespace tavelune
