// Colour profiles through LittleCMS.
#include "engine/colour_profile.h"

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

std::string profileDescription(const std::vector<std::uint8_t>& icc)
{
    if (icc.empty())
        return {};
    cmsHPROFILE profile = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    if (profile == nullptr)
        return {};
    std::string text;
    const cmsUInt32Number size =
        cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", nullptr, 0);
    if (size > 1) {
        text.resize(size);
        cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text.data(), size);
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    }
    cmsCloseProfile(profile);
    return text;
}

}  // namespace tavelune
