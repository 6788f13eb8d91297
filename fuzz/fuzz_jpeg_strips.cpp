// libFuzzer target: the strip-by-strip JPEG reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/jpeg_strips.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    tavelune::JpegStripReader reader;
    if (!reader.openMemory(data, size))
        return 0;
    const int width = reader.width();
    const int height = reader.height();
    if (width <= 0 || height <= 0)
        __builtin_trap();  // an opened file must have a size
    // A strip at a time, as the conversion reads; very wide pictures would only test malloc.
    if (width > (1 << 14) || height > (1 << 14))
        return 0;
    constexpr int kStrip = 16;
    std::vector<uint32_t> strip(size_t(width) * kStrip);
    for (int row = 0; row < height; row += kStrip) {
        const int count = height - row < kStrip ? height - row : kStrip;
        if (!reader.readRows(strip.data(), size_t(width), count))
            return 0;
    }
    reader.finish();
    // Nothing more may be read once the picture is done.
    if (reader.readRows(strip.data(), size_t(width), 1))
        __builtin_trap();
    return 0;
}
