#include "support/test_colour.h"

#include <lcms2.h>

#include <algorithm>
#include <cstdlib>

namespace tavelune::reference {

std::vector<std::uint8_t> adobeRgbProfile()
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.19921875);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    cmsUInt32Number size = 0;
    std::vector<std::uint8_t> bytes;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(size);
        cmsSaveProfileToMem(profile, bytes.data(), &size);
    }
    if (profile)
        cmsCloseProfile(profile);
    return bytes;
}

Image lcmsSrgbCopy(const Image& picture, const std::vector<std::uint8_t>& icc)
{
    Image copy = picture;
    cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE to = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform =
        from && to ? cmsCreateTransform(from, TYPE_BGRA_8, to, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                                        cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA)
                   : nullptr;
    if (transform) {
        cmsDoTransform(transform, copy.pixels(), copy.pixels(), cmsUInt32Number(copy.pixelCount()));
        cmsDeleteTransform(transform);
    } else {
        copy = Image();
    }
    if (from)
        cmsCloseProfile(from);
    if (to)
        cmsCloseProfile(to);
    return copy;
}

int largestChannelDifference(const Image& a, const Image& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return 256;
    int most = 0;
    for (size_t i = 0; i < a.pixelCount(); ++i)
        for (int shift : {0, 8, 16})
            most = std::max(most, std::abs(int((a.pixels()[i] >> shift) & 0xFF) -
                                           int((b.pixels()[i] >> shift) & 0xFF)));
    return most;
}

Image patchChart(int patch)
{
    static constexpr std::uint32_t kPatches[3][8] = {
        {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF00FFFF, 0xFFFF00FF, 0xFFFFFF00, 0xFF000000,
         0xFFFFFFFF},
        {0xFFC08060, 0xFFE0B090, 0xFF8C5A3C, 0xFF3C6E28, 0xFF5A8C32, 0xFF28506E, 0xFF406080,
         0xFFA0C020},
        {0xFF101010, 0xFF303030, 0xFF606060, 0xFF808080, 0xFFA0A0A0, 0xFFC8C8C8, 0xFFB03020,
         0xFF2080B0},
    };
    Image chart;
    if (!chart.create(8 * patch, 3 * patch, 72.0f))
        return chart;
    for (int y = 0; y < 3 * patch; ++y)
        for (int x = 0; x < 8 * patch; ++x)
            chart.rowFromTop(y)[x] = kPatches[y / patch][x / patch];
    return chart;
}

}  // namespace tavelune::reference
