// The sRGB profile, made once by LittleCMS.
#include "engine/srgb_profile.h"

#include <lcms2.h>

#include <algorithm>
#include <iterator>

namespace tavelune {

const std::vector<std::uint8_t>& srgbProfile()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> out;
        cmsHPROFILE profile = cmsCreate_sRGBProfile();
        if (profile == nullptr)
            return out;
        cmsUInt32Number size = 0;
        if (cmsSaveProfileToMem(profile, nullptr, &size) && size >= 128) {
            out.resize(size);
            if (!cmsSaveProfileToMem(profile, out.data(), &size))
                out.clear();
        }
        // The header's creation date is the clock's; a fixed one keeps written files the same
        // from run to run (the profile ID is left zero, so nothing else depends on it).
        constexpr std::uint8_t kCreated[12] = {0x07, 0xEA, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
        if (out.size() >= 128)
            std::copy(std::begin(kCreated), std::end(kCreated), out.begin() + 24);
        cmsCloseProfile(profile);
        return out;
    }();
    return bytes;
}

PictureMetadata srgbOnlyMetadata()
{
    PictureMetadata metadata;
    metadata.icc = srgbProfile();
    return metadata;
}

}  // namespace tavelune
