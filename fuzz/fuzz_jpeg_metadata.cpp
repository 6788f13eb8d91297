// libFuzzer target: the JPEG metadata scan (APP2 profile chunks, XMP and its extended chunks,
// APP13) on arbitrary bytes; what it keeps must survive being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/jpeg_metadata.h"
#include "memory_file.h"

namespace {

tavelune::MetadataRead readBytes(std::vector<std::uint8_t>& bytes)
{
    return overStream(bytes, [](std::FILE* stream) { return tavelune::readJpegMetadata(stream); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> input(data, data + size);
    const tavelune::MetadataRead read = readBytes(input);
    std::vector<tavelune::MetadataProblem> tooLarge;
    std::vector<std::uint8_t> file{0xFF, 0xD8};
    for (const auto& segment : tavelune::jpegMetadataSegments(read.metadata, &tooLarge)) {
        const std::size_t length = segment.payload.size() + 2;
        if (length > 0xFFFF)
            __builtin_trap();  // a segment no JPEG can hold
        file.insert(file.end(), {0xFF, std::uint8_t(segment.marker), std::uint8_t(length >> 8),
                                 std::uint8_t(length)});
        file.insert(file.end(), segment.payload.begin(), segment.payload.end());
    }
    file.insert(file.end(), {0xFF, 0xD9});
    const tavelune::MetadataRead again = readBytes(file);
    if (tooLarge.empty() && (again.metadata.icc != read.metadata.icc ||
                             again.metadata.xmp != read.metadata.xmp ||
                             again.metadata.photoshop != read.metadata.photoshop ||
                             again.metadata.extendedXmp != read.metadata.extendedXmp))
        __builtin_trap();
    return 0;
}
