// The running account of a batch.
#include "job/batch_tally.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tavelune {

BatchTally::BatchTally(size_t fileCount)
    : m_percent(fileCount, 0),
      m_status(fileCount, BatchFileStatus::NotProcessed),
      m_reason(fileCount)
{
}

void BatchTally::fileStarted(size_t index)
{
    if (index < m_percent.size())
        m_current = long(index);
}

void BatchTally::fileProgress(size_t index, int percent)
{
    if (index >= m_percent.size() || m_status[index] != BatchFileStatus::NotProcessed)
        return;
    percent = std::clamp(percent, 0, 100);
    if (percent <= m_percent[index])
        return;
    m_sum += percent - m_percent[index];
    m_percent[index] = percent;
}

void BatchTally::fileFinished(size_t index, const BatchFileResult& result)
{
    if (index >= m_percent.size() || m_status[index] != BatchFileStatus::NotProcessed ||
        result.status == BatchFileStatus::NotProcessed)
        return;
    m_sum += 100 - m_percent[index];
    m_percent[index] = 100;
    m_status[index] = result.status;
    m_reason[index] = result.reason;
    ++m_finished;
    switch (result.status) {
        case BatchFileStatus::Converted:
            ++m_converted;
            break;
        case BatchFileStatus::Skipped:
            ++m_skipped;
            break;
        case BatchFileStatus::Failed:
            ++m_failed;
            break;
        case BatchFileStatus::NotProcessed:
            break;
    }
}

int BatchTally::overallPercent() const
{
    if (m_percent.empty())
        return 0;
    return int(m_sum / (long long)m_percent.size());
}

int BatchTally::currentPercent() const
{
    return m_current < 0 ? 0 : m_percent[size_t(m_current)];
}

std::vector<std::pair<size_t, Failure<BatchError>>> BatchTally::failures() const
{
    std::vector<std::pair<size_t, Failure<BatchError>>> list;
    for (size_t i = 0; i < m_status.size(); ++i) {
        if (m_status[i] == BatchFileStatus::Failed)
            list.emplace_back(i, m_reason[i]);
    }
    return list;
}

std::vector<size_t> existingBatchOutputs(const std::vector<std::string>& files,
                                         const BatchSettings& settings)
{
    std::vector<size_t> existing;
    for (size_t i = 0; i < files.size(); ++i) {
        std::error_code ignored;
        if (std::filesystem::exists(batchOutputPath(files[i], settings), ignored))
            existing.push_back(i);
    }
    return existing;
}

}  // namespace tavelune
