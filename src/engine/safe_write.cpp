// Temporary-file-and-rename writes.
#include "engine/safe_write.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/codec_support.h"

namespace tavelune {
namespace {

constexpr const char* kProcFd = "/proc/self/fd/";
constexpr const char* kTemporaryInfix = ".tmp-";
constexpr size_t kRandomLength = 6;  // as mkstemp's XXXXXX

std::atomic<bool> g_namedOnly{false};

void setError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

mode_t defaultMode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Named temporaries a signal must not leave behind: fixed slots, so the handler needs no lock
// and no allocation.
constexpr size_t kSlots = 64;
struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX];
};
Slot g_slots[kSlots];

extern "C" void removeTemporariesAndDie(int signal)
{
    for (Slot& slot : g_slots)
        if (slot.used.load() && slot.path[0] != '\0')
            ::unlink(slot.path);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Cleans up on the signals that end a run from outside, unless the program handles them
// itself (the batch command stops gracefully on SIGINT).
void catchEndingSignals()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
            (current.sa_flags & SA_SIGINFO))
            continue;
        struct sigaction cleanup {};
        cleanup.sa_handler = removeTemporariesAndDie;
        sigemptyset(&cleanup.sa_mask);
        ::sigaction(signal, &cleanup, nullptr);
    }
}

class Registered {
public:
    explicit Registered(const std::string& path)
    {
        if (path.size() >= PATH_MAX)
            return;
        for (Slot& slot : g_slots) {
            bool expected = false;
            if (!slot.used.load() && slot.used.compare_exchange_strong(expected, true)) {
                // Marked used before the path is complete: a signal in between unlinks a
                // stale or empty name, which is harmless.
                std::memcpy(slot.path, path.c_str(), path.size() + 1);
                m_slot = &slot;
                break;
            }
        }
        catchEndingSignals();
    }
    ~Registered()
    {
        if (m_slot) {
            m_slot->path[0] = '\0';
            m_slot->used.store(false);
        }
    }
    Registered(const Registered&) = delete;
    Registered& operator=(const Registered&) = delete;

private:
    Slot* m_slot = nullptr;
};

// A size limit (ulimit -f) must make a write fail with EFBIG, not kill the program with the
// temporary left behind.
void ignoreFileSizeSignal()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            ::signal(SIGXFSZ, SIG_IGN);
    });
}

std::string randomSuffix()
{
    static const char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(kRandomLength, 'X');
    for (char& c : suffix) c = kLetters[pick(random)];
    return suffix;
}

struct Place {
    std::string folder;  // "" or ending in '/'
    std::string name;
};

Place placeOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {{}, path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string temporaryPrefix(const Place& place)
{
    return place.folder + "." + place.name + kTemporaryInfix;
}

// What the user's words mean when a write cannot even start.
std::string startFailure(int error, const Place& place)
{
    if (error == ENOENT || error == ENOTDIR)
        return "no such folder: " + (place.folder.empty() ? std::string(".") : place.folder);
    if (error == EACCES || error == EPERM)
        return "permission denied: cannot write in " +
               (place.folder.empty() ? std::string(".") : place.folder);
    return std::strerror(error);
}

// The cause a failed writer left in errno, when it is one a user can act on.
std::string writeFailure(int error)
{
    if (isActionableWriteError(error) || error == EACCES || error == EPERM)
        return std::strerror(error);
    return kWriteFailed;
}

bool isOwnTemporary(const std::string& path)
{
    return path.rfind(kProcFd, 0) == 0;
}

// The file the write replaces: a symbolic link is followed (also a dangling one: its target
// is made), so the link stays and the file it names changes.
std::string followLinks(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(size_t(PATH_MAX), '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length <= 0 || size_t(length) >= target.size())
            return current;
        target.resize(size_t(length));
        current = target.front() == '/' ? target : placeOf(current).folder + target;
    }
    return current;
}

// An open temporary: unnamed (O_TMPFILE) where the file system allows, else named beside the
// file. The descriptor holds a flock, so a later run can tell a live writer's file from a
// killed one's.
class Temporary {
public:
    ~Temporary()
    {
        if (!m_named.empty())
            ::unlink(m_named.c_str());
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool open(const Place& place, std::string* error)
    {
        if (!g_namedOnly.load()) {
            const std::string folder = place.folder.empty() ? "." : place.folder;
            m_fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
            if (m_fd >= 0) {
                m_path = kProcFd + std::to_string(m_fd);
                if (::access(m_path.c_str(), W_OK) == 0)
                    return finishOpen();
                ::close(m_fd);  // no /proc to reach it by name
                m_fd = -1;
            } else if (errno == ENOENT || errno == ENOTDIR || errno == EACCES ||
                       errno == EPERM || errno == ENOSPC || errno == EROFS) {
                setError(error, startFailure(errno, place));
                return false;
            }
        }
        std::string pattern = temporaryPrefix(place) + "XXXXXX";
        m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (m_fd < 0) {
            setError(error, startFailure(errno, place));
            return false;
        }
        m_named = pattern;
        m_registered = std::make_unique<Registered>(m_named);
        m_path = m_named;
        return finishOpen();
    }

    const std::string& path() const { return m_path; }
    int fd() const { return m_fd; }

    /// Puts the complete file at target: atomically created or atomically replaced.
    bool place(const std::string& target, const Place& where, std::string* error)
    {
        if (m_named.empty()) {
            if (::linkat(AT_FDCWD, m_path.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0)
                return true;
            if (errno != EEXIST) {
                setError(error, std::strerror(errno));
                return false;
            }
            // link() never replaces a file: a name of our own first, then rename over it.
            for (int attempt = 0; attempt < 100 && m_named.empty(); ++attempt) {
                const std::string name = temporaryPrefix(where) + randomSuffix();
                auto registered = std::make_unique<Registered>(name);
                if (::linkat(AT_FDCWD, m_path.c_str(), AT_FDCWD, name.c_str(),
                             AT_SYMLINK_FOLLOW) == 0) {
                    m_named = name;
                    m_registered = std::move(registered);
                } else if (errno != EEXIST) {
                    setError(error, std::strerror(errno));
                    return false;
                }
            }
            if (m_named.empty()) {
                setError(error, "no free temporary name");
                return false;
            }
        }
        if (::rename(m_named.c_str(), target.c_str()) != 0) {
            setError(error, std::strerror(errno));
            return false;
        }
        m_named.clear();
        m_registered.reset();
        return true;
    }

private:
    bool finishOpen()
    {
        ::flock(m_fd, LOCK_EX | LOCK_NB);
        return true;
    }

    int m_fd = -1;
    std::string m_path;   // where the writer opens it
    std::string m_named;  // a name in the folder that must go again on failure
    std::unique_ptr<Registered> m_registered;
};

bool isRandomSuffix(const char* text)
{
    size_t length = 0;
    for (; text[length] != '\0'; ++length)
        if (!std::isalnum(static_cast<unsigned char>(text[length])))
            return false;
    return length == kRandomLength;
}

}  // namespace

bool writeViaTemporary(const std::string& path,
                       const std::function<bool(const std::string& temporaryPath)>& write,
                       std::string* error)
{
    if (path.empty()) {
        setError(error, "empty path");
        return false;
    }
    ignoreFileSizeSignal();
    // Written into from inside another safe write: that one is already the temporary.
    if (isOwnTemporary(path)) {
        errno = 0;
        if (write(path))
            return true;
        setError(error, writeFailure(errno));
        return false;
    }
    const std::string target = followLinks(path);
    const Place where = placeOf(target);
    struct stat existing {};
    const mode_t mode =
        ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : defaultMode();

    Temporary temporary;
    if (!temporary.open(where, error))
        return false;
    errno = 0;
    if (!write(temporary.path())) {
        setError(error, writeFailure(errno));
        return false;
    }
    // The mode last: a write-protected file's copy must still be writable while it is made.
    if (::fchmod(temporary.fd(), mode) != 0 || ::fsync(temporary.fd()) != 0) {
        setError(error, std::strerror(errno));
        return false;
    }
    return temporary.place(target, where, error);
}

void useNamedTemporariesOnly(bool namedOnly)
{
    g_namedOnly.store(namedOnly);
}

int removeStaleTemporaries(const std::string& path)
{
    const Place where = placeOf(followLinks(path));
    const std::string folder = where.folder.empty() ? "." : where.folder;
    const std::string prefix = "." + where.name + kTemporaryInfix;
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(directory)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0 ||
            !isRandomSuffix(entry->d_name + prefix.size()))
            continue;
        const std::string candidate = where.folder + entry->d_name;
        const int fd = ::open(candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat info {};
        // Only our own regular files, and only when no live writer holds them.
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(candidate.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(directory);
    return removed;
}

std::set<std::string> namesWithTemporaries(const std::string& folder)
{
    std::set<std::string> names;
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!directory)
        return names;
    const size_t infix = std::strlen(kTemporaryInfix);
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (name.size() < 2 + infix + kRandomLength || name[0] != '.')
            continue;
        const size_t nameEnd = name.size() - kRandomLength - infix;
        if (name.substr(nameEnd, infix) == kTemporaryInfix &&
            isRandomSuffix(entry->d_name + nameEnd + infix))
            names.emplace(name.substr(1, nameEnd - 1));
    }
    ::closedir(directory);
    return names;
}

}  // namespace tavelune
