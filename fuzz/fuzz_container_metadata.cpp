// libFuzzer target: PNG chunks (iCCP inflated, iTXt XMP, eXIf), PSD image resources, GIF's
// XMP extension and IPTC records, all on the same arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/container_metadata.h"
#include "engine/iptc_records.h"

namespace {

template <typename Read>
tavelune::MetadataRead overBytes(std::vector<std::uint8_t>& bytes, Read read)
{
    std::FILE* stream = ::fmemopen(bytes.data(), bytes.size(), "rb");
    if (stream == nullptr)
        return {};
    tavelune::MetadataRead result = read(stream);
    std::fclose(stream);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> input(data, data + size);
    std::vector<std::uint8_t> exif;
    const auto png = overBytes(input, [&](std::FILE* f) { return tavelune::readPngMetadata(f, &exif); });
    if (exif.size() > size || png.metadata.icc.size() > tavelune::kMaxMetadataBytes)
        __builtin_trap();
    const auto psd = overBytes(input, tavelune::readPsdMetadata);
    if (psd.metadata.icc.size() + psd.metadata.xmp.size() > size)
        __builtin_trap();
    const auto gif = overBytes(input, tavelune::readGifMetadata);
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
