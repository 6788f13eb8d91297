#include "job/inks_through_profile.h"

#include <optional>

#include "engine/cmyk_profile.h"
#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "exif/exif_data.h"
#include "job/geometry_record.h"

namespace tavelune {

bool readsInksThroughProfile(const std::string& path, const std::vector<std::uint8_t>& icc)
{
    return formatOfPath(path) == ImageFormat::Jpeg && describesCmyk(icc);
}

WorkingPictureOpen openThroughCmykProfile(const std::vector<std::uint8_t>& icc,
                                          bool& throughProfile, const std::string& path,
                                          Image& picture, ExifData& exif, int fit, bool orient,
                                          Rect* fullSize, PictureMetadata* metadata)
{
    throughProfile = false;
    CmykConversion conversion;
    std::optional<CmykThroughProfile> scope;
    if (readsInksThroughProfile(path, icc) && conversion.open(icc))
        scope.emplace(conversion);
    WorkingPictureOpen opened =
        openWorkingPicture(path, picture, exif, fit, orient, fullSize, metadata);
    throughProfile = opened.ok() && scope && scope->used();
    return opened;
}

Image cmykScreenCopy(const std::string& path, const std::vector<std::uint8_t>& icc, int fit,
                     const Image& like)
{
    Image inks;
    if (!readsInksThroughProfile(path, icc))
        return inks;
    ExifData unused;
    bool throughProfile = false;
    (void)openThroughCmykProfile(icc, throughProfile, path, inks, unused, fit, true);
    if (!throughProfile || inks.width() != like.width() || inks.height() != like.height())
        return Image();
    return inks;
}

bool followWorkingPicture(Image& picture, const GeometryRecord& steps, const Image& like)
{
    if (picture.isEmpty() || !steps.replay(picture))
        return false;
    if (picture.width() != like.width() || picture.height() != like.height()) {
        // A picture with a full size was never resampled: another size means another file.
        if (steps.hasFullSize() || !picture.resize(like.width(), like.height(), kBicubic))
            return false;
    }
    picture.setDpi(like.dpi());
    return true;
}

}  // namespace tavelune
