// Reading ahead for the sheet: order, the bound on pictures held, the stop flag, threads.
#include "indexprint/sheet_picture_prefetch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace tavelune {
namespace {

using namespace std::chrono_literals;

// A picture that tells which item it was read for: width = index + 1.
void markAsRead(size_t index, SheetPicture& out)
{
    out.opened = index % 3 != 1;
    out.picture.create(int(index) + 1, 1, 72.0f);
    out.boxes.push_back({ImageError::ReadFailed, std::to_string(index)});
}

TEST(SheetPicturePrefetch, HandsOutInOrderWhateverTheReadsTake)
{
    for (int threads : {1, 2, 3, 8}) {
        const size_t count = 23;
        SheetPicturePrefetch prefetch(
            count, threads,
            [](size_t index, SheetPicture& out) {
                // Early items slow, later ones fast, a few instant: finishing order is scrambled.
                std::this_thread::sleep_for(std::chrono::milliseconds((index * 7) % 5 * 3));
                markAsRead(index, out);
            },
            nullptr);
        for (size_t i = 0; i < count; ++i) {
            SheetPicture* picture = prefetch.next();
            ASSERT_NE(picture, nullptr) << threads << " threads, item " << i;
            EXPECT_EQ(picture->picture.width(), int(i) + 1) << threads << " threads";
            EXPECT_EQ(picture->opened, i % 3 != 1);
            ASSERT_EQ(picture->boxes.size(), 1u);
            EXPECT_EQ(picture->boxes[0].detail, std::to_string(i));
        }
        EXPECT_EQ(prefetch.next(), nullptr);
        EXPECT_EQ(prefetch.next(), nullptr);
    }
    SheetPicturePrefetch none(0, 4, markAsRead, nullptr);
    EXPECT_EQ(none.next(), nullptr);
}

TEST(SheetPicturePrefetch, ReadsOnSeveralThreadsButHoldsAtMostThreadsPlusOne)
{
    for (int threads : {1, 2, 4}) {
        const size_t count = 30;
        const size_t window = size_t(threads) + 1;
        std::atomic<size_t> calls{0};  // next() calls begun; a picture is dropped only inside one
        std::atomic<int> running{0};
        std::atomic<int> mostRunning{0};
        std::atomic<size_t> furthestAhead{0};
        std::atomic<bool> overBound{false};
        SheetPicturePrefetch prefetch(
            count, threads,
            [&](size_t index, SheetPicture& out) {
                const size_t begun = calls.load();
                const size_t dropped = begun > 0 ? begun - 1 : 0;
                if (index >= dropped + window)
                    overBound = true;
                furthestAhead = std::max(furthestAhead.load(), index - std::min(index, begun));
                const int now = ++running;
                mostRunning = std::max(mostRunning.load(), now);
                std::this_thread::sleep_for(4ms);
                --running;
                markAsRead(index, out);
            },
            nullptr);
        for (size_t i = 0; i < count; ++i) {
            ++calls;
            ASSERT_NE(prefetch.next(), nullptr);
            std::this_thread::sleep_for(6ms);  // drawing is slower than reading: reads run ahead
        }
        EXPECT_FALSE(overBound) << threads << " threads";
        EXPECT_LE(mostRunning, threads);
        if (threads > 1) {
            EXPECT_GE(furthestAhead, 1u) << threads << " threads";
            // Two workers can only run side by side when there are two.
            if (threads > 2) {
                EXPECT_GE(mostRunning, 2) << threads << " threads";
            }
        } else {
            EXPECT_EQ(furthestAhead, 0u) << "one thread reads only what is asked for";
        }
    }
}

TEST(SheetPicturePrefetch, StopStartsNoFurtherReadAndEndsTheHandOut)
{
    for (int threads : {1, 2, 8}) {
        const size_t count = 40;
        std::atomic<bool> stop{false};
        std::atomic<size_t> started{0};
        size_t taken = 0;
        {
            SheetPicturePrefetch prefetch(
                count, threads,
                [&](size_t index, SheetPicture& out) {
                    ++started;
                    std::this_thread::sleep_for(2ms);
                    markAsRead(index, out);
                },
                &stop);
            for (; taken < 5; ++taken) ASSERT_NE(prefetch.next(), nullptr);
            stop = true;
            EXPECT_EQ(prefetch.next(), nullptr);
            EXPECT_EQ(prefetch.next(), nullptr);
            std::this_thread::sleep_for(20ms);
        }
        // Only reads admitted before the flag: the one in hand and threads more at most.
        EXPECT_LE(started, taken + size_t(threads)) << threads << " threads";
    }

    // Raised before the first call: nothing is handed out.
    std::atomic<bool> stop{true};
    std::atomic<size_t> started{0};
    {
        SheetPicturePrefetch prefetch(
            10, 4,
            [&](size_t index, SheetPicture& out) {
                ++started;
                markAsRead(index, out);
            },
            &stop);
        EXPECT_EQ(prefetch.next(), nullptr);
    }
    EXPECT_EQ(started, 0u);
}

}  // namespace
}  // namespace tavelune
