// The running account of a batch: progress over the whole run and the counts for the summary.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "job/batch_conversion.h"

namespace tavelune {

/// Fed with the run's events in the order they arrive (any file order, files overlapping).
class BatchTally {
public:
    explicit BatchTally(size_t fileCount);

    void fileStarted(size_t index);
    /// percent of one file, 0..100; a value below what the file already reached is ignored.
    void fileProgress(size_t index, int percent);
    void fileFinished(size_t index, const BatchFileResult& result);

    /// Whole run 0..100: every file weighs the same, finished files count in full.
    int overallPercent() const;
    /// The file started last, or -1 before any; its own progress 0..100.
    long currentFile() const { return m_current; }
    int currentPercent() const;

    size_t fileCount() const { return m_percent.size(); }
    size_t finishedCount() const { return m_finished; }
    size_t converted() const { return m_converted; }
    size_t skipped() const { return m_skipped; }
    size_t failed() const { return m_failed; }
    /// Files the run never reached (a cancel, or a run that ended early).
    size_t notProcessed() const { return fileCount() - m_finished; }
    /// Failed files in list order with their reasons.
    std::vector<std::pair<size_t, Failure<BatchError>>> failures() const;

private:
    std::vector<int> m_percent;
    std::vector<BatchFileStatus> m_status;
    std::vector<Failure<BatchError>> m_reason;
    long long m_sum = 0;
    long m_current = -1;
    size_t m_finished = 0;
    size_t m_converted = 0;
    size_t m_skipped = 0;
    size_t m_failed = 0;
};

/// Indices of the files whose output already exists (the run asks once about all of them).
std::vector<size_t> existingBatchOutputs(const std::vector<std::string>& files,
                                         const BatchSettings& settings);

}  // namespace tavelune
