// libFuzzer target: the GIF reader (first frame, interlaced, transparent, offset).
#include <cstddef>
#include <cstdint>

#include "engine/gif_codec.h"
#include "memory_file.h"
#include "read_check.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    limitFuzzPictures();
    MemoryFile file(data, size);
    tavelune::GifCodec codec;
    tavelune::Image image;
    checkPicture(codec.read(file.path(), image), image);
    return 0;
}
