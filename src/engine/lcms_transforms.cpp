#include "engine/lcms_transforms.h"

namespace tavelune {

std::vector<cmsHTRANSFORM> transformsIntoSrgb(cmsContext context,
                                              const std::vector<std::uint8_t>& icc,
                                              cmsColorSpaceSignature space,
                                              std::initializer_list<cmsUInt32Number> inputs,
                                              cmsUInt32Number output, cmsUInt32Number flags)
{
    std::vector<cmsHTRANSFORM> made;
    if (icc.empty())
        return made;
    cmsHPROFILE source =
        cmsOpenProfileFromMemTHR(context, icc.data(), cmsUInt32Number(icc.size()));
    if (source == nullptr)
        return made;
    cmsHPROFILE srgb = cmsCreate_sRGBProfileTHR(context);
    if (srgb != nullptr && cmsGetColorSpace(source) == space) {
        for (cmsUInt32Number input : inputs) {
            cmsHTRANSFORM transform =
                cmsCreateTransformTHR(context, source, input, srgb, output, INTENT_PERCEPTUAL,
                                      cmsFLAGS_BLACKPOINTCOMPENSATION | flags);
            if (transform == nullptr)
                break;
            made.push_back(transform);
        }
        if (made.size() != inputs.size()) {
            for (cmsHTRANSFORM transform : made) cmsDeleteTransform(transform);
            made.clear();
        }
    }
    if (srgb != nullptr)
        cmsCloseProfile(srgb);
    cmsCloseProfile(source);
    return made;
}

}  // namespace tavelune
