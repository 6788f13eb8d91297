// PSD composite reading with our own code, bounded by the bytes in memory.
#include "engine/psd_codec.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/codec_support.h"

namespace tavelune {
namespace {

// Plane i of the file goes to this byte of a pixel; planes past the fourth are not read.
constexpr int kPlaneByte[4] = {2, 1, 0, 3};
constexpr uint8_t kPlaneDefault[4] = {0, 0, 0, 255};
constexpr int kMaxChannels = 24;

class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    size_t remaining() const { return m_size - m_at; }
    const uint8_t* here() const { return m_data + m_at; }
    bool skip(size_t n)
    {
        if (n > remaining())
            return false;
        m_at += n;
        return true;
    }
    bool u16(uint32_t& v)
    {
        if (remaining() < 2)
            return false;
        v = (uint32_t(m_data[m_at]) << 8) | m_data[m_at + 1];
        m_at += 2;
        return true;
    }
    bool u32(uint32_t& v)
    {
        if (remaining() < 4)
            return false;
        v = (uint32_t(m_data[m_at]) << 24) | (uint32_t(m_data[m_at + 1]) << 16) |
            (uint32_t(m_data[m_at + 2]) << 8) | m_data[m_at + 3];
        m_at += 4;
        return true;
    }
    bool byte(uint8_t& v)
    {
        if (m_at >= m_size)
            return false;
        v = m_data[m_at++];
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

bool refuse(const char* reason)
{
    noteCodecFailure(reason);
    return false;
}

// One plane as a continuous PackBits stream; runs that pass the plane's end are cut there.
bool unpackPlane(Cursor& in, uint8_t* buffer, size_t count, int byteIndex)
{
    size_t filled = 0;
    while (filled < count) {
        uint8_t header;
        if (!in.byte(header))
            return false;
        if (header < 128) {
            const size_t run = size_t(header) + 1;
            if (in.remaining() < run)
                return false;
            const uint8_t* literal = in.here();
            for (size_t i = 0; i < run && filled < count; ++i)
                buffer[4 * filled++ + size_t(byteIndex)] = literal[i];
            in.skip(run);
        } else if (header > 128) {
            uint8_t value;
            if (!in.byte(value))
                return false;
            for (size_t i = 0, run = 257 - size_t(header); i < run && filled < count; ++i)
                buffer[4 * filled++ + size_t(byteIndex)] = value;
        }
    }
    return true;
}

}  // namespace

bool decodePlanes(const uint8_t* data, size_t size, int width, int height, uint8_t* buffer,
                  int channels, int compression)
{
    const size_t count = size_t(width) * size_t(height);
    Cursor in(data, size);
    if (compression == 1 && !in.skip(size_t(height) * size_t(channels) * 2))
        return false;
    for (int plane = 0; plane < 4; ++plane) {
        const int byteIndex = kPlaneByte[plane];
        if (plane >= channels) {
            for (size_t i = 0; i < count; ++i)
                buffer[4 * i + size_t(byteIndex)] = kPlaneDefault[plane];
        } else if (compression == 0) {
            if (in.remaining() < count)
                return false;
            const uint8_t* source = in.here();
            for (size_t i = 0; i < count; ++i) buffer[4 * i + size_t(byteIndex)] = source[i];
            in.skip(count);
        } else if (!unpackPlane(in, buffer, count, byteIndex)) {
            return false;
        }
    }
    return true;
}

bool decodePsd(const uint8_t* data, size_t size, Image& out)
{
    out.destroyPixels();
    Cursor in(data, size);
    uint32_t version = 0, channels = 0, height = 0, width = 0, depth = 0, mode = 0;
    if (in.remaining() < 4 || std::memcmp(in.here(), "8BPS", 4) != 0)
        return refuse("not a PSD file");
    in.skip(4);
    if (!in.u16(version) || version != 1 || !in.skip(6) || !in.u16(channels) || !in.u32(height) ||
        !in.u32(width) || !in.u16(depth) || !in.u16(mode))
        return refuse("bad PSD header");
    if (channels < 1 || channels > kMaxChannels || depth != 8 || mode != 3)
        return refuse("unsupported PSD document (only 8-bit RGB)");
    if (!pictureSizeAllowed(width, height))
        return false;
    for (int section = 0; section < 3; ++section) {
        uint32_t length = 0;
        if (!in.u32(length) || !in.skip(length))
            return refuse("PSD section beyond the end of the file");
    }
    uint32_t compression = 0;
    if (!in.u16(compression) || compression > 1)
        return refuse("unsupported PSD compression");

    // The data must be able to fill the planes it has: raw bytes one for one, PackBits at most
    // 128 bytes for every 2. This bounds the allocation by the file's size.
    const uint64_t count = uint64_t(width) * uint64_t(height);
    const uint64_t planesInFile = channels < 4 ? channels : 4;
    const uint64_t ratio = compression == 0 ? 1 : 64;
    if (count > uint64_t(in.remaining()) * ratio / planesInFile)
        return refuse("PSD image data beyond the end of the file");
    std::vector<uint8_t> buffer;
    try {
        buffer.resize(size_t(count) * 4);
    } catch (const std::bad_alloc&) {
        return refuse("out of memory");
    }
    if (!decodePlanes(in.here(), in.remaining(), int(width), int(height), buffer.data(),
                      int(channels), int(compression)))
        return refuse("PSD image data ends early");
    if (!out.create(int(width), int(height), 72.0f,
                    reinterpret_cast<const uint32_t*>(buffer.data())))
        return refuse("out of memory");
    // The planes are stored top row first, the picture bottom-up.
    out.flipVertical();
    return true;
}

bool PsdCodec::create(int width, int height, float dpi)
{
    return createAfterRelease(width, height, dpi);
}

bool PsdCodec::read(const std::string& path, Image& out)
{
    return decodeWholeFile(path, out, decodePsd);
}

}  // namespace tavelune
