// Batch conversion: one set of settings over a list of files, written into an output folder.
#pragma once

#include <atomic>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "job/file_conversion.h"

namespace tavelune {

/// The formats the batch writes, in the order of its type list: the format table's written
/// kinds by their batch type text (FormatRow::batchTextId).
std::span<const ImageFormat> batchTypes();

struct BatchSettings {
    FileConversionSettings conversion;  // film, pages, output options, EXIF kept for JPEG, WebP
    std::string outputFolder;
    std::string prefix = "QX_";
    ImageFormat type = ImageFormat::Jpeg;  // one of batchTypes()
    bool overwrite = false;  // existing output files are skipped unless set
    // Outputs go below outputFolder in the input's own folder (an absolute one from the root
    // down), so inputs of different folders never share an output name.
    bool keepFolders = false;
    int jobs = 0;            // files converted at once; 0 = one per core
};

enum class BatchFileStatus { Converted, Skipped, Failed, NotProcessed };

/// Why a file was skipped or failed; the front ends word it in the user's language.
enum class BatchError {
    None,
    OutputExists,        // skipped: a finished output is there already
    OutputNotFinished,   // an empty file, or no regular file, has its path; detail: that path
    SameOutput,          // an earlier file (or, folders kept, the folder's owner) has the
                         // output; detail: that file
    AboveCurrentFolder,  // folders kept, and the input lies above the current folder
    ReplacesListed,      // the output would be one of the listed pictures
    FilmFailed,          // the film step found not enough memory
    PictureFailed,       // reading, converting or writing; detail: the picture road's reason
};

struct BatchFileResult {
    std::string input;
    std::string output;
    BatchFileStatus status = BatchFileStatus::NotProcessed;
    Failure<BatchError> reason;  // why a file was skipped or failed
    /// The boxes its conversion met, in order, for the front end to list with the file.
    Notices notices;
};

/// Told about the run as it goes; calls come from the worker threads, one at a time.
struct BatchObserver {
    std::function<void(size_t index, const std::string& input)> started;
    std::function<void(size_t index, int percent)> fileProgress;
    std::function<void(size_t index, const BatchFileResult& result)> finished;
};

/// The output path of one input: folder + prefix + base name + the type's extension; with
/// keepFolders the input's folder (lexically normalised) is kept between the output folder and
/// the name. It depends on the input path and the settings only, never on the rest of the list.
std::string batchOutputPath(const std::string& input, const BatchSettings& settings);

/// Indices of the files whose output would be one of the listed files themselves (an empty
/// prefix, the same folder and type); the run never converts them, so no source is replaced.
std::vector<size_t> batchOutputsReplacingInputs(const std::vector<std::string>& files,
                                                const BatchSettings& settings);

/// Converts every file; a file that fails is reported and the run goes on. Files left when
/// cancel becomes true are NotProcessed. The results are in list order and do not depend on
/// the number of jobs. The output folder is created when missing. A file whose output path
/// was already used by an earlier file of the list, or that is a listed file, fails rather
/// than overwrite it. With keepFolders, pictures of one folder that differ only in their
/// extension share a name: the one whose name sorts first owns it and the others fail, whatever
/// part of the folder a run is given, so that runs on different machines agree; an input above
/// the current folder ("../") fails. Without overwrite, an existing output that is an empty or
/// not a regular file fails: it is not a finished output, and it is not ours to replace.
std::vector<BatchFileResult> runBatch(const std::vector<std::string>& files,
                                      const BatchSettings& settings,
                                      const BatchObserver& observer = {},
                                      const std::atomic<bool>* cancel = nullptr);

}  // namespace tavelune
