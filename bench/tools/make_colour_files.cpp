// Makes the wide-gamut files of the metadata benchmark and of the colour screenshots:
//   make_colour_files profile OUTPUT.icc
//   make_colour_files pictures SOURCE WIDE.tif SRGB.tif
// The second takes an sRGB picture into the tests' Adobe RGB profile (LittleCMS, perceptual,
// black-point compensation), tagged so, and beside it LittleCMS's sRGB copy of that, untagged:
// the two must look the same in a colour-managed viewer.
#include <lcms2.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "engine/picture_metadata.h"
#include "support/test_colour.h"

using namespace tavelune;

namespace {

bool writeBytes(const char* path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

bool intoProfile(Image& picture, const std::vector<std::uint8_t>& icc)
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE wide = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHTRANSFORM transform =
        srgb && wide ? cmsCreateTransform(srgb, TYPE_BGRA_8, wide, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                                          cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA)
                     : nullptr;
    if (transform) {
        cmsDoTransform(transform, picture.pixels(), picture.pixels(),
                       cmsUInt32Number(picture.pixelCount()));
        cmsDeleteTransform(transform);
    }
    if (wide)
        cmsCloseProfile(wide);
    if (srgb)
        cmsCloseProfile(srgb);
    return transform != nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::uint8_t> icc = reference::adobeRgbProfile();
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "profile" && argc == 3)
        return !icc.empty() && writeBytes(argv[2], icc) ? 0 : 1;
    if (mode == "pictures" && argc == 5) {
        Image picture;
        if (!openImage(argv[2], picture).ok() || !intoProfile(picture, icc))
            return 1;
        PictureMetadata wide;
        wide.icc = icc;
        const Image copy = reference::lcmsSrgbCopy(picture, icc);
        return !copy.isEmpty() && saveImage(argv[3], picture, ImageFormat::Tiff, 1, &wide).ok() &&
                       saveImage(argv[4], copy, ImageFormat::Tiff, 1).ok()
                   ? 0
                   : 1;
    }
    std::fprintf(stderr,
                 "usage: make_colour_files profile OUTPUT.icc\n"
                 "       make_colour_files pictures SOURCE WIDE.tif SRGB.tif\n");
    return 2;
}
