// libFuzzer target: our code around libheif (decoding, rounding, EXIF and profile blocks).
#include <cstddef>
#include <cstdint>

#include "engine/heif_codec.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    tavelune::EmbeddedMetadata metadata;
    if (tavelune::readHeifMetadataFromBytes(data, size, metadata) && !metadata.exif.empty() &&
        metadata.exif[0] != 'I' && metadata.exif[0] != 'M')
        __builtin_trap();  // EXIF data starts at its TIFF header
    tavelune::Image image;
    if (tavelune::decodeHeifBytes(data, size, image) && image.isEmpty())
        __builtin_trap();
    return 0;
}
