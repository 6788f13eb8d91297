// tavelune-raw: develops one camera raw file for the programs and writes the reply block to
// descriptor 3. LibRaw runs here, alone, so that a file that brings it down takes only this
// process with it.
//   usage: tavelune-raw REQUEST FILE MAX_PIXELS [A B]
//   REQUEST: develop | half | working (A = longest side wanted) | preview (A x B at least) | shot
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/pixel_limit.h"
#include "rawhelper/raw_development.h"

namespace {

using tavelune::RawReply;
using namespace tavelune::rawhelper;

constexpr int kReplyFd = 3;
constexpr int kUsage = 2;
constexpr int kCannotReply = 3;

bool parseRequest(const char* text, Request& request)
{
    const struct {
        const char* name;
        Request request;
    } names[] = {{"develop", Request::Develop},
                 {"half", Request::DevelopHalf},
                 {"working", Request::WorkingCopy},
                 {"preview", Request::Preview},
                 {"shot", Request::ShotInfo}};
    for (const auto& n : names)
        if (std::strcmp(text, n.name) == 0) {
            request = n.request;
            return true;
        }
    return false;
}

bool parseNumber(const char* text, unsigned long long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && end != text && *end == 0 && text[0] != '-';
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// The block is sized once and the pixels developed straight into it: no copy of the picture
// beyond LibRaw's own.
bool writeReplyWithPixels(const RawReply& reply, const Developed& picture)
{
    const auto head = tavelune::encodeRawReplyHead(reply);
    const std::size_t pixelBytes = tavelune::rawReplyPixelBytes(picture.width, picture.height);
    const std::size_t total = head.size() + pixelBytes;
    if (::ftruncate(kReplyFd, off_t(total)) != 0)
        return false;
    void* mapped =
        ::mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, kReplyFd, 0);
    if (mapped == MAP_FAILED)
        return false;
    auto* out = static_cast<std::uint8_t*>(mapped);
    std::memcpy(out, head.data(), head.size());
    const bool filled = picture.fill(out + head.size());
    return ::munmap(mapped, total) == 0 && filled;
}

}  // namespace

int main(int argc, char** argv)
{
    // A file that brings LibRaw down is the parent's ordinary failure, not a core file.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);

    Request request{};
    unsigned long long maxPixels = 0, a = 0, b = 0;
    const bool sized = argc == 6 && parseNumber(argv[4], a) && parseNumber(argv[5], b) &&
                       a <= 1u << 30 && b <= 1u << 30;
    if ((argc != 4 && !sized) || !parseRequest(argv[1], request) ||
        !parseNumber(argv[3], maxPixels))
        return kUsage;
    tavelune::setMaxPicturePixels(maxPixels);

    RawReply reply;
    bool pixelsSent = false;
    serveRequest(request, argv[2], {int(a), int(b)}, reply, [&](const Developed& picture) {
        pixelsSent = writeReplyWithPixels(reply, picture);
        return pixelsSent;
    });
    if (pixelsSent && reply.failure == tavelune::RawFailure::None)
        return 0;
    // No pixels: the head alone, from the start of the block.
    reply.width = reply.height = 0;
    const auto head = tavelune::encodeRawReplyHead(reply);
    if (::ftruncate(kReplyFd, 0) != 0 || ::lseek(kReplyFd, 0, SEEK_SET) != 0 ||
        !writeAll(kReplyFd, head.data(), head.size()))
        return kCannotReply;
    return 0;
}
