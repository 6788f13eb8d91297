// The JPEG marker scan that keeps the JFIF and Exif segments, and the splice that replaces one.
#include <cstring>
#include <new>
#include <optional>

#include "engine/codec_support.h"
#include "exif/exif_data.h"
#include "exif/file_replace.h"

namespace tavelune {
namespace {

bool startsWith(const std::vector<std::uint8_t>& data, std::size_t at, const char* text,
                std::size_t length)
{
    return data.size() >= at + length && std::memcmp(data.data() + at, text, length) == 0;
}

}  // namespace

int ExifData::ReadJpegSections(std::FILE* file)
{
    m_sections.clear();
    if (file == nullptr || std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    const int first = std::fgetc(file);
    const int second = std::fgetc(file);
    if (first != 0xFF || second != 0xD8)
        return -1;

    auto fail = [this](std::optional<ExifError> box) {
        m_sections.clear();
        if (box)
            Warn(*box);
        return -1;
    };

    for (;;) {
        const int prefix = std::fgetc(file);
        const int marker = std::fgetc(file);
        if (marker == EOF)
            return fail(ExifError::TooManyPaddingBytes);
        // Pairs are consumed two bytes at a time, so fill bytes and strays fall out here.
        if (prefix != 0xFF || marker == 0xFF)
            continue;
        if (marker == 0xD9)
            break;
        const int high = std::fgetc(file);
        const int low = std::fgetc(file);
        if (high == EOF || low == EOF)
            return fail(std::nullopt);
        const int length = (high << 8) | low;
        if (length < 2)
            return fail(std::nullopt);
        const long position = std::ftell(file);
        if (position < 4 || position - 4 > INT32_MAX)
            return fail(std::nullopt);
        const int offset = static_cast<int>(position - 4);

        if (marker == 0xDA) {
            // The scan data is not parsed: the last two bytes of the file should be EOI.
            std::fseek(file, -2, SEEK_END);
            continue;
        }
        if (marker != kMarkerApp0 && marker != kMarkerApp1) {
            // A stream that cannot seek past its end reads as ended, as a file would.
            if (std::fseek(file, length - 2, SEEK_CUR) != 0)
                std::fseek(file, 0, SEEK_END);
            continue;
        }

        std::vector<std::uint8_t> data;
        try {
            data.resize(static_cast<std::size_t>(length) + 2);
        } catch (const std::bad_alloc&) {
            return fail(ExifError::SectionAllocFailed);
        }
        data[0] = 0xFF;
        data[1] = static_cast<std::uint8_t>(marker);
        data[2] = static_cast<std::uint8_t>(high);
        data[3] = static_cast<std::uint8_t>(low);
        const std::size_t payload = static_cast<std::size_t>(length) - 2;
        if (std::fread(data.data() + 4, 1, payload, file) != payload)
            return fail(ExifError::PrematureEnd);

        const bool keep = marker == kMarkerApp0 ? length >= 7 && startsWith(data, 4, "JFIF\0", 5)
                                                : length >= 8 && startsWith(data, 4, "Exif\0\0", 6);
        if (!keep)
            continue;
        try {
            auto section = std::make_unique<JpegSection>();
            section->marker = marker;
            section->offset = offset;
            section->size = length + 2;
            section->data = std::move(data);
            m_sections.push_back(std::move(section));
        } catch (const std::bad_alloc&) {
            return fail(std::nullopt);
        }
        if (marker == kMarkerApp1)
            break;  // nothing after the first Exif segment matters
    }
    return static_cast<int>(m_sections.size());
}

ExifStatus ExifData::ReplaceExifSegment(const char* path, const std::uint8_t* segment,
                                        std::size_t size)
{
    if (path == nullptr)
        return ExifError::CannotRead;
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes) || bytes.empty())
        return {ExifError::CannotRead, path};
    return SpliceExifSegment(path, bytes, segment, size);
}

ExifStatus ExifData::SpliceExifSegment(const std::string& path, std::vector<std::uint8_t>& bytes,
                                       const std::uint8_t* segment, std::size_t size)
{
    std::size_t offset = 0;
    std::size_t oldSize = 0;
    if (ExifStatus place = FindExifSegmentPlace(bytes, segment, size, offset, oldSize); !place)
        return place;
    const std::span<const std::uint8_t> all(bytes);
    if (!exif::replaceFileContents(path,
                                   {all.first(offset), std::span<const std::uint8_t>(segment, size),
                                    all.subspan(offset + oldSize)}))
        return {ExifError::CannotWrite, path};
    return {};
}

ExifStatus ExifData::FindExifSegmentPlace(const std::vector<std::uint8_t>& bytes,
                                          const std::uint8_t* segment, std::size_t size,
                                          std::size_t& offset, std::size_t& oldSize)
{
    // A segment whose length field disagrees with its size would corrupt the file.
    if (segment == nullptr || size < 4 || size > 65537 || segment[0] != 0xFF ||
        segment[1] != kMarkerApp1 || ((std::size_t{segment[2]} << 8) | segment[3]) + 2 != size)
        return size > 65537 ? ExifError::SegmentTooLarge : ExifError::BadSegment;

    std::FILE* file = ::fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (file == nullptr)
        return ExifError::CannotRead;
    const int kept = ReadJpegSections(file);
    std::fclose(file);
    if (kept <= 0) {
        m_sections.clear();
        return kept < 0 ? ExifError::BadJpeg : ExifError::NoSegmentToReplace;
    }
    const JpegSection* target = nullptr;
    for (const auto& section : m_sections) {
        if (section->marker == kMarkerApp1) {
            target = section.get();
            break;
        }
    }
    if (target == nullptr) {
        for (const auto& section : m_sections) {
            if (section->marker == kMarkerApp0) {
                target = section.get();
                break;
            }
        }
    }
    if (target == nullptr) {
        m_sections.clear();
        return ExifError::NoSegmentToReplace;
    }
    offset = static_cast<std::size_t>(target->offset);
    oldSize = static_cast<std::size_t>(target->size);
    m_sections.clear();
    if (offset + oldSize > bytes.size())
        return ExifError::BadJpeg;
    return {};
}

}  // namespace tavelune
