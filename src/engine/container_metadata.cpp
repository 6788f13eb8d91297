// PNG, PSD and GIF metadata, read through bounded walks of their chunk and block structure.
#include "engine/container_metadata.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "engine/embedded_metadata.h"
#include "engine/photoshop_resources.h"

namespace tavelune {
namespace {

std::uint32_t bigEndian(const std::uint8_t* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

long fileLength(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file);
    return std::fseek(file, 0, SEEK_SET) == 0 ? length : -1;
}

bool readExactly(std::FILE* file, std::vector<std::uint8_t>& out, std::size_t size)
{
    out.resize(size);
    return std::fread(out.data(), 1, size, file) == size;
}

// zlib data inflated, refusing to grow past the cap (a small stream can claim gigabytes).
bool inflateBounded(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = uInt(size);
    std::array<std::uint8_t, 16384> buffer{};
    int status = Z_OK;
    out.clear();
    while (status == Z_OK) {
        stream.next_out = buffer.data();
        stream.avail_out = uInt(buffer.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        const std::size_t produced = buffer.size() - stream.avail_out;
        if (out.size() + produced > kMaxMetadataBytes) {
            status = Z_MEM_ERROR;
            break;
        }
        out.insert(out.end(), buffer.data(), buffer.data() + produced);
        if (produced == 0 && stream.avail_in == 0 && status == Z_OK)
            break;  // input used up before the stream's end
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END;
}

// The text after a NUL-terminated field at at, or npos.
std::size_t afterField(const std::vector<std::uint8_t>& data, std::size_t at)
{
    const void* nul = at < data.size() ? std::memchr(data.data() + at, 0, data.size() - at) : nullptr;
    return nul == nullptr ? std::string::npos
                          : std::size_t(static_cast<const std::uint8_t*>(nul) - data.data()) + 1;
}

void readIccp(const std::vector<std::uint8_t>& data, MetadataRead& read)
{
    const std::size_t method = afterField(data, 0);
    if (method == std::string::npos || method >= data.size() || data[method] != 0 ||
        !inflateBounded(data.data() + method + 1, data.size() - method - 1, read.metadata.icc))
        read.metadata.icc.clear();
}

void readXmpText(const std::vector<std::uint8_t>& data, MetadataRead& read)
{
    constexpr std::string_view kKeyword{"XML:com.adobe.xmp\0", 18};
    if (data.size() < kKeyword.size() + 2 || std::memcmp(data.data(), kKeyword.data(), kKeyword.size()) != 0)
        return;
    const bool compressed = data[kKeyword.size()] == 1;
    const std::size_t language = kKeyword.size() + 2;
    const std::size_t translated = afterField(data, language);
    const std::size_t text = translated == std::string::npos ? translated : afterField(data, translated);
    if (text == std::string::npos)
        return;
    if (!compressed) {
        read.metadata.xmp.assign(data.begin() + std::ptrdiff_t(text), data.end());
        return;
    }
    std::vector<std::uint8_t> inflated;
    if (data[kKeyword.size() + 1] == 0 && inflateBounded(data.data() + text, data.size() - text, inflated))
        read.metadata.xmp.assign(inflated.begin(), inflated.end());
}

}  // namespace

MetadataRead readPngMetadata(std::FILE* file, std::vector<std::uint8_t>* exif)
{
    MetadataRead read;
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const long length = file ? fileLength(file) : -1;
    std::array<std::uint8_t, 8> head{};
    if (length < 8 || std::fread(head.data(), 1, 8, file) != 8 ||
        std::memcmp(head.data(), kSignature, 8) != 0)
        return read;
    std::size_t kept = 0;
    for (long at = 8; length - at >= 12;) {
        if (std::fseek(file, at, SEEK_SET) != 0 || std::fread(head.data(), 1, 8, file) != 8)
            break;
        const std::uint32_t size = bigEndian(head.data(), 4);
        const std::string_view type(reinterpret_cast<const char*>(head.data() + 4), 4);
        if (size > 0x7FFFFFFFu || std::uint64_t(size) + 12 > std::uint64_t(length - at) || type == "IEND")
            break;
        at += long(size) + 12;
        const bool wanted = (type == "iCCP" && read.metadata.icc.empty()) ||
                            (type == "iTXt" && read.metadata.xmp.empty()) ||
                            (type == "eXIf" && exif && exif->empty());
        if (!wanted)
            continue;
        if (kept + size > kMaxMetadataBytes) {
            read.problems.push_back(MetadataProblem::TooLarge);
            continue;
        }
        std::vector<std::uint8_t> data;
        if (!readExactly(file, data, size))
            break;
        kept += size;
        if (type == "iCCP")
            readIccp(data, read);
        else if (type == "iTXt")
            readXmpText(data, read);
        else
            *exif = exifFromTiffHeader(data.data(), data.size());
    }
    return read;
}

MetadataRead readPsdMetadata(std::FILE* file)
{
    MetadataRead read;
    const long length = file ? fileLength(file) : -1;
    std::vector<std::uint8_t> header;
    if (length < 34 || !readExactly(file, header, 30) || std::memcmp(header.data(), "8BPS", 4) != 0)
        return read;
    const std::uint32_t version = bigEndian(header.data() + 4, 2);
    if (version != 1 && version != 2)
        return read;
    const std::uint64_t colourData = bigEndian(header.data() + 26, 4);
    const std::uint64_t resourcesAt = 30 + colourData + 4;
    if (resourcesAt > std::uint64_t(length))
        return read;
    std::vector<std::uint8_t> sizeBytes;
    if (std::fseek(file, long(resourcesAt - 4), SEEK_SET) != 0 || !readExactly(file, sizeBytes, 4))
        return read;
    const std::uint64_t size = bigEndian(sizeBytes.data(), 4);
    if (size > std::uint64_t(length) - resourcesAt || size > kMaxMetadataBytes) {
        if (size <= std::uint64_t(length) - resourcesAt)
            read.problems.push_back(MetadataProblem::TooLarge);
        return read;
    }
    std::vector<std::uint8_t> block;
    if (!readExactly(file, block, std::size_t(size)))
        return read;
    const auto list = parsePhotoshopResources(block);
    if (!list) {
        read.problems.push_back(MetadataProblem::PhotoshopBroken);
        return read;
    }
    std::vector<PhotoshopResource> kept;
    for (const PhotoshopResource& resource : *list) {
        if (resource.signature != 0x3842494D)  // "8BIM"
            continue;
        if (resource.id == kResourceIcc && read.metadata.icc.empty())
            read.metadata.icc = resource.data;
        else if (resource.id == kResourceXmp && read.metadata.xmp.empty())
            read.metadata.xmp.assign(resource.data.begin(), resource.data.end());
        else if (resource.id == kResourceIptc || resource.id == kResourceIptcDigest)
            kept.push_back(resource);
    }
    if (!kept.empty())
        read.metadata.photoshop = serialisePhotoshopResources(kept);
    return read;
}

MetadataRead readGifMetadata(std::FILE* file)
{
    MetadataRead read;
    const long length = file ? fileLength(file) : -1;
    std::vector<std::uint8_t> bytes;
    // GIF blocks can only be walked in order; the file is read whole, within the cap.
    if (length < 13 || std::uint64_t(length) > kMaxMetadataBytes * 4 ||
        !readExactly(file, bytes, std::size_t(length)) || std::memcmp(bytes.data(), "GIF8", 4) != 0)
        return read;
    auto colourTable = [](std::uint8_t flags) {
        return (flags & 0x80) ? std::size_t(3) << ((flags & 7) + 1) : std::size_t(0);
    };
    std::size_t at = 13 + colourTable(bytes[10]);
    // Sub-blocks from at to their terminator; npos when they run past the end.
    auto skipBlocks = [&bytes](std::size_t from) {
        while (from < bytes.size() && bytes[from] != 0) from += std::size_t(bytes[from]) + 1;
        return from < bytes.size() ? from + 1 : std::string::npos;
    };
    constexpr std::string_view kXmpApplication{"XMP DataXMP"};
    while (at < bytes.size()) {
        const std::uint8_t introducer = bytes[at];
        if (introducer == 0x3B)
            break;
        if (introducer == 0x2C) {  // image: descriptor, local table, code size, data
            if (bytes.size() - at < 11)
                break;
            at = skipBlocks(at + 10 + colourTable(bytes[at + 9]) + 1);
        } else if (introducer == 0x21 && bytes.size() - at >= 3) {
            const bool application = bytes[at + 1] == 0xFF && bytes[at + 2] == 11 &&
                                     bytes.size() - at >= 14 &&
                                     std::memcmp(bytes.data() + at + 3, kXmpApplication.data(), 11) == 0;
            if (application && read.metadata.xmp.empty()) {
                // The packet is stored raw and ends at a 257-byte ramp that steers sub-block
                // readers to the terminator: 0x01, 0xFF, 0xFE ... 0x00.
                const std::size_t start = at + 14;
                std::array<std::uint8_t, 257> ramp{};
                ramp[0] = 1;
                for (int i = 1; i < 257; ++i) ramp[std::size_t(i)] = std::uint8_t(256 - i);
                const auto found = std::search(bytes.begin() + std::ptrdiff_t(start), bytes.end(),
                                               ramp.begin(), ramp.end());
                if (found == bytes.end())
                    break;
                read.metadata.xmp.assign(bytes.begin() + std::ptrdiff_t(start), found);
                at = std::size_t(found - bytes.begin()) + ramp.size() + 1;
            } else {
                at = skipBlocks(at + 2);
            }
        } else {
            break;
        }
        if (at == std::string::npos)
            break;
    }
    return read;
}

}  // namespace tavelune
