// libFuzzer target: our code around libwebp (stills, first frames, metadata chunks), and a
// lossless round trip of whatever decodes.
#include <cstddef>
#include <cstdint>
#include <string>

#include <webp/decode.h>

#include "engine/webp_codec.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    tavelune::EmbeddedMetadata metadata;
    tavelune::readWebpMetadataFromBytes(data, size, metadata);
    // Claimed giants only make libwebp slow, not our code reachable: the size limit has its
    // own tests.
    int width = 0, height = 0;
    if (WebPGetInfo(data, size, &width, &height) && long(width) * height > (1 << 20))
        return 0;
    tavelune::Image image;
    if (!tavelune::decodeWebpBytes(data, size, image))
        return 0;
    if (image.isEmpty())
        __builtin_trap();
    if (image.pixelCount() > 4096)
        return 0;
    std::string bytes;
    tavelune::Image back;
    if (!tavelune::encodeWebp(image, tavelune::kWebpLossless, bytes) ||
        !tavelune::decodeWebpBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                   back))
        __builtin_trap();
    for (size_t i = 0; i < image.pixelCount(); ++i) {
        // Opaque pictures lose nothing; with alpha, the colour of clear pixels may be dropped.
        if (back.pixels()[i] != image.pixels()[i] && (image.pixels()[i] >> 24) != 0)
            __builtin_trap();
    }
    return 0;
}
