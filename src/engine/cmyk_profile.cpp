#include "engine/cmyk_profile.h"

#include <lcms2.h>

#include <algorithm>

namespace tavelune {

namespace {

thread_local CmykThroughProfile* t_active = nullptr;

}  // namespace

bool describesCmyk(const std::vector<std::uint8_t>& icc)
{
    if (icc.empty())
        return false;
    cmsHPROFILE profile = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    if (profile == nullptr)
        return false;
    const bool cmyk = cmsGetColorSpace(profile) == cmsSigCmykData;
    cmsCloseProfile(profile);
    return cmyk;
}

CmykConversion::~CmykConversion()
{
    for (void* transform : {m_plain, m_inverted})
        if (transform != nullptr)
            cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform));
}

bool CmykConversion::open(const std::vector<std::uint8_t>& icc)
{
    if (m_plain != nullptr || icc.empty())
        return false;
    cmsHPROFILE source = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    if (source == nullptr)
        return false;
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    if (srgb != nullptr && cmsGetColorSpace(source) == cmsSigCmykData) {
        // The output's fourth byte is not the transform's: convert() makes it opaque.
        constexpr cmsUInt32Number kFlags = cmsFLAGS_BLACKPOINTCOMPENSATION;
        m_plain = cmsCreateTransform(source, TYPE_CMYK_8, srgb, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                                     kFlags);
        m_inverted = m_plain ? cmsCreateTransform(source, TYPE_CMYK_8_REV, srgb, TYPE_BGRA_8,
                                                  INTENT_PERCEPTUAL, kFlags)
                             : nullptr;
        if (m_inverted == nullptr && m_plain != nullptr) {
            cmsDeleteTransform(static_cast<cmsHTRANSFORM>(m_plain));
            m_plain = nullptr;
        }
    }
    if (srgb != nullptr)
        cmsCloseProfile(srgb);
    cmsCloseProfile(source);
    return m_plain != nullptr;
}

void CmykConversion::convert(const std::uint8_t* inks, std::uint32_t* out, std::size_t count,
                             bool inverted) const
{
    std::fill(out, out + count, 0xFF000000u);
    if (m_plain != nullptr && count > 0)
        cmsDoTransform(static_cast<cmsHTRANSFORM>(inverted ? m_inverted : m_plain), inks, out,
                       cmsUInt32Number(count));
}

CmykThroughProfile::CmykThroughProfile(const CmykConversion& conversion)
    : m_conversion(conversion), m_outer(t_active)
{
    t_active = this;
}

CmykThroughProfile::~CmykThroughProfile()
{
    t_active = m_outer;
}

CmykThroughProfile* CmykThroughProfile::active()
{
    return t_active;
}

void CmykThroughProfile::convert(const std::uint8_t* inks, std::uint32_t* out, std::size_t count,
                                 bool inverted)
{
    m_used = true;
    m_conversion.convert(inks, out, count, inverted);
}

}  // namespace tavelune
