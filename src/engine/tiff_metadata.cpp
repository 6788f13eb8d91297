// TIFF metadata tags: our own bounded directory scan for reading (libtiff would widen IPTC
// stored as bytes into one long per byte), libtiff for writing.
#include "engine/tiff_metadata.h"

#include <tiffio.h>

#include <array>
#include <cstring>

#include "engine/photoshop_resources.h"

namespace tavelune {
namespace {

constexpr std::uint16_t kTagXmp = 700;
constexpr std::uint16_t kTagIptc = 33723;
constexpr std::uint16_t kTagPhotoshop = 34377;
constexpr std::uint16_t kTagIcc = 34675;
constexpr std::size_t kMaxEntries = 4096;

struct Stream {
    std::FILE* file;
    bool intel;
    long length;

    bool read(long offset, void* out, std::size_t size) const
    {
        if (offset < 0 || offset > length || std::uint64_t(size) > std::uint64_t(length - offset))
            return false;
        return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(out, 1, size, file) == size;
    }
    std::uint32_t value(const std::uint8_t* p, int bytes) const
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= std::uint32_t(p[intel ? i : bytes - 1 - i]) << (8 * i);
        return v;
    }
};

std::size_t typeSize(std::uint16_t type)
{
    switch (type) {
        case 1: case 2: case 6: case 7: return 1;  // BYTE, ASCII, SBYTE, UNDEFINED
        case 3: case 8: return 2;
        case 4: case 9: case 11: case 13: return 4;
        case 5: case 10: case 12: return 8;
        default: return 0;
    }
}

enum class EntryRead { Done, Unusable, TooLarge };

// The bytes of one entry as they stand in the file, whatever its type.
EntryRead entryBytes(const Stream& stream, const std::uint8_t* entry,
                     std::vector<std::uint8_t>& out, std::size_t& budget)
{
    const std::size_t size = typeSize(std::uint16_t(stream.value(entry + 2, 2)));
    const std::uint64_t bytes = std::uint64_t(size) * stream.value(entry + 4, 4);
    if (size == 0 || bytes == 0)
        return EntryRead::Unusable;
    if (bytes > budget)
        return EntryRead::TooLarge;
    if (bytes > 4 && bytes > std::uint64_t(stream.length))
        return EntryRead::Unusable;  // checked before the allocation
    out.resize(std::size_t(bytes));
    if (bytes <= 4)
        std::memcpy(out.data(), entry + 8, std::size_t(bytes));
    else if (!stream.read(long(stream.value(entry + 8, 4)), out.data(), std::size_t(bytes)))
        return EntryRead::Unusable;
    budget -= std::size_t(bytes);
    return EntryRead::Done;
}

}  // namespace

MetadataRead readTiffMetadata(std::FILE* file)
{
    MetadataRead read;
    if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0)
        return read;
    Stream stream{file, true, std::ftell(file)};
    std::array<std::uint8_t, 8> header{};
    if (stream.length < 8 || !stream.read(0, header.data(), header.size()))
        return read;
    if (header[0] == 'I' && header[1] == 'I')
        stream.intel = true;
    else if (header[0] == 'M' && header[1] == 'M')
        stream.intel = false;
    else
        return read;
    if (stream.value(&header[2], 2) != 42)
        return read;  // BigTIFF and others: none read
    const long directory = long(stream.value(&header[4], 4));
    std::array<std::uint8_t, 2> countBytes{};
    if (!stream.read(directory, countBytes.data(), 2))
        return read;
    const std::size_t count = stream.value(countBytes.data(), 2);
    if (count > kMaxEntries)
        return read;
    std::vector<std::uint8_t> entries(count * 12);
    if (!stream.read(directory + 2, entries.data(), entries.size()))
        return read;

    PictureMetadata& metadata = read.metadata;
    std::vector<std::uint8_t> iptc;
    std::size_t budget = kMaxMetadataBytes;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = entries.data() + i * 12;
        const std::uint16_t tag = std::uint16_t(stream.value(entry, 2));
        std::vector<std::uint8_t>* target = tag == kTagIcc         ? &metadata.icc
                                            : tag == kTagPhotoshop ? &metadata.photoshop
                                            : tag == kTagIptc      ? &iptc
                                                                   : nullptr;
        std::vector<std::uint8_t> xmp;
        if (tag == kTagXmp)
            target = &xmp;
        if (target == nullptr || !target->empty())
            continue;
        const EntryRead got = entryBytes(stream, entry, *target, budget);
        if (got != EntryRead::Done) {
            target->clear();
            if (got == EntryRead::TooLarge)
                read.problems.push_back(MetadataProblem::TooLarge);
            continue;
        }
        if (tag == kTagXmp)
            metadata.xmp.assign(xmp.begin(), xmp.end());
    }
    if (!metadata.photoshop.empty() && !parsePhotoshopResources(metadata.photoshop)) {
        metadata.photoshop.clear();
        read.problems.push_back(MetadataProblem::PhotoshopBroken);
    }
    // Writers pad 33723 to whole longs; the resource keeps the records as they are.
    if (!iptc.empty() && !photoshopResource(metadata.photoshop, kResourceIptc))
        setPhotoshopResource(metadata.photoshop, kResourceIptc, iptc);
    return read;
}

bool setTiffMetadataTags(TIFF* tiff, const PictureMetadata& metadata)
{
    bool ok = true;
    if (!metadata.icc.empty())
        ok = ok && TIFFSetField(tiff, TIFFTAG_ICCPROFILE, uint32_t(metadata.icc.size()),
                                metadata.icc.data());
    if (!metadata.xmp.empty())
        ok = ok && TIFFSetField(tiff, TIFFTAG_XMLPACKET, uint32_t(metadata.xmp.size()),
                                metadata.xmp.data());
    if (metadata.photoshop.empty())
        return ok;
    // A TIFF's IPTC belongs in its own tag; a copy among the resources is one readers flag.
    std::vector<std::uint8_t> resources;
    std::optional<std::vector<std::uint8_t>> iptc;
    if (auto list = parsePhotoshopResources(metadata.photoshop)) {
        std::vector<PhotoshopResource> others;
        for (PhotoshopResource& resource : *list) {
            if (resource.id == kResourceIptc && !iptc)
                iptc = std::move(resource.data);
            else
                others.push_back(std::move(resource));
        }
        resources = serialisePhotoshopResources(others);
    } else {
        resources = metadata.photoshop;
    }
    if (!resources.empty())
        ok = ok && TIFFSetField(tiff, TIFFTAG_PHOTOSHOP, uint32_t(resources.size()),
                                resources.data());
    if (iptc && !iptc->empty()) {
        iptc->resize((iptc->size() + 3) & ~std::size_t(3), 0);  // whole longs: see markIptcAsLongs
        ok = ok && TIFFSetField(tiff, TIFFTAG_RICHTIFFIPTC, uint32_t(iptc->size()), iptc->data());
    }
    return ok;
}

bool markIptcAsLongs(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr)
        return false;
    bool done = false;
    bool written = true;
    std::array<std::uint8_t, 8> header{};
    std::array<std::uint8_t, 2> countBytes{};
    if (std::fread(header.data(), 1, 8, file) == 8 && header[0] == 'I' && header[1] == 'I' &&
        header[2] == 42 && header[3] == 0) {
        const Stream stream{file, true, 0};
        const long directory = long(stream.value(&header[4], 4));
        if (std::fseek(file, directory, SEEK_SET) == 0 &&
            std::fread(countBytes.data(), 1, 2, file) == 2) {
            const std::size_t count = stream.value(countBytes.data(), 2);
            std::array<std::uint8_t, 12> entry{};
            for (std::size_t i = 0; i < count && !done; ++i) {
                const long at = directory + 2 + long(i * 12);
                if (std::fseek(file, at, SEEK_SET) != 0 || std::fread(entry.data(), 1, 12, file) != 12)
                    break;
                if (stream.value(entry.data(), 2) != kTagIptc)
                    continue;
                const std::uint32_t bytes = stream.value(entry.data() + 4, 4);
                done = true;  // a short or odd entry stays as libtiff wrote it
                if (stream.value(entry.data() + 2, 2) != 7 || bytes % 4 != 0 || bytes <= 4)
                    break;
                const std::uint32_t longs = bytes / 4;
                const std::array<std::uint8_t, 6> patch{4, 0, std::uint8_t(longs), std::uint8_t(longs >> 8),
                                                        std::uint8_t(longs >> 16), std::uint8_t(longs >> 24)};
                written = std::fseek(file, at + 2, SEEK_SET) == 0 &&
                          std::fwrite(patch.data(), 1, patch.size(), file) == patch.size();
            }
        }
    }
    return std::fclose(file) == 0 && written && done;
}

}  // namespace tavelune
