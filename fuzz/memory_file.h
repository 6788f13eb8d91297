// Readers that take a path or a stream get the fuzzer's bytes as a file that lives in memory
// only.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class MemoryFile {
public:
    MemoryFile(const uint8_t* data, size_t size)
        : m_fd(::memfd_create("fuzz-input", MFD_CLOEXEC))
    {
        size_t done = 0;
        while (m_fd >= 0 && done < size) {
            const ssize_t wrote = ::write(m_fd, data + done, size - done);
            if (wrote <= 0)
                break;
            done += size_t(wrote);
        }
        if (m_fd >= 0)
            m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    ~MemoryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    /// Empty when no memory file could be made.
    const std::string& path() const { return m_path; }

private:
    int m_fd;
    std::string m_path;
};

/// read(stream) over bytes opened as a read-only stream; a default result when none opens.
template <typename Read>
auto overStream(std::vector<uint8_t>& bytes, Read read) -> decltype(read(nullptr))
{
    std::FILE* stream = ::fmemopen(bytes.data(), bytes.size(), "rb");
    if (stream == nullptr)
        return {};
    auto result = read(stream);
    std::fclose(stream);
    return result;
}
