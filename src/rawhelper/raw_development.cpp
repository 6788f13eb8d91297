// Camera raw development through LibRaw. Every request opens the file with the same
// parameters, so the reduced working copy and the full size agree in tone.
#include "rawhelper/raw_development.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>

#include "engine/pixel_limit.h"

namespace tavelune::rawhelper {
namespace {

constexpr const char* kDamaged = "damaged or truncated raw data";

// A grey picture was written one byte per pixel at the start of each row: each becomes three,
// from the right so that no byte is overwritten before it is read.
void spreadGrey(unsigned char* rows, int width, int height, int stride)
{
    for (int y = 0; y < height; ++y) {
        unsigned char* row = rows + std::size_t(y) * std::size_t(stride);
        for (int x = width - 1; x >= 0; --x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = row[x];
    }
}

// LibRaw reports damaged or cut data through this callback and goes on with zeros; a
// picture made of them must not pass as the photograph.
void countDataError(void* data, const char*, const int)
{
    ++*static_cast<int*>(data);
}

void fail(RawReply& reply, const std::string& reason, RawFailure kind = RawFailure::Reason)
{
    reply.failure = kind;
    reply.reason = reason;
}

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

bool sizeAllowed(RawReply& reply, int width, int height)
{
    if (withinPixelLimit(std::uint64_t(std::max(width, 0)), std::uint64_t(std::max(height, 0))))
        return true;
    reply.failure = RawFailure::PixelLimit;
    reply.refusedWidth = std::uint64_t(std::max(width, 0));
    reply.refusedHeight = std::uint64_t(std::max(height, 0));
    return false;
}

class Opened {
public:
    Opened() : m_raw(new (std::nothrow) LibRaw(LIBRAW_OPTIONS_NONE))
    {
        if (m_raw)
            m_raw->set_dataerror_handler(countDataError, &m_dataErrors);
    }

    // Opens the file and fills the reply's shot information and full size.
    bool open(const std::string& path, RawReply& reply)
    {
        if (!m_raw) {
            fail(reply, "out of memory");
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
        const int status = m_raw->open_file(path.c_str());
        if (status != LIBRAW_SUCCESS) {
            failOpen(status, reply);
            return false;
        }
        const libraw_data_t& d = m_raw->imgdata;
        if (!sizeAllowed(reply, d.sizes.raw_width, d.sizes.raw_height) ||
            !sizeAllowed(reply, d.sizes.width, d.sizes.height))
            return false;
        RawShotInfo& info = reply.shot;
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
        const bool turned = info.orientation == 6 || info.orientation == 8;
        info.width = turned ? d.sizes.height : d.sizes.width;
        info.height = turned ? d.sizes.width : d.sizes.height;
        reply.fullWidth = info.width;
        reply.fullHeight = info.height;
        return true;
    }

    void develop(bool halfSize, RawReply& reply,
                 const std::function<bool(const Developed&)>& sendPixels)
    {
        m_raw->imgdata.params.half_size = halfSize ? 1 : 0;
        int status = m_raw->unpack();
        if (status == LIBRAW_SUCCESS && m_dataErrors == 0)
            status = m_raw->dcraw_process();
        if (status != LIBRAW_SUCCESS || m_dataErrors != 0) {
            fail(reply, status != LIBRAW_SUCCESS ? LibRaw::strerror(status) : kDamaged);
            return;
        }
        // LibRaw's memory image, written where the parent reads it rather than into a buffer
        // of LibRaw's and copied again; the raw's flip is applied on the way.
        int width = 0, height = 0, colours = 0, bits = 0;
        m_raw->get_mem_image_format(&width, &height, &colours, &bits);
        if (bits != 8 || (colours != 3 && colours != 1) || width <= 0 || height <= 0) {
            fail(reply, "unexpected developed picture");
            return;
        }
        if (!sizeAllowed(reply, width, height))
            return;
        reply.width = width;
        reply.height = height;
        const auto fill = [&](unsigned char* out) {
            const int stride = 3 * width;
            if (m_raw->copy_mem_image(out, stride, 0) != LIBRAW_SUCCESS)
                return false;
            if (colours == 1)
                spreadGrey(out, width, height, stride);
            return true;
        };
        if (!sendPixels({width, height, fill}))
            fail(reply, "out of memory");
    }

    void preview(RequestSize size, RawReply& reply)
    {
        const libraw_thumbnail_t& thumb = m_raw->imgdata.thumbnail;
        const bool turned = reply.shot.orientation == 6 || reply.shot.orientation == 8;
        const int uprightWidth = turned ? thumb.theight : thumb.twidth;
        const int uprightHeight = turned ? thumb.twidth : thumb.theight;
        // The sizes LibRaw states may be absent (0); the decoded size decides then.
        if (uprightWidth != 0 && (uprightWidth < size.a || uprightHeight < size.b))
            return;
        if (m_raw->unpack_thumb() != LIBRAW_SUCCESS || thumb.tformat != LIBRAW_THUMBNAIL_JPEG ||
            thumb.thumb == nullptr || thumb.tlength == 0)
            return;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(thumb.thumb);
        reply.preview.assign(bytes, bytes + thumb.tlength);
    }

private:
    void failOpen(int status, RawReply& reply)
    {
        const libraw_iparams_t& ids = m_raw->imgdata.idata;
        if (status == LIBRAW_FILE_UNSUPPORTED && ids.make[0] != 0) {
            // The one failure the user can act on (a newer LibRaw): shown with the camera.
            fail(reply, std::string(kRawCameraNotSupported) + ids.make + " " + ids.model,
                 RawFailure::Shown);
        } else if (status == LIBRAW_FILE_UNSUPPORTED) {
            fail(reply, "not a camera raw file, or one cut short");
        } else if (status == LIBRAW_IO_ERROR || status == LIBRAW_DATA_ERROR) {
            fail(reply, kDamaged);
        } else {
            fail(reply, LibRaw::strerror(status));
        }
    }

    std::unique_ptr<LibRaw> m_raw;
    int m_dataErrors = 0;
};

}  // namespace

void serveRequest(Request request, const std::string& path, RequestSize size, RawReply& reply,
                  const std::function<bool(const Developed&)>& sendPixels)
{
    reply = RawReply{};
    Opened raw;
    if (!raw.open(path, reply))
        return;
    switch (request) {
        case Request::Develop:
        case Request::DevelopHalf:
            raw.develop(request == Request::DevelopHalf, reply, sendPixels);
            break;
        case Request::WorkingCopy:
            // Half size bins each 2 x 2 sensor cell; only a picture twice the working size
            // keeps it.
            raw.develop(std::max(reply.fullWidth, reply.fullHeight) / 2 >= size.a, reply,
                        sendPixels);
            break;
        case Request::Preview:
            raw.preview(size, reply);
            break;
        case Request::ShotInfo:
            break;
    }
}

}  // namespace tavelune::rawhelper
