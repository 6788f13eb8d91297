// Chunks handed out through an atomic counter, so uneven threads balance themselves.
#include "film/parallel.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace tavelune {

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
            size_t finished = done.fetch_add(end - begin, std::memory_order_acq_rel) + (end - begin);
            if (reportProgress && progress)
                progress(finished);
        }
    };

    size_t helpers = size_t(std::max(threadCount, 1) - 1);
    helpers = std::min(helpers, chunks - 1);
    std::vector<std::thread> threads;
    threads.reserve(helpers);
    for (size_t i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back(runChunks, false);
        } catch (const std::system_error&) {
            break;  // the threads already started and this one share the work
        }
    }
    runChunks(true);
    for (std::thread& t : threads)
        t.join();
    if (progress)
        progress(count);
}

}  // namespace tavelune
