// libFuzzer target: the BMP reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "engine/bmp_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavelune::Image image;
    if (tavelune::decodeBmp(data, size, image) && image.isEmpty())
        __builtin_trap();  // success must deliver a picture
    return 0;
}
