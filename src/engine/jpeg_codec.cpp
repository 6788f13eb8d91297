// JPEG reading and writing. libjpeg reports errors by calling error_exit, which must not
// return: we longjmp back to the setjmp point in decode() or encode(). The jump skips C++
// destructors, so those two functions and everything between them and the library hold only
// plain data; pictures are passed in by reference from callers outside the jump.
#include "engine/jpeg_codec.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/codec_support.h"
#include "engine/engine_messages.h"
#include "engine/jpeg_library.h"
#include "engine/jpeg_metadata.h"

namespace tavelune {
namespace {

using jpeg_library::cmykToBgra;
using jpeg_library::densityToDpi;
using jpeg_library::ErrorManager;
using jpeg_library::installErrorManager;

enum class PixelRoute { Direct, ThroughRgb };

void lineToRgb(const jpeg_decompress_struct& info, const JSAMPLE* in, uint8_t* rgb)
{
    const JDIMENSION width = info.output_width;
    if (info.output_components == 3) {
        std::memcpy(rgb, in, size_t(width) * 3);
    } else if (info.output_components == 1) {
        for (JDIMENSION x = 0; x < width; ++x) rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = in[x];
    } else {
        for (JDIMENSION x = 0; x < width; ++x) {
            uint32_t bgra;
            cmykToBgra(in + 4 * size_t(x), &bgra, 1, info.saw_Adobe_marker);
            rgb[3 * x] = uint8_t(bgra >> 16);
            rgb[3 * x + 1] = uint8_t(bgra >> 8);
            rgb[3 * x + 2] = uint8_t(bgra);
        }
    }
}

// Longjmp target: plain data only (see the top of the file). reduction (optional) runs
// between library calls, so no jump crosses it.
bool decode(std::FILE* file, Image& out, PixelRoute route,
            const std::function<int(int, int)>* reduction = nullptr)
{
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    ErrorManager errors;
    installErrorManager(errors, info.err);
    uint8_t* volatile intermediate = nullptr;
    if (setjmp(errors.recovery)) {
        jpeg_destroy_decompress(&info);
        std::free(intermediate);
        out.destroyPixels();
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);

    if (!pictureSizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (reduction) {
        const int denominator = (*reduction)(int(info.image_width), int(info.image_height));
        if (denominator == 2 || denominator == 4 || denominator == 8) {
            info.scale_num = 1;
            info.scale_denom = unsigned(denominator);
        }
    }
    const bool cmyk = info.out_color_space == JCS_CMYK;
    if (route == PixelRoute::Direct && !cmyk)
        info.out_color_space = JCS_EXT_BGRA;  // alpha filled with 255 by the library
    jpeg_start_decompress(&info);
    const JDIMENSION width = info.output_width;
    const JDIMENSION height = info.output_height;
    const float dpi = densityToDpi(info);

    if (route == PixelRoute::Direct) {
        if (!out.create(int(width), int(height), dpi)) {
            noteCodecFailure("out of memory");
            jpeg_destroy_decompress(&info);
            return false;
        }
        JSAMPARRAY line = cmyk ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info),
                                                           JPOOL_IMAGE, width * 4, 1)
                               : nullptr;
        while (info.output_scanline < height) {
            uint32_t* row = out.rowFromTop(int(info.output_scanline));
            if (cmyk) {
                jpeg_read_scanlines(&info, line, 1);
                cmykToBgra(line[0], row, width, info.saw_Adobe_marker);
            } else {
                JSAMPROW target = reinterpret_cast<JSAMPROW>(row);
                jpeg_read_scanlines(&info, &target, 1);
            }
        }
    } else {
        intermediate = static_cast<uint8_t*>(std::malloc(size_t(width) * height * 3));
        if (!intermediate) {
            noteCodecFailure("out of memory");
            jpeg_destroy_decompress(&info);
            return false;
        }
        JSAMPARRAY line =
            (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                      width * JDIMENSION(info.output_components), 1);
        while (info.output_scanline < height) {
            uint8_t* rgb = intermediate + size_t(info.output_scanline) * width * 3;
            jpeg_read_scanlines(&info, line, 1);
            lineToRgb(info, line[0], rgb);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);

    if (route == PixelRoute::ThroughRgb) {
        bool created = out.create(int(width), int(height), dpi);
        if (created) {
            for (JDIMENSION y = 0; y < height; ++y) {
                const uint8_t* rgb = intermediate + size_t(y) * width * 3;
                uint32_t* row = out.rowFromTop(int(y));
                for (JDIMENSION x = 0; x < width; ++x, rgb += 3)
                    row[x] =
                        0xFF000000u | (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
            }
        }
        std::free(intermediate);
        if (!created)
            noteCodecFailure("out of memory");
        return created;
    }
    return true;
}

// Longjmp target: plain data only.
bool encode(std::FILE* file, const Image& image, int quality, PixelRoute route, bool jfif = true,
            const std::vector<JpegMarkerSegment>* segments = nullptr)
{
    const JDIMENSION width = JDIMENSION(image.width());
    const JDIMENSION height = JDIMENSION(image.height());
    uint8_t* volatile intermediate = nullptr;
    if (route == PixelRoute::ThroughRgb) {
        intermediate = static_cast<uint8_t*>(std::malloc(size_t(width) * height * 3));
        if (!intermediate) {
            noteCodecFailure("out of memory");
            return false;
        }
        for (JDIMENSION y = 0; y < height; ++y) {
            const uint32_t* row = image.rowFromTop(int(y));
            uint8_t* rgb = intermediate + size_t(y) * width * 3;
            for (JDIMENSION x = 0; x < width; ++x, rgb += 3) {
                rgb[0] = uint8_t(row[x] >> 16);
                rgb[1] = uint8_t(row[x] >> 8);
                rgb[2] = uint8_t(row[x]);
            }
        }
    }
    jpeg_compress_struct info;
    std::memset(&info, 0, sizeof info);
    ErrorManager errors;
    installErrorManager(errors, info.err);
    if (setjmp(errors.recovery)) {
        jpeg_destroy_compress(&info);
        std::free(intermediate);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    if (route == PixelRoute::Direct) {
        info.input_components = 4;
        info.in_color_space = JCS_EXT_BGRA;  // the alpha byte is skipped by the library
    } else {
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
    }
    jpeg_set_defaults(&info);
    info.density_unit = 1;
    const float dpi = image.dpi();
    const UINT16 density = dpi >= 65535.0f ? UINT16(65535) : UINT16(dpi);
    info.X_density = density;
    info.Y_density = density;
    jpeg_set_quality(&info, quality, TRUE);
    info.write_JFIF_header = jfif ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    if (segments)
        jpeg_library::writeMarkerSegments(info, segments->data(), segments->size());
    while (info.next_scanline < height) {
        JSAMPROW line = route == PixelRoute::Direct
                            ? reinterpret_cast<JSAMPROW>(
                                  const_cast<uint32_t*>(image.rowFromTop(int(info.next_scanline))))
                            : intermediate + size_t(info.next_scanline) * width * 3;
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::free(intermediate);
    return true;
}

bool readWith(const std::string& path, Image& out, PixelRoute route,
              const std::function<int(int, int)>* reduction = nullptr)
{
    if (path.empty())
        return false;
    out.destroyPixels();
    std::FILE* file = openForReading(path);
    if (!file)
        return false;
    bool ok = decode(file, out, route, reduction);
    std::fclose(file);
    return ok;
}

bool writeWith(const std::string& path, const Image& image, int quality, PixelRoute route,
               const PictureMetadata* metadata = nullptr)
{
    if (path.empty())
        return false;
    const std::vector<JpegMarkerSegment> segments =
        metadata ? jpegMetadataSegments(*metadata) : std::vector<JpegMarkerSegment>{};
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
    bool ok = encode(file, image, quality, route, true, &segments);
    if (std::fclose(file) != 0 && ok) {
        noteCodecFailure(std::strerror(errno));
        ok = false;
    }
    return ok;
}

}  // namespace

bool JpegCodec::read(const std::string& path, Image& out)
{
    return readWith(path, out, PixelRoute::Direct);
}

bool JpegCodec::write(const std::string& path, const Image& image, int options)
{
    return writeWith(path, image, options, PixelRoute::Direct, m_metadata);
}

bool encodeJpegStream(const Image& image, int quality, std::vector<std::uint8_t>& out)
{
    out.clear();
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = ::open_memstream(&buffer, &size);
    if (stream == nullptr)
        return false;
    const bool ok = encode(stream, image, quality, PixelRoute::Direct, false);
    const bool closed = std::fclose(stream) == 0;
    if (ok && closed)
        out.assign(buffer, buffer + size);
    std::free(buffer);
    return ok && closed && !out.empty();
}

bool readJpegThroughRgb(const std::string& path, Image& out)
{
    return readWith(path, out, PixelRoute::ThroughRgb);
}

bool writeJpegThroughRgb(const std::string& path, const Image& image, int quality)
{
    return writeWith(path, image, quality, PixelRoute::ThroughRgb);
}

bool readJpegReduced(const std::string& path, Image& out,
                     const std::function<int(int, int)>& reduction)
{
    return readWith(path, out, PixelRoute::Direct, &reduction);
}

bool decodeJpegBytes(const std::uint8_t* data, std::size_t size, Image& out,
                     const std::function<int(int, int)>& reduction)
{
    out.destroyPixels();
    if (data == nullptr || size == 0)
        return false;
    // fmemopen only reads through the pointer in "rb" mode.
    std::FILE* stream = ::fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (stream == nullptr)
        return false;
    const bool ok = decode(stream, out, PixelRoute::Direct, &reduction);
    std::fclose(stream);
    return ok;
}

}  // namespace tavelune
