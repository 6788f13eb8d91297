// libjpeg error handling and pixel conversions shared by the whole-picture and strip codecs.
#include "engine/jpeg_library.h"

#include "engine/jpeg_metadata.h"

#include <cerrno>
#include <cstring>

#include "engine/cmyk_profile.h"
#include "engine/codec_support.h"

namespace tavelune::jpeg_library {
namespace {

void reportLibraryError(j_common_ptr info)
{
    const int cause = errno;  // a failed write's, before anything else can change it
    char text[JMSG_LENGTH_MAX] = {};
    info->err->format_message(info, text);
    // Nothing may unwind through libjpeg's C frames.
    try {
        if (info->err->msg_code != JERR_FILE_WRITE || !noteWriteCause(cause))
            noteCodecFailure(text);
        noteLibraryBox(text);
    } catch (...) {
    }
}

void errorExit(j_common_ptr info)
{
    reportLibraryError(info);
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recovery, 1);
}

// Warnings stay silent, except entropy data that ends before the picture does (a cut-off
// file): libjpeg would fill the rest with grey and report success. A file that lacks only its
// end marker still loads.
void emitMessage(j_common_ptr info, int level)
{
    if (level < 0) {
        if (info->err->msg_code == JWRN_HIT_MARKER)
            errorExit(info);
        info->err->num_warnings++;
    }
}

inline uint8_t inkToLight(unsigned ink, unsigned black)
{
    return uint8_t((ink * black + 127) / 255);
}

}  // namespace

void installErrorManager(ErrorManager& manager, jpeg_error_mgr*& slot)
{
    slot = jpeg_std_error(&manager.base);
    manager.base.error_exit = errorExit;
    manager.base.emit_message = emitMessage;
}

void reportWriteError()
{
    jpeg_compress_struct info;
    std::memset(&info, 0, sizeof info);
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    errors.msg_code = JERR_FILE_WRITE;
    reportLibraryError(reinterpret_cast<j_common_ptr>(&info));
}

float densityToDpi(const jpeg_decompress_struct& info)
{
    if (info.density_unit == 1)
        return float(info.X_density);
    if (info.density_unit == 2)
        return float(double(info.X_density) * 2.54);
    return 72.0f;
}

void cmykToBgra(const JSAMPLE* in, uint32_t* out, JDIMENSION width, bool inverted)
{
    if (CmykThroughProfile* profile = CmykThroughProfile::active()) {
        profile->convert(in, out, width, inverted);
        return;
    }
    for (JDIMENSION x = 0; x < width; ++x, in += 4) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[x] = 0xFF000000u | (uint32_t(inkToLight(c, k)) << 16) |
                 (uint32_t(inkToLight(m, k)) << 8) | inkToLight(y, k);
    }
}

void writeMarkerSegments(jpeg_compress_struct& info, const JpegMarkerSegment* segments,
                         std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        jpeg_write_marker(&info, segments[i].marker, segments[i].payload.data(),
                          unsigned(segments[i].payload.size()));
}

}  // namespace tavelune::jpeg_library
