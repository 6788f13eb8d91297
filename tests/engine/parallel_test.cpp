#include "engine/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace tavelune {
namespace {

TEST(Parallel, EveryItemRunsExactlyOnceAndProgressEndsAtTheCount)
{
    struct Case {
        size_t count, chunk;
        int threads;
    };
    for (const Case& c : {Case{0, 4, 3}, Case{1, 4, 3}, Case{10, 3, 1}, Case{10, 3, 8},
                          Case{1000, 7, 4}, Case{5, 0, 2}, Case{64, 64, 64}}) {
        auto hits = std::make_unique<std::atomic<int>[]>(c.count + 1);
        std::vector<size_t> reports;
        parallelChunks(
            c.count, c.chunk, c.threads,
            [&](size_t begin, size_t end) {
                ASSERT_LT(begin, end);
                ASSERT_LE(end, c.count);
                for (size_t i = begin; i < end; ++i) ++hits[i];
            },
            [&](size_t done) { reports.push_back(done); });
        for (size_t i = 0; i < c.count; ++i) ASSERT_EQ(hits[i].load(), 1) << c.count << " " << i;
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.back(), c.count);
        for (size_t i = 1; i < reports.size(); ++i) EXPECT_LE(reports[i - 1], reports[i]);
    }
}

TEST(Parallel, RowBandsCoverEveryRowOnce)
{
    for (int rows : {0, 1, 2, 3, 17, 4000}) {
        for (size_t cost : {size_t(0), size_t(1), size_t(1) << 20}) {
            std::vector<std::atomic<int>> hits(size_t(rows > 0 ? rows : 0));
            forEachRowBand(rows, cost, [&](int begin, int end) {
                for (int y = begin; y < end; ++y) ++hits[size_t(y)];
            });
            for (int y = 0; y < rows; ++y) ASSERT_EQ(hits[size_t(y)].load(), 1) << rows << " " << y;
        }
    }
}

}  // namespace
}  // namespace tavelune
