// A DNG made with libtiff: IFD0 holds the mosaic and the DNG colour tags, an Exif IFD the shot.
#include "support/test_dng.h"

#include <tiffio.h>

#include "support/test_support.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace tavelune::test {
namespace {

double srgbToLinear(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Column sx, row sy of the stored picture for an upright picture shown with orientation.
uint32_t storedPixel(const Image& upright, int orientation, int sx, int sy, int storedHeight)
{
    const int w = upright.width(), h = upright.height();
    switch (orientation) {
        case 6:  // stored turned a quarter counter-clockwise
            return upright.pixelAt(storedHeight - 1 - sy, sx);
        case 8:
            return upright.pixelAt(sy, h - 1 - sx);
        case 3:
            return upright.pixelAt(w - 1 - sx, h - 1 - sy);
        default:
            return upright.pixelAt(sx, sy);
    }
}

}  // namespace

bool writeTestDng(const std::string& path, const Image& upright, const TestDngOptions& options)
{
    const bool turned = options.orientation == 6 || options.orientation == 8;
    const int width = turned ? upright.height() : upright.width();
    const int height = turned ? upright.width() : upright.height();
    std::vector<uint16_t> mosaic(size_t(width) * size_t(height));
    const double scale = options.halfWhite ? 32767.5 : 65535.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = storedPixel(upright, options.orientation, x, y, height);
            // RGGB: red at even row and column, blue at odd row and column.
            const int shift = (y % 2 == 0) ? (x % 2 == 0 ? 16 : 8) : (x % 2 == 0 ? 8 : 0);
            const double v = srgbToLinear(double((p >> shift) & 0xFF) / 255.0);
            mosaic[size_t(y) * size_t(width) + size_t(x)] = uint16_t(std::lround(v * scale));
        }

    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        return false;
    const uint8_t dngVersion[4] = {1, 4, 0, 0};
    const uint16_t repeat[2] = {2, 2};
    const uint8_t pattern[4] = {0, 1, 1, 2};
    const float colourMatrix[9] = {3.2404542f, -1.5371385f, -0.4985314f, -0.9692660f, 1.8760108f,
                                   0.0415560f, 0.0556434f,  -0.2040259f, 1.0572252f};
    const float neutral[3] = {1.0f, 1.0f, 1.0f};
    const float black[1] = {0.0f};
    const uint32_t white[1] = {65535};
    bool ok = TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, 0) &&
              TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width)) &&
              TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height)) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 16) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1) &&
              TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, 32803) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(height)) &&
              TIFFSetField(tiff, TIFFTAG_ORIENTATION, uint16_t(options.orientation)) &&
              TIFFSetField(tiff, TIFFTAG_MAKE, "Tavelune") &&
              TIFFSetField(tiff, TIFFTAG_MODEL, "Test Camera") &&
              TIFFSetField(tiff, TIFFTAG_ARTIST, "Test Artist") &&
              TIFFSetField(tiff, TIFFTAG_DATETIME, "2024:05:06 07:08:09") &&
              TIFFSetField(tiff, TIFFTAG_CFAREPEATPATTERNDIM, repeat) &&
              TIFFSetField(tiff, TIFFTAG_CFAPATTERN, uint16_t(4), pattern) &&
              TIFFSetField(tiff, TIFFTAG_DNGVERSION, dngVersion) &&
              TIFFSetField(tiff, TIFFTAG_UNIQUECAMERAMODEL, "Tavelune Test Camera") &&
              TIFFSetField(tiff, TIFFTAG_BLACKLEVEL, uint16_t(1), black) &&
              TIFFSetField(tiff, TIFFTAG_WHITELEVEL, uint16_t(1), white) &&
              TIFFSetField(tiff, TIFFTAG_COLORMATRIX1, uint16_t(9), colourMatrix) &&
              TIFFSetField(tiff, TIFFTAG_CALIBRATIONILLUMINANT1, uint16_t(21)) &&
              TIFFSetField(tiff, TIFFTAG_ASSHOTNEUTRAL, uint16_t(3), neutral);
    if (ok && options.withExif)
        ok = TIFFSetField(tiff, TIFFTAG_EXIFIFD, uint64_t(0));
    if (ok)
        ok = TIFFWriteEncodedStrip(tiff, 0, mosaic.data(), tmsize_t(mosaic.size() * 2)) != -1;
    if (ok)
        ok = TIFFWriteDirectory(tiff) != 0;
    if (ok && options.withExif) {
        uint64_t exifOffset = 0;
        const uint16_t iso[1] = {200};
        ok = TIFFCreateEXIFDirectory(tiff) == 0 &&
             TIFFSetField(tiff, EXIFTAG_ISOSPEEDRATINGS, uint16_t(1), iso) &&
             TIFFSetField(tiff, EXIFTAG_EXPOSURETIME, 1.0 / 125.0) &&
             TIFFSetField(tiff, EXIFTAG_FNUMBER, 5.6) &&
             TIFFSetField(tiff, EXIFTAG_FOCALLENGTH, 35.0) &&
             TIFFSetField(tiff, EXIFTAG_DATETIMEORIGINAL, "2024:05:06 07:08:09") &&
             TIFFWriteCustomDirectory(tiff, &exifOffset) != 0;
        if (ok) {
            ok = TIFFSetDirectory(tiff, 0) != 0 &&
                 TIFFSetField(tiff, TIFFTAG_EXIFIFD, exifOffset) &&
                 TIFFRewriteDirectory(tiff) != 0;
        }
    }
    TIFFClose(tiff);
    return ok;
}

bool appendDngPreview(const std::string& path, const std::vector<unsigned char>& jpeg)
{
    std::vector<unsigned char> bytes = readFileBytes(path);
    if (bytes.size() < 8 || bytes[0] != 'I')
        return false;
    auto get = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | bytes[at + size_t(i)];
        return v;
    };
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    };
    const size_t ifd0 = get(4, 4);
    if (ifd0 + 2 > bytes.size())
        return false;
    const size_t next = ifd0 + 2 + 12 * size_t(get(ifd0, 2));
    const uint32_t jpegAt = uint32_t(bytes.size());
    bytes.insert(bytes.end(), jpeg.begin(), jpeg.end());
    if (bytes.size() % 2)
        bytes.push_back(0);
    const uint32_t ifd1 = uint32_t(bytes.size());
    put(3, 2);
    const uint32_t entries[3][2] = {{254, 1}, {513, jpegAt}, {514, uint32_t(jpeg.size())}};
    for (const auto& entry : entries) {
        put(entry[0], 2);
        put(4, 2);  // LONG
        put(1, 4);
        put(entry[1], 4);
    }
    put(0, 4);
    for (int i = 0; i < 4; ++i) bytes[next + size_t(i)] = uint8_t(ifd1 >> (8 * i));
    writeFileBytes(path, bytes);
    return true;
}

}  // namespace tavelune::test
