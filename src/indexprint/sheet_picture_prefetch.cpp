// The look-ahead reader of the index sheet: a few threads, one lock, pictures kept in order.
#include "indexprint/sheet_picture_prefetch.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace tavelune {
namespace {

// The flag cannot wake a waiting thread, so the caller's waits are cut short to look at it.
constexpr std::chrono::milliseconds kStopPoll{5};

}  // namespace

SheetPicturePrefetch::SheetPicturePrefetch(size_t count, int threadCount, Reader reader,
                                           const std::atomic<bool>* stop)
    : m_count(count),
      m_window(size_t(std::max(threadCount, 1)) + 1),
      m_reader(std::move(reader)),
      m_stop(stop),
      m_done(count)
{
    const size_t workers = std::min(size_t(std::max(threadCount, 1)) - 1, count);
    try {
        m_workers.reserve(workers);
        for (size_t i = 0; i < workers; ++i) m_workers.emplace_back([this] { work(); });
    } catch (const std::exception&) {
        // The caller reads what the missing workers would have.
    }
}

SheetPicturePrefetch::~SheetPicturePrefetch()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers) worker.join();
}

bool SheetPicturePrefetch::stopRequested() const
{
    return m_stop && m_stop->load(std::memory_order_relaxed);
}

bool SheetPicturePrefetch::mayStart() const
{
    return !m_quit && m_started < m_count && m_started < m_released + m_window && !stopRequested();
}

void SheetPicturePrefetch::readOne(std::unique_lock<std::mutex>& lock)
{
    const size_t index = m_started++;
    lock.unlock();
    // Filled outside the lock and moved in, so storing it cannot fail and leave a hole that
    // next() would wait for.
    SheetPicture picture;
    try {
        m_reader(index, picture);
    } catch (...) {
        picture = SheetPicture{};
    }
    lock.lock();
    m_done[index] = std::move(picture);
    m_changed.notify_all();
}

void SheetPicturePrefetch::work()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit && !stopRequested() && m_started < m_count) {
        if (mayStart())
            readOne(lock);
        else
            m_changed.wait(lock);  // every change that lets a read start is notified
    }
}

SheetPicture* SheetPicturePrefetch::next()
{
    std::optional<SheetPicture> previous;
    std::unique_lock lock(m_mutex);
    if (m_current) {
        previous = std::move(m_current);
        m_current.reset();
        ++m_released;
        m_changed.notify_all();
    }
    while (true) {
        if (stopRequested()) {
            m_quit = true;
            m_changed.notify_all();
            break;
        }
        if (m_handedOut >= m_count)
            break;
        if (m_done[m_handedOut]) {
            m_current = std::move(m_done[m_handedOut]);
            m_done[m_handedOut++].reset();
            break;
        }
        if (mayStart())
            readOne(lock);
        else
            m_changed.wait_for(lock, kStopPoll);
    }
    lock.unlock();
    previous.reset();  // freed outside the lock
    return m_current ? &*m_current : nullptr;
}

}  // namespace tavelune
