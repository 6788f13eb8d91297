// Is the picture whole? JPEG files are walked marker by marker; the rest are decoded.
#include "engine/picture_check.h"

#include <csetjmp>
#include <cstring>
#include <vector>

#include "engine/codec_support.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/image.h"
#include "engine/jpeg_library.h"

namespace tavelune {
namespace {

constexpr unsigned char kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA;

bool isStandalone(unsigned char marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

bool isFrameHeader(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
           marker != 0xCC;
}

struct SilentErrors {
    jpeg_error_mgr base;
    std::jmp_buf recovery;
};

extern "C" void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<SilentErrors*>(info->err)->recovery, 1);
}

extern "C" void ignoreMessage(j_common_ptr, int) {}

// The header as libjpeg reads it, without a word when it cannot (the decode then speaks).
std::optional<PictureSize> readJpegHeader(const std::vector<uint8_t>& bytes)
{
    jpeg_decompress_struct info;
    SilentErrors errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpBack;
    errors.base.emit_message = ignoreMessage;
    jpeg_create_decompress(&info);
    // Nothing with a destructor lives between here and the jump.
    if (setjmp(errors.recovery)) {
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    const PictureSize size{int(info.image_width), int(info.image_height),
                           jpeg_library::densityToDpi(info)};
    jpeg_destroy_decompress(&info);
    return size;
}

}  // namespace

bool jpegDataReachesEnd(const unsigned char* data, size_t size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != kSoi)
        return false;
    bool frame = false, scan = false;
    size_t at = 2;
    while (at < size) {
        if (data[at] != 0xFF)
            return false;  // a segment must follow where the last one ended
        while (at < size && data[at] == 0xFF)
            ++at;  // fill bytes
        if (at >= size)
            return false;
        const unsigned char marker = data[at++];
        if (marker == kEoi)
            return frame && scan;
        if (isStandalone(marker))
            continue;
        if (size - at < 2)
            return false;
        const size_t length = (size_t{data[at]} << 8) | data[at + 1];
        if (length < 2 || length > size - at)
            return false;
        at += length;
        frame = frame || isFrameHeader(marker);
        if (marker != kSos)
            continue;
        if (!frame)
            return false;
        scan = true;
        // Entropy-coded data: 0xFF is followed by 0x00 (a stuffed byte), a restart marker
        // or fill; anything else is the next marker.
        for (;;) {
            const void* found = std::memchr(data + at, 0xFF, size - at);
            if (!found)
                return false;
            at = size_t(static_cast<const unsigned char*>(found) - data);
            size_t next = at + 1;
            while (next < size && data[next] == 0xFF)
                ++next;
            if (next >= size)
                return false;
            if (data[next] == 0x00 || (data[next] >= 0xD0 && data[next] <= 0xD7)) {
                at = next + 1;
                continue;
            }
            break;  // at: the marker's first 0xFF
        }
    }
    return false;
}

Result<PictureSize, ImageError> wholePictureSize(const std::string& path)
{
    const std::optional<ImageFormat> format = formatOfPath(path);
    if (format == ImageFormat::Jpeg) {
        std::vector<uint8_t> bytes;
        if (readWholeFile(path, bytes) && jpegDataReachesEnd(bytes.data(), bytes.size())) {
            if (const std::optional<PictureSize> size = readJpegHeader(bytes))
                return *size;
        }
    }
    Image image;
    if (ImageStatus opened = openImage(path, image); !opened) {
        Result<PictureSize, ImageError> broken(opened.failure());
        broken.setWarnings(opened.warnings());
        return broken;
    }
    return PictureSize{image.width(), image.height(), image.dpi()};
}

}  // namespace tavelune
