#include "engine/cmyk_profile.h"

#include <lcms2.h>

#include <algorithm>

#include "engine/lcms_transforms.h"

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
    if (m_plain != nullptr)
        return false;
    // The output's fourth byte is not the transforms': convert() makes it opaque.
    const std::vector<cmsHTRANSFORM> made = transformsIntoSrgb(
        nullptr, icc, cmsSigCmykData, {TYPE_CMYK_8, TYPE_CMYK_8_REV}, TYPE_BGRA_8, 0);
    if (made.empty())
        return false;
    m_plain = made[0];
    m_inverted = made[1];
    return true;
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
