// Reading the sheet's pictures ahead on all cores while they are drawn one by one, in order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "indexprint/sheet_picture_reader.h"

namespace tavelune {

/// Hands out the pictures 0..count-1 in order while up to threadCount of them are read at
/// once: threadCount - 1 workers, and the caller itself whenever the picture it waits for is
/// not ready and another may start. At most threadCount + 1 pictures are held at a time (read,
/// being read, or handed out), so memory stays bounded however long the list.
class SheetPicturePrefetch {
public:
    /// Reads picture index into out; must not throw.
    using Reader = std::function<void(size_t index, SheetPicture& out)>;

    /// stop (may be null) is polled: once it is true no further read starts.
    SheetPicturePrefetch(size_t count, int threadCount, Reader reader,
                         const std::atomic<bool>* stop);
    /// Waits for the reads under way; pictures not yet handed out are dropped.
    ~SheetPicturePrefetch();
    SheetPicturePrefetch(const SheetPicturePrefetch&) = delete;
    SheetPicturePrefetch& operator=(const SheetPicturePrefetch&) = delete;

    /// The next picture, valid until the following call; null once all were handed out or
    /// when stop is true (checked first, on every call).
    SheetPicture* next();

private:
    bool stopRequested() const;
    bool mayStart() const;
    /// Reads the next unstarted picture; called and returns with m_mutex held by lock.
    void readOne(std::unique_lock<std::mutex>& lock);
    void work();

    const size_t m_count;
    const size_t m_window;
    const Reader m_reader;
    const std::atomic<bool>* const m_stop;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::optional<SheetPicture>> m_done;  // by index; empty until read
    size_t m_started = 0;                             // pictures whose read has begun
    size_t m_released = 0;                            // pictures handed out and dropped again
    size_t m_handedOut = 0;
    std::optional<SheetPicture> m_current;
    bool m_quit = false;
    std::vector<std::thread> m_workers;
};

}  // namespace tavelune
