// libFuzzer target: our code around LibRaw (shot information, half-size development).
#include <cstddef>
#include <cstdint>

#include "engine/raw_codec.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    tavelune::RawShotInfo info;
    if (!tavelune::readRawShotInfoFromBytes(data, size, info))
        return 0;
    if (info.width <= 0 || info.height <= 0)
        __builtin_trap();  // an opened raw has a size
    // Large claimed sensors only slow the run; the size limit has its own tests.
    if (long(info.width) * info.height > (1 << 16))
        return 0;
    tavelune::Image image;
    if (tavelune::developRawFromBytes(data, size, image, true) && image.isEmpty())
        __builtin_trap();
    return 0;
}
