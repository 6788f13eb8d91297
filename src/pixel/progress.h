// Progress of long work: a position in points that workers move and a front end watches.
#pragma once

#include <atomic>
#include <functional>

namespace tavelune {

/// Thread-safe progress position (0..100 for a job). The listener, if set before the work
/// starts, is called on the worker thread after every change.
class Progress {
public:
    using Listener = std::function<void(int position)>;

    Progress() = default;
    explicit Progress(Listener listener) : m_listener(std::move(listener)) {}
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    int position() const { return m_position.load(std::memory_order_relaxed); }

    void advance(int points)
    {
        int now = m_position.fetch_add(points, std::memory_order_relaxed) + points;
        if (m_listener)
            m_listener(now);
    }

    void set(int position)
    {
        m_position.store(position, std::memory_order_relaxed);
        if (m_listener)
            m_listener(position);
    }

private:
    std::atomic<int> m_position{0};
    Listener m_listener;
};

}  // namespace tavelune
