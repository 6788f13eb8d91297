// libFuzzer target: PNG chunks (iCCP inflated, iTXt XMP, eXIf), PSD image resources, GIF's
// XMP extension and IPTC records, all on the same arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/container_metadata.h"
#include "engine/iptc_records.h"
#include "memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> input(data, data + size);
    std::vector<std::uint8_t> exif;
    const auto png =
        overStream(input, [&](std::FILE* f) { return tavelune::readPngMetadata(f, &exif); });
    if (exif.size() > size || png.metadata.icc.size() > tavelune::kMaxMetadataBytes)
        __builtin_trap();
    const auto psd = overStream(input, tavelune::readPsdMetadata);
    if (psd.metadata.icc.size() + psd.metadata.xmp.size() > size)
        __builtin_trap();
    const auto gif = overStream(input, tavelune::readGifMetadata);
    if (gif.metadata.xmp.size() > size)
        __builtin_trap();
    std::size_t values = 0;
    for (const auto& record : tavelune::parseIptcRecords(input))
        if (record.dataset != 0)  // the version datasets are numbers written out in decimal
            values += record.value.size();
    if (values > size)
        __builtin_trap();
    return 0;
}
