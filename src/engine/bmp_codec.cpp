// BMP reading and writing with our own code.
#include "engine/bmp_codec.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/codec_support.h"

namespace tavelune {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

uint16_t readU16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t readU32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void putU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void putU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

bool refuse(Image& out, const char* reason)
{
    out.destroyPixels();
    noteCodecFailure(reason);
    return false;
}

}  // namespace

bool decodeBmp(const uint8_t* data, size_t size, Image& out)
{
    out.destroyPixels();
    if (size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M')
        return refuse(out, "not a BMP file");
    // Everything below is relative to the info header, as the pixel offset is derived from it.
    const uint8_t* info = data + kFileHeaderSize;
    const size_t available = size - kFileHeaderSize;
    BitmapInfoHeader header;
    header.biSize = readU32(info);
    header.biWidth = int32_t(readU32(info + 4));
    header.biHeight = int32_t(readU32(info + 8));
    header.biPlanes = readU16(info + 12);
    header.biBitCount = readU16(info + 14);
    header.biCompression = readU32(info + 16);
    header.biXPelsPerMeter = int32_t(readU32(info + 24));
    header.biYPelsPerMeter = int32_t(readU32(info + 28));
    header.biClrUsed = readU32(info + 32);
    if (header.biSize < kInfoHeaderSize || header.biSize > available)
        return refuse(out, "bad BMP header size");
    if (header.biCompression != kBiRgb)
        return refuse(out, "compressed BMP");
    const int bitCount = header.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return refuse(out, "unsupported BMP bit count");
    if (header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == std::numeric_limits<int32_t>::min())
        return refuse(out, "bad BMP size");

    size_t paletteCount = 0;
    if (bitCount <= 8)
        paletteCount = header.biClrUsed != 0 ? header.biClrUsed : (size_t(1) << bitCount);
    const size_t afterHeader = available - header.biSize;
    if (paletteCount > afterHeader / 4)
        return refuse(out, "BMP palette beyond the end of the file");
    const uint8_t* paletteBytes = info + header.biSize;
    // Pixels follow the palette directly; the file header's offset field is not trusted.
    const uint8_t* bits = paletteBytes + paletteCount * 4;
    const size_t bitsSize = afterHeader - paletteCount * 4;

    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const size_t stride = ((size_t(header.biWidth) * size_t(bitCount) + 31) / 32) * 4;
    if (bitsSize / stride < size_t(height))
        return refuse(out, "BMP pixels beyond the end of the file");

    if (!pictureSizeAllowed(uint64_t(header.biWidth), uint64_t(height))) {
        out.destroyPixels();
        return false;
    }
    std::vector<uint32_t> palette(paletteCount);
    for (size_t i = 0; i < paletteCount; ++i) palette[i] = readU32(paletteBytes + 4 * i);

    double dpi = double(int(double(header.biXPelsPerMeter) * 0.0254 + 0.5));
    if (dpi < 1.0)
        dpi = 72.0;
    if (!out.create(header.biWidth, height, float(dpi)))
        return refuse(out, "out of memory");
    BitmapInfoHeader bottomUp = header;
    bottomUp.biHeight = height;
    if (!out.fromDib(bottomUp, palette.data(), palette.size(), bits, bitsSize))
        return refuse(out, "unsupported BMP");
    if (header.biHeight < 0)
        out.flipVertical();
    return true;
}

bool BmpCodec::create(int width, int height, float dpi)
{
    return createAfterRelease(width, height, dpi);
}

bool BmpCodec::read(const std::string& path, Image& out)
{
    return decodeWholeFile(path, out, decodeBmp);
}

bool BmpCodec::write(const std::string& path, const Image& image, int)
{
    if (path.empty())
        return false;
    const size_t pixelBytes = image.byteSize();
    if (pixelBytes > std::numeric_limits<uint32_t>::max() - 54) {
        noteCodecFailure("picture too large for BMP");
        return false;
    }
    uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
    putU32(fileHeader + 2, uint32_t(pixelBytes + 54));
    putU16(fileHeader + 6, 0);
    putU16(fileHeader + 8, 0);
    putU32(fileHeader + 10, 54);
    // The kept header is little-endian on this host, like the file.
    const BitmapInfoHeader& header = image.header();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(fileHeader, 1, sizeof fileHeader, file) == sizeof fileHeader &&
              std::fwrite(&header, 1, sizeof header, file) == sizeof header &&
              std::fwrite(image.pixels(), 1, pixelBytes, file) == pixelBytes;
    if (std::fclose(file) != 0)
        ok = false;
    if (!ok)
        noteCodecFailure(std::strerror(errno));
    return ok;
}

}  // namespace tavelune
