// Deleting the EXIF data of a JPEG file (a JFIF APP0 takes its place) or a TIFF file.
#include <array>
#include <cstdio>

#include "engine/codec_support.h"
#include "exif/entry_values.h"
#include "exif/exif_data.h"
#include "exif/file_replace.h"
#include "exif/writer_support.h"

namespace tavelune {
namespace {

// Texts a TIFF file keeps when its EXIF data is deleted are all IFD0 tags but these.
constexpr std::uint16_t kTiffDeletedTags[] = {kTagImageDescription, kTagMake, kTagModel,
                                              kTagCopyright};

}  // namespace

ExifStatus ExifData::DeleteExif(const std::string& path, std::optional<ImageFormat> format)
{
    m_warnings.clear();
    if (path.empty())
        return ExifError::CannotRead;
    const std::optional<ImageFormat> kind = exifFileFormat(path, format);
    if (kind == ImageFormat::Jpeg)
        return DeleteJpegExif(path);
    if (kind != ImageFormat::Tiff)
        return {ExifError::NotJpegOrTiff, path};
    ExifData remaining;
    const ExifStatus loaded = remaining.LoadExif(path, ImageFormat::Tiff);
    TakeWarnings(remaining);
    if (!loaded)
        return loaded;
    std::erase_if(remaining.entries(), [](const auto& entry) {
        return entry->ifd() != kIfd0 || tagListed(kTiffDeletedTags, entry->tag());
    });
    const ExifStatus saved = remaining.SaveExif(path, ImageFormat::Tiff);
    TakeWarnings(remaining);
    return saved;
}

ExifStatus ExifData::DeleteJpegExif(const std::string& path)
{
    std::vector<std::uint8_t> file;
    if (!readWholeFile(path, file) || file.empty())
        return {ExifError::CannotRead, path};
    // The scan runs over the bytes that will be written back, not over a second read.
    std::FILE* stream = ::fmemopen(file.data(), file.size(), "rb");
    if (stream == nullptr)
        return {ExifError::CannotRead, path};
    const int kept = ReadJpegSections(stream);
    std::fclose(stream);
    if (kept <= 0) {
        m_sections.clear();
        return {kept < 0 ? ExifError::BadJpeg : ExifError::NoSegmentToReplace, path};
    }
    const JpegSection* app1 = nullptr;
    bool hasJfif = false;
    for (const auto& section : m_sections) {
        if (section->marker == kMarkerApp1 && app1 == nullptr)
            app1 = section.get();
        if (section->marker == kMarkerApp0)
            hasJfif = true;
    }
    if (app1 == nullptr) {
        m_sections.clear();
        return {};
    }
    const auto offset = static_cast<std::size_t>(app1->offset);
    const auto size = static_cast<std::size_t>(app1->size);
    m_sections.clear();
    if (offset + size > file.size())
        return {ExifError::BadJpeg, path};

    std::array<std::uint8_t, 18> jfif = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0,
                                         1,    2,    1, 0,  72,  0,   72,  0,   0};
    if (!hasJfif) {
        ExifData current;
        const bool loaded = current.LoadExifFromBytes(file.data(), file.size(), ImageFormat::Jpeg);
        TakeWarnings(current);
        if (loaded) {
            const ExifEntry* x = current.FindEntry(kIfd0, kTagXResolution);
            const ExifEntry* y = current.FindEntry(kIfd0, kTagYResolution);
            const ExifEntry* unit = current.FindEntry(kIfd0, kTagResolutionUnit);
            const std::uint32_t dx = x != nullptr ? truncatedU32(x->GetNumber(0)) : 0;
            const std::uint32_t dy = y != nullptr ? truncatedU32(y->GetNumber(0)) : 0;
            // Densities are 16-bit and 0 is not a density: such values keep 72 x 72 dpi.
            if (unit != nullptr && dx >= 1 && dx <= 0xFFFF && dy >= 1 && dy <= 0xFFFF) {
                jfif[11] = unit->GetNumber(0) == 3 ? 2 : 1;
                jfif[12] = static_cast<std::uint8_t>(dx >> 8);
                jfif[13] = static_cast<std::uint8_t>(dx);
                jfif[14] = static_cast<std::uint8_t>(dy >> 8);
                jfif[15] = static_cast<std::uint8_t>(dy);
            }
        }
    }
    const std::span<const std::uint8_t> whole(file);
    if (!exif::replaceFileContents(
            path, {whole.first(offset),
                   std::span<const std::uint8_t>(jfif).first(hasJfif ? 0 : jfif.size()),
                   whole.subspan(offset + size)}))
        return {ExifError::CannotWrite, path};
    return {};
}

}  // namespace tavelune
