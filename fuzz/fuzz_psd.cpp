// libFuzzer target: the PSD reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "engine/psd_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavelune::Image image;
    if (tavelune::decodePsd(data, size, image) && image.isEmpty())
        __builtin_trap();  // success must deliver a picture
    return 0;
}
