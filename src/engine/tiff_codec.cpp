// TIFF reading through libtiff's RGBA reader, and one-strip RGBA writing.
#include "engine/tiff_codec.h"

#include <sys/stat.h>

#include <cerrno>

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "engine/codec_support.h"
#include "engine/photoshop_resources.h"
#include "engine/tiff_float.h"
#include "engine/tiff_metadata.h"

namespace tavelune {
namespace {

// libtiff prints to stderr by default; keep its text as the failure reason instead.
void noteTiffError(const char* module, const char* format, va_list arguments)
{
    const int cause = errno;  // a failed write's, before anything else can change it
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    if (!noteWriteCause(cause))
        noteCodecFailure(module ? std::string(module) + ": " + text : std::string(text));
}

void ignoreTiffWarning(const char*, const char*, va_list) {}

void installHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(noteTiffError);
        TIFFSetWarningHandler(ignoreTiffWarning);
    });
}

// The fourth sample declared as libtiff's reader has always taken it when undeclared
// (associated alpha, read back unchanged); "unspecified" is flagged by validators.
const uint16_t kFourthSample = EXTRASAMPLE_ASSOCALPHA;

bool hasIptc(const PictureMetadata& metadata)
{
    const auto iptc = photoshopResource(metadata.photoshop, kResourceIptc);
    return iptc && !iptc->empty();
}

// Uncompressed data must be in the file, so a short file is refused before the picture is
// allocated; compressed data can expand without a useful bound.
bool dataCoversPicture(TIFF* tiff)
{
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    if (compression != COMPRESSION_NONE)
        return true;
    uint64_t declared = 0;
    if (TIFFIsTiled(tiff)) {
        declared = uint64_t(TIFFNumberOfTiles(tiff)) * uint64_t(TIFFTileSize64(tiff));
    } else {
        uint32_t height = 0;
        uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        declared = uint64_t(TIFFScanlineSize64(tiff)) * height *
                   (planar == PLANARCONFIG_SEPARATE ? samples : 1u);
    }
    struct stat status {};
    if (::fstat(TIFFFileno(tiff), &status) != 0)
        return true;  // not a file we can measure; the reader still stops at its end
    return dataCoversDeclared(uint64_t(status.st_size), declared);
}

}  // namespace

bool TiffCodec::read(const std::string& path, Image& out)
{
    if (path.empty())
        return false;
    out.destroyPixels();
    installHandlers();
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return false;
    uint32_t width = 0, height = 0;
    float resolution = 0.0f;
    uint16_t unit = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &resolution);
    TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (unit == RESUNIT_CENTIMETER)
        resolution *= 2.54f;
    if (!pictureSizeAllowed(width, height) || !dataCoversPicture(tiff) ||
        !out.create(int(width), int(height), resolution)) {
        if (lastCodecFailure().empty())
            noteCodecFailure("out of memory");
        TIFFClose(tiff);
        return false;
    }
    if (isFloatTiff(tiff)) {
        const bool read = readFloatTiff(tiff, out);
        TIFFClose(tiff);
        if (!read)
            out.destroyPixels();
        return read;
    }
    // The reader's lower-left origin matches the picture's bottom-up rows. It stops at the
    // first decoding error so that a damaged strip does not pass as a whole picture.
    if (!TIFFReadRGBAImage(tiff, width, height, out.pixels(), 1)) {
        TIFFClose(tiff);
        out.destroyPixels();
        return false;
    }
    TIFFClose(tiff);
    // ABGR packing in memory is R, G, B, A; the picture wants B, G, R, A.
    uint32_t* pixel = out.pixels();
    for (size_t i = 0, n = out.pixelCount(); i < n; ++i) {
        const uint32_t v = pixel[i];
        pixel[i] = (v & 0xFF00FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
    }
    return true;
}

bool TiffCodec::write(const std::string& path, const Image& image, int options)
{
    if (path.empty())
        return false;
    if (options != kTiffCompressionNone && options != kTiffCompressionLzw) {
        noteCodecFailure("unsupported TIFF compression");
        return false;
    }
    installHandlers();
    const uint32_t width = uint32_t(image.width());
    const uint32_t height = uint32_t(image.height());
    const size_t bytes = image.byteSize();
    auto* buffer = static_cast<uint8_t*>(std::malloc(bytes));
    if (!buffer) {
        noteCodecFailure("out of memory");
        return false;
    }
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* row = image.rowFromTop(int(y));
        uint8_t* out = buffer + size_t(y) * width * 4;
        for (uint32_t x = 0; x < width; ++x, out += 4) {
            out[0] = uint8_t(row[x] >> 16);
            out[1] = uint8_t(row[x] >> 8);
            out[2] = uint8_t(row[x]);
            out[3] = uint8_t(row[x] >> 24);
        }
    }
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff) {
        std::free(buffer);
        return false;
    }
    const float dpi = image.dpi();
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width) &&
              TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 4) &&
              TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &kFourthSample) &&
              TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height) &&
              TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tiff, TIFFTAG_COMPRESSION, options) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
              TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff, TIFFTAG_XRESOLUTION, dpi) &&
              TIFFSetField(tiff, TIFFTAG_YRESOLUTION, dpi) &&
              TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) &&
              TIFFSetField(tiff, TIFFTAG_SOFTWARE, "Corvane");
    if (ok && m_metadata)
        ok = setTiffMetadataTags(tiff, *m_metadata);
    if (ok)
        ok = TIFFWriteEncodedStrip(tiff, 0, buffer, tmsize_t(bytes)) != -1;
    std::free(buffer);
    // Closing writes the directory; a failure there (a full disk) is a failed save too.
    if (ok)
        ok = TIFFFlush(tiff) == 1;
    TIFFClose(tiff);
    if (ok && m_metadata && hasIptc(*m_metadata))
        ok = markIptcAsLongs(path);
    return ok;
}

}  // namespace tavelune
