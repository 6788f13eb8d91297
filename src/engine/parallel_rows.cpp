// Row bands over std::thread, falling back to the calling thread.
#include "engine/parallel_rows.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace tavelune {
namespace {

// Below this much work per band, starting a thread costs more than it saves.
constexpr size_t kMinimumBandCost = size_t(1) << 16;
constexpr unsigned kMaximumBands = 16;

}  // namespace

void forEachRowBand(int rows, size_t costPerRow, const std::function<void(int, int)>& work)
{
    if (rows <= 0)
        return;
    const size_t total = size_t(rows) * std::max<size_t>(costPerRow, 1);
    size_t bands = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, kMaximumBands);
    bands = std::min({bands, size_t(rows), std::max<size_t>(total / kMinimumBandCost, 1)});
    if (bands == 1) {
        work(0, rows);
        return;
    }
    std::vector<std::thread> threads;
    try {
        threads.reserve(bands - 1);
    } catch (const std::bad_alloc&) {
        work(0, rows);
        return;
    }
    auto bandStart = [&](size_t band) { return int(size_t(rows) * band / bands); };
    for (size_t band = 0; band + 1 < bands; ++band) {
        int begin = bandStart(band);
        int end = bandStart(band + 1);
        try {
            threads.emplace_back(work, begin, end);
        } catch (const std::system_error&) {
            work(begin, end);
        }
    }
    work(bandStart(bands - 1), rows);
    for (std::thread& thread : threads)
        thread.join();
}

}  // namespace tavelune
