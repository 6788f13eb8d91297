// Writing a small camera raw (DNG) from a known picture, for the raw tests.
#pragma once

#include <string>
#include <vector>

#include "engine/image.h"

namespace tavelune::test {

struct TestDngOptions {
    int orientation = 1;  // EXIF value stored in IFD0
    bool withExif = true;  // an Exif IFD with exposure data
    bool halfWhite = false;  // white level 65535 but data scaled to half (dark shot)
};

/// Writes upright (its sRGB colours) as a 16-bit RGGB mosaic whose camera space is linear sRGB:
/// ColorMatrix1 is XYZ to linear sRGB (D65), AsShotNeutral 1 1 1, black 0, white 65535. The
/// stored picture is turned so that applying `orientation` shows upright. False on failure.
bool writeTestDng(const std::string& path, const Image& upright, const TestDngOptions& options = {});

/// Appends a JPEG stream as the DNG's preview: an IFD1 (reduced-resolution image) pointing at
/// it, chained after IFD0. The JPEG is stored unturned, as cameras store theirs.
bool appendDngPreview(const std::string& path, const std::vector<unsigned char>& jpeg);

}  // namespace tavelune::test
