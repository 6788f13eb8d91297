// Chunks handed out through an atomic counter, so uneven threads balance themselves.
#include "engine/parallel.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace tavelune {
namespace {

// Below this much work per band, starting a thread costs more than it saves.
constexpr size_t kMinimumBandCost = size_t(1) << 16;
constexpr int kMaximumBands = 16;

}  // namespace

int defaultThreadCount()
{
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : int(std::min(n, 64u));
}

void parallelChunks(size_t count, size_t chunkSize, int threadCount,
                    const std::function<void(size_t, size_t)>& work,
                    const std::function<void(size_t)>& progress)
{
    if (count == 0) {
        if (progress)
            progress(0);
        return;
    }
    chunkSize = std::max<size_t>(chunkSize, 1);
    size_t chunks = (count + chunkSize - 1) / chunkSize;
    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    auto runChunks = [&](bool reportProgress) {
        for (;;) {
            size_t chunk = next.fetch_add(1, std::memory_order_relaxed);
            if (chunk >= chunks)
                return;
            size_t begin = chunk * chunkSize;
            size_t end = std::min(count, begin + chunkSize);
            work(begin, end);
            size_t finished =
                done.fetch_add(end - begin, std::memory_order_acq_rel) + (end - begin);
            if (reportProgress && progress)
                progress(finished);
        }
    };

    size_t helpers = size_t(std::max(threadCount, 1) - 1);
    helpers = std::min(helpers, chunks - 1);
    std::vector<std::thread> threads;
    try {
        threads.reserve(helpers);
    } catch (const std::bad_alloc&) {
        helpers = 0;  // the calling thread does it all
    }
    for (size_t i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back(runChunks, false);
        } catch (const std::system_error&) {
            break;  // the threads already started and this one share the work
        }
    }
    runChunks(true);
    for (std::thread& t : threads) t.join();
    if (progress)
        progress(count);
}

void forEachRowBand(int rows, size_t costPerRow, const std::function<void(int, int)>& work)
{
    if (rows <= 0)
        return;
    const size_t total = size_t(rows) * std::max<size_t>(costPerRow, 1);
    size_t bands = size_t(std::min(defaultThreadCount(), kMaximumBands));
    bands = std::min({bands, size_t(rows), std::max<size_t>(total / kMinimumBandCost, 1)});
    if (bands == 1) {
        work(0, rows);
        return;
    }
    const size_t bandRows = (size_t(rows) + bands - 1) / bands;
    parallelChunks(size_t(rows), bandRows, int(bands),
                   [&](size_t begin, size_t end) { work(int(begin), int(end)); });
}

}  // namespace tavelune
