// libFuzzer target: the PNG reader (every colour type, interlaced, with transparency).
#include <cstddef>
#include <cstdint>

#include "engine/png_codec.h"
#include "memory_file.h"
#include "read_check.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    limitFuzzPictures();
    MemoryFile file(data, size);
    tavelune::PngCodec codec;
    tavelune::Image image;
    checkPicture(codec.read(file.path(), image), image);
    return 0;
}
