// libFuzzer target: the parent's side of the raw developer, the reply block it reads back
// (LibRaw itself runs in the developer process, where a crash is an ordinary failure).
#include <cstddef>
#include <cstdint>

#include "engine/image.h"
#include "engine/pixel_limit.h"
#include "engine/raw_reply.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    // Small pictures only: the size limit has its own tests.
    tavelune::setMaxPicturePixels(1 << 16);
    tavelune::RawReply reply;
    if (!tavelune::decodeRawReply(data, size, reply))
        return 0;
    // Whatever was accepted lies inside the block, and re-encodes to the same head.
    const auto head = tavelune::encodeRawReplyHead(reply);
    if (head.size() + tavelune::rawReplyPixelBytes(reply.width, reply.height) != size)
        __builtin_trap();
    if (reply.width == 0)
        return 0;
    tavelune::Image image;
    if (!tavelune::copyRawReplyPixels(reply, image) || image.width() != reply.width ||
        image.height() != reply.height)
        __builtin_trap();
    return 0;
}
