// Parsers of the Exif APP1 segment (in memory) and of a TIFF file's first directory (stream).
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "exif/byte_order.h"
#include "exif/exif_data.h"

namespace tavelune {
namespace {

// Only IFD0 leads to the GPS directory; a GPS pointer anywhere else is not followed.
bool isGpsPointer(std::uint16_t ifd, std::uint16_t tag)
{
    return ifd == kIfd0 && tag == kGpsIfd;
}

bool isSkipped(std::uint16_t tag)
{
    return tag == kTagJPEGInterchangeFormat || tag == kTagJPEGInterchangeFormatLength ||
           tag == kGpsIfd;
}

bool isPointer(std::uint16_t tag)
{
    return tag == kExifIfd || tag == kInteropIfd;
}

int byteOrderOf(const std::uint8_t* header)
{
    if (header[0] == 'I' && header[1] == 'I')
        return exif::kIntel;
    if (header[0] == 'M' && header[1] == 'M')
        return exif::kMotorola;
    return 0;
}

// Each sub-directory is read once: a pointer back to a directory already read (a loop) or a
// second pointer of the same kind is dropped, which bounds the work on hostile files.
class DirectoryGuard {
public:
    bool Enter(std::uint16_t ifd, std::uint64_t offset)
    {
        if (std::find(m_ifds.begin(), m_ifds.end(), ifd) != m_ifds.end() ||
            std::find(m_offsets.begin(), m_offsets.end(), offset) != m_offsets.end())
            return false;
        m_ifds.push_back(ifd);
        m_offsets.push_back(offset);
        return true;
    }

private:
    std::vector<std::uint16_t> m_ifds;
    std::vector<std::uint64_t> m_offsets;
};

struct RawEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint64_t bytes;  // count x type size, without overflow
    std::uint32_t word;   // the last four bytes: the value itself or its offset
};

RawEntry decodeEntry(exif::ByteSpan entry, int order)
{
    RawEntry raw{};
    raw.tag = exif::readU16(entry, 0, order).value_or(0);
    raw.type = exif::readU16(entry, 2, order).value_or(0);
    raw.count = exif::readU32(entry, 4, order).value_or(0);
    raw.bytes = std::uint64_t{raw.count} * exifTypeSize(raw.type);
    raw.word = exif::readU32(entry, 8, order).value_or(0);
    return raw;
}

}  // namespace

// In-memory directories of an APP1 segment, bounded by the segment.
class MemoryDirectoryParser {
public:
    MemoryDirectoryParser(exif::ByteSpan tiff, int order, int& makerNoteOffset,
                          std::vector<std::unique_ptr<ExifEntry>>& entries)
        : m_tiff(tiff), m_order(order), m_makerNoteOffset(makerNoteOffset), m_entries(entries)
    {
    }

    bool Parse(std::uint64_t offset, std::uint16_t ifd)
    {
        if (!m_guard.Enter(ifd, offset))
            return true;
        const auto count = exif::readU16(m_tiff, offset, m_order);
        if (!count)
            return false;
        if (!exif::fits(offset + 2, std::uint64_t{*count} * 12 + 4, m_tiff.size()))
            return ifd != kIfd0;  // a truncated sub-directory only loses its own entries
        for (std::uint32_t i = 0; i < *count; ++i) {
            const std::uint64_t at = offset + 2 + std::uint64_t{i} * 12;
            const RawEntry raw = decodeEntry(m_tiff.subspan(at, 12), m_order);
            std::uint64_t valueAt = at + 8;
            if (raw.bytes > 4) {
                valueAt = raw.word;
                if (!exif::fits(valueAt, raw.bytes, m_tiff.size()))
                    continue;
            }
            if (isPointer(raw.tag) || isGpsPointer(ifd, raw.tag)) {
                if (!exif::fits(raw.word, 2, m_tiff.size()))
                    continue;
                if (!Parse(raw.word, raw.tag))
                    return false;
                continue;
            }
            if (isSkipped(raw.tag))
                continue;
            if (raw.tag == kTagMakerNote && ifd == kExifIfd && m_makerNoteOffset == 0)
                m_makerNoteOffset = static_cast<int>(valueAt);
            auto entry = std::make_unique<ExifEntry>();
            if (entry->SetFromRaw(ifd, raw.tag, raw.type, raw.count, m_tiff.data() + valueAt,
                                  m_order))
                m_entries.push_back(std::move(entry));
        }
        return true;
    }

private:
    exif::ByteSpan m_tiff;
    int m_order;
    int& m_makerNoteOffset;
    std::vector<std::unique_ptr<ExifEntry>>& m_entries;
    DirectoryGuard m_guard;
};

// Directories of a TIFF file read through the stream, bounded by the file's size.
class StreamDirectoryParser {
public:
    StreamDirectoryParser(std::FILE* file, std::uint64_t fileSize, int order, int& makerNoteOffset,
                          std::vector<std::unique_ptr<ExifEntry>>& entries)
        : m_file(file),
          m_fileSize(fileSize),
          m_order(order),
          m_makerNoteOffset(makerNoteOffset),
          m_entries(entries)
    {
    }

    bool Parse(std::uint64_t offset, std::uint16_t ifd)
    {
        if (!m_guard.Enter(ifd, offset))
            return true;
        std::uint8_t countBytes[2];
        if (!ReadAt(offset, countBytes, 2))
            return false;
        const std::uint16_t count = exif::readU16(countBytes, 0, m_order).value_or(0);
        std::vector<std::uint8_t> value;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t entryBytes[12];
            const std::uint64_t at = offset + 2 + std::uint64_t{i} * 12;
            if (!ReadAt(at, entryBytes, 12))
                return false;
            const RawEntry raw = decodeEntry(entryBytes, m_order);
            if (isGpsPointer(ifd, raw.tag)) {
                ParseGps(raw.word);
                continue;
            }
            if (isSkipped(raw.tag))
                continue;
            if (isPointer(raw.tag)) {
                if (!Parse(raw.word, raw.tag))
                    return false;
                continue;
            }
            std::uint64_t valueAt = at + 8;
            const std::uint8_t* source = entryBytes + 8;
            if (raw.bytes > 4) {
                valueAt = raw.word;
                // Checked against the file size first, so a hostile count cannot make us
                // allocate more than the file holds.
                if (!exif::fits(valueAt, raw.bytes, m_fileSize))
                    return false;
                try {
                    value.resize(static_cast<std::size_t>(raw.bytes));
                } catch (const std::bad_alloc&) {
                    return false;
                }
                if (!ReadAt(valueAt, value.data(), value.size()))
                    return false;
                source = value.data();
            }
            if (raw.tag == kTagMakerNote && ifd == kExifIfd && m_makerNoteOffset == 0)
                m_makerNoteOffset = valueAt <= INT32_MAX ? static_cast<int>(valueAt) : 0;
            auto entry = std::make_unique<ExifEntry>();
            if (entry->SetFromRaw(ifd, raw.tag, raw.type, raw.count, source, m_order))
                m_entries.push_back(std::move(entry));
        }
        return true;
    }

private:
    // A broken GPS directory costs only its own entries: files whose location we could not
    // read still load as they did before we read locations at all.
    void ParseGps(std::uint64_t offset)
    {
        const std::size_t before = m_entries.size();
        const int makerNoteOffset = m_makerNoteOffset;
        if (!Parse(offset, kGpsIfd)) {
            m_entries.resize(before);
            m_makerNoteOffset = makerNoteOffset;
        }
    }

    bool ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t length)
    {
        if (!exif::fits(offset, length, m_fileSize) ||
            offset > static_cast<std::uint64_t>(LONG_MAX))
            return false;
        if (std::fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0)
            return false;
        return std::fread(into, 1, length, m_file) == length;
    }

    std::FILE* m_file;
    std::uint64_t m_fileSize;
    int m_order;
    int& m_makerNoteOffset;
    std::vector<std::unique_ptr<ExifEntry>>& m_entries;
    DirectoryGuard m_guard;
};

bool ExifData::ParseApp1(const JpegSection& section)
{
    const std::vector<std::uint8_t>& data = section.data;
    if (data.size() <= 17 || std::memcmp(data.data() + 4, "Exif\0\0", 6) != 0)
        return false;
    const exif::ByteSpan tiff = exif::ByteSpan(data).subspan(10);
    const int order = byteOrderOf(tiff.data());
    if (order == 0 || exif::readU16(tiff, 2, order).value_or(0) != 42)
        return false;
    m_byteOrder = order;
    const std::uint32_t ifd0 = exif::readU32(tiff, 4, order).value_or(0);
    try {
        MemoryDirectoryParser parser(tiff, order, m_makerNoteOffset, m_entries);
        if (parser.Parse(ifd0, kIfd0))
            return true;
    } catch (const std::bad_alloc&) {
    }
    m_entries.clear();
    return false;
}

bool ExifData::ParseTiffStream(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return false;
    const long end = std::ftell(file);
    if (end < 8 || std::fseek(file, 0, SEEK_SET) != 0)
        return false;
    std::uint8_t header[8];
    if (std::fread(header, 1, 8, file) != 8)
        return false;
    const int order = byteOrderOf(header);
    if (order == 0 || exif::readU16(header, 2, order).value_or(0) != 42)
        return false;
    m_byteOrder = order;
    const std::uint32_t ifd0 = exif::readU32(header, 4, order).value_or(0);
    if (ifd0 < 8)
        return false;
    try {
        StreamDirectoryParser parser(file, static_cast<std::uint64_t>(end), order,
                                     m_makerNoteOffset, m_entries);
        if (parser.Parse(ifd0, kIfd0))
            return true;
    } catch (const std::bad_alloc&) {
    }
    m_entries.clear();
    return false;
}

}  // namespace tavelune
