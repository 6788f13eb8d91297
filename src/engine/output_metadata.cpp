// Bringing a source's metadata up to date for the file written from it.
#include "engine/output_metadata.h"

#include <nettle/md5.h>

#include "engine/colour_profile.h"
#include "engine/photoshop_resources.h"
#include "engine/xmp_update.h"

namespace tavelune {
namespace {

// What one APP1 segment holds after its XMP signature.
constexpr std::size_t kJpegXmpLimit = 65504;

}  // namespace

std::vector<std::uint8_t> iptcDigest(const std::vector<std::uint8_t>& iptc)
{
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, iptc.size(), iptc.data());
    std::vector<std::uint8_t> digest(MD5_DIGEST_SIZE);
    md5_digest(&context, digest.size(), digest.data());
    return digest;
}

PictureMetadata metadataForOutput(const PictureMetadata& source, ImageFormat format, int width,
                                  int height, bool upright)
{
    PictureMetadata out = source;
    // Every output is RGB: a CMYK source's numbers came from the built-in formula, and a
    // CMYK profile on them would be read by viewers as nonsense.
    if (describesOtherThanRgb(out.icc))
        out.icc.clear();
    const bool jpeg = format == ImageFormat::Jpeg;
    if (!jpeg && !out.extendedXmp.empty()) {
        out.xmp = mergeExtendedXmp(out.xmp, out.extendedXmp);
        out.extendedXmp.clear();
        out.extendedGuid.clear();
    }
    if (!out.xmp.empty()) {
        XmpChanges changes;
        changes.width = width;
        changes.height = height;
        changes.upright = upright;
        changes.now = xmpNow();
        changes.creatorTool = "Tavelune " TAVELUNE_VERSION;
        out.xmp = updateXmp(out.xmp, changes, jpeg ? kJpegXmpLimit : 0);
        // A packet from a file without a segment limit is split as JPEG readers expect.
        if (jpeg && out.xmp.size() > kJpegXmpLimit) {
            if (!out.extendedXmp.empty())
                out.xmp = mergeExtendedXmp(out.xmp, out.extendedXmp);
            SplitXmp split = splitXmpForJpeg(out.xmp, kJpegXmpLimit);
            out.xmp = std::move(split.main);
            out.extendedXmp = std::move(split.extended);
            out.extendedGuid = std::move(split.guid);
        }
    }
    // A digest that disagrees with the records makes readers call the IPTC out of date.
    if (auto digest = photoshopResource(out.photoshop, kResourceIptcDigest)) {
        if (auto iptc = photoshopResource(out.photoshop, kResourceIptc)) {
            if (format == ImageFormat::Tiff)
                iptc->resize((iptc->size() + 3) & ~std::size_t(3), 0);  // as the tag stores it
            setPhotoshopResource(out.photoshop, kResourceIptcDigest, iptcDigest(*iptc));
        }
    }
    return out;
}

}  // namespace tavelune
