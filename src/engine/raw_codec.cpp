// Camera raw development through LibRaw (its thread-safe build). Every road opens the file
// with the same parameters, so the reduced working copy and the full size agree in tone.
#include "engine/raw_codec.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

#include "engine/codec_support.h"
#include "engine/exif_orientation.h"
#include "engine/jpeg_codec.h"
#include "engine/message_sink.h"

namespace tavelune {
namespace {

struct ProcessedImage {
    void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};
using ProcessedPointer = std::unique_ptr<libraw_processed_image_t, ProcessedImage>;

// LibRaw reports damaged or cut data through this callback and goes on with zeros; a
// picture made of them must not pass as the photograph.
void countDataError(void* data, const char*, const int)
{
    ++*static_cast<int*>(data);
}

class Opened {
public:
    Opened() : m_raw(new (std::nothrow) LibRaw(LIBRAW_OPTIONS_NONE))
    {
        if (m_raw)
            m_raw->set_dataerror_handler(countDataError, &m_dataErrors);
    }

    bool open(const std::string& path, const std::uint8_t* data, std::size_t size, bool halfSize)
    {
        if (!m_raw) {
            noteCodecFailure("out of memory");
            return false;
        }
        libraw_output_params_t& params = m_raw->imgdata.params;
        params.use_camera_wb = 1;
        params.use_camera_matrix = 1;
        params.highlight = 0;  // clip
        params.user_qual = 3;  // AHD
        params.output_color = 1;  // sRGB
        params.output_bps = 8;
        params.no_auto_bright = 1;
        params.gamm[0] = 1 / 2.4;  // the sRGB curve, not LibRaw's default BT.709 one
        params.gamm[1] = 12.92;
        params.half_size = halfSize ? 1 : 0;
        const int status = data ? m_raw->open_buffer(const_cast<std::uint8_t*>(data), size)
                                : m_raw->open_file(path.c_str());
        if (status != LIBRAW_SUCCESS) {
            noteOpenFailure(status);
            return false;
        }
        const libraw_image_sizes_t& sizes = m_raw->imgdata.sizes;
        return pictureSizeAllowed(sizes.raw_width, sizes.raw_height) &&
               pictureSizeAllowed(sizes.width, sizes.height);
    }

    bool develop(Image& out)
    {
        int status = m_raw->unpack();
        if (status == LIBRAW_SUCCESS && m_dataErrors == 0)
            status = m_raw->dcraw_process();
        if (status != LIBRAW_SUCCESS || m_dataErrors != 0) {
            noteCodecFailure(status != LIBRAW_SUCCESS ? LibRaw::strerror(status)
                                                      : "damaged or truncated raw data");
            return false;
        }
        // The memory image comes with the raw's flip applied.
        ProcessedPointer image(m_raw->dcraw_make_mem_image(&status));
        if (!image || status != LIBRAW_SUCCESS) {
            noteCodecFailure(LibRaw::strerror(status));
            return false;
        }
        return copyProcessed(*image, out);
    }

    LibRaw& raw() { return *m_raw; }

private:
    void noteOpenFailure(int status)
    {
        const libraw_iparams_t& ids = m_raw->imgdata.idata;
        if (status == LIBRAW_FILE_UNSUPPORTED && ids.make[0] != 0) {
            // The one failure the user can act on (a newer LibRaw): shown with the camera.
            const std::string reason =
                std::string(kRawCameraNotSupported) + ids.make + " " + ids.model;
            noteCodecFailure(reason);
            showMessage(reason);
        } else if (status == LIBRAW_FILE_UNSUPPORTED) {
            noteCodecFailure("not a camera raw file, or one cut short");
        } else if (status == LIBRAW_IO_ERROR || status == LIBRAW_DATA_ERROR) {
            noteCodecFailure("damaged or truncated raw data");
        } else {
            noteCodecFailure(LibRaw::strerror(status));
        }
    }

    static bool copyProcessed(const libraw_processed_image_t& image, Image& out)
    {
        const int colours = image.colors;
        if (image.type != LIBRAW_IMAGE_BITMAP || image.bits != 8 || (colours != 3 && colours != 1) ||
            !pictureSizeAllowed(image.width, image.height) ||
            image.data_size < std::size_t(image.width) * image.height * unsigned(colours)) {
            noteCodecFailure("unexpected developed picture");
            return false;
        }
        if (!out.allocate(image.width, image.height, 72.0f)) {
            noteCodecFailure("out of memory");
            return false;
        }
        const unsigned char* in = image.data;
        for (int y = 0; y < image.height; ++y) {
            std::uint32_t* row = out.rowFromTop(y);
            for (int x = 0; x < image.width; ++x, in += colours) {
                const std::uint32_t r = in[0];
                const std::uint32_t g = in[colours == 3 ? 1 : 0];
                const std::uint32_t b = in[colours == 3 ? 2 : 0];
                row[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
            }
        }
        return true;
    }

    std::unique_ptr<LibRaw> m_raw;
    int m_dataErrors = 0;
};

// LibRaw's flip: 3 = half turn, 5 = quarter turn counter-clockwise, 6 = clockwise.
int exifOrientationOfFlip(int flip)
{
    switch (flip) {
        case 3:
            return 3;
        case 5:
            return 8;
        case 6:
            return 6;
        default:
            return 1;
    }
}

// The developed size, upright.
void uprightSize(const libraw_data_t& d, int& width, int& height)
{
    const int orientation = exifOrientationOfFlip(d.sizes.flip);
    const bool turned = orientation == 6 || orientation == 8;
    width = turned ? d.sizes.height : d.sizes.width;
    height = turned ? d.sizes.width : d.sizes.height;
}

bool developWith(const std::string& path, const std::uint8_t* data, std::size_t size, Image& out,
                 bool halfSize)
{
    out.destroyPixels();
    Opened raw;
    if (!raw.open(path, data, size, halfSize) || !raw.develop(out)) {
        out.destroyPixels();
        return false;
    }
    return true;
}

bool shotInfoWith(const std::string& path, const std::uint8_t* data, std::size_t size,
                  RawShotInfo& info)
{
    info = RawShotInfo{};
    Opened raw;
    if (!raw.open(path, data, size, false))
        return false;
    const libraw_data_t& d = raw.raw().imgdata;
    info.make = d.idata.make;
    info.model = d.idata.model;
    info.lens = d.lens.Lens[0] != 0 ? d.lens.Lens : d.lens.makernotes.Lens;
    info.artist = d.other.artist;
    info.isoSpeed = d.other.iso_speed;
    info.exposureTime = d.other.shutter;
    info.aperture = d.other.aperture;
    info.focalLength = d.other.focal_len;
    info.timestamp = d.other.timestamp;
    info.orientation = exifOrientationOfFlip(d.sizes.flip);
    uprightSize(d, info.width, info.height);
    return true;
}

}  // namespace

bool RawCodec::read(const std::string& path, Image& out)
{
    if (path.empty())
        return false;
    return developRaw(path, out, false);
}

bool RawCodec::write(const std::string&, const Image&, int)
{
    noteCodecFailure("raw files are never written");
    return false;
}

bool developRaw(const std::string& path, Image& out, bool halfSize)
{
    return developWith(path, nullptr, 0, out, halfSize);
}

bool developRawWorkingCopy(const std::string& path, int maxSide, Image& out, int& fullWidth,
                           int& fullHeight)
{
    out.destroyPixels();
    fullWidth = fullHeight = 0;
    Opened raw;
    if (path.empty() || !raw.open(path, nullptr, 0, false))
        return false;
    uprightSize(raw.raw().imgdata, fullWidth, fullHeight);
    // Half size bins each 2 x 2 sensor cell; only a picture twice the working size keeps it.
    raw.raw().imgdata.params.half_size = std::max(fullWidth, fullHeight) / 2 >= maxSide ? 1 : 0;
    if (!raw.develop(out)) {
        out.destroyPixels();
        return false;
    }
    return true;
}

bool developRawFromBytes(const std::uint8_t* data, std::size_t size, Image& out, bool halfSize)
{
    if (data == nullptr || size == 0)
        return false;
    return developWith({}, data, size, out, halfSize);
}

bool readRawShotInfo(const std::string& path, RawShotInfo& info)
{
    return !path.empty() && shotInfoWith(path, nullptr, 0, info);
}

bool readRawShotInfoFromBytes(const std::uint8_t* data, std::size_t size, RawShotInfo& info)
{
    return data != nullptr && size != 0 && shotInfoWith({}, data, size, info);
}

bool readRawPreview(const std::string& path, int minWidth, int minHeight, Image& out)
{
    out.destroyPixels();
    Opened raw;
    if (!raw.open(path, nullptr, 0, false))
        return false;
    LibRaw& libraw = raw.raw();
    const libraw_thumbnail_t& thumb = libraw.imgdata.thumbnail;
    const int orientation = exifOrientationOfFlip(libraw.imgdata.sizes.flip);
    const bool turned = orientation == 6 || orientation == 8;
    const int uprightWidth = turned ? thumb.theight : thumb.twidth;
    const int uprightHeight = turned ? thumb.twidth : thumb.theight;
    // The sizes LibRaw states may be absent (0); the decoded size decides then.
    if (uprightWidth != 0 && (uprightWidth < minWidth || uprightHeight < minHeight))
        return false;
    if (libraw.unpack_thumb() != LIBRAW_SUCCESS || thumb.tformat != LIBRAW_THUMBNAIL_JPEG ||
        thumb.thumb == nullptr || thumb.tlength == 0)
        return false;
    {
        // A broken preview falls back to development: its decoding errors are not the user's.
        ThreadMessageSink quiet([](const std::string&, const std::string&, MessageIcon) {});
        if (!decodeJpegBytes(reinterpret_cast<const std::uint8_t*>(thumb.thumb), thumb.tlength,
                             out, [](int, int) { return 1; })) {
            clearCodecFailure();
            return false;
        }
    }
    if (!applyExifOrientation(out, orientation)) {
        out.destroyPixels();
        return false;
    }
    if (out.width() < minWidth || out.height() < minHeight) {
        out.destroyPixels();
        return false;
    }
    return true;
}

}  // namespace tavelune
