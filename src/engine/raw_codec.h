// Camera raw files through LibRaw: developed to 8-bit sRGB, upright; never written. LibRaw
// runs in the raw developer process (engine/raw_developer.h), never in this one.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "engine/image_codec.h"

namespace tavelune {

class StripSource;

/// The development every road shares: the camera's as-shot white balance and colour matrix,
/// highlights clipped, AHD demosaic, sRGB at 8 bits, no automatic brightening (so that a
/// reduced development has the tones of the full one), and the raw's orientation applied.
/// How a raw from a camera LibRaw does not know is refused: this, then "Make Model".
inline constexpr const char* kRawCameraNotSupported = "camera not supported: ";

class RawCodec : public ImageCodec {
public:
    bool read(const std::string& path, Image& out) override;
    /// Raw files are never written.
    bool write(const std::string& path, const Image& image, int options) override;
    const char* formatName() const override { return "RAW"; }
};

/// The development above; halfSize develops at half the width and height without
/// demosaicing (each 2 x 2 cell of the sensor gives one pixel): four times faster.
bool developRaw(const std::string& path, Image& out, bool halfSize);

/// The full development's rows handed to use, upright, as 0xFFRRGGBB, straight from the
/// developer's reply (no whole copy of the picture is made); use's result is the result.
/// False, with the reason noted, when the development fails (use is not called then).
bool developRawRows(const std::string& path, const std::function<bool(StripSource&)>& use);

/// The working copy of a picture reduced to fit maxSide: developed at half size when that
/// still covers maxSide, else in full (the reduction to maxSide is the caller's). fullWidth
/// and fullHeight receive the full development's size, upright. Both roads share every
/// parameter above, so the working copy shows the tones the full-size save will write.
bool developRawWorkingCopy(const std::string& path, int maxSide, Image& out, int& fullWidth,
                           int& fullHeight);

/// The raw's embedded preview, upright, when it is at least minWidth x minHeight once
/// upright; false (out reset, no message) when there is none that large or it cannot be read.
bool readRawPreview(const std::string& path, int minWidth, int minHeight, Image& out);

/// What LibRaw reports about the shot: the EXIF model of raws that are not TIFF files.
struct RawShotInfo {
    std::string make;
    std::string model;
    std::string lens;
    std::string artist;
    double isoSpeed = 0;
    double exposureTime = 0;  // seconds
    double aperture = 0;      // f-number
    double focalLength = 0;   // millimetres
    std::time_t timestamp = 0;  // 0 when unknown
    int orientation = 1;        // EXIF Orientation value of the stored picture
    int width = 0;              // the developed size, upright
    int height = 0;
};

/// Reads the shot information without developing. False with the reason noted (see
/// lastCodecFailure) for a file LibRaw does not take.
bool readRawShotInfo(const std::string& path, RawShotInfo& info);

}  // namespace tavelune
