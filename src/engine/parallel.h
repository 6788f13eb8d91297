// Splitting independent work over a few threads, the calling thread taking part.
#pragma once

#include <cstddef>
#include <functional>

namespace tavelune {

/// hardware_concurrency, at least 1.
int defaultThreadCount();

/// Runs work(begin, end) over [0, count) in chunks of chunkSize on up to threadCount threads,
/// the calling thread included. progress (optional) runs on the calling thread only, after
/// each chunk it finishes and once at the end, with the number of items done so far. Falls
/// back to fewer threads when one cannot be started. work must not throw.
void parallelChunks(size_t count, size_t chunkSize, int threadCount,
                    const std::function<void(size_t begin, size_t end)>& work,
                    const std::function<void(size_t done)>& progress = {});

/// Runs work(begin, end) over the rows [0, rows) in contiguous bands, one per core when the
/// job is large enough (rows x costPerRow units of roughly one pixel each). A band whose
/// thread cannot be started runs on the calling thread, so the result never depends on
/// threads. work must not throw.
void forEachRowBand(int rows, size_t costPerRow,
                    const std::function<void(int begin, int end)>& work);

}  // namespace tavelune
