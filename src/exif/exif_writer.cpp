// Writing the model into JPEG and TIFF files.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <new>
#include <optional>
#include <span>

#include "engine/codec_support.h"
#include "exif/byte_order.h"
#include "exif/empty_entries.h"
#include "exif/entry_values.h"
#include "exif/exif_block.h"
#include "exif/exif_data.h"
#include "exif/file_replace.h"
#include "exif/tag_catalogue.h"
#include "exif/thumbnail_directory.h"
#include "exif/writer_support.h"

namespace tavelune {
namespace {

// IFD0 tags that describe a TIFF file's own image layout; a JPEG has its own.
constexpr std::uint16_t kJpegDroppedTags[] = {kTagNewSubfileType,
                                              kTagSubfileType,
                                              kTagImageWidth,
                                              kTagImageLength,
                                              kTagBitsPerSample,
                                              kTagCompression,
                                              kTagPhotometricInterpretation,
                                              kTagFillOrder,
                                              kTagStripOffsets,
                                              kTagSamplesPerPixel,
                                              kTagRowsPerStrip,
                                              kTagStripByteCounts,
                                              kTagPlanarConfiguration,
                                              kTagPredictor,
                                              kTagSubIFDs,
                                              kTagJPEGInterchangeFormat,
                                              kTagJPEGInterchangeFormatLength,
                                              kTagYCbCrSubSampling,
                                              kTagXMLMetadata,
                                              kTagIPTCNAA,
                                              kTagAdobeResource,
                                              kTagICCProfile,
                                              kTagImageSourceData};
// IFD0 texts the saved model replaces in a TIFF file.
constexpr std::uint16_t kTiffReplacedTags[] = {kTagImageDescription, kTagMake,     kTagModel,
                                               kTagSoftware,         kTagDateTime, kTagArtist,
                                               kTagCopyright};
// IFD0 tags a TIFF file keeps from itself whatever the model holds.
constexpr std::uint16_t kTiffKeptTags[] = {
    kTagNewSubfileType,      kTagImageWidth,       kTagImageLength,
    kTagBitsPerSample,       kTagCompression,      kTagPhotometricInterpretation,
    kTagFillOrder,           kTagStripOffsets,     kTagOrientation,
    kTagSamplesPerPixel,     kTagRowsPerStrip,     kTagStripByteCounts,
    kTagPlanarConfiguration, kTagPredictor,        kTagSubIFDs,
    kTagYCbCrSubSampling,    kTagYCbCrPositioning, kTagXMLMetadata,
    kTagAdobeResource,       kTagICCProfile,       kTagIPTCNAA,
    kTagImageSourceData};
// IFD0 tags whose values are offsets of data that the rewrite would not move with the strips.
constexpr std::uint16_t kTiffUnmovableTags[] = {kTagFreeOffsets,
                                                kTagFreeByteCounts,
                                                kTagTileOffsets,
                                                kTagTileByteCounts,
                                                kTagSubIFDs,
                                                kTagJPEGInterchangeFormat,
                                                kTagJPEGInterchangeFormatLength};
// A thumbnail directory of a TIFF file is carried with its data up to this size.
constexpr std::size_t kTiffThumbnailLimit = 1 << 20;

constexpr std::size_t kTiffStart = 10;

std::vector<const ExifEntry*> entryPointers(const std::vector<std::unique_ptr<ExifEntry>>& entries)
{
    std::vector<const ExifEntry*> pointers;
    pointers.reserve(entries.size());
    for (const auto& entry : entries) pointers.push_back(entry.get());
    return pointers;
}

// What the raw file says about IFD0 that the model does not keep: whether more images follow
// and whether it points at data by offsets the rewrite cannot follow. A thumbnail directory
// that the rewrite can carry along comes back in `thumbnail`.
bool tiffDirectoryCanMove(exif::ByteSpan file, std::optional<ThumbnailDirectory>& thumbnail)
{
    if (file.size() < 8)
        return false;
    const int order = file[0] == 'I' && file[1] == 'I'   ? exif::kIntel
                      : file[0] == 'M' && file[1] == 'M' ? exif::kMotorola
                                                         : 0;
    if (order == 0)
        return false;
    const std::uint32_t ifd0 = exif::readU32(file, 4, order).value_or(0);
    const auto count = exif::readU16(file, ifd0, order);
    if (ifd0 < 8 || !count)
        return false;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const auto tag = exif::readU16(file, std::uint64_t{ifd0} + 2 + 12 * i, order);
        if (!tag || tagListed(kTiffUnmovableTags, *tag))
            return false;
    }
    const auto next =
        exif::readU32(file, std::uint64_t{ifd0} + 2 + 12 * std::uint64_t{*count}, order);
    if (!next)
        return false;
    if (*next == 0)
        return true;
    // IFD1 (a thumbnail) moves into the new block with its data when it is the last directory
    // and points at nothing but that data; a file with more would lose some, and is refused.
    thumbnail = readThumbnailDirectory(file);
    if (!thumbnail || !thumbnail->last || thumbnail->data.size() > kTiffThumbnailLimit)
        return false;
    for (const ExifEntry& entry : thumbnail->entries) {
        const std::uint16_t tag = entry.tag();
        if ((tagListed(kTiffUnmovableTags, tag) && tag != kJpegThumbnailOffset &&
             tag != kJpegThumbnailLength) ||
            tag == kExifIfd || tag == kGpsIfd || tag == kInteropIfd)
            return false;
    }
    return true;
}

// The model's entries for a block of their own: all but the IFD0 tags of kJpegDroppedTags.
std::vector<const ExifEntry*> entriesToWrite(const std::vector<std::unique_ptr<ExifEntry>>& entries)
{
    std::vector<const ExifEntry*> chosen;
    for (const auto& entry : entries) {
        if (entry->ifd() == kIfd0 && tagListed(kJpegDroppedTags, entry->tag()))
            continue;
        chosen.push_back(entry.get());
    }
    return chosen;
}

}  // namespace

ExifStatus ExifData::SaveExif(const std::string& path, std::optional<ImageFormat> format)
{
    m_warnings.clear();
    if (path.empty())
        return ExifError::CannotRead;
    if (IsEmpty())
        return {ExifError::NothingToWrite, path};
    const std::optional<ImageFormat> kind = exifFileFormat(path, format);
    if (kind == ImageFormat::Jpeg)
        return SaveJpegExif(path);
    if (kind == ImageFormat::Tiff)
        return SaveTiffExif(path);
    return {ExifError::NotJpegOrTiff, path};
}

void ExifData::SetThumbnail(std::vector<std::uint8_t> jpeg)
{
    // An empty stream means no thumbnail at all, not the file's old one.
    m_newThumbnail = jpeg.empty() ? ThumbnailDirectory{} : jpegThumbnailDirectory(std::move(jpeg));
}

ExifBlockSource ExifData::BlockSource() const
{
    ExifBlockSource source;
    source.byteOrder = m_byteOrder == exif::kMotorola ? exif::kMotorola : exif::kIntel;
    source.makerNoteOrder = source.byteOrder;
    source.makerNoteOffset =
        m_makerNoteOffset > 0 ? static_cast<std::uint32_t>(m_makerNoteOffset) : 0;
    if (const ExifEntry* make = FindEntry(kIfd0, kTagMake))
        source.make = std::string_view(reinterpret_cast<const char*>(make->value().data()),
                                       make->value().size());
    return source;
}

ExifStatus ExifData::SaveJpegExif(const std::string& path)
{
    std::vector<std::uint8_t> file;
    if (!readWholeFile(path, file) || file.empty())
        return {ExifError::CannotRead, path};
    MakerNotePlacement placement = MakerNotePlacement::None;
    const auto segment = BuildJpegSegment(file, placement);
    if (!segment)
        return {ExifError::SegmentTooLarge, path};
    if (ExifStatus spliced = SpliceExifSegment(path, file, segment->data(), segment->size());
        !spliced)
        return spliced;
    m_makerNotePlacement = placement;
    // The new thumbnail belonged to that one picture; a later write keeps its file's own.
    m_newThumbnail.reset();
    return {};
}

bool ExifData::SaveExifIntoJpeg(std::vector<std::uint8_t>& jpeg)
{
    m_warnings.clear();
    if (IsEmpty() || jpeg.empty())
        return false;
    MakerNotePlacement placement = MakerNotePlacement::None;
    const auto segment = BuildJpegSegment(jpeg, placement);
    std::size_t offset = 0;
    std::size_t oldSize = 0;
    if (!segment || !FindExifSegmentPlace(jpeg, segment->data(), segment->size(), offset, oldSize))
        return false;
    std::vector<std::uint8_t> spliced;
    try {
        spliced.reserve(jpeg.size() - oldSize + segment->size());
        spliced.insert(spliced.end(), jpeg.begin(), jpeg.begin() + std::ptrdiff_t(offset));
        spliced.insert(spliced.end(), segment->begin(), segment->end());
        spliced.insert(spliced.end(), jpeg.begin() + std::ptrdiff_t(offset + oldSize), jpeg.end());
    } catch (const std::bad_alloc&) {
        return false;
    }
    jpeg = std::move(spliced);
    m_makerNotePlacement = placement;
    m_newThumbnail.reset();
    return true;
}

std::optional<std::vector<std::uint8_t>> ExifData::BuildTiffStructure()
{
    if (IsEmpty())
        return std::nullopt;
    SortEntries();
    const std::vector<const ExifEntry*> chosen = entriesToWrite(m_entries);
    std::optional<std::vector<std::uint8_t>> block =
        buildExifBlock(chosen, ExifBlockKind::TiffFile, BlockSource());
    if (!block || block->size() <= kTiffStart)
        return std::nullopt;
    block->erase(block->begin(), block->begin() + std::ptrdiff_t(kTiffStart));
    return block;
}

std::optional<std::vector<std::uint8_t>> ExifData::BuildJpegSegment(
    const std::vector<std::uint8_t>& file, MakerNotePlacement& placement)
{
    SortEntries();
    const std::vector<const ExifEntry*> chosen = entriesToWrite(m_entries);
    // The thumbnail of the Exif segment being replaced goes into the new one.
    // So do the entries without values, which the model cannot hold.
    std::optional<ThumbnailDirectory> oldThumbnail;
    std::vector<EmptyEntry> emptyEntries;
    if (std::FILE* stream = ::fmemopen(const_cast<std::uint8_t*>(file.data()), file.size(), "rb")) {
        ReadJpegSections(stream);
        std::fclose(stream);
    }
    for (const auto& section : m_sections) {
        if (section->marker != kMarkerApp1 || section->data.size() <= kTiffStart)
            continue;
        const auto tiff = std::span<const std::uint8_t>(section->data).subspan(kTiffStart);
        if (!m_newThumbnail)
            oldThumbnail = readThumbnailDirectory(tiff);
        emptyEntries = readEmptyEntries(tiff);
    }
    m_sections.clear();
    ExifBlockSource source = BlockSource();
    source.thumbnail = m_newThumbnail ? &*m_newThumbnail : oldThumbnail ? &*oldThumbnail : nullptr;
    source.emptyEntries = emptyEntries;
    return buildExifBlock(chosen, ExifBlockKind::JpegSegment, source, &placement);
}

ExifStatus ExifData::SaveTiffExif(const std::string& path)
{
    std::vector<std::uint8_t> file;
    if (!readWholeFile(path, file))
        return {ExifError::CannotRead, path};
    ExifData target;
    const bool loaded = target.LoadExifFromBytes(file.data(), file.size(), ImageFormat::Tiff);
    TakeWarnings(target);
    if (!loaded)
        return {ExifError::NoExifData, path};
    const int fileOrder = target.byteOrder();
    auto& kept = target.entries();
    // ColorSpace describes the file's pixels like its IFD0 layout tags, and the model's is
    // never copied over it: the file's own stays while the model has Exif data at all. A file
    // with none of its own (one just written from the model's picture) takes the model's.
    const bool withExif = std::any_of(m_entries.begin(), m_entries.end(), [](const auto& entry) {
        return entry->ifd() == kExifIfd && !entry->IsDerived();
    });
    std::erase_if(kept, [withExif](const auto& entry) {
        if (entry->ifd() == kExifIfd)
            return !withExif || entry->tag() != kTagColorSpace;
        return entry->ifd() != kIfd0 || tagListed(kTiffReplacedTags, entry->tag());
    });
    const bool ownColorSpace = target.FindEntry(kExifIfd, kTagColorSpace) != nullptr;

    for (const auto& entry : m_entries) {
        const std::uint16_t ifd = entry->ifd(), tag = entry->tag();
        if (ifd == kIfd0 && (tagListed(kTiffKeptTags, tag) || findTagInfo(kIfd0, tag) == nullptr))
            continue;
        if ((ifd == kExifIfd && tag == kTagColorSpace && ownColorSpace) || ifd == kMakerNoteIfd ||
            !entry->IsComplete() || entry->IsDerived())
            continue;
        // The entry is copied with its own type: the catalogue's type may differ from the one
        // the file used, and the bytes only mean something with their own type.
        ExifEntry* copy = target.FindEntry(ifd, tag);
        if (copy == nullptr) {
            kept.push_back(std::make_unique<ExifEntry>());
            copy = kept.back().get();
        }
        if (!copy->SetFromRaw(ifd, tag, entry->type(), entry->count(), entry->value().data(),
                              exif::kIntel))
            return {ExifError::TiffLayoutNotCarried, path};
    }
    target.SortEntries();

    ExifEntry* offsets = target.FindEntry(kIfd0, kTagStripOffsets);
    const ExifEntry* counts = target.FindEntry(kIfd0, kTagStripByteCounts);
    std::optional<ThumbnailDirectory> thumbnail;
    if (offsets == nullptr || counts == nullptr || offsets->count() != counts->count() ||
        !tiffDirectoryCanMove(file, thumbnail))
        return {ExifError::TiffLayoutNotCarried, path};
    // Sample data wider than a byte would be read in the wrong order under the "II" header.
    if (fileOrder == exif::kMotorola) {
        const ExifEntry* bits = target.FindEntry(kIfd0, kTagBitsPerSample);
        for (std::uint32_t i = 0; bits != nullptr && i < bits->count(); ++i) {
            if (bits->GetNumber(i) > 8)
                return {ExifError::TiffLayoutNotCarried, path};
        }
    }
    // The strips are moved as one run, so they must follow one another from the first on.
    const std::uint32_t strips = offsets->count();
    std::vector<std::uint64_t> starts(strips);
    std::uint64_t end = 0;
    for (std::uint32_t i = 0; i < strips; ++i) {
        if (offsets->type() != kShort && offsets->type() != kLong)
            return {ExifError::TiffLayoutNotCarried, path};
        starts[i] = static_cast<std::uint64_t>(offsets->GetNumber(i));
        const auto length = static_cast<std::uint64_t>(counts->GetNumber(i));
        if (i > 0 && starts[i] != end)
            return {ExifError::TiffLayoutNotCarried, path};
        end = starts[i] + length;
    }
    const std::uint64_t first = starts[0];
    if (first < 8 || end > file.size())
        return {ExifError::TiffLayoutNotCarried, path};

    // Offsets become LONG so that moving them cannot overflow a SHORT.
    std::vector<std::uint8_t> placeholder(std::size_t{strips} * 4, 0);
    if (!setTypedBytes(offsets, kLong, placeholder.data(),
                       static_cast<std::uint32_t>(placeholder.size())))
        return {ExifError::TiffLayoutNotCarried, path};
    const std::vector<const ExifEntry*> all = entryPointers(kept);
    // The file becomes "II"; a maker note read in the other order is carried as it is.
    ExifBlockSource source = BlockSource();
    source.byteOrder = exif::kIntel;
    source.thumbnail = thumbnail ? &*thumbnail : nullptr;
    const auto size = exifBlockSize(all, ExifBlockKind::TiffFile, source);
    if (!size)
        return {ExifError::TiffLayoutNotCarried, path};
    const std::uint64_t dataStart = *size - kTiffStart;
    if (dataStart + (end - first) > UINT32_MAX)
        return {ExifError::TiffLayoutNotCarried, path};
    for (std::uint32_t i = 0; i < strips; ++i)
        exif::writeU32(placeholder, std::size_t{i} * 4, exif::kIntel,
                       static_cast<std::uint32_t>(starts[i] - first + dataStart));
    if (!setTypedBytes(offsets, kLong, placeholder.data(),
                       static_cast<std::uint32_t>(placeholder.size())))
        return {ExifError::TiffLayoutNotCarried, path};
    MakerNotePlacement placement = MakerNotePlacement::None;
    const auto block = buildExifBlock(all, ExifBlockKind::TiffFile, source, &placement);
    if (!block || block->size() != *size)
        return {ExifError::TiffLayoutNotCarried, path};
    // What lay behind the strips was the old directories, now rebuilt in front: the file
    // ends with the image data.
    const std::span<const std::uint8_t> whole(file);
    if (!exif::replaceFileContents(path, {std::span<const std::uint8_t>(*block).subspan(kTiffStart),
                                          whole.subspan(static_cast<std::size_t>(first),
                                                        static_cast<std::size_t>(end - first))}))
        return {ExifError::CannotWrite, path};
    m_makerNotePlacement = placement;
    return {};
}

}  // namespace tavelune
