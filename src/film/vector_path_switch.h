// A vector path chosen when the program starts from what the CPU has, which tests and
// benchmarks can turn off to compare it with the plainer path.
#pragma once

#include <atomic>

namespace tavelune {

class VectorPathSwitch {
public:
    explicit VectorPathSwitch(bool cpuHasIt) : m_available(cpuHasIt), m_enabled(cpuHasIt) {}

    bool available() const { return m_available; }
    bool enabled() const { return m_enabled.load(std::memory_order_relaxed); }
    /// Turning it on where the CPU lacks it leaves it off.
    void setEnabled(bool enabled)
    {
        m_enabled.store(enabled && m_available, std::memory_order_relaxed);
    }

private:
    const bool m_available;
    std::atomic<bool> m_enabled;
};

}  // namespace tavelune
