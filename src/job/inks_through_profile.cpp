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

bool InksRead::describes(const std::string& file, const std::vector<std::uint8_t>& icc,
                         int atFit) const
{
    std::error_code failed;
    return path == file && profile == icc && fit == atFit &&
           std::filesystem::last_write_time(file, failed) == written && !failed &&
           std::filesystem::file_size(file, failed) == size && !failed;
}

std::shared_ptr<const InksRead> readInks(const std::string& path,
                                         const std::vector<std::uint8_t>& icc, int fit)
{
    auto read = std::make_shared<InksRead>();
    read->path = path;
    read->profile = icc;
    read->fit = fit;
    // Stamped before the read: a file written meanwhile no longer matches its stamp.
    std::error_code failed;
    read->written = std::filesystem::last_write_time(path, failed);
    if (!failed)
        read->size = std::filesystem::file_size(path, failed);
    ExifData unused;
    bool throughProfile = false;
    if (failed || !readsInksThroughProfile(path, icc) ||
        !openThroughCmykProfile(icc, throughProfile, path, read->picture, unused, fit, true) ||
        !throughProfile)
        read->picture = Image();
    return read;
}

Image cmykScreenCopy(const InksRead* read, const Image& like)
{
    if (!read || read->picture.width() != like.width() || read->picture.height() != like.height())
        return Image();
    return read->picture;
}

Image cmykScreenCopy(const std::string& path, const std::vector<std::uint8_t>& icc, int fit,
                     const Image& like)
{
    if (!readsInksThroughProfile(path, icc))
        return Image();
    return cmykScreenCopy(readInks(path, icc, fit).get(), like);
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
