// libFuzzer target: the whole-picture JPEG reader (baseline, progressive, CMYK, reduced), its
// road through RGB, and the marker walk that tells a whole JPEG without decoding it.
#include <cstddef>
#include <cstdint>

#include "engine/jpeg_codec.h"
#include "engine/picture_check.h"
#include "memory_file.h"
#include "read_check.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    limitFuzzPictures();
    if (size < 1)
        return 0;
    volatile bool whole = tavelune::jpegDataReachesEnd(data + 1, size - 1);
    (void)whole;
    tavelune::Image image;
    if (data[0] & 4) {
        MemoryFile file(data + 1, size - 1);
        checkPicture(tavelune::readJpegThroughRgb(file.path(), image), image);
        return 0;
    }
    // The index sheet and the histogram ask for a reduction.
    const int denominator = 1 << (data[0] % 4);
    const bool read = tavelune::decodeJpegBytes(data + 1, size - 1, image,
                                                [&](int, int) { return denominator; });
    checkPicture(read, image);
    return 0;
}
