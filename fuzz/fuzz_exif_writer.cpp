// libFuzzer target: whatever EXIF model a JPEG or TIFF file yields, the segment the writer
// builds from it must read back to the same written entries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "exif/exif_block.h"
#include "exif/exif_data.h"
#include "quiet_messages.h"

namespace {

using tavelune::ExifBlockKind;
using tavelune::ExifData;
using tavelune::ExifEntry;

using Written = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint32_t,
                           std::vector<std::uint8_t>>;

std::vector<Written> writtenEntries(const ExifData& exif)
{
    std::vector<Written> out;
    for (const auto& entry : exif.entries())
        if (tavelune::isWrittenToBlock(*entry, ExifBlockKind::JpegSegment))
            out.emplace_back(entry->ifd(), entry->tag(), entry->type(), entry->count(),
                             entry->value());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    silenceMessages();
    if (size < 1)
        return 0;
    ExifData source;
    if (!source.LoadExifFromBytes(data + 1, size - 1, data[0] % 2 == 0 ? "JPEG" : "TIFF"))
        return 0;
    std::vector<const ExifEntry*> entries;
    for (const auto& entry : source.entries()) entries.push_back(entry.get());
    const auto block = tavelune::buildExifBlock(entries, ExifBlockKind::JpegSegment);
    if (!block)
        return 0;
    if (block->size() != tavelune::exifBlockSize(entries, ExifBlockKind::JpegSegment).value_or(0))
        std::abort();

    std::vector<std::uint8_t> jpeg = {0xFF, 0xD8};
    jpeg.insert(jpeg.end(), block->begin(), block->end());
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9});
    ExifData copy;
    if (!copy.LoadExifFromBytes(jpeg.data(), jpeg.size(), "JPEG"))
        std::abort();
    if (writtenEntries(copy) != writtenEntries(source))
        std::abort();
    return 0;
}
