// libFuzzer target: whatever EXIF model a JPEG or TIFF file yields, the segment the writer
// builds from it (in the file's byte order, with its maker note and thumbnail) must read back
// to the same written entries, the maker note byte for byte where it was placed unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "exif/exif_block.h"
#include "exif/exif_data.h"
#include "exif/maker_note_layout.h"
#include "exif/thumbnail_directory.h"
#include "quiet_messages.h"

namespace {

using tavelune::ExifBlockKind;
using tavelune::ExifData;
using tavelune::ExifEntry;
using tavelune::MakerNotePlacement;

constexpr std::uint16_t kMakerNote = 37500;

using Written = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint32_t,
                           std::vector<std::uint8_t>>;

std::vector<Written> writtenEntries(const ExifData& exif, bool withMakerNote)
{
    std::vector<Written> out;
    for (const auto& entry : exif.entries())
        if (tavelune::isWrittenToBlock(*entry, ExifBlockKind::JpegSegment) &&
            (withMakerNote || entry->tag() != kMakerNote))
            out.emplace_back(entry->ifd(), entry->tag(), entry->type(), entry->count(),
                             entry->value());
    std::sort(out.begin(), out.end());
    return out;
}

// The one written maker note; null for none, and for several (which of them the sort puts
// first is not fixed).
const ExifEntry* makerNote(const ExifData& exif, int& count)
{
    const ExifEntry* found = nullptr;
    count = 0;
    for (const auto& entry : exif.entries())
        if (entry->ifd() == tavelune::kExifIfd && entry->tag() == kMakerNote &&
            tavelune::isWrittenToBlock(*entry, ExifBlockKind::JpegSegment) && count++ == 0)
            found = entry.get();
    return count == 1 ? found : nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    silenceMessages();
    if (size < 1)
        return 0;
    const bool tiff = data[0] % 2 != 0;
    ExifData source;
    if (!source.LoadExifFromBytes(data + 1, size - 1,
                                  tiff ? tavelune::ImageFormat::Tiff : tavelune::ImageFormat::Jpeg))
        return 0;
    std::vector<const ExifEntry*> entries;
    for (const auto& entry : source.entries()) entries.push_back(entry.get());
    std::optional<tavelune::ThumbnailDirectory> thumbnail;
    if (tiff)
        thumbnail = tavelune::readThumbnailDirectory({data + 1, size - 1});
    tavelune::ExifBlockSource blockSource;
    blockSource.byteOrder = source.byteOrder();
    blockSource.makerNoteOffset =
        source.makerNoteOffset() > 0 ? static_cast<std::uint32_t>(source.makerNoteOffset()) : 0;
    blockSource.thumbnail = thumbnail ? &*thumbnail : nullptr;
    MakerNotePlacement placement = MakerNotePlacement::None;
    const auto block =
        tavelune::buildExifBlock(entries, ExifBlockKind::JpegSegment, blockSource, &placement);
    if (!block)
        return 0;
    if (block->size() !=
        tavelune::exifBlockSize(entries, ExifBlockKind::JpegSegment, blockSource).value_or(0))
        std::abort();

    std::vector<std::uint8_t> jpeg = {0xFF, 0xD8};
    jpeg.insert(jpeg.end(), block->begin(), block->end());
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9});
    ExifData copy;
    if (!copy.LoadExifFromBytes(jpeg.data(), jpeg.size(), tavelune::ImageFormat::Jpeg))
        std::abort();
    const bool rebased = placement == MakerNotePlacement::Rebased;
    if (writtenEntries(copy, !rebased) != writtenEntries(source, !rebased))
        std::abort();

    int notesBefore = 0, notesAfter = 0;
    const ExifEntry* before = makerNote(source, notesBefore);
    const ExifEntry* after = makerNote(copy, notesAfter);
    if (notesBefore != notesAfter)
        std::abort();
    if (before != nullptr) {
        if (placement == MakerNotePlacement::SameOffset &&
            copy.makerNoteOffset() != source.makerNoteOffset())
            std::abort();
        std::vector<std::uint8_t> note = after->value();
        // Moved back to where it was, a rebased note is the one that was read.
        if (rebased) {
            const auto shape = tavelune::makerNoteShape(
                note, copy.byteOrder(), static_cast<std::uint32_t>(copy.makerNoteOffset()), "");
            tavelune::rebaseMakerNote(note, shape, copy.byteOrder(),
                                      static_cast<std::uint32_t>(copy.makerNoteOffset()),
                                      blockSource.makerNoteOffset);
        }
        if (note != before->value())
            std::abort();
    }
    if (thumbnail && std::any_of(thumbnail->entries.begin(), thumbnail->entries.end(),
                                 [](const ExifEntry& entry) { return entry.IsComplete(); })) {
        const auto written =
            tavelune::readThumbnailDirectory(std::span<const std::uint8_t>(*block).subspan(10));
        if (!written || written->data != thumbnail->data)
            std::abort();
    }
    return 0;
}
