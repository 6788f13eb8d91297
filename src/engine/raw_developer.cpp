// LibRaw crashes on some hostile files (buffer overflow checks abort the process), and no
// check before the call can rule that out; so it runs in a process of its own, started with
// posix_spawn (safe from a program with threads), with the reply in a memory file.
#include "engine/raw_developer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/codec_support.h"
#include "engine/engine_messages.h"
#include "engine/pixel_limit.h"

extern char** environ;

namespace tavelune {
namespace {

constexpr int kReplyFd = 3;
constexpr const char* kDamaged = "damaged or truncated raw data";

std::string programFolder()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    std::string path(buffer, std::size_t(length));
    return path.substr(0, path.rfind('/'));
}

bool executable(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// The memory file, never on descriptor 3 itself: a dup2 onto the same number would leave its
// close-on-exec flag, and the developer would find nothing there.
int replyFile()
{
    const int fd = ::memfd_create("tavelune-raw-reply", MFD_CLOEXEC);
    if (fd != kReplyFd)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, kReplyFd + 1);
    ::close(fd);
    return moved;
}

// Starts the developer with the reply file on descriptor 3 and nothing else of ours; its
// output and LibRaw's goes nowhere. Returns its process id or -1 (errno set).
pid_t start(const std::string& program, const std::vector<std::string>& arguments, int reply)
{
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return -1;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, reply, kReplyFd);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

using Clock = std::chrono::steady_clock;

// Kernels or sandboxes without pidfd: look now and then, often at first so that a quick
// developer is not kept waiting.
bool exitedByPolling(pid_t pid, Clock::time_point deadline, int& status)
{
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return true;
        if (done < 0 && errno != EINTR) {
            status = -1;
            return true;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return false;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

// The developer's wait status, or -1; false when it is still at work at the deadline (it is
// then killed and reaped).
bool exitedBefore(pid_t pid, Clock::time_point deadline, int& status)
{
    bool exited = false;
    // By system call: glibc 2.36's <sys/pidfd.h> declares pidfd_open without C linkage.
    const Descriptor process(int(::syscall(SYS_pidfd_open, pid, 0)));
    for (;;) {
        if (process.get() < 0) {
            exited = exitedByPolling(pid, deadline, status);
            break;
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd readable{process.get(), POLLIN, 0};
        const int ready = ::poll(&readable, 1, int(std::min<long long>(left, INT_MAX)));
        if (ready > 0) {
            status = waitFor(pid);
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            exited = exitedByPolling(pid, deadline, status);
            break;
        }
    }
    if (exited)
        return true;
    ::kill(pid, SIGKILL);
    waitFor(pid);
    return false;
}

// The files a developer was stopped on in this process, so that the next request on one
// (its shot information, then its pixels) does not wait out the limit again.
struct StoppedFile {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    int seconds = 0;

    bool sameFile(const StoppedFile& other) const
    {
        return path == other.path && device == other.device && inode == other.inode &&
               size == other.size && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

std::mutex g_stoppedMutex;
std::vector<StoppedFile> g_stopped;

StoppedFile identify(const std::string& path)
{
    StoppedFile file;
    file.path = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        file.device = info.st_dev;
        file.inode = info.st_ino;
        file.size = info.st_size;
        file.modified = info.st_mtim;
    }
    return file;
}

// The seconds the developer was given when it was stopped on this file before, else 0.
int stoppedBefore(const StoppedFile& file)
{
    const std::lock_guard lock(g_stoppedMutex);
    for (const StoppedFile& stopped : g_stopped)
        if (stopped.sameFile(file))
            return stopped.seconds;
    return 0;
}

void rememberStopped(StoppedFile file, int seconds)
{
    file.seconds = seconds;
    const std::lock_guard lock(g_stoppedMutex);
    g_stopped.push_back(std::move(file));
}

void noteStopped(const std::string& path, int seconds)
{
    std::string text = messages::kRawDeveloperStopped;
    text.replace(text.find("%d"), 2, std::to_string(seconds));
    text.replace(text.find("%s"), 2, path);
    noteCodecFailure(text);
    noteRefusalBox(text);
}

bool readReply(int fd, const std::function<bool(const RawReply&)>& consume)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size <= 0) {
        noteCodecFailure(kDamaged);
        return false;
    }
    const std::size_t size = std::size_t(info.st_size);
    // Populated at once: a 24 MP reply would otherwise take some 23,000 page faults.
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (mapped == MAP_FAILED) {
        noteCodecFailure("out of memory");
        return false;
    }
    RawReply reply;
    bool ok = false;
    if (decodeRawReply(static_cast<const std::uint8_t*>(mapped), size, reply))
        ok = consume(reply);
    else
        noteCodecFailure(kDamaged);
    ::munmap(mapped, size);
    return ok;
}

}  // namespace

std::chrono::milliseconds rawDeveloperTimeLimit(std::uint64_t fileBytes)
{
    if (const char* named = std::getenv("TAVELUNE_RAW_TIME_LIMIT"); named && *named) {
        char* end = nullptr;
        const double seconds = std::strtod(named, &end);
        if (*end == 0 && seconds > 0 && seconds < 1e9)
            return std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
    }
    return std::chrono::seconds(60) +
           std::chrono::seconds(std::min<std::uint64_t>(fileBytes >> 20, 1u << 30));
}

std::string rawDeveloperPath()
{
    if (const char* named = std::getenv("TAVELUNE_RAW_DEVELOPER"); named && *named)
        return executable(named) ? named : std::string();
    const std::string folder = programFolder();
    if (folder.empty())
        return {};
    for (const std::string& candidate : {folder + "/" + kRawDeveloperName,
                                         folder + "/../lib/tavelune/" + kRawDeveloperName})
        if (executable(candidate))
            return candidate;
    return {};
}

bool runRawDeveloper(const char* request, const std::string& path, int a, int b,
                     const std::function<bool(const RawReply&)>& consume)
{
    const std::string program = rawDeveloperPath();
    if (program.empty()) {
        noteCodecFailure(std::string("the raw developer ") + kRawDeveloperName +
                         " is not installed");
        return false;
    }
    const StoppedFile file = identify(path);
    if (const int seconds = stoppedBefore(file); seconds > 0) {
        noteStopped(path, seconds);
        return false;
    }
    const Descriptor reply(replyFile());
    if (reply.get() < 0) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
    std::vector<std::string> arguments = {request, path, std::to_string(maxPicturePixels())};
    if (a >= 0 || b >= 0) {
        arguments.push_back(std::to_string(std::max(a, 0)));
        arguments.push_back(std::to_string(std::max(b, 0)));
    }
    const pid_t pid = start(program, arguments, reply.get());
    if (pid < 0) {
        noteCodecFailure(std::string("the raw developer could not start: ") +
                         std::strerror(errno));
        return false;
    }
    const std::chrono::milliseconds limit = rawDeveloperTimeLimit(std::uint64_t(file.size));
    int status = -1;
    if (!exitedBefore(pid, Clock::now() + limit, status)) {
        const int seconds = int(std::max<long long>(
            1, std::chrono::ceil<std::chrono::seconds>(limit).count()));
        rememberStopped(file, seconds);
        noteStopped(path, seconds);
        return false;
    }
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        // A death by signal is LibRaw meeting data it cannot take.
        noteCodecFailure(status != -1 && WIFEXITED(status)
                             ? "the raw developer failed (status " +
                                   std::to_string(WEXITSTATUS(status)) + ")"
                             : kDamaged);
        return false;
    }
    return readReply(reply.get(), consume);
}

}  // namespace tavelune
