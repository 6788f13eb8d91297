// libjpeg error handling and pixel conversions shared by the whole-picture and strip codecs.
// Only engine sources include this; libjpeg's types stay out of the public headers.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace tavelune {
struct JpegMarkerSegment;
}

namespace tavelune::jpeg_library {

/// libjpeg's error manager with the point error_exit jumps back to.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf recovery;
};

/// Library errors show "JPEG Fatal Error" and jump to recovery; a cut-off file is an error.
void installErrorManager(ErrorManager& manager, jpeg_error_mgr*& slot);

/// Writes metadata segments right after the headers jpeg_start_compress wrote. Call only
/// between jpeg_start_compress and the first scan line; may jump like any library call.
void writeMarkerSegments(jpeg_compress_struct& info, const JpegMarkerSegment* segments,
                         std::size_t count);

/// Shows and notes the library's own message for a failed write to its output file.
void reportWriteError();

/// The file's density in dots per inch; 72 without one.
float densityToDpi(const jpeg_decompress_struct& info);

/// CMYK scan line to BGRA. Files with an Adobe marker store the inks inverted (255 = no ink).
/// Inside a CmykThroughProfile scope the inks go through its profile instead.
void cmykToBgra(const JSAMPLE* in, uint32_t* out, JDIMENSION width, bool inverted);

}  // namespace tavelune::jpeg_library
