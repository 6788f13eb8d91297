// LibRaw crashes on some hostile files (buffer overflow checks abort the process), and no
// check before the call can rule that out; so it runs in a process of its own, started with
// posix_spawn (safe from a program with threads), with the reply in a memory file.
#include "engine/raw_developer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/codec_support.h"
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
    const int status = waitFor(pid);
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
